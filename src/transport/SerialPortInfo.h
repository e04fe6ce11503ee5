// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial ports present on the machine, for the port combo.
#include <QList>
#include <QString>

namespace vantor {

struct SerialPortInfo {
    QString devicePath;   // what to open
    QString portName;     // system name, e.g. ttyUSB0
    QString friendlyName; // shown in the combo: "<description> (<name>)"
    bool isUsb = false;
    QString description;
};

// The ports in the order the system lists them. With probe, ports that cannot be opened
// (absent or held by another program) are left out.
QList<SerialPortInfo> EnumeratePorts(bool probe);

// Fills names from a friendly name when missing: the description is the friendly name
// without a trailing " (...)" part.
void CompletePortInfo(SerialPortInfo& info);

} // namespace vantor
