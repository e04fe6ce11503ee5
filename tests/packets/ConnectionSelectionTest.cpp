// SPDX-License-Identifier: GPL-3.0-or-later
// The serial selection and the port watcher, without any window.
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "packets/ConnectionTestUtil.h"
#include "registers/SerialSelection.h"
#include "transport/PortWatcher.h"

namespace vantor {
namespace {

using test::FakePort;

TEST(SerialSelection, PortNameFromDisplayText) {
    const std::pair<const char*, const char*> cases[] = {
        {"USB Serial (ttyUSB0)", "ttyUSB0"},
        {"CP2102 (rev 2) (ttyUSB1)", "ttyUSB1"}, // the last parentheses name the port
        {"ttyS0", "ttyS0"},
        {"/dev/pts/3", "/dev/pts/3"},
        {"  /dev/ttyVirtual0 ", "/dev/ttyVirtual0"},
        {"/dev/serial/by-id/usb-x(1)", "/dev/serial/by-id/usb-x(1)"}, // a path stays whole
        {"Odd ()", "Odd ()"},
        {"", ""},
    };
    for (const auto& [text, name] : cases)
        EXPECT_EQ(PortNameFromDisplayText(QString::fromUtf8(text)), QString::fromUtf8(name))
            << text;
}

TEST(SerialSelection, SettingsFollowTheTables) {
    SerialSelection selection;
    selection.RebuildPorts({FakePort("USB Serial", "ttyUSB0"), FakePort("On board", "ttyS0")}, {});
    SerialSettings s = selection.settings();
    EXPECT_EQ(s.portName, "ttyUSB0");
    EXPECT_EQ(s.baudRate, 19200);
    EXPECT_EQ(s.parity, 'N');
    EXPECT_EQ(s.dataBits, 8);
    EXPECT_EQ(s.stopBits, 2);

    selection.setPortIndex(1);
    selection.setBaudIndex(8);
    selection.setParityIndex(2);
    selection.setDataBitsIndex(2);
    selection.setStopBitsIndex(0);
    s = selection.settings();
    EXPECT_EQ(s.portName, "ttyS0");
    EXPECT_EQ(s.baudRate, 43000);
    EXPECT_EQ(s.parity, 'E');
    EXPECT_EQ(s.dataBits, 6);
    EXPECT_EQ(s.stopBits, 1);
    EXPECT_EQ(PortStatusText(s, false), "STATUS：ttyS0 CLOSED，43000,E,6,1");
    EXPECT_EQ(PortStatusText(s, true), "STATUS：ttyS0 OPENED，43000,E,6,1");
    EXPECT_EQ(ChoiceTexts(SerialChoice::Baud).at(8), "43000");
    EXPECT_EQ(ChoiceTexts(SerialChoice::StopBits), QStringList({"1", "2"}));
}

TEST(SerialSelection, RefusesIndexesOutsideTheTablesAndSignalsOnlyChanges) {
    SerialSelection selection;
    selection.RebuildPorts({FakePort("A", "ttyA")}, {});
    QSignalSpy changed(&selection, &SerialSelection::changed);
    selection.setBaudIndex(12);
    selection.setBaudIndex(-1);
    selection.setParityIndex(3);
    selection.setDataBitsIndex(3);
    selection.setStopBitsIndex(2);
    selection.setPortIndex(1);
    selection.setBaudIndex(6); // already chosen
    selection.setTypedPort("   ");
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(selection.baudIndex(), 6);
    EXPECT_EQ(selection.stopBitsIndex(), 1);
    EXPECT_EQ(selection.portIndex(), 0);

    selection.setBaudIndex(11);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(selection.settings().baudRate, 115200);
}

TEST(SerialSelection, TypedPortsAndListEntries) {
    SerialSelection selection;
    selection.RebuildPorts({FakePort("A", "ttyA"), FakePort("B", "ttyB")}, {});
    selection.setTypedPort(" /dev/pts/7 ");
    EXPECT_TRUE(selection.hasTypedPort());
    EXPECT_EQ(selection.portIndex(), -1);
    EXPECT_EQ(selection.portText(), "/dev/pts/7");
    EXPECT_EQ(selection.settings().portName, "/dev/pts/7");

    // Typing the text of an entry chooses the entry.
    selection.setTypedPort("B (ttyB)");
    EXPECT_FALSE(selection.hasTypedPort());
    EXPECT_EQ(selection.portIndex(), 1);

    selection.setTypedPort("/dev/pts/7");
    selection.setPortIndex(0);
    EXPECT_FALSE(selection.hasTypedPort());
    EXPECT_EQ(selection.portText(), "A (ttyA)");
}

TEST(SerialSelection, RebuildReportsTheNamedPortGone) {
    const QList<SerialPortInfo> two = {FakePort("A", "ttyA"), FakePort("B", "ttyB")};
    struct Case {
        QList<SerialPortInfo> ports;
        QString previous;
        bool gone;
    };
    const Case cases[] = {
        {two, "B (ttyB)", false}, // still present
        {two, "C (ttyC)", true},  // gone
        {two, "b (ttyB)", true},  // names compare exactly
        {two, "", false},         // an arrival
        {{}, "", true},           // nothing left at all
        {{}, "A (ttyA)", true},
    };
    for (const Case& c : cases) {
        SerialSelection selection;
        selection.RebuildPorts(two, {});
        selection.setPortIndex(1);
        QSignalSpy changed(&selection, &SerialSelection::changed);
        EXPECT_EQ(selection.RebuildPorts(c.ports, c.previous), c.gone) << c.previous.toStdString();
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(selection.portIndex(), c.ports.isEmpty() ? -1 : 0);
        EXPECT_EQ(selection.ports().size(), c.ports.size());
    }
}

TEST(SerialSelection, TypedPortSurvivesRebuildsUntilItsDeviceGoes) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString device = dir.filePath("ttyVirtual");
    QFile file(device);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    SerialSelection selection;
    selection.RebuildPorts({FakePort("A", "ttyA")}, {});
    selection.setTypedPort(device);
    EXPECT_FALSE(selection.RebuildPorts({}, device)); // another device left; ours is there
    EXPECT_EQ(selection.portText(), device);
    EXPECT_FALSE(selection.RebuildPorts({FakePort("B", "ttyB")}, {}));
    EXPECT_TRUE(selection.hasTypedPort());

    ASSERT_TRUE(QFile::remove(device));
    EXPECT_FALSE(selection.RebuildPorts({FakePort("B", "ttyB")}, {})); // an arrival says nothing
    EXPECT_TRUE(selection.RebuildPorts({FakePort("B", "ttyB")}, device));
}

TEST(PortWatcher, TellsArrivalsFromRemovals) {
    QList<SerialPortInfo> present = {FakePort("A", "ttyA"), FakePort("B", "ttyB")};
    PortWatcher watcher([&] { return present; });
    QSignalSpy changes(&watcher, &PortWatcher::portsChanged);

    watcher.poll();
    present = {FakePort("B", "ttyB"), FakePort("A", "ttyA")}; // order alone is no change
    watcher.poll();
    EXPECT_EQ(changes.count(), 0);

    present.append(FakePort("C", "ttyC"));
    watcher.poll();
    present.removeFirst();
    watcher.poll();
    present = {FakePort("D", "ttyD")}; // removals and an arrival at once
    watcher.poll();
    watcher.poll();

    ASSERT_EQ(changes.count(), 3);
    EXPECT_FALSE(changes[0][0].toBool());
    EXPECT_TRUE(changes[1][0].toBool());
    EXPECT_TRUE(changes[2][0].toBool());
    ASSERT_EQ(watcher.ports().size(), 1);
    EXPECT_EQ(watcher.ports().front().portName, "ttyD");

    // A new enumerator is a new reference, not a change.
    watcher.setEnumerator([] { return QList<SerialPortInfo>{}; });
    watcher.poll();
    EXPECT_EQ(changes.count(), 3);
    EXPECT_TRUE(watcher.ports().isEmpty());
}

TEST(PortWatcher, CountsARenamedDeviceAsRemoved) {
    QList<SerialPortInfo> present = {FakePort("A", "ttyA")};
    PortWatcher watcher([&] { return present; });
    QSignalSpy changes(&watcher, &PortWatcher::portsChanged);
    present = {FakePort("Other adapter", "ttyA")};
    watcher.poll();
    ASSERT_EQ(changes.count(), 1);
    EXPECT_TRUE(changes[0][0].toBool());
}

} // namespace
} // namespace vantor
