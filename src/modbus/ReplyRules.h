// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which reply the session expects, and how an accumulating reply is judged.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vantor {

enum class SessionMode : int { Idle = 0, Polling = 1, OneShotWrite = 2 };

// How the receive path treats a reply of the packet being polled.
enum class ReplyKind { Bits, Vendor50, Vendor51, Registers, WriteEcho };

ReplyKind ReplyKindOf(SessionMode mode, int function);

// A polled Modbus TCP reply of the function is decoded as bits (functions 1 and 2, the coils
// and the discrete inputs), as over the serial line; every other reply is read as registers.
bool TcpReplyIsBits(int function);

// Expected length L in bytes. Polling: the data bytes of the function's reply layout and the
// five framing bytes (f 1, 2 -> ceil(n/8)+5, f 50 -> 8n+5, f 51 -> 10n+5; a code that cannot be
// polled is read as registers, 2n+5). One-shot write: the 8-byte echo. Idle: 0.
std::size_t ExpectedReplyLength(SessionMode mode, int function, int count);

// Number of data bytes of a polled reply (from offset 3), and how many registers they hold
// (for f 1 and 2 this is the bit count's byte count and registers is 0).
std::size_t ReplyDataBytes(int function, int count);
int ReplyRegisterCount(int function, int count);

enum class Judgement { Incomplete, OverLength, CrcError, Valid };

// k < L: Incomplete; k > L: OverLength; k == L: CRC over the first L-2 bytes decides.
Judgement JudgeReply(std::span<const std::uint8_t> bytes, std::size_t expected);

// ---- exception replies ---------------------------------------------------------------------

// An RTU exception reply: slave, function with bit 7 set, exception code, CRC.
inline constexpr std::size_t kExceptionReplyLength = 5;

// The meaning of a Modbus exception code ("非法数据地址"); "未知异常" for any other code. In the
// user's language; the reference stays good on the calling thread until the translator changes.
const std::string& ExceptionName(int code);

// True when the bytes are a whole exception reply of the slave to the function, CRC good.
bool IsRtuExceptionReply(std::span<const std::uint8_t> bytes, int slave, int function);

// ---- replies that do not belong to the request ------------------------------------------------

struct ReplyMismatch {
    enum class Field {
        None,
        Slave,       // RTU slave address
        Function,    // function code (an exception reply may carry it with bit 7 set)
        ByteCount,   // RTU byte count against the count asked
        Transaction, // TCP transaction identifier
        Unit,        // TCP unit identifier
        Length,      // TCP byte count against the MBAP length
        TooFew,      // TCP data bytes fewer than the count asked needs
    } field = Field::None;
    int got = 0;
    int expected = 0;

    explicit operator bool() const { return field != Field::None; }
    bool operator==(const ReplyMismatch&) const = default;
};

// A whole RTU reply with a good CRC, against the request: slave, function, and the byte count
// where the layout has one (modulo 256, as the byte wraps for the longest replies).
ReplyMismatch CheckRtuReply(std::span<const std::uint8_t> reply, int slave, int function,
                            int count);

// A whole Modbus TCP reply (MBAP header and PDU) against the 12-byte request: transaction
// identifier, unit identifier, function (bit 7 allowed: an exception), then, for a function
// whose reply has a byte count, that count against the MBAP length and against the count asked.
ReplyMismatch CheckTcpReply(std::span<const std::uint8_t> adu,
                            std::span<const std::uint8_t, 12> request, int count);

// The length of the RTU reply to a request sent by hand (slave, function, data; no CRC): the
// 8-byte echo of a write (functions 5, 6, 15, 16), the reply of a read of functions 1 to 4 by
// its count; 0 where the request does not tell.
std::size_t RequestReplyLength(std::span<const std::uint8_t> request);

// "从站地址 5 ≠ 1" and the like; empty for no mismatch.
std::string MismatchText(const ReplyMismatch& mismatch);

} // namespace vantor
