// SPDX-License-Identifier: GPL-3.0-or-later
// Writes on the wire: a pymodbus slave over a socat pseudo-terminal and over TCP receives a
// single write, a float, a page of more than 123 registers and a parameter set loaded from a
// file, a coil and a page of coils, and the next polls read the written values back.
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/SimulatedDevice.h"
#include "monitor/VckBaseDlg.h"
#include "peers/PeerProcess.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "writes/ParameterFile.h"
#include "writes/WriteService.h"

namespace vantor {
namespace {

using test::kPeerWaitMs;
using test::WaitUntil;

constexpr int kPageCount = 124; // one register more than a function 16 request carries

class WritePeers : public test::PeerTest {
protected:
    // Polls the pymodbus slave over the link, or the server at devicePort when it is given.
    void open(LinkKind link, quint16 devicePort = 0) {
        PacketRows rows{};
        rows[0] = {"1", "03", "0", "10", true};
        rows[1] = {"1", "03", "20", QString::number(kPageCount).toStdString(), true};
        Workspace* w = app.workspace();
        w->setRows(rows);
        w->setLinkKind(link);
        w->store()->setCellFormat({PacketNo(1), 3}, 7); // float AB CD in registers 3-4
        if (devicePort != 0) {
            setTcp(devicePort);
        } else if (link == LinkKind::Serial) {
            ASSERT_TRUE(socat.Start()) << socat.error();
            ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a(), "--wide"}))
                << slave.error();
            w->serial()->setTypedPort(socat.b());
        } else {
            const quint16 port = test::FreeTcpPort();
            ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port), "--wide"}))
                << slave.error();
            setTcp(port);
        }
        app.configure();
        app.link()->setPacketChecks(w->checks());
        app.openLink();
        ASSERT_TRUE(WaitUntil(
            [&] {
                return app.workspace()->store()->valueText({PacketNo(1), 8}) != QStringLiteral(" ");
            },
            kPeerWaitMs))
            << log.toStdString();
    }

    void setTcp(quint16 port) {
        TcpSettings tcp = app.workspace()->tcp();
        tcp.host = QStringLiteral("127.0.0.1");
        tcp.port = QString::number(port);
        app.workspace()->setTcp(tcp);
    }

    // Marks the cells, then waits for polls to bring the device's values into them.
    bool readBack(const std::vector<std::pair<PointRef, QString>>& expected) {
        RegisterStore* store = app.workspace()->store();
        for (const auto& [point, text] : expected)
            store->setCellValue(point, QStringLiteral("?"));
        const bool read = WaitUntil(
            [&] {
                for (const auto& [point, text] : expected)
                    if (store->valueText(point) != text)
                        return false;
                return true;
            },
            3 * kPeerWaitMs);
        for (const auto& [point, text] : expected)
            EXPECT_EQ(store->valueText(point), text) << point.packet.number << ":" << point.cell;
        return read;
    }

    // Polls the slave's coils 0..11 with function 1 (over TCP the function of the TCP header).
    void openCoils(LinkKind link) {
        PacketRows rows{};
        rows[0] = {"1", "01", "0", "12", true};
        Workspace* w = app.workspace();
        w->setRows(rows);
        w->setLinkKind(link);
        if (link == LinkKind::Serial) {
            ASSERT_TRUE(socat.Start()) << socat.error();
            ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
            w->serial()->setTypedPort(socat.b());
        } else {
            const quint16 port = test::FreeTcpPort();
            ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port)}))
                << slave.error();
            setTcp(port); // each packet polled with its own function: the coils' 01
        }
        app.configure();
        app.link()->setPacketChecks(w->checks());
        app.openLink();
        ASSERT_TRUE(readBack({{{PacketNo(1), 11}, "0"}})) << log.toStdString();
    }

    // Coil 3 switched on with function 5, then the page of 12 coils written with function 15.
    void runCoils() {
        ASSERT_TRUE(writes.isCoilPacket(PacketNo(1)));
        EXPECT_TRUE(writes.writeCoil({PacketNo(1), 3}, true).sent);
        ASSERT_TRUE(readBack({{{PacketNo(1), 3}, "1"}, {{PacketNo(1), 2}, "0"}}))
            << log.toStdString();
        std::vector<std::pair<PointRef, QString>> coils;
        for (int i = 0; i < 12; ++i)
            coils.push_back({{PacketNo(1), i}, i % 3 == 1 || i == 11 ? "1" : "0"});
        writes.beginPageEdit(PacketNo(1));
        for (const auto& [point, text] : coils)
            app.workspace()->store()->setCellValue(point, text);
        writes.endPageEdit();
        ASSERT_TRUE(readBack(coils)) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("命令未发送")), 0) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("异常应答")), 0) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("不匹配")), 0) << log.toStdString();
    }

    std::vector<std::pair<PointRef, QString>> page(int offset) {
        std::vector<std::pair<PointRef, QString>> cells;
        for (int i = 0; i < kPageCount; ++i)
            cells.push_back({{PacketNo(2), i}, QString::number(i * 7 + offset)});
        return cells;
    }

    void run() {
        RegisterStore* store = app.workspace()->store();
        // One register and one float.
        EXPECT_TRUE(writes.writeCell({PacketNo(1), 0}, "-5", "65531").sent);
        EXPECT_TRUE(writes.writeCell({PacketNo(1), 3}, "2.25", "2").sent);
        ASSERT_TRUE(readBack({{{PacketNo(1), 0}, "-5"}, {{PacketNo(1), 3}, "2.250"}}))
            << log.toStdString();
        // A page of 124 registers in the fn 16 edit mode: two requests.
        writes.beginPageEdit(PacketNo(2));
        for (const auto& [point, text] : page(1))
            store->setCellValue(point, text);
        writes.endPageEdit();
        ASSERT_TRUE(readBack(page(1))) << log.toStdString();
        // A parameter set saved, changed, loaded again and written.
        QTemporaryDir dir;
        const QString file = dir.filePath("p.dll");
        for (const auto& [point, text] : page(2))
            store->setCellValue(point, text);
        store->setCellValue({PacketNo(1), 1}, "-300");
        ASSERT_TRUE(SaveParameterFile(file, *store, writes.counts()).error.isEmpty());
        store->setCellValue({PacketNo(1), 1}, "0");
        ASSERT_TRUE(writes.loadParameters(file).error.isEmpty());
        EXPECT_TRUE(writes.writeParameters().sent);
        auto expected = page(2);
        expected.push_back({{PacketNo(1), 1}, "-300"});
        ASSERT_TRUE(readBack(expected)) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("命令未发送")), 0) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("异常应答")), 0) << log.toStdString();
        EXPECT_EQ(log.count(QStringLiteral("不匹配")), 0) << log.toStdString();
    }

    Application app{LinkController::Placement::CallerThread};
    WriteService writes{app.workspace(), app.link()};
    QString log;
    QMetaObject::Connection logging =
        QObject::connect(app.link(), &LinkController::logEvent,
                         [this](const LogEvent& event) { log += event.text + '\n'; });
};

TEST_F(WritePeers, RtuSlaveTakesCellPageAndParameterWrites) {
    open(LinkKind::Serial);
    run();
    // Function 06 and two function 16 requests of the page: 123 registers at 20, 1 at 143.
    EXPECT_TRUE(log.contains(QStringLiteral("Tx :  01 06 00 00 FF FB "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("01 10 00 14 00 7B F6 "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("01 10 00 8F 00 01 02 "))) << log.toStdString();
}

TEST_F(WritePeers, TcpSlaveTakesCellPageAndParameterWrites) {
    open(LinkKind::Tcp);
    run();
    // MBAP header with the write's own transaction number, protocol 0 and the length.
    EXPECT_TRUE(log.contains(QStringLiteral("00 00 00 06 01 06 00 00 FF FB")))
        << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("00 00 00 FD 01 10 00 14 00 7B F6 ")))
        << log.toStdString();
}

// Coils 1, 4, 7, 10 and 11 on: 0x92, 0x0C.
TEST_F(WritePeers, RtuSlaveTakesCoilWrites) {
    openCoils(LinkKind::Serial);
    runCoils();
    EXPECT_TRUE(log.contains(QStringLiteral("Tx :  01 05 00 03 FF 00 "))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Tx :  01 0F 00 00 00 0C 02 92 0C ")))
        << log.toStdString();
}

TEST_F(WritePeers, TcpSlaveTakesCoilWrites) {
    openCoils(LinkKind::Tcp);
    runCoils();
    EXPECT_TRUE(log.contains(QStringLiteral("00 00 00 06 01 05 00 03 FF 00"))) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("00 00 00 09 01 0F 00 00 00 0C 02 92 0C")))
        << log.toStdString();
}

// A parameter set over packets of every table: holding registers are written with function 16
// and coils with 15, each at its own address; the input registers and discrete inputs are left
// alone and named. What goes out is the loaded set, though polls have since refilled the grid.
TEST_F(WritePeers, AParameterSetWritesOnlyHoldingRegistersAndCoils) {
    PacketRows rows{};
    rows[0] = {"1", "03", "0", "8", true};
    rows[1] = {"1", "04", "0", "4", true};
    rows[2] = {"1", "02", "0", "8", true};
    rows[3] = {"1", "01", "0", "8", true};
    Workspace* w = app.workspace();
    w->setRows(rows);
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    w->serial()->setTypedPort(socat.b());
    app.configure();
    app.link()->setPacketChecks(w->checks());
    app.openLink();
    const auto set = [](int packet, int count, const std::function<QString(int)>& text) {
        std::vector<std::pair<PointRef, QString>> cells;
        for (int i = 0; i < count; ++i)
            cells.push_back({{PacketNo(packet), i}, text(i)});
        return cells;
    };
    const auto holding = set(1, 8, [](int i) { return QString::number(100 + i); });
    const auto coils = set(4, 8, [](int i) { return QString::number(i % 2); });
    const auto input = set(2, 4, [](int i) { return QString::number(900 + i); });
    const auto discrete = set(3, 8, [](int) { return QStringLiteral("0"); });
    ASSERT_TRUE(readBack({{{PacketNo(4), 7}, "0"}})) << log.toStdString();

    RegisterStore* store = w->store();
    QTemporaryDir dir;
    const QString file = dir.filePath("mixed.dll");
    for (const auto& cells : {holding, coils, input, discrete})
        for (const auto& [point, text] : cells)
            store->setCellValue(point, text);
    ASSERT_TRUE(SaveParameterFile(file, *store, writes.counts()).error.isEmpty());
    ASSERT_TRUE(writes.loadParameters(file).error.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return store->valueText({PacketNo(1), 0}) == "1"; }, kPeerWaitMs))
        << "a poll brings the device's values back into the grid";

    const WriteService::Outcome outcome = writes.writeParameters();
    EXPECT_TRUE(outcome.sent);
    EXPECT_TRUE(outcome.note.contains(QStringLiteral("数据包 2（功能码 04）")) &&
                outcome.note.contains(QStringLiteral("数据包 3（功能码 02）")))
        << outcome.note.toStdString();
    auto expected = holding;
    expected.insert(expected.end(), coils.begin(), coils.end());
    for (const auto& [cell, text] : {std::pair{0, "100"}, {1, "200"}, {2, "32767"}})
        expected.push_back({{PacketNo(2), cell}, text});
    for (const auto& [cell, text] : {std::pair{0, "1"}, {2, "1"}, {3, "1"}, {7, "1"}})
        expected.push_back({{PacketNo(3), cell}, text});
    ASSERT_TRUE(readBack(expected)) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("Tx :  01 10 ")), 1) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("Tx :  01 0F 00 00 00 08 01 AA ")), 1) << log.toStdString();
}

// The simulated device of --demo keeps a written register, even one it moves by itself, long
// enough for the next poll to show it.
TEST_F(WritePeers, SimulatedDeviceKeepsWrittenRegisters) {
    SimulatedDevice device;
    ASSERT_TRUE(device.StartTcp()) << device.errorString().toStdString();
    open(LinkKind::Tcp, device.tcpPort());
    EXPECT_TRUE(writes.writeCell({PacketNo(1), 0}, "-7", "65529").sent); // the counter
    EXPECT_TRUE(writes.writeCell({PacketNo(1), 9}, "4660", "4660").sent);
    EXPECT_TRUE(readBack({{{PacketNo(1), 0}, "-7"}, {{PacketNo(1), 9}, "4660"}}))
        << log.toStdString();
}

// Monitoring objects on the wire: a switch over RTU and an analogue object over TCP write the
// device's register, and their refresh then shows what the device holds.
TEST_F(WritePeers, ASwitchWritesAnRtuSlaveAndShowsItsRegister) {
    open(LinkKind::Serial);
    CVCKBASEDlg panel(app.workspace(), &writes);
    app.workspace()->monitors()->setCaption(MonitorKind::Switch, 0, "Pump 1-3-2"); // cell 2
    panel.clickSwitch(0);
    ASSERT_TRUE(readBack({{{PacketNo(1), 2}, "1"}})) << log.toStdString();
    panel.refresh();
    EXPECT_TRUE(panel.isOn(MonitorKind::Switch, 0));
    EXPECT_TRUE(log.contains(QStringLiteral("Tx :  01 06 00 02 00 01 "))) << log.toStdString();
}

// A switch on a coil writes the coil with function 05, never a register.
TEST_F(WritePeers, ASwitchOnACoilWritesTheCoil) {
    openCoils(LinkKind::Serial);
    CVCKBASEDlg panel(app.workspace(), &writes);
    app.workspace()->monitors()->setCaption(MonitorKind::Switch, 0, "Fan 1-4-2"); // coil 3
    panel.clickSwitch(0);
    ASSERT_TRUE(readBack({{{PacketNo(1), 3}, "1"}})) << log.toStdString();
    EXPECT_TRUE(log.contains(QStringLiteral("Tx :  01 05 00 03 FF 00 "))) << log.toStdString();
    EXPECT_FALSE(log.contains(QStringLiteral("Tx :  01 06 "))) << log.toStdString();
}

TEST_F(WritePeers, AnAnalogueObjectWritesATcpServerAndShowsItsValue) {
    open(LinkKind::Tcp);
    CVCKBASEDlg panel(app.workspace(), &writes);
    app.workspace()->monitors()->setCaption(MonitorKind::Analogue, 0, "Level 1-6-2"); // cell 5
    panel.applyAnalogue(0, 12.34, QStringLiteral("m"), 0.5); // ceil(12.34 / 0.1) = 124
    ASSERT_TRUE(readBack({{{PacketNo(1), 5}, "124"}})) << log.toStdString();
    panel.refresh();
    EXPECT_EQ(panel.valueWindow(0)->text(), "62.0m"); // 124 at the new rate
}

} // namespace
} // namespace vantor
