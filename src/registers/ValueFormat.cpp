// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/ValueFormat.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>
#include <string>

#include "modbus/HexText.h"

namespace vantor {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The byte order is shared by the float and the long code of the same position (7/12 ...).
enum class ByteOrder { ABCD, CDAB, BADC, DCBA };

ByteOrder OrderOf(int code) {
    switch (code) {
    case 8:
    case 13:
        return ByteOrder::CDAB;
    case 9:
    case 14:
        return ByteOrder::BADC;
    case 10:
    case 15:
        return ByteOrder::DCBA;
    default:
        return ByteOrder::ABCD;
    }
}

// Decides whether an out-of-range decimal or hexadecimal number text was too large (rather
// than too small) from the position of its first significant digit and its exponent. Texts
// are only out of range hundreds of powers away from 1, so this estimate is exact enough.
bool TooLarge(std::string_view text, bool hex) {
    std::size_t pos = 0;
    long magnitude = 0;
    bool seenPoint = false, seenSignificant = false;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        if (c == '.' && !seenPoint) {
            seenPoint = true;
            continue;
        }
        const bool digit = hex ? std::isxdigit(static_cast<unsigned char>(c)) != 0 : IsDigit(c);
        if (!digit)
            break;
        if (c != '0')
            seenSignificant = true;
        if (!seenPoint && seenSignificant)
            ++magnitude;
        else if (seenPoint && !seenSignificant)
            --magnitude;
    }
    const long weight = hex ? 4 : 1; // a hex digit is four binary places
    magnitude *= weight;
    if (pos < text.size() && (text[pos] == (hex ? 'p' : 'e') || text[pos] == (hex ? 'P' : 'E')))
        magnitude += std::clamp<long>(LenientInt(text.substr(pos + 1)), -100000, 100000);
    return magnitude > 0;
}

// Double to single precision without the undefined conversion of values beyond the float
// range: they round to infinity as IEEE arithmetic would.
float ToFloat(double value) {
    constexpr double kMax = std::numeric_limits<float>::max();
    constexpr double kInfinityFrom = 0x1.ffffffp127; // halfway past the largest float
    if (std::isnan(value))
        return std::numeric_limits<float>::quiet_NaN();
    if (std::fabs(value) >= kInfinityFrom)
        return value > 0 ? std::numeric_limits<float>::infinity()
                         : -std::numeric_limits<float>::infinity();
    if (std::fabs(value) > kMax)
        return value > 0 ? static_cast<float>(kMax) : -static_cast<float>(kMax);
    return static_cast<float>(value);
}

std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value); // truncates toward zero
}

// The register digits of four bytes in wire order, without blanks.
std::string RegisterDigits(const std::array<std::uint8_t, 4>& bytes) {
    std::string text;
    for (std::uint8_t b : bytes)
        text += HexDigits(b, 2);
    return text;
}

// Where the digits of a typed number start: after leading blanks and one optional sign.
std::size_t SkipBlanksAndSign(std::string_view text, bool& negative) {
    std::size_t pos = 0;
    while (pos < text.size() && IsBlank(text[pos]))
        ++pos;
    negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        negative = text[pos++] == '-';
    return pos;
}

} // namespace

bool IsKnownFormatCode(int code) {
    return FormatMenuText(code) != nullptr || code == 16;
}

bool Is32BitFormat(int code) {
    return (code >= 7 && code <= 10) || (code >= 12 && code <= 15);
}

bool IsFloatFormat(int code) {
    return code >= 7 && code <= 10;
}

const char* FormatMenuText(int code) {
    switch (code) {
    case 4:
        return "16 Bit Signed";
    case 5:
        return "16 Bit Unsigned";
    case 7:
        return "Float AB CD";
    case 8:
        return "Float CD AB";
    case 9:
        return "Float BA DC";
    case 10:
        return "Float DC BA";
    case 12:
        return "Long AB CD";
    case 13:
        return "Long CD AB";
    case 14:
        return "Long BA DC";
    case 15:
        return "Long DC BA";
    default:
        return nullptr;
    }
}

std::uint32_t Assemble32(int code, std::array<std::uint8_t, 4> b) {
    auto join = [](std::uint8_t a, std::uint8_t bb, std::uint8_t c, std::uint8_t d) {
        return std::uint32_t{a} << 24 | std::uint32_t{bb} << 16 | std::uint32_t{c} << 8 |
               std::uint32_t{d};
    };
    switch (OrderOf(code)) {
    case ByteOrder::CDAB:
        return join(b[2], b[3], b[0], b[1]);
    case ByteOrder::BADC:
        return join(b[1], b[0], b[3], b[2]);
    case ByteOrder::DCBA:
        return join(b[3], b[2], b[1], b[0]);
    case ByteOrder::ABCD:
        break;
    }
    return join(b[0], b[1], b[2], b[3]);
}

std::array<std::uint8_t, 4> Disassemble32(int code, std::uint32_t value) {
    const auto a = static_cast<std::uint8_t>(value >> 24);
    const auto b = static_cast<std::uint8_t>(value >> 16);
    const auto c = static_cast<std::uint8_t>(value >> 8);
    const auto d = static_cast<std::uint8_t>(value);
    switch (OrderOf(code)) {
    case ByteOrder::CDAB:
        return {c, d, a, b};
    case ByteOrder::BADC:
        return {b, a, d, c};
    case ByteOrder::DCBA:
        return {d, c, b, a};
    case ByteOrder::ABCD:
        break;
    }
    return {a, b, c, d};
}

CellChars Format16(int code, std::uint8_t b0, std::uint8_t b1) {
    const auto raw = static_cast<std::uint16_t>(b0 << 8 | b1);
    CellChars out;
    char* const end =
        code == static_cast<int>(ValueFormat::Signed16)
            ? std::to_chars(out.text, std::end(out.text), static_cast<std::int16_t>(raw)).ptr
            : std::to_chars(out.text, std::end(out.text), raw).ptr;
    out.size = static_cast<std::size_t>(end - out.text);
    return out;
}

CellChars Format32(int code, std::array<std::uint8_t, 4> b) {
    const std::uint32_t raw = Assemble32(code, b);
    CellChars out;
    char* end = nullptr;
    if (!IsFloatFormat(code)) {
        end = std::to_chars(out.text, std::end(out.text), static_cast<std::int32_t>(raw)).ptr;
    } else {
        // "%0.3f" of the value widened to double; to_chars keeps the decimal point a '.'
        // whatever numeric locale the application runs under. The widest float takes 44
        // characters.
        const double value = std::bit_cast<float>(raw);
        end = std::to_chars(out.text, std::end(out.text), value, std::chars_format::fixed, 3).ptr;
    }
    out.size = static_cast<std::size_t>(end - out.text);
    return out;
}

int LenientInt(std::string_view text) {
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    // Saturate rather than overflow on long digit runs.
    constexpr long long kLimit = 1LL << 31;
    long long value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos)
        value = std::min(value * 10 + (text[pos] - '0'), kLimit);
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<long long>(value, std::numeric_limits<int>::min(),
                                                  std::numeric_limits<int>::max()));
}

double LenientDouble(std::string_view text) {
    bool negative = false;
    std::size_t pos = SkipBlanksAndSign(text, negative);
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-'))
        return 0.0; // a second sign is not a number
    const bool hex =
        text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X') &&
        (std::isxdigit(static_cast<unsigned char>(text[pos + 2])) != 0 || text[pos + 2] == '.');
    if (hex)
        pos += 2;
    const std::string_view rest = text.substr(pos);
    double value = 0.0;
    const auto result = std::from_chars(rest.data(), rest.data() + rest.size(), value,
                                        hex ? std::chars_format::hex : std::chars_format::general);
    if (result.ec == std::errc::result_out_of_range)
        value = TooLarge(rest, hex) ? std::numeric_limits<double>::max() : 0.0;
    else if (result.ec != std::errc())
        value = 0.0;
    return negative ? -value : value;
}

std::string EncodeValue(int code, std::string_view text) {
    if (code == static_cast<int>(ValueFormat::Signed16) ||
        code == static_cast<int>(ValueFormat::Unsigned16))
        return HexDigits(static_cast<std::uint32_t>(LenientInt(text)) & 0xFFFF, 4);
    if (IsFloatFormat(code))
        return RegisterDigits(
            Disassemble32(code, std::bit_cast<std::uint32_t>(ToFloat(LenientDouble(text)))));
    if (Is32BitFormat(code))
        return RegisterDigits(
            Disassemble32(code, static_cast<std::uint32_t>(TruncateToInt32(LenientDouble(text)))));
    return {};
}

} // namespace vantor
