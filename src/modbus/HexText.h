// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Upper-case hexadecimal text of numbers and bytes, as commands, logs and messages show it.
#include <cstdint>
#include <span>
#include <string>

namespace vantor {

// The lowest `digits` hex digits of value, upper case, with leading zeros ("%0*X" cut to width).
std::string HexDigits(std::uint32_t value, int digits);

// Each byte as two upper-case digits and one blank ("01 AB "), appended to text.
void AppendHexBytes(std::string& text, std::span<const std::uint8_t> bytes);
std::string HexBytes(std::span<const std::uint8_t> bytes);

} // namespace vantor
