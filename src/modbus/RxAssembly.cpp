#include "modbus/RxAssembly.h"

namespace vantor {

namespace {
constexpr char kUpperHex[] = "0123456789ABCDEF";
} // namespace

bool RxAssembly::Append(std::uint8_t byte) {
    if (m_length >= kCapacity) {
        return false;
    }
    m_bytes[m_length++] = byte;
    m_hexText += kUpperHex[byte >> 4];
    m_hexText += kUpperHex[byte & 0x0F];
    m_hexText += ' ';
    return true;
}

void RxAssembly::Reset() {
    m_bytes.fill(0);
    m_length = 0;
    m_hexText.clear(); // keeps its capacity: the assembly is reset before every request
}

} // namespace vantor
