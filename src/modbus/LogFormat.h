// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication log's line forms and time stamps. Lines carry no line end. The forms (time
// stamps, the Tx and Rx lines) are read by scripts and stay the same in every language; the
// notices in them (no reply, late replies, exceptions ...) are in the user's language.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "modbus/HexText.h" // HexBytes: the byte text of every Rx and Tx line
#include "modbus/ReplyRules.h"

namespace vantor {

struct TimeOfDay {
    int hour = 0, minute = 0, second = 0, millisecond = 0;
};

TimeOfDay LocalTimeOfDay();

// "%02d:%02d:%02d:%03d", with a trailing blank for Tx lines.
std::string TimeStamp(const TimeOfDay& t, bool trailingBlank);

// time stamp + blank + Tx text of the RTU sender
std::string SerialTxLine(const TimeOfDay& t, std::string_view txText);
// time stamp + blank + "Tx:   " + the request bytes
std::string TcpTxLine(const TimeOfDay& t, std::span<const std::uint8_t> request);
// time stamp + " Rx:   " + hex text (a polled reply, serial or TCP)
std::string PolledRxLine(const TimeOfDay& t, std::string_view hexText);
// time stamp + " Rx :  " + hex text (a write echo)
std::string EchoRxLine(const TimeOfDay& t, std::string_view hexText);

// time stamp + blank + text: a refusal, a lost link, a reply that was not taken
std::string NoticeLine(const TimeOfDay& t, std::string_view text);
// "数据包 3 无应答"
std::string NoReplyText(int packet);
// Bytes of the packet's reply still unjudged when the next request goes (a cut-off reply or
// bytes after a whole one): "数据包 1 应答不完整：3 字节（应为 25 字节），已丢弃". `expected` 0
// leaves out the length expected.
std::string UnjudgedBytesText(int packet, std::size_t bytes, std::size_t expected);
// "数据包 1 应答后多余 3 字节，已丢弃": bytes that came after the packet's reply was judged
std::string ExtraBytesText(int packet, std::size_t bytes);
// "数据包 1 迟到应答，已丢弃": a reply that came after its request timed out
std::string LateReplyText(int packet);
// "应答事务标识 0x0005 无对应请求，已丢弃": a Modbus TCP reply that answers no request
std::string ForeignReplyText(int transaction);
// "写入命令无应答": a write or a typed frame unanswered within the reply timeout
std::string WriteNoReplyText();
// "写入命令迟到应答，已丢弃": a reply to a write or a typed frame that came after its request
// timed out
std::string LateWriteReplyText();
// "数据包 1 异常应答：功能码 0x83，异常码 0x02 非法数据地址"
std::string ExceptionText(int packet, int function, int code);
// "写入异常应答：功能码 0x86，异常码 0x02 非法数据地址": the reply to a write over Modbus TCP
std::string WriteExceptionText(int function, int code);
// "数据包 2 应答不匹配：从站地址 5 ≠ 1"
std::string MismatchNoticeText(int packet, const ReplyMismatch& mismatch);

// "数据包配置成功。"
std::string ConfigureDoneLine();
inline constexpr std::string_view kLogOverflowNotice =
    "***The Length of the Text is too long, Emptied Automaticly!!!***";

} // namespace vantor
