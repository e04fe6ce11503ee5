// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four texts and sixteen bit boxes of the register write dialog, kept in step: each function
// takes the text the user typed in one field and gives every field as the dialog then shows it.
#include <array>
#include <string>
#include <string_view>

namespace vantor {

struct WriteFields {
    std::string decimal;         // "十进制"
    std::string binary;          // "二进制"
    std::string hex;             // "16进制", lower case
    std::string unsignedText;    // "无符号"
    std::array<bool, 16> bits{}; // index = bit number

    bool operator==(const WriteFields&) const = default;
};

// Decimal typed (and the dialog opening on a cell's text): the low 16 bits of its integer.
WriteFields FieldsFromDecimal(std::string_view decimal);
// Binary, hexadecimal or unsigned typed: the decimal is the number as a signed 16-bit value;
// binary, hex and unsigned show the whole number read (not masked).
WriteFields FieldsFromBinary(std::string_view binary);
WriteFields FieldsFromHex(std::string_view hex);
WriteFields FieldsFromUnsigned(std::string_view text);
// A bit box clicked: the sum of the checked bits, the decimal unsigned (0..65535).
WriteFields FieldsFromBits(const std::array<bool, 16>& bits);
// 1 to 16 characters: the last is bit 0, and a box is checked where it is '1'. Else all clear.
std::array<bool, 16> BitsFromBinary(std::string_view binary);

} // namespace vantor
