#pragma once
// Which reply the session expects, and how an accumulating reply is judged.
#include <cstddef>
#include <cstdint>
#include <span>

namespace vantor {

enum class SessionMode : int { Idle = 0, Polling = 1, OneShotWrite = 2 };

// How the receive path treats a reply of the packet being polled.
enum class ReplyKind { Bits, Vendor50, Vendor51, Registers, WriteEcho };

ReplyKind ReplyKindOf(SessionMode mode, int function);

// Expected length L in bytes. Polling: the data bytes of the function's reply layout and the
// five framing bytes (f 2 -> ceil(n/8)+5, f 50 -> 8n+5, f 51 -> 10n+5; a code that cannot be
// polled is read as registers, 2n+5). One-shot write: the 8-byte echo. Idle: 0.
std::size_t ExpectedReplyLength(SessionMode mode, int function, int count);

// Number of data bytes of a polled reply (from offset 3), and how many registers they hold
// (for f 2 this is the bit count's byte count and registers is 0).
std::size_t ReplyDataBytes(int function, int count);
int ReplyRegisterCount(int function, int count);

enum class Judgement { Incomplete, OverLength, CrcError, Valid };

// k < L: Incomplete; k > L: OverLength; k == L: CRC over the first L-2 bytes decides.
Judgement JudgeReply(std::span<const std::uint8_t> bytes, std::size_t expected);

} // namespace vantor
