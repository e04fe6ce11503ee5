#include "transport/PortWatcher.h"

#include <QSet>

namespace vantor {

namespace {

// Two records name the same port when both the device and its shown name match.
QSet<QString> Keys(const QList<SerialPortInfo>& ports) {
    QSet<QString> keys;
    for (const SerialPortInfo& port : ports)
        keys.insert(port.devicePath + QLatin1Char('\n') + port.friendlyName);
    return keys;
}

} // namespace

PortWatcher::PortWatcher(PortEnumerator enumerator, QObject* parent) : QObject(parent) {
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
    setEnumerator(std::move(enumerator));
}

void PortWatcher::setEnumerator(PortEnumerator enumerator) {
    if (!enumerator)
        enumerator = [] { return EnumeratePorts(false); };
    m_enumerator = std::move(enumerator);
    m_ports = m_enumerator();
}

void PortWatcher::start(int intervalMs) {
    m_timer.start(intervalMs);
}

void PortWatcher::stop() {
    m_timer.stop();
}

void PortWatcher::poll() {
    QList<SerialPortInfo> now = m_enumerator();
    const QSet<QString> before = Keys(m_ports);
    const QSet<QString> after = Keys(now);
    if (before == after)
        return;
    const bool removed = !after.contains(before);
    m_ports = std::move(now);
    emit portsChanged(removed);
}

} // namespace vantor
