// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/LogFormat.h"

#include <chrono>
#include <cstdio>
#include <ctime>

#include "modbus/Texts.h"

namespace vantor {

TimeOfDay LocalTimeOfDay() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    // A busy link stamps thousands of lines a second: the local time of day is worked out once
    // a second per thread.
    thread_local std::time_t lastSeconds = -1;
    thread_local std::tm local{};
    if (seconds != lastSeconds) {
        localtime_r(&seconds, &local);
        lastSeconds = seconds;
    }
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return {local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(millis)};
}

namespace {

// "%02d:%02d:%02d:%03d" (and a blank) at the end of the line.
void AppendTimeStamp(std::string& line, const TimeOfDay& t, bool trailingBlank) {
    const auto inRange = [](int value, int limit) { return value >= 0 && value < limit; };
    if (!inRange(t.hour, 100) || !inRange(t.minute, 100) || !inRange(t.second, 100) ||
        !inRange(t.millisecond, 1000)) {
        char text[64];
        std::snprintf(text, sizeof text, "%02d:%02d:%02d:%03d", t.hour, t.minute, t.second,
                      t.millisecond);
        line += text;
    } else {
        const auto digit = [](int value) { return static_cast<char>('0' + value); };
        const char text[12] = {digit(t.hour / 10),
                               digit(t.hour % 10),
                               ':',
                               digit(t.minute / 10),
                               digit(t.minute % 10),
                               ':',
                               digit(t.second / 10),
                               digit(t.second % 10),
                               ':',
                               digit(t.millisecond / 100),
                               digit(t.millisecond / 10 % 10),
                               digit(t.millisecond % 10)};
        line.append(text, sizeof text);
    }
    if (trailingBlank)
        line += ' ';
}

// A time stamp, a marker and the rest, in one allocation.
std::string StampedLine(const TimeOfDay& t, bool trailingBlank, std::string_view marker,
                        std::string_view rest) {
    std::string line;
    line.reserve(24 + marker.size() + rest.size());
    AppendTimeStamp(line, t, trailingBlank);
    line += marker;
    line += rest;
    return line;
}

} // namespace

std::string TimeStamp(const TimeOfDay& t, bool trailingBlank) {
    std::string text;
    AppendTimeStamp(text, t, trailingBlank);
    return text;
}

std::string SerialTxLine(const TimeOfDay& t, std::string_view txText) {
    return StampedLine(t, true, {}, txText);
}

std::string TcpTxLine(const TimeOfDay& t, std::span<const std::uint8_t> request) {
    std::string line = StampedLine(t, true, "Tx:   ", {});
    AppendHexBytes(line, request);
    return line;
}

std::string PolledRxLine(const TimeOfDay& t, std::string_view hexText) {
    return StampedLine(t, false, " Rx:   ", hexText);
}

std::string EchoRxLine(const TimeOfDay& t, std::string_view hexText) {
    return StampedLine(t, false, " Rx :  ", hexText);
}

std::string NoticeLine(const TimeOfDay& t, std::string_view text) {
    return StampedLine(t, false, " ", text);
}

// The texts below may be built for every reply on the link thread: each looks its pattern up
// once per thread and translator (CoreTextCache), not once per line.
using Pattern = CoreTextCache<std::string>;

std::string NoReplyText(int packet) {
    thread_local Pattern pattern;
    const std::string& text =
        pattern.get([] { return CoreText("vantor::LogFormat", "数据包 %1 无应答"); });
    return FormatText(text, {std::to_string(packet)});
}

std::string UnjudgedBytesText(int packet, std::size_t bytes, std::size_t expected) {
    if (expected == 0) {
        thread_local Pattern pattern;
        const std::string& text = pattern.get(
            [] { return CoreText("vantor::LogFormat", "数据包 %1 应答不完整：%2 字节，已丢弃"); });
        return FormatText(text, {std::to_string(packet), std::to_string(bytes)});
    }
    thread_local Pattern pattern;
    const std::string& text = pattern.get([] {
        return CoreText("vantor::LogFormat",
                        "数据包 %1 应答不完整：%2 字节（应为 %3 字节），已丢弃");
    });
    return FormatText(text,
                      {std::to_string(packet), std::to_string(bytes), std::to_string(expected)});
}

std::string ExtraBytesText(int packet, std::size_t bytes) {
    thread_local Pattern pattern;
    const std::string& text = pattern.get(
        [] { return CoreText("vantor::LogFormat", "数据包 %1 应答后多余 %2 字节，已丢弃"); });
    return FormatText(text, {std::to_string(packet), std::to_string(bytes)});
}

std::string LateReplyText(int packet) {
    thread_local Pattern pattern;
    const std::string& text =
        pattern.get([] { return CoreText("vantor::LogFormat", "数据包 %1 迟到应答，已丢弃"); });
    return FormatText(text, {std::to_string(packet)});
}

std::string ForeignReplyText(int transaction) {
    thread_local Pattern pattern;
    const std::string& text = pattern.get(
        [] { return CoreText("vantor::LogFormat", "应答事务标识 0x%1 无对应请求，已丢弃"); });
    return FormatText(text, {HexDigits(static_cast<std::uint32_t>(transaction) & 0xFFFF, 4)});
}

std::string WriteNoReplyText() {
    thread_local Pattern text;
    return text.get([] { return CoreText("vantor::LogFormat", "写入命令无应答"); });
}

std::string LateWriteReplyText() {
    thread_local Pattern text;
    return text.get([] { return CoreText("vantor::LogFormat", "写入命令迟到应答，已丢弃"); });
}

std::string ExceptionText(int packet, int function, int code) {
    thread_local Pattern pattern;
    const std::string& text = pattern.get([] {
        return CoreText("vantor::LogFormat", "数据包 %1 异常应答：功能码 0x%2，异常码 0x%3 %4");
    });
    return FormatText(text,
                      {std::to_string(packet), HexDigits(static_cast<std::uint32_t>(function), 2),
                       HexDigits(static_cast<std::uint32_t>(code), 2), ExceptionName(code)});
}

std::string WriteExceptionText(int function, int code) {
    thread_local Pattern pattern;
    const std::string& text = pattern.get(
        [] { return CoreText("vantor::LogFormat", "写入异常应答：功能码 0x%1，异常码 0x%2 %3"); });
    return FormatText(text, {HexDigits(static_cast<std::uint32_t>(function), 2),
                             HexDigits(static_cast<std::uint32_t>(code), 2), ExceptionName(code)});
}

std::string MismatchNoticeText(int packet, const ReplyMismatch& mismatch) {
    thread_local Pattern pattern;
    const std::string& text =
        pattern.get([] { return CoreText("vantor::LogFormat", "数据包 %1 应答不匹配：%2"); });
    return FormatText(text, {std::to_string(packet), MismatchText(mismatch)});
}

std::string ConfigureDoneLine() {
    return CoreText("vantor::LogFormat", "数据包配置成功。");
}

} // namespace vantor
