// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <array>

namespace vantor {

// The serial line settings of the session. portName is a system name ("ttyUSB0", "COM3")
// or a full device path ("/dev/pts/4", a symlink).
struct SerialSettings {
    QString portName;
    int baudRate = 19200;
    char parity = 'N'; // 'N', 'O' or 'E'
    int dataBits = 8;
    int stopBits = 2;
};

// The baud rates offered by the panel and the settings dialog, in their order.
inline constexpr std::array<int, 12> kBaudRates = {300,   600,   1200,  2400,  4800,  9600,
                                                   19200, 38400, 43000, 56000, 57600, 115200};

} // namespace vantor
