// SPDX-License-Identifier: GPL-3.0-or-later
// The port watcher once started: on Linux device events drive it instead of a periodic listing,
// and a listing asked for still reports a change.
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include "transport/PortWatcher.h"

namespace vantor {
namespace {

SerialPortInfo Port(const char* name) {
    SerialPortInfo port;
    port.portName = port.devicePath = port.friendlyName = QString::fromLatin1(name);
    return port;
}

TEST(PortWatcher, StartedWatcherListsOnlyWhenAsked) {
    QList<SerialPortInfo> present = {Port("ttyA")};
    int listings = 0;
    PortWatcher watcher([&] {
        ++listings;
        return present;
    });
    QSignalSpy changes(&watcher, &PortWatcher::portsChanged);
    watcher.start(10);
#ifdef __linux__
    ASSERT_TRUE(watcher.watchesDeviceEvents());
    QTest::qWait(100);      // ten intervals of the fallback listing
    EXPECT_EQ(listings, 1); // the reference list taken at construction
#endif
    present.append(Port("ttyB"));
    watcher.poll();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_FALSE(changes[0][0].toBool());

    watcher.stop();
    EXPECT_FALSE(watcher.watchesDeviceEvents());
#ifdef __linux__
    watcher.start(10); // a restart takes up the same watch
    EXPECT_TRUE(watcher.watchesDeviceEvents());
#endif
}

} // namespace
} // namespace vantor
