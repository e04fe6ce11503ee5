// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Notices serial devices coming and going. On Linux it listens for the kernel's tty device
// events, which costs nothing while no device changes; elsewhere, or when that listening cannot
// be set up, it compares the present ports once a second.
#include <QList>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "transport/SerialPortInfo.h"

class QSocketNotifier;

namespace vantor {

using PortEnumerator = std::function<QList<SerialPortInfo>()>;

class DeviceMonitor;

class PortWatcher : public QObject {
    Q_OBJECT
public:
    static constexpr int kIntervalMs = 1000;

    // An empty enumerator lists the system's ports without probing them (probing would open
    // every port, and a port this program holds open would look removed).
    explicit PortWatcher(PortEnumerator enumerator = {}, QObject* parent = nullptr);
    ~PortWatcher() override;

    // Replaces the enumerator and takes its list as the new reference, without a signal.
    void setEnumerator(PortEnumerator enumerator);
    const QList<SerialPortInfo>& ports() const { return m_ports; } // as last listed
    // Watches from now on: through device events where the system offers them, else by listing
    // the ports every intervalMs.
    void start(int intervalMs = kIntervalMs);
    void stop();
    // True while device events drive the watch (no periodic listing).
    bool watchesDeviceEvents() const;

public slots:
    void poll(); // lists the ports now and compares them with the last list

signals:
    // The set of ports differs from the last list; removed: at least one port disappeared
    // (otherwise only arrivals). ports() holds the new list.
    void portsChanged(bool removed);

private:
    void onDeviceEvent();

    PortEnumerator m_enumerator;
    QList<SerialPortInfo> m_ports;
    QTimer m_timer{this};
    std::unique_ptr<DeviceMonitor> m_monitor;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace vantor
