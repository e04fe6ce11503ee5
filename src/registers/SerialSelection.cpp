// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/SerialSelection.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <algorithm>
#include <iterator>
#include <type_traits>

#include "transport/ComPort.h"

namespace vantor {

QString PortNameFromDisplayText(const QString& text) {
    const QString trimmed = text.trimmed();
    // A path is opened as typed, even when it happens to end in parentheses.
    if (trimmed.startsWith(QLatin1Char('/')) || !trimmed.endsWith(QLatin1Char(')')))
        return trimmed;
    // The last "(" so that a description holding parentheses of its own is skipped.
    const qsizetype open = trimmed.lastIndexOf(QLatin1Char('('));
    if (open < 0)
        return trimmed;
    const QString name = trimmed.mid(open + 1, trimmed.size() - open - 2).trimmed();
    return name.isEmpty() ? trimmed : name;
}

QString PortStatusText(const SerialSettings& settings, bool open) {
    return QCoreApplication::translate("vantor::SerialSelection", "STATUS：%1 %2，%3,%4,%5,%6")
        .arg(settings.portName,
             open ? QCoreApplication::translate("vantor::SerialSelection", "OPENED")
                  : QCoreApplication::translate("vantor::SerialSelection", "CLOSED"))
        .arg(settings.baudRate)
        .arg(QChar::fromLatin1(settings.parity))
        .arg(settings.dataBits)
        .arg(settings.stopBits);
}

QString PortClosedStatusText() {
    return QCoreApplication::translate("vantor::SerialSelection", kPortClosedStatus);
}

bool SameSettings(const SerialSettings& a, const SerialSettings& b) {
    return a.portName == b.portName && a.baudRate == b.baudRate && a.parity == b.parity &&
           a.dataBits == b.dataBits && a.stopBits == b.stopBits;
}

namespace {

template <class Table> QStringList Texts(const Table& table) {
    QStringList texts;
    for (const auto& entry : table) {
        if constexpr (std::is_same_v<std::decay_t<decltype(entry)>, int>)
            texts.append(QString::number(entry));
        else
            texts.append(QString::fromUtf8(entry));
    }
    return texts;
}

} // namespace

QStringList ChoiceTexts(SerialChoice choice) {
    switch (choice) {
    case SerialChoice::Baud:
        return Texts(kBaudRates);
    case SerialChoice::Parity:
        return Texts(kParityTexts);
    case SerialChoice::DataBits:
        return Texts(kDataBitsValues);
    case SerialChoice::StopBits:
        return Texts(kStopBitsValues);
    }
    return {};
}

SerialSelection::SerialSelection(QObject* parent) : QObject(parent) {}

QString SerialSelection::portText() const {
    if (m_portIndex >= 0 && m_portIndex < m_ports.size())
        return m_ports[m_portIndex];
    return m_typedPort;
}

SerialSettings SerialSelection::settings() const {
    SerialSettings s;
    s.portName = PortNameFromDisplayText(portText());
    s.baudRate = kBaudRates[m_baud];
    s.parity = kParityLetters[static_cast<std::size_t>(m_parity)];
    s.dataBits = kDataBitsValues[static_cast<std::size_t>(m_dataBits)];
    s.stopBits = kStopBitsValues[static_cast<std::size_t>(m_stopBits)];
    return s;
}

void SerialSelection::setPortIndex(int index) {
    if (index < 0 || index >= m_ports.size())
        return;
    if (index == m_portIndex && m_typedPort.isEmpty())
        return;
    m_portIndex = index;
    m_typedPort.clear();
    emit changed();
}

void SerialSelection::setTypedPort(const QString& text) {
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return;
    // Typing an entry of the list is the same as choosing it.
    const qsizetype listed = m_ports.indexOf(typed);
    if (listed >= 0) {
        setPortIndex(static_cast<int>(listed));
        return;
    }
    if (m_portIndex < 0 && m_typedPort == typed)
        return;
    m_portIndex = -1;
    m_typedPort = typed;
    emit changed();
}

bool SerialSelection::setIndex(int& member, int index, std::size_t tableSize) {
    if (index < 0 || static_cast<std::size_t>(index) >= tableSize || index == member)
        return false;
    member = index;
    emit changed();
    return true;
}

// The index of value in table, or -1 (which every setter refuses).
template <class Table, class Value> int IndexIn(const Table& table, Value value) {
    const auto found = std::find(std::begin(table), std::end(table), value);
    return found == std::end(table) ? -1 : static_cast<int>(found - std::begin(table));
}

void SerialSelection::setLineSettings(const SerialSettings& settings) {
    setBaudIndex(IndexIn(kBaudRates, settings.baudRate));
    setParityIndex(IndexIn(kParityLetters, settings.parity));
    setDataBitsIndex(IndexIn(kDataBitsValues, settings.dataBits));
    setStopBitsIndex(IndexIn(kStopBitsValues, settings.stopBits));
}

void SerialSelection::setBaudIndex(int index) {
    setIndex(m_baud, index, kBaudRates.size());
}
void SerialSelection::setParityIndex(int index) {
    setIndex(m_parity, index, kParityTexts.size());
}
void SerialSelection::setDataBitsIndex(int index) {
    setIndex(m_dataBits, index, kDataBitsValues.size());
}
void SerialSelection::setStopBitsIndex(int index) {
    setIndex(m_stopBits, index, kStopBitsValues.size());
}

void SerialSelection::setPortOpen(bool open) {
    if (open == m_portOpen)
        return;
    m_portOpen = open;
    emit portOpenChanged(open);
}

bool SerialSelection::RebuildPorts(const QList<SerialPortInfo>& ports,
                                   const QString& previousText) {
    m_ports.clear();
    for (const SerialPortInfo& port : ports)
        m_ports.append(port.friendlyName);

    bool gone = false;
    if (hasTypedPort()) {
        const QString device = ResolveSerialDevice(PortNameFromDisplayText(m_typedPort));
        gone = previousText == m_typedPort && !QFileInfo::exists(device);
    } else {
        m_portIndex = m_ports.isEmpty() ? -1 : 0;
        gone = m_ports.isEmpty() || (!previousText.isEmpty() && !m_ports.contains(previousText));
    }
    emit changed();
    return gone;
}

} // namespace vantor
