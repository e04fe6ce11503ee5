// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/SerialPortInfo.h"

#include <QSerialPort>
#include <QSerialPortInfo>

namespace vantor {

namespace {

SerialPortInfo FromSystem(const QSerialPortInfo& port) {
    SerialPortInfo info;
    info.devicePath = port.systemLocation();
    info.portName = port.portName();
    info.description = port.description();
    info.friendlyName = info.description.isEmpty()
                            ? info.portName
                            : QStringLiteral("%1 (%2)").arg(info.description, info.portName);
    const auto mentionsUsb = [](const QString& text) {
        return text.contains(QLatin1String("usb"), Qt::CaseInsensitive);
    };
    info.isUsb = port.hasVendorIdentifier() || mentionsUsb(port.systemLocation()) ||
                 mentionsUsb(port.manufacturer());
    return info;
}

// A port that is absent or held by another program cannot be opened and is not offered.
bool CanOpen(const QSerialPortInfo& port) {
    QSerialPort probe(port);
    if (!probe.open(QIODevice::ReadWrite))
        return false;
    probe.close();
    return true;
}

} // namespace

QList<SerialPortInfo> EnumeratePorts(bool probe) {
    QList<SerialPortInfo> ports;
    for (const QSerialPortInfo& port : QSerialPortInfo::availablePorts()) {
        if (probe && !CanOpen(port))
            continue;
        SerialPortInfo info = FromSystem(port);
        CompletePortInfo(info);
        ports.append(info);
    }
    return ports;
}

void CompletePortInfo(SerialPortInfo& info) {
    if (info.friendlyName.isEmpty())
        info.friendlyName = info.portName;
    if (!info.description.isEmpty())
        return;
    info.description = info.friendlyName;
    // "USB Serial Port (COM5)" describes itself as "USB Serial Port".
    const qsizetype open = info.description.indexOf(QLatin1String(" ("));
    const qsizetype close = info.description.indexOf(QLatin1Char(')'));
    if (open > 0 && close == info.description.size() - 1)
        info.description.truncate(open);
}

} // namespace vantor
