// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "transport/SerialPortInfo.h"

namespace vantor {
namespace {

TEST(SerialPortInfo, CompletesMissingNames) {
    struct Case {
        const char* portName;
        const char* friendly;
        const char* description;
        const char* wantFriendly;
        const char* wantDescription;
    };
    const Case cases[] = {
        {"COM5", "USB Serial Port (COM5)", "", "USB Serial Port (COM5)", "USB Serial Port"},
        {"ttyUSB0", "", "", "ttyUSB0", "ttyUSB0"},
        {"COM1", "Communications Port (COM1)", "Kept", "Communications Port (COM1)", "Kept"},
        // Only a single trailing parenthesised part after some text is cut.
        {"", " (COM5)", "", " (COM5)", " (COM5)"},
        {"", "(COM5)", "", "(COM5)", "(COM5)"},
        {"", "Port (A) (COM5)", "", "Port (A) (COM5)", "Port (A) (COM5)"},
        {"", "Port (COM5) x", "", "Port (COM5) x", "Port (COM5) x"},
        {"", "Port (COM5", "", "Port (COM5", "Port (COM5"},
        {"", "", "", "", ""},
    };
    for (const Case& c : cases) {
        SerialPortInfo info;
        info.portName = c.portName;
        info.friendlyName = c.friendly;
        info.description = c.description;
        CompletePortInfo(info);
        EXPECT_EQ(info.friendlyName, QString(c.wantFriendly)) << c.friendly;
        EXPECT_EQ(info.description, QString(c.wantDescription)) << c.friendly;
    }
}

TEST(SerialPortInfo, ListedPortsAreNamedForTheCombo) {
    const QList<SerialPortInfo> all = EnumeratePorts(false);
    for (const SerialPortInfo& p : all) {
        EXPECT_FALSE(p.devicePath.isEmpty());
        EXPECT_TRUE(p.friendlyName == p.portName ||
                    p.friendlyName == p.description + " (" + p.portName + ")")
            << p.friendlyName.toStdString();
    }
    // Probing only ever removes ports, keeping the system's order.
    const QList<SerialPortInfo> openable = EnumeratePorts(true);
    qsizetype next = 0;
    for (const SerialPortInfo& p : openable) {
        while (next < all.size() && all[next].devicePath != p.devicePath)
            ++next;
        EXPECT_LT(next, all.size()) << p.devicePath.toStdString();
        ++next;
    }
}

} // namespace
} // namespace vantor
