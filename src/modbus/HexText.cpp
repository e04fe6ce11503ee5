// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/HexText.h"

namespace vantor {

namespace {
constexpr char kUpperHex[] = "0123456789ABCDEF";
} // namespace

std::string HexDigits(std::uint32_t value, int digits) {
    std::string text(static_cast<std::size_t>(digits > 0 ? digits : 0), '0');
    for (auto i = text.size(); i-- > 0; value >>= 4)
        text[i] = kUpperHex[value & 0xF];
    return text;
}

void AppendHexBytes(std::string& text, std::span<const std::uint8_t> bytes) {
    const std::size_t at = text.size();
    text.resize(at + 3 * bytes.size());
    char* out = text.data() + at;
    for (const std::uint8_t byte : bytes) {
        *out++ = kUpperHex[byte >> 4];
        *out++ = kUpperHex[byte & 0x0F];
        *out++ = ' ';
    }
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    AppendHexBytes(text, bytes);
    return text;
}

} // namespace vantor
