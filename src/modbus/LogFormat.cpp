#include "modbus/LogFormat.h"

#include <chrono>
#include <cstdio>
#include <ctime>

namespace vantor {

TimeOfDay LocalTimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis)};
}

std::string TimeStamp(const TimeOfDay& t, bool trailingBlank) {
    char text[64];
    std::snprintf(text, sizeof text, trailingBlank ? "%02d:%02d:%02d:%03d " : "%02d:%02d:%02d:%03d",
                  t.hour, t.minute, t.second, t.millisecond);
    return text;
}

std::string SerialTxLine(const TimeOfDay& t, std::string_view txText) {
    std::string line = TimeStamp(t, true);
    line += txText;
    return line;
}

std::string TcpTxLine(const TimeOfDay& t, std::span<const std::uint8_t> request) {
    return TimeStamp(t, true) + "Tx:   " + HexBytes(request);
}

std::string PolledRxLine(const TimeOfDay& t, std::string_view hexText) {
    std::string line = TimeStamp(t, false) + " Rx:   ";
    line += hexText;
    return line;
}

std::string EchoRxLine(const TimeOfDay& t, std::string_view hexText) {
    std::string line = TimeStamp(t, false) + " Rx :  ";
    line += hexText;
    return line;
}

std::string NoticeLine(const TimeOfDay& t, std::string_view text) {
    std::string line = TimeStamp(t, false) + " ";
    line += text;
    return line;
}

std::string NoReplyText(int packet) {
    return "数据包 " + std::to_string(packet) + " 无应答";
}

std::string UnjudgedBytesText(int packet, std::size_t bytes, std::size_t expected) {
    std::string text =
        "数据包 " + std::to_string(packet) + " 应答不完整：" + std::to_string(bytes) + " 字节";
    if (expected > 0)
        text += "（应为 " + std::to_string(expected) + " 字节）";
    return text + "，已丢弃";
}

std::string ExceptionText(int packet, int function, int code) {
    std::string text = "数据包 " + std::to_string(packet) + " 异常应答：功能码 0x" +
                       HexDigits(static_cast<std::uint32_t>(function), 2) + "，异常码 0x" +
                       HexDigits(static_cast<std::uint32_t>(code), 2) + " ";
    text += ExceptionName(code);
    return text;
}

std::string WriteExceptionText(int function, int code) {
    return "写入异常应答：功能码 0x" + HexDigits(static_cast<std::uint32_t>(function), 2) +
           "，异常码 0x" + HexDigits(static_cast<std::uint32_t>(code), 2) + " " +
           std::string(ExceptionName(code));
}

std::string MismatchNoticeText(int packet, const ReplyMismatch& mismatch) {
    return "数据包 " + std::to_string(packet) + " 应答不匹配：" + MismatchText(mismatch);
}

} // namespace vantor
