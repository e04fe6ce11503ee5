// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Waiting helpers shared by the transport tests: they run the event loop until enough bytes
// have arrived, with generous limits so a slow machine does not fail them.
#include <QByteArray>
#include <QIODevice>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <cstdint>
#include <ostream>
#include <vector>

#include "transport/SerialSettings.h"

namespace vantor::test {

inline constexpr int kWaitMs = 10000;

// Reads from a Qt device until n bytes have come or the limit passed.
inline QByteArray ReadExactly(QIODevice& device, qsizetype n) {
    QByteArray got = device.readAll();
    while (got.size() < n) {
        if (device.bytesAvailable() == 0 &&
            !QSignalSpy(&device, &QIODevice::readyRead).wait(kWaitMs))
            break;
        got += device.readAll();
    }
    return got;
}

inline std::vector<std::uint8_t> Bytes(const QByteArray& data) {
    return {data.begin(), data.end()};
}

inline SerialSettings Line(const QString& port, int baud = 19200) {
    SerialSettings s;
    s.portName = port;
    s.baudRate = baud;
    return s;
}

// Every byte value once: a terminal that is not raw would translate or swallow some.
inline QByteArray AllByteValues() {
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data.append(static_cast<char>(i));
    return data;
}

} // namespace vantor::test

// Readable failure output for byte strings.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.toHex(' ').toStdString() << '"';
}
