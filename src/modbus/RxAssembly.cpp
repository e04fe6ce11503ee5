#include "modbus/RxAssembly.h"

#include "modbus/HexText.h"

namespace vantor {

bool RxAssembly::Append(std::uint8_t byte) {
    if (m_length >= kCapacity) {
        return false;
    }
    m_bytes[m_length++] = byte;
    return true;
}

void RxAssembly::Reset() {
    m_length = 0;
}

std::string RxAssembly::hexText() const {
    return HexBytes(bytes());
}

} // namespace vantor
