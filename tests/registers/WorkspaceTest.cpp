// SPDX-License-Identifier: GPL-3.0-or-later
// The workspace's change signals: each change is told once, and nothing that did not change.
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <type_traits>

#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

using namespace vantor;

// A 0-based index cannot pass for a packet number without being named one.
static_assert(!std::is_convertible_v<int, PacketNo>);
static_assert(PacketNo(30).valid() && !PacketNo(0).valid() && !PacketNo(31).valid());
static_assert(!PointRef{PacketNo(1), 130}.valid() && PointRef{PacketNo(1), 129}.valid());

TEST(Workspace, RowChangesAreToldOnceAndOnlyWhenSomethingChanged) {
    Workspace ws;
    QSignalSpy rows(&ws, &Workspace::rowChanged);
    QSignalSpy checks(&ws, &Workspace::packetCheckChanged);
    DataPacket row = ws.row(PacketNo(3));
    row.count = "10";
    ws.setRow(PacketNo(3), row);
    ws.setRow(PacketNo(3), row);  // the same again
    ws.setRow(PacketNo(31), row); // outside the table
    ws.setPacketChecked(PacketNo(3), true);
    ws.setPacketChecked(PacketNo(3), true);
    EXPECT_EQ(rows.count(), 2);
    ASSERT_EQ(checks.count(), 1);
    EXPECT_EQ(checks[0], (QVariantList{3, true}));
    EXPECT_EQ(ws.rows()[2].count, "10");
    EXPECT_TRUE(ws.isChecked(PacketNo(3)));
    EXPECT_EQ(ws.row(PacketNo(0)).count, "0"); // outside reads as a default row
}

TEST(Workspace, SettingsSignalOnlyOnChange) {
    Workspace ws;
    QSignalSpy kinds(&ws, &Workspace::linkKindChanged);
    QSignalSpy tcp(&ws, &Workspace::tcpChanged);
    QSignalSpy interval(&ws, &Workspace::sendIntervalChanged);
    ws.setLinkKind(LinkKind::Serial);
    ws.setLinkKind(LinkKind::Tcp);
    TcpSettings settings = ws.tcp();
    ws.setTcp(settings);
    settings.header.unit = 7;
    ws.setTcp(settings);
    ws.setSendIntervalText(QStringLiteral(" 350ms"));
    EXPECT_EQ(kinds.count(), 1);
    EXPECT_EQ(tcp.count(), 1);
    EXPECT_EQ(interval.count(), 1);
    EXPECT_EQ(ws.sendInterval(), 350); // read leniently, as configure reads it
}

TEST(Workspace, ConfigureGivesTheStoreItsImagesAndLabels) {
    Workspace ws;
    PacketRows rows;
    rows[1] = {"1", "04", "100", "3", true};
    ws.setRows(rows);
    const ConfigureResult result = ws.configure();
    EXPECT_TRUE(result.errors.empty());
    EXPECT_EQ(ws.store()->images().packets[1].serialText, "010400640003");
    EXPECT_EQ(ws.store()->labelText({PacketNo(2), 2}), "3x00102");
    EXPECT_EQ(ws.store()->labelText({PacketNo(2), 3}), " ");
}

TEST(Workspace, StrictIntervalTakesOnlyAWholeNumberOfMilliseconds) {
    Workspace ws;
    for (const char* text : {"abc", "350ms", "-5", "", "3600001"}) {
        ws.setSendIntervalText(QString::fromUtf8(text));
        EXPECT_EQ(ws.strictSendInterval(), std::nullopt) << text;
    }
    ws.setSendIntervalText(" 350 ");
    EXPECT_EQ(ws.strictSendInterval(), 350);
    EXPECT_TRUE(ws.tcp().host.isEmpty()); // no server address the user did not type
}
