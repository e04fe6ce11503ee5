// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/RxAssembly.h"

#include <algorithm>

#include "modbus/HexText.h"

namespace vantor {

bool RxAssembly::Append(std::uint8_t byte) {
    if (m_length >= kCapacity) {
        return false;
    }
    m_bytes[m_length++] = byte;
    return true;
}

void RxAssembly::AppendRun(std::span<const std::uint8_t> run) {
    std::copy(run.begin(), run.end(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_length));
    m_length += run.size();
}

void RxAssembly::Reset() {
    m_length = 0;
}

std::string RxAssembly::hexText() const {
    return HexBytes(bytes());
}

} // namespace vantor
