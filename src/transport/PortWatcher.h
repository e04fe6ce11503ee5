#pragma once
// Notices serial devices coming and going by comparing the present ports once a second.
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>

#include "transport/SerialPortInfo.h"

namespace vantor {

using PortEnumerator = std::function<QList<SerialPortInfo>()>;

class PortWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 1000;

    // An empty enumerator lists the system's ports without probing them (probing would open
    // every port, and a port this program holds open would look removed).
    explicit PortWatcher(PortEnumerator enumerator = {}, QObject* parent = nullptr);

    // Replaces the enumerator and takes its list as the new reference, without a signal.
    void setEnumerator(PortEnumerator enumerator);
    const QList<SerialPortInfo>& ports() const { return m_ports; } // as last listed
    void start(int intervalMs = kIntervalMs);
    void stop();

public slots:
    void poll(); // lists the ports now and compares them with the last list

signals:
    // The set of ports differs from the last list; removed: at least one port disappeared
    // (otherwise only arrivals). ports() holds the new list.
    void portsChanged(bool removed);

private:
    PortEnumerator m_enumerator;
    QList<SerialPortInfo> m_ports;
    QTimer m_timer{this};
};

} // namespace vantor
