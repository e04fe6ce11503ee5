// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Value format codes of the data cells, and the decoding and encoding of their register bytes.
// The numbers are stored in project and parameter files and never change.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

enum class ValueFormat : int {
    Signed16 = 4,
    Unsigned16 = 5,
    FloatABCD = 7,
    FloatCDAB = 8,
    FloatBADC = 9,
    FloatDCBA = 10,
    LongABCD = 12,
    LongCDAB = 13,
    LongBADC = 14,
    LongDCBA = 15,
    Continuation = 16,
};

inline constexpr int kDefaultFormatCode = 4;

bool IsKnownFormatCode(int code);     // 4, 5, 7..10, 12..15, 16
bool Is32BitFormat(int code);         // 7..10, 12..15
bool IsFloatFormat(int code);         // 7..10
const char* FormatMenuText(int code); // "16 Bit Signed" … "Long DC BA"; nullptr for others

// Assembles the 32-bit value (A most significant) from the register bytes b0 b1 b2 b3 as they
// arrive, in the byte order of a 32-bit code.
std::uint32_t Assemble32(int code, std::array<std::uint8_t, 4> b);
// The inverse: the four bytes to send, in wire order, for a 32-bit value.
std::array<std::uint8_t, 4> Disassemble32(int code, std::uint32_t value);

// A cell text made without allocating: the decoder writes every reply's cells this way.
struct CellChars {
    char text[64];
    std::size_t size = 0;
    std::string_view view() const { return {text, size}; }
};

// Cell text of a 16-bit code (4 signed, 5 unsigned).
CellChars Format16(int code, std::uint8_t b0, std::uint8_t b1);
// Cell text of a 32-bit code: "%0.3f" for floats, "%d" for longs.
CellChars Format32(int code, std::array<std::uint8_t, 4> b);

// Lenient conversions of typed text, as the C library's atoi and atof read it
// (leading blanks, sign, digits; anything else ends the number; no number reads as 0).
int LenientInt(std::string_view text);
double LenientDouble(std::string_view text);

// Register digits of a typed value for a write, upper-case hex: codes 4 and 5 give four digits
// ("%.4X" of the integer), 32-bit codes give eight digits in the code's byte order.
// Other codes give nothing.
std::string EncodeValue(int code, std::string_view text);

} // namespace vantor
