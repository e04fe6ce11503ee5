// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Builders of Modbus frames for tests.
#include <QByteArray>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "modbus/Crc16.h"

namespace vantor::test {

using Bytes = std::vector<std::uint8_t>;

// The bytes followed by their CRC, as a slave sends them.
inline Bytes WithCrc(Bytes bytes) {
    const Crc16 crc = CalcCrc16(bytes);
    bytes.push_back(crc[0]);
    bytes.push_back(crc[1]);
    return bytes;
}

// A read reply: slave, function, byte count, data, CRC.
inline Bytes ReadReply(std::uint8_t slave, std::uint8_t function, const Bytes& data) {
    Bytes bytes{slave, function, static_cast<std::uint8_t>(data.size())};
    bytes.insert(bytes.end(), data.begin(), data.end());
    return WithCrc(bytes);
}

inline QByteArray ToQt(const Bytes& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

inline Bytes FromQt(const QByteArray& bytes) {
    return Bytes(bytes.begin(), bytes.end());
}

} // namespace vantor::test
