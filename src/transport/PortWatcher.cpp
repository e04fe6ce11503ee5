// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/PortWatcher.h"

#include <QSet>
#include <QSocketNotifier>

#ifdef VANTOR_HAVE_UDEV
#include <libudev.h>
#endif

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

#ifdef VANTOR_HAVE_UDEV
// A netlink listener for tty devices being added, removed or changed. With the device manager
// running, its events come after the device files are ready; without it, the kernel's own events
// are taken.
class DeviceMonitor {
public:
    static std::unique_ptr<DeviceMonitor> Open() {
        auto monitor = std::unique_ptr<DeviceMonitor>(new DeviceMonitor);
        return monitor->m_monitor ? std::move(monitor) : nullptr;
    }
    ~DeviceMonitor() {
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }
    int fd() const { return udev_monitor_get_fd(m_monitor); }
    // Reads every waiting event; true if there was any.
    bool drain() {
        bool any = false;
        while (udev_device* device = udev_monitor_receive_device(m_monitor)) {
            udev_device_unref(device);
            any = true;
        }
        return any;
    }

private:
    DeviceMonitor() : m_udev(udev_new()) {
        if (!m_udev)
            return;
        udev_queue* queue = udev_queue_new(m_udev);
        const bool managerRuns = queue && udev_queue_get_udev_is_active(queue) == 1;
        if (queue)
            udev_queue_unref(queue);
        m_monitor = udev_monitor_new_from_netlink(m_udev, managerRuns ? "udev" : "kernel");
        if (m_monitor &&
            (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "tty", nullptr) < 0 ||
             udev_monitor_enable_receiving(m_monitor) < 0)) {
            udev_monitor_unref(m_monitor);
            m_monitor = nullptr;
        }
    }

    udev* m_udev;
    udev_monitor* m_monitor = nullptr;
};
#else
class DeviceMonitor {
public:
    static std::unique_ptr<DeviceMonitor> Open() { return nullptr; }
    int fd() const { return -1; }
    bool drain() { return false; }
};
#endif

PortWatcher::PortWatcher(PortEnumerator enumerator, QObject* parent) : QObject(parent) {
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::poll);
    setEnumerator(std::move(enumerator));
}

PortWatcher::~PortWatcher() = default;

void PortWatcher::setEnumerator(PortEnumerator enumerator) {
    if (!enumerator)
        enumerator = [] { return EnumeratePorts(false); };
    m_enumerator = std::move(enumerator);
    m_ports = m_enumerator();
}

void PortWatcher::start(int intervalMs) {
    if (!m_monitor && (m_monitor = DeviceMonitor::Open())) {
        m_notifier = new QSocketNotifier(m_monitor->fd(), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &PortWatcher::onDeviceEvent);
    }
    if (m_notifier)
        m_notifier->setEnabled(true);
    else
        m_timer.start(intervalMs);
}

void PortWatcher::stop() {
    m_timer.stop();
    if (m_notifier)
        m_notifier->setEnabled(false);
}

bool PortWatcher::watchesDeviceEvents() const {
    return m_notifier && m_notifier->isEnabled();
}

void PortWatcher::onDeviceEvent() {
    if (m_monitor->drain())
        poll();
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
