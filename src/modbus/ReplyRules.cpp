#include "modbus/ReplyRules.h"

#include "modbus/Crc16.h"
#include "modbus/FunctionTable.h"

namespace vantor {

namespace {

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

} // namespace vantor
