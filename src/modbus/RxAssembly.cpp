#include "modbus/RxAssembly.h"

#include "modbus/HexText.h"

namespace vantor {

bool RxAssembly::Append(std::uint8_t byte) {
    if (m_length >= kCapacity) {
        return false;
    }
    m_bytes[m_length++] = byte;
    AppendHexBytes(m_hexText, {&byte, 1});
    return true;
}

void RxAssembly::Reset() {
    m_bytes.fill(0);
    m_length = 0;
    m_hexText.clear(); // keeps its capacity: the assembly is reset before every request
}

} // namespace vantor
