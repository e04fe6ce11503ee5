// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop program end to end: a pymodbus slave on one end of a socat pseudo-terminal pair,
// polled through the communication panel's own buttons; the grid page and the counters show
// what it answered.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "packets/ConnectionControls.h"
#include "packets/DataGridPanel.h"
#include "packets/MSHFlexGrid.h"
#include "peers/PeerProcess.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "widgets/MessageBox.h"

using namespace vantor;
using namespace vantor::test;

namespace {

void ClickButton(QWidget* parent, const char* name) {
    auto* button = parent->findChild<QAbstractButton*>(QString::fromLatin1(name));
    ASSERT_NE(button, nullptr) << name;
    ASSERT_TRUE(button->isEnabled()) << name;
    QTest::mouseClick(button, Qt::LeftButton);
}

QString EditText(QWidget* parent, const char* name) {
    auto* edit = parent->findChild<QLineEdit*>(QString::fromLatin1(name));
    return edit ? edit->text() : QStringLiteral("<no %1>").arg(QString::fromLatin1(name));
}

// The main window shown on its communication page, packet 1 reading registers 0..9 of slave 1.
struct CommWindow {
    CommWindow() {
        frame.ShowAtWorkingSize();
        view->showPanel(CZelvoView::kCommTab);
        PacketRows rows;
        rows[0] = {"1", "03", "0", "10", true};
        panel->setRows(rows);
    }
    Application app;
    CMainFrame frame{&app};
    CZelvoView* view = frame.view();
    CCommPanelDlg* panel = view->commPanel();
};

} // namespace

TEST(WindowPeer, PanelButtonsPollARealSlaveIntoTheGrid) {
    SocatPair line;
    ASSERT_TRUE(line.Start()) << line.error();
    PeerProcess slave;
    ASSERT_TRUE(StartModbusSlave(slave, {"--rtu", line.a()})) << slave.error();

    CommWindow window;
    CMainFrame& frame = window.frame;
    CZelvoView* view = window.view;
    CCommPanelDlg* panel = window.panel;
    view->store()->setCellFormat({PacketNo(1), 3}, 7);  // float AB CD over registers 3 and 4
    view->store()->setCellFormat({PacketNo(1), 5}, 12); // long AB CD over registers 5 and 6
    view->store()->setCellFormat({PacketNo(1), 2}, 5);  // unsigned
    view->serialSelection()->setTypedPort(line.b());

    ClickButton(panel, "configureButton");
    ClickButton(panel->connectionControls(), "openButton");

    CMSHFlexGrid* grid = frame.gridPage(1)->grid();
    const auto cell = [grid](int row, int column) { return grid->textMatrix(row, column); };
    EXPECT_TRUE(WaitUntil([&] { return cell(8, 2) == "-32768"; }, 20000))
        << cell(1, 2).toStdString() << " … " << cell(8, 2).toStdString();
    EXPECT_EQ(cell(1, 1), "4x00000");
    EXPECT_EQ(cell(1, 2), "1");
    EXPECT_EQ(cell(2, 2), "-2");
    EXPECT_EQ(cell(3, 2), "65534");
    EXPECT_EQ(cell(4, 2), "1.500");
    EXPECT_EQ(cell(5, 2), "--");
    EXPECT_EQ(cell(6, 2), "-2");
    EXPECT_EQ(cell(7, 2), "--");
    EXPECT_EQ(cell(9, 2), "12345");

    EXPECT_TRUE(WaitUntil([&] { return EditText(panel, "counterReceived").toInt() >= 2; }));
    EXPECT_EQ(EditText(panel, "counterCrc"), "0");
    EXPECT_EQ(EditText(panel, "counterData"), "0");
    EXPECT_EQ(EditText(panel, "lastGoodCountEdit"), "10");

    ClickButton(panel->connectionControls(), "openButton"); // closes
    EXPECT_TRUE(WaitUntil([&] { return !view->serialSelection()->portOpen(); }));
}

// A frame typed in "发送命令" is answered as itself: its reply shows as its own Rx line and is
// never counted against the polled packet; a write the device refuses is logged by name.
TEST(WindowPeer, TypedFramesAreAnsweredAsThemselves) {
    SocatPair line;
    ASSERT_TRUE(line.Start()) << line.error();
    PeerProcess slave;
    ASSERT_TRUE(StartModbusSlave(slave, {"--rtu", line.a()})) << slave.error();
    CommWindow window;
    window.view->serialSelection()->setTypedPort(line.b());
    ClickButton(window.panel, "configureButton");
    ClickButton(window.panel->connectionControls(), "openButton");
    ASSERT_TRUE(WaitUntil([&] { return EditText(window.panel, "counterReceived").toInt() >= 1; }));

    auto* log = window.panel->findChild<QPlainTextEdit*>(QStringLiteral("logEdit"));
    auto* typed = window.frame.findChild<QPlainTextEdit*>(QStringLiteral("customText"));
    ASSERT_TRUE(log && typed);
    const auto send = [&](const char* text) {
        typed->setPlainText(QString::fromLatin1(text));
        ClickButton(&window.frame, "customSendButton");
    };
    send("01 03 00 00 00 02");
    EXPECT_TRUE(WaitUntil([&] { return log->toPlainText().contains(" Rx :  01 03 04 00 01 FF FE "); }))
        << log->toPlainText().toStdString();
    send("01 06 00 64 00 01");
    EXPECT_TRUE(WaitUntil([&] {
        return log->toPlainText().contains("写入异常应答：功能码 0x86，异常码 0x02 非法数据地址");
    })) << log->toPlainText().toStdString();
    EXPECT_EQ(EditText(window.panel, "counterData"), "0");
    EXPECT_FALSE(log->toPlainText().contains("应答不完整")) << log->toPlainText().toStdString();
}

// A device that disappears while polling: the port shows closed and the status line says why, the
// counters stay, and the same window opens the new device and polls again.
TEST(WindowPeer, ALostDeviceIsShownClosedAndOpensAgain) {
    QStringList messages;
    SetMessageSink([&](QWidget*, const QString& text, MessageKind) { messages << text; });
    SocatPair line;
    ASSERT_TRUE(line.Start()) << line.error();
    PeerProcess slave;
    ASSERT_TRUE(StartModbusSlave(slave, {"--rtu", line.a()})) << slave.error();
    CommWindow window;
    CMainFrame& frame = window.frame;
    CZelvoView* view = window.view;
    CCommPanelDlg* panel = window.panel;
    view->serialSelection()->setTypedPort(line.b());
    ClickButton(panel, "configureButton");
    ClickButton(panel->connectionControls(), "openButton");
    const auto received = [panel] { return EditText(panel, "counterReceived").toInt(); };
    ASSERT_TRUE(WaitUntil([&] { return received() >= 2; }, 20000));

    line.Stop();
    slave.Stop();
    EXPECT_TRUE(WaitUntil([&] { return !view->serialSelection()->portOpen(); }, kPeerWaitMs))
        << messages.join('|').toStdString();
    EXPECT_TRUE(frame.statusBar()->currentMessage().startsWith(QString::fromUtf8("串口已断开")))
        << frame.statusBar()->currentMessage().toStdString();
    const int before = received();
    EXPECT_GE(before, 2);

    ASSERT_TRUE(line.Start()) << line.error();
    ASSERT_TRUE(StartModbusSlave(slave, {"--rtu", line.a()})) << slave.error();
    view->serialSelection()->setTypedPort(line.b());
    ClickButton(panel->connectionControls(), "openButton"); // opening the port polls again
    EXPECT_TRUE(WaitUntil([&] { return received() > before; }, 20000));
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    ClickButton(panel->connectionControls(), "openButton"); // closes
    SetMessageSink({});
}

TEST(WindowPeer, TcpControlsPollARealServerIntoTheGrid) {
    const QString port = QString::number(FreeTcpPort());
    PeerProcess server;
    ASSERT_TRUE(StartModbusSlave(server, {"--tcp", port})) << server.error();

    Application app;
    CMainFrame frame{&app};
    frame.ShowAtWorkingSize();
    CZelvoView* view = frame.view();
    CCommPanelDlg* panel = view->commPanel();
    ConnectionControls* controls = panel->connectionControls();
    view->showPanel(CZelvoView::kCommTab);

    auto* mode = controls->findChild<QComboBox*>(QStringLiteral("modeCombo"));
    ASSERT_NE(mode, nullptr);
    mode->setCurrentIndex(1); // "2. Tcp/Ip"
    controls->findChild<QLineEdit*>(QStringLiteral("ipEdit"))->setText("127.0.0.1");
    controls->findChild<QLineEdit*>(QStringLiteral("tcpPortEdit"))->setText(port);
    PacketRows rows;
    rows[0] = {"1", "03", "0", "10", true};
    panel->setRows(rows);
    view->store()->setCellFormat({PacketNo(1), 3}, 7);

    ClickButton(panel, "configureButton");
    ClickButton(controls, "connectButton");
    // "开始" once the connect line is in the log.
    auto* log = panel->findChild<QWidget*>(QStringLiteral("logEdit"));
    ASSERT_NE(log, nullptr);
    EXPECT_TRUE(WaitUntil([&] {
        return log->property("plainText")
            .toString()
            .contains(QString::fromUtf8("Modbus TCP/IP 设备 127.0.0.1 端口 %1 已连接！").arg(port));
    }));
    ClickButton(controls, "tcpStartButton");

    CMSHFlexGrid* grid = frame.gridPage(1)->grid();
    EXPECT_TRUE(WaitUntil([&] { return grid->textMatrix(4, 2) == "1.500"; }, 20000));
    EXPECT_EQ(grid->textMatrix(1, 2), "1");
    EXPECT_EQ(grid->textMatrix(2, 2), "-2");
    EXPECT_EQ(grid->textMatrix(5, 2), "--");
    EXPECT_TRUE(WaitUntil([&] { return EditText(panel, "counterReceived").toInt() >= 1; }));
    EXPECT_EQ(EditText(panel, "counterData"), "0");
    ClickButton(controls, "tcpStopButton");
}
