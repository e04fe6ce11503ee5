// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/ReplyRules.h"

#include <array>
#include <utility>

#include "modbus/Crc16.h"
#include "modbus/FunctionTable.h"
#include "modbus/HexText.h"
#include "modbus/Texts.h"

namespace vantor {

namespace {

constexpr int kReadCoils = 1;
constexpr int kReadDiscreteInputs = 2;
constexpr int kReadHoldingRegisters = 3;
constexpr int kVendorRead50 = 50;
constexpr int kVendorRead51 = 51;

// A negative count cannot come from the packet table; treat it as "nothing requested".
std::size_t CountOf(int count) {
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

// The layout of a polled serial reply: the function's own where it can be polled; any other
// code is read as registers, as configure never builds such an image.
const FunctionInfo& PolledLayout(int function) {
    const FunctionInfo* info = FindFunction(function);
    return IsSerialPolled(info) ? *info : *FindFunction(kReadHoldingRegisters);
}

constexpr std::uint8_t kExceptionBit = 0x80;

constexpr std::array<int, 9> kExceptionCodes = {0x01, 0x02, 0x03, 0x04, 0x05,
                                                0x06, 0x08, 0x0A, 0x0B};

// The names of kExceptionCodes in their order, then the name of any other code.
using ExceptionNames = std::array<std::string, kExceptionCodes.size() + 1>;

ExceptionNames LookUpExceptionNames() {
    return {CoreText("vantor::ReplyRules", "非法功能"),
            CoreText("vantor::ReplyRules", "非法数据地址"),
            CoreText("vantor::ReplyRules", "非法数据值"),
            CoreText("vantor::ReplyRules", "从站设备故障"),
            CoreText("vantor::ReplyRules", "确认"),
            CoreText("vantor::ReplyRules", "从站设备忙"),
            CoreText("vantor::ReplyRules", "存储奇偶性差错"),
            CoreText("vantor::ReplyRules", "不可用网关路径"),
            CoreText("vantor::ReplyRules", "网关目标设备响应失败"),
            CoreText("vantor::ReplyRules", "未知异常")};
}

// The patterns of MismatchText, in the order of ReplyMismatch::Field after None.
using MismatchPatterns = std::array<std::string, 7>;

MismatchPatterns LookUpMismatchPatterns() {
    return {CoreText("vantor::ReplyRules", "从站地址 %1 ≠ %2"),
            CoreText("vantor::ReplyRules", "功能码 %1 ≠ %2"),
            CoreText("vantor::ReplyRules", "字节数 %1 ≠ %2"),
            CoreText("vantor::ReplyRules", "事务标识 %1 ≠ %2"),
            CoreText("vantor::ReplyRules", "单元标识 %1 ≠ %2"),
            CoreText("vantor::ReplyRules", "字节数 %1 与报文长度 %2 不符"),
            CoreText("vantor::ReplyRules", "数据 %1 字节，少于所请求的 %2 字节")};
}

std::string Hex2(int value) {
    return "0x" + HexDigits(static_cast<unsigned>(value) & 0xFF, 2);
}

} // namespace

ReplyKind ReplyKindOf(SessionMode mode, int function) {
    if (mode == SessionMode::OneShotWrite) {
        return ReplyKind::WriteEcho;
    }
    const FunctionInfo& layout = PolledLayout(function);
    if (layout.reads == FunctionReads::Bits) {
        return ReplyKind::Bits;
    }
    switch (layout.code) {
    case kVendorRead50:
        return ReplyKind::Vendor50;
    case kVendorRead51:
        return ReplyKind::Vendor51;
    default:
        return ReplyKind::Registers;
    }
}

bool TcpReplyIsBits(int function) {
    return function == kReadCoils || function == kReadDiscreteInputs;
}

std::size_t ReplyDataBytes(int function, int count) {
    return ReplyDataSize(PolledLayout(function), CountOf(count));
}

int ReplyRegisterCount(int function, int count) {
    const FunctionInfo& layout = PolledLayout(function);
    if (layout.reads != FunctionReads::Registers) {
        return 0;
    }
    return static_cast<int>(CountOf(count) * static_cast<std::size_t>(layout.replyBitsPerItem) /
                            kRegisterBits);
}

std::size_t ExpectedReplyLength(SessionMode mode, int function, int count) {
    switch (mode) {
    case SessionMode::Polling:
        return ReplyDataBytes(function, count) + kReplyOverhead;
    case SessionMode::OneShotWrite:
        return kWriteEchoLength;
    case SessionMode::Idle:
        break;
    }
    return 0;
}

Judgement JudgeReply(std::span<const std::uint8_t> bytes, std::size_t expected) {
    if (expected == 0) {
        // Nothing is expected: every byte that arrives is one too many.
        return bytes.empty() ? Judgement::Incomplete : Judgement::OverLength;
    }
    if (bytes.size() < expected) {
        return Judgement::Incomplete;
    }
    if (bytes.size() > expected) {
        return Judgement::OverLength;
    }
    return FrameCrcIsValid(bytes) ? Judgement::Valid : Judgement::CrcError;
}

const std::string& ExceptionName(int code) {
    // Exception replies may come with every poll: the names are looked up once per thread.
    thread_local CoreTextCache<ExceptionNames> names;
    const ExceptionNames& table = names.get(&LookUpExceptionNames);
    for (std::size_t i = 0; i < kExceptionCodes.size(); ++i)
        if (kExceptionCodes[i] == code)
            return table[i];
    return table.back();
}

bool IsRtuExceptionReply(std::span<const std::uint8_t> bytes, int slave, int function) {
    return bytes.size() == kExceptionReplyLength && bytes[0] == slave &&
           bytes[1] == (function | kExceptionBit) && FrameCrcIsValid(bytes);
}

ReplyMismatch CheckRtuReply(std::span<const std::uint8_t> reply, int slave, int function,
                            int count) {
    using Field = ReplyMismatch::Field;
    if (reply.size() < kReplyOverhead)
        return {};
    if (reply[0] != slave)
        return {Field::Slave, reply[0], slave};
    if (reply[1] != function)
        return {Field::Function, reply[1], function};
    const FunctionInfo* info = FindFunction(function);
    if (info != nullptr && info->byteCount) {
        const int expected = static_cast<int>(ReplyDataBytes(function, count) & 0xFF);
        if (reply[2] != expected)
            return {Field::ByteCount, reply[2], expected};
    }
    return {};
}

ReplyMismatch CheckTcpReply(std::span<const std::uint8_t> adu,
                            std::span<const std::uint8_t, 12> request, int count) {
    using Field = ReplyMismatch::Field;
    constexpr std::size_t kDataOffset = 9; // MBAP header, function, byte count
    if (adu.size() < kDataOffset)
        return {};
    const int transaction = adu[0] << 8 | adu[1];
    const int asked = request[0] << 8 | request[1];
    if (transaction != asked)
        return {Field::Transaction, transaction, asked};
    if (adu[6] != request[6])
        return {Field::Unit, adu[6], request[6]};
    const int function = request[7];
    if (adu[7] == (function | kExceptionBit))
        return {};
    if (adu[7] != function)
        return {Field::Function, adu[7], function};
    const FunctionInfo* info = FindFunction(function);
    if (info == nullptr || !info->byteCount)
        return {};
    const int data = static_cast<int>(adu.size() - kDataOffset);
    if (adu[8] != data)
        return {Field::Length, adu[8], data};
    const int needed = static_cast<int>(ReplyDataSize(*info, CountOf(count)));
    if (data < needed)
        return {Field::TooFew, data, needed};
    return {};
}

std::size_t RequestReplyLength(std::span<const std::uint8_t> request) {
    constexpr std::size_t kReadRequestLength = 6; // slave, function, address, count
    if (request.size() < 2)
        return 0;
    const FunctionInfo* info = FindFunction(request[1]);
    if (info == nullptr)
        return 0;
    if (info->serial == SerialUse::Written)
        return kWriteEchoLength;
    if (info->serial != SerialUse::Polled || info->code > 4 || request.size() != kReadRequestLength)
        return 0;
    return ExpectedReplyLength(SessionMode::Polling, info->code, request[4] << 8 | request[5]);
}

std::string MismatchText(const ReplyMismatch& m) {
    using Field = ReplyMismatch::Field;
    if (m.field == Field::None)
        return {};
    thread_local CoreTextCache<MismatchPatterns> patterns;
    const std::string& pattern =
        patterns.get(&LookUpMismatchPatterns)[static_cast<std::size_t>(m.field) - 1];
    if (m.field == Field::Function)
        return FormatText(pattern, {Hex2(m.got), Hex2(m.expected)});
    return FormatText(pattern, {std::to_string(m.got), std::to_string(m.expected)});
}

} // namespace vantor
