#include "modbus/ReplyRules.h"

#include "modbus/Crc16.h"

namespace vantor {

namespace {

constexpr int kReadDiscreteInputs = 2;
constexpr int kVendorRead50 = 50;
constexpr int kVendorRead51 = 51;

// Slave address, function code, byte count and the two CRC bytes around the data.
constexpr std::size_t kReplyOverhead = 5;
constexpr std::size_t kWriteEchoLength = 8;

// A negative count cannot come from the packet table; treat it as "nothing requested".
std::size_t CountOf(int count) {
    return count > 0 ? static_cast<std::size_t>(count) : 0;
}

} // namespace

ReplyKind ReplyKindOf(SessionMode mode, int function) {
    if (mode == SessionMode::OneShotWrite) {
        return ReplyKind::WriteEcho;
    }
    switch (function) {
    case kReadDiscreteInputs:
        return ReplyKind::Bits;
    case kVendorRead50:
        return ReplyKind::Vendor50;
    case kVendorRead51:
        return ReplyKind::Vendor51;
    default:
        return ReplyKind::Registers;
    }
}

std::size_t ReplyDataBytes(int function, int count) {
    const std::size_t n = CountOf(count);
    switch (function) {
    case kReadDiscreteInputs:
        return (n + 7) / 8;
    case kVendorRead50:
        return 8 * n;
    case kVendorRead51:
        return 10 * n;
    default:
        return 2 * n;
    }
}

int ReplyRegisterCount(int function, int count) {
    const int n = count > 0 ? count : 0;
    switch (function) {
    case kReadDiscreteInputs:
        return 0;
    case kVendorRead50:
        return 4 * n;
    case kVendorRead51:
        return 5 * n;
    default:
        return n;
    }
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
