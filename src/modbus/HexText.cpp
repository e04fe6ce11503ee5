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
    for (const std::uint8_t byte : bytes) {
        text += kUpperHex[byte >> 4];
        text += kUpperHex[byte & 0x0F];
        text += ' ';
    }
}

std::string HexBytes(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    AppendHexBytes(text, bytes);
    return text;
}

} // namespace vantor
