// Placeholder until the serial selection lands.
#include "packets/SerialSelection.h"

namespace vantor {

SerialSelection::SerialSelection(QObject* parent) : QObject(parent) {}
QString SerialSelection::portText() const { return m_typedPort; }
SerialSettings SerialSelection::settings() const { return {}; }
void SerialSelection::setPortIndex(int) {}
void SerialSelection::setTypedPort(const QString& text) { m_typedPort = text; }
void SerialSelection::setBaudIndex(int) {}
void SerialSelection::setParityIndex(int) {}
void SerialSelection::setDataBitsIndex(int) {}
void SerialSelection::setStopBitsIndex(int) {}
void SerialSelection::setPortOpen(bool open) { m_portOpen = open; }
bool SerialSelection::RebuildPorts(const QList<SerialPortInfo>&, const QString&) { return false; }
QString PortNameFromDisplayText(const QString& text) { return text; }

} // namespace vantor
