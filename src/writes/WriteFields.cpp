// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/WriteFields.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "registers/ValueFormat.h"

namespace vantor {

namespace {

// The leading number of the text in the base, as strtol reads it (blanks, a sign, digits),
// saturated to the 32-bit range.
std::int32_t LeadingNumber(std::string_view text, int base) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    if (base == 16 && text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X'))
        pos += 2;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    std::int64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : 99;
        if (digit >= base)
            break;
        value = std::min(value * base + digit, kLimit);
    }
    if (negative)
        value = -value;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The number in the base without leading zeros; a negative one as its 32-bit pattern.
std::string InBase(std::int32_t number, int base) {
    if (base == 10)
        return std::to_string(number);
    auto value = static_cast<std::uint32_t>(number);
    std::string digits;
    do {
        digits.insert(digits.begin(), "0123456789abcdef"[value % base]);
        value /= base;
    } while (value != 0);
    return digits;
}

std::string Signed16(std::int32_t number) {
    return std::to_string(static_cast<std::int16_t>(static_cast<std::uint16_t>(number)));
}

// Binary, hex and unsigned of the low 16 bits of the decimal text's integer.
void FillFromDecimal(WriteFields& f) {
    const auto value = static_cast<std::int32_t>(LenientInt(f.decimal) & 0xFFFF);
    f.binary = InBase(value, 2);
    f.hex = InBase(value, 16);
    f.unsignedText = InBase(value, 10);
}

} // namespace

std::array<bool, 16> BitsFromBinary(std::string_view binary) {
    std::array<bool, 16> bits{};
    if (binary.empty() || binary.size() > bits.size())
        return bits;
    for (std::size_t i = 0; i < binary.size(); ++i)
        bits[i] = binary[binary.size() - 1 - i] == '1';
    return bits;
}

WriteFields FieldsFromDecimal(std::string_view decimal) {
    WriteFields f;
    f.decimal = decimal;
    FillFromDecimal(f);
    f.bits = BitsFromBinary(f.binary);
    return f;
}

WriteFields FieldsFromBinary(std::string_view binary) {
    WriteFields f;
    f.decimal = Signed16(LeadingNumber(binary, 2));
    FillFromDecimal(f);
    f.binary = binary;
    f.bits = BitsFromBinary(binary);
    return f;
}

namespace {

// The four texts of a number typed in the hex or the unsigned edit, as typed (not cut to 16
// bits); the caller keeps its own text.
WriteFields FieldsFromTypedNumber(std::int32_t number) {
    WriteFields f;
    f.decimal = Signed16(number);
    f.binary = InBase(number, 2);
    f.hex = InBase(number, 16);
    f.unsignedText = InBase(number, 10);
    f.bits = BitsFromBinary(f.binary);
    return f;
}

} // namespace

WriteFields FieldsFromHex(std::string_view hex) {
    WriteFields f = FieldsFromTypedNumber(LeadingNumber(hex, 16));
    f.hex = hex;
    return f;
}

WriteFields FieldsFromUnsigned(std::string_view text) {
    WriteFields f = FieldsFromTypedNumber(LeadingNumber(text, 10));
    f.unsignedText = text;
    return f;
}

WriteFields FieldsFromBits(const std::array<bool, 16>& bits) {
    std::int32_t total = 0;
    for (std::size_t bit = 0; bit < bits.size(); ++bit)
        if (bits[bit])
            total |= 1 << bit;
    WriteFields f;
    f.decimal = std::to_string(total);
    FillFromDecimal(f);
    f.bits = bits;
    return f;
}

} // namespace vantor
