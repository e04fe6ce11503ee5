// SPDX-License-Identifier: GPL-3.0-or-later
// The connection controls driven as a user would, with the session on the test thread.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <memory>

#include "modbus/CommSession.h"
#include "modbus/LinkController.h"
#include "packets/ConnectionControls.h"
#include "packets/ConnectionTestUtil.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"
#include "support/Wait.h"
#include "transport/ComPort.h"
#include "transport/PtyPair.h"
#include "widgets/MessageBox.h"

namespace vantor {
namespace {

using test::ChooseByKeys;
using test::FakePort;
using test::Items;
using test::WaitUntil;

class ConnectionControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        m_present = {FakePort("USB Serial", "ttyUSB0"), FakePort("Ghost", "ttyVantorGhost9")};
        controls = std::make_unique<ConnectionControls>(&workspace, &link);
        controls->setPortEnumerator([this] { return m_present; });
        sending = std::make_unique<QSignalSpy>(controls.get(), &ConnectionControls::sendingChanged);
        controls->show();
    }
    void TearDown() override {
        controls.reset();
        SetMessageSink({});
    }

    template <class T> T* child(const char* name) const {
        T* found = controls->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QComboBox* combo(const char* name) const { return child<QComboBox>(name); }
    QString status() const { return child<QLabel>("portStatus")->text(); }
    QString caption() const { return child<QPushButton>("openButton")->text(); }
    bool indicatorOpen() const {
        return child<QLabel>("portIndicator")->property("portOpen").toBool();
    }
    void click(const char* name) { QTest::mouseClick(child<QPushButton>(name), Qt::LeftButton); }
    void typePort(const QString& text) {
        QLineEdit* edit = combo("portCombo")->lineEdit();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    // Lets queued calls and the session's answers run.
    void settle() { QTest::qWait(50); }
    void changePorts(QList<SerialPortInfo> ports) {
        m_present = std::move(ports);
        controls->portWatcher()->poll();
    }

    Workspace workspace;
    LinkController link{LinkController::Placement::CallerThread};
    CommSession& session = *link.sessionForTests();
    SerialSelection& selection = *workspace.serial();
    QStringList messages;
    std::unique_ptr<ConnectionControls> controls;
    std::unique_ptr<QSignalSpy> sending;

private:
    QList<SerialPortInfo> m_present;
};

// ---- start-up and the serial settings ---------------------------------------------------------

TEST_F(ConnectionControlsTest, StartsClosedInSerialModeWithTheDefaults) {
    EXPECT_EQ(caption(), "打开串口");
    EXPECT_EQ(status(), "STATUS：COM Port Closed");
    EXPECT_FALSE(indicatorOpen());
    EXPECT_FALSE(child<QLabel>("portIndicator")->pixmap().isNull());
    EXPECT_EQ(combo("modeCombo")->currentText(), "1. Serial Port");
    EXPECT_FALSE(child<QGroupBox>("serialGroup")->isHidden());
    EXPECT_TRUE(child<QGroupBox>("tcpGroup")->isHidden());
    EXPECT_EQ(Items(combo("portCombo")),
              QStringList({"USB Serial (ttyUSB0)", "Ghost (ttyVantorGhost9)"}));
    EXPECT_EQ(combo("portCombo")->currentIndex(), 0);
    EXPECT_EQ(combo("baudCombo")->currentText(), "19200");
    EXPECT_EQ(combo("parityCombo")->currentText(), "NONE");
    EXPECT_EQ(combo("dataBitsCombo")->currentText(), "8");
    EXPECT_EQ(combo("stopBitsCombo")->currentText(), "2");

    EXPECT_EQ(controls->linkKind(), LinkKind::Serial);
    EXPECT_EQ(controls->serverAddress(), "");
    EXPECT_EQ(controls->serverPort(), "502");
    EXPECT_EQ(combo("tcpFunctionCombo")->count(), 8);
    EXPECT_EQ(combo("tcpFunctionCombo")->currentText(), "0. 按数据包");
    const TcpHeader header = controls->tcpHeader();
    EXPECT_EQ(header.transactionHi, 0);
    EXPECT_EQ(header.protocolLo, 0);
    EXPECT_EQ(header.unit, 1);
    EXPECT_EQ(header.functionIndex, kTcpPerPacketEntry);
    EXPECT_FALSE(header.fixedUnit);
}

TEST_F(ConnectionControlsTest, ChoicesGoIntoTheSelectionAndTheStatusLine) {
    ChooseByKeys(combo("baudCombo"), 8);
    EXPECT_EQ(combo("baudCombo")->currentText(), "43000");
    EXPECT_EQ(selection.settings().baudRate, 43000);
    EXPECT_EQ(status(), "STATUS：ttyUSB0 CLOSED，43000,N,8,2");

    ChooseByKeys(combo("parityCombo"), 1);
    ChooseByKeys(combo("dataBitsCombo"), 1);
    ChooseByKeys(combo("stopBitsCombo"), 0);
    ChooseByKeys(combo("portCombo"), 1);
    EXPECT_EQ(status(), "STATUS：ttyVantorGhost9 CLOSED，43000,O,7,1");
    EXPECT_EQ(selection.portIndex(), 1);
    EXPECT_TRUE(messages.isEmpty());

    // A change made elsewhere (the settings dialog) shows here at once.
    selection.setBaudIndex(11);
    EXPECT_EQ(combo("baudCombo")->currentText(), "115200");
}

// A fixed function sends every packet to the unit typed; "0. 按数据包" to each packet's slave,
// so the unit field is locked then.
TEST_F(ConnectionControlsTest, HeaderEditsAreReadAsBytes) {
    ChooseByKeys(combo("modeCombo"), 1);
    QLineEdit* unit = child<QLineEdit>("unitEdit");
    EXPECT_FALSE(unit->isEnabled());
    ChooseByKeys(combo("tcpFunctionCombo"), 1);
    ASSERT_TRUE(unit->isEnabled());
    unit->clear();
    QTest::keyClicks(unit, "247");
    QLineEdit* transactionLo = child<QLineEdit>("transactionLoEdit");
    transactionLo->clear();
    QTest::keyClicks(transactionLo, "300"); // typed past the range: read as 255
    TcpHeader header = controls->tcpHeader();
    EXPECT_EQ(header.unit, 247);
    EXPECT_EQ(header.transactionLo, 255);
    EXPECT_EQ(header.functionIndex, 1);
    EXPECT_TRUE(header.fixedUnit);

    ChooseByKeys(combo("tcpFunctionCombo"), kTcpPerPacketEntry);
    header = controls->tcpHeader();
    EXPECT_FALSE(header.fixedUnit);
    EXPECT_EQ(header.unit, 247); // kept for the next fixed function
    EXPECT_FALSE(unit->isEnabled());
}

// ---- open and close
// ------------------------------------------------------------------------------

TEST_F(ConnectionControlsTest, AFailedOpenIsToldAndShowsThePortClosed) {
    ChooseByKeys(combo("portCombo"), 1); // a port that is listed but does not exist
    link.startPolling();                 // polling armed before the open
    click("openButton");
    EXPECT_EQ(caption(), "关闭串口");
    ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList({"没有发现此串口或被占用"}));
    EXPECT_EQ(caption(), "打开串口");
    EXPECT_EQ(status(), "STATUS：COM Port Closed");
    EXPECT_FALSE(indicatorOpen());
    EXPECT_FALSE(selection.portOpen());
    ASSERT_EQ(sending->count(), 2); // the table is unlocked again
    EXPECT_FALSE(sending->last()[0].toBool());

    ChooseByKeys(combo("baudCombo"), 7); // nothing is open: the settings can change
    EXPECT_EQ(combo("baudCombo")->currentText(), "38400");

    // A setting the port refuses is named.
    settle();
    emit session.serialOpenFailed(OpenFailureText(OpenStep::DataBits, "ttyUSB0", "6", {}));
    EXPECT_EQ(messages.last(), "串口 ttyUSB0 不支持该设置：数据位 6");
}

TEST_F(ConnectionControlsTest, OnlyTheLatestPressShowsItsAnswer) {
    ChooseByKeys(combo("portCombo"), 1);
    click("openButton");
    click("openButton");
    click("openButton");
    ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
    settle();
    EXPECT_EQ(messages, QStringList({"没有发现此串口或被占用"}));
    EXPECT_EQ(caption(), "打开串口");
}

// Presses that cannot do anything say why and ask nothing of the link.
TEST_F(ConnectionControlsTest, PressesWithoutAPortOrServerAreRefused) {
    changePorts({});
    messages.clear();
    click("openButton");
    EXPECT_EQ(messages, QStringList({"请选择串口"}));
    EXPECT_EQ(caption(), "打开串口");

    ChooseByKeys(combo("modeCombo"), 1);
    click("connectButton"); // the server address starts empty
    EXPECT_EQ(messages.last(), "请检查服务器地址及端口号!");
    EXPECT_EQ(link.state().phase, LinkPhase::Closed);
    EXPECT_TRUE(child<QLineEdit>("ipEdit")->isEnabled());
}

TEST_F(ConnectionControlsTest, OpensATypedPseudoTerminalAndLocksTheSettings) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create()) << pair.errorString().toStdString();
    typePort(pair.endA());
    EXPECT_TRUE(selection.hasTypedPort());
    EXPECT_EQ(selection.settings().portName, pair.endA());
    EXPECT_EQ(status(), "STATUS：" + pair.endA() + " CLOSED，19200,N,8,2");

    click("openButton");
    ASSERT_TRUE(WaitUntil([&] { return indicatorOpen(); }));
    EXPECT_EQ(status(), "STATUS：" + pair.endA() + " OPENED，19200,N,8,2");
    EXPECT_EQ(caption(), "关闭串口");
    ASSERT_EQ(sending->count(), 1);
    EXPECT_TRUE(sending->at(0).at(0).toBool());
    EXPECT_TRUE(session.autoSend());

    ChooseByKeys(combo("baudCombo"), 7);
    ChooseByKeys(combo("stopBitsCombo"), 0);
    typePort(pair.endB());
    EXPECT_EQ(messages, QStringList({"请先关闭串口", "请先关闭串口", "请先关闭串口"}));
    EXPECT_EQ(combo("baudCombo")->currentText(), "19200");
    EXPECT_EQ(combo("stopBitsCombo")->currentText(), "2");
    EXPECT_EQ(combo("portCombo")->currentText(), pair.endA());
    EXPECT_EQ(selection.settings().baudRate, 19200);

    click("openButton");
    EXPECT_EQ(caption(), "打开串口");
    EXPECT_EQ(status(), "STATUS：COM Port Closed");
    ASSERT_EQ(sending->count(), 2);
    EXPECT_FALSE(sending->at(1).at(0).toBool());
    ASSERT_TRUE(WaitUntil([&] { return !session.autoSend(); }));
    settle();
    EXPECT_EQ(status(), "STATUS：COM Port Closed"); // the session's close answer changes nothing
}

TEST_F(ConnectionControlsTest, ALineFailureShowsThePortClosed) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    typePort(pair.endA());
    click("openButton");
    ASSERT_TRUE(WaitUntil([&] { return indicatorOpen(); }));

    // What the session reports when the device goes away under an open port.
    emit session.linkError(QStringLiteral("device removed"));
    emit session.serialClosed();
    EXPECT_EQ(caption(), "打开串口");
    EXPECT_EQ(status(), "STATUS：" + pair.endA() + " CLOSED，19200,N,8,2");
    EXPECT_FALSE(indicatorOpen());
    EXPECT_FALSE(selection.portOpen());
    ASSERT_EQ(sending->count(), 2);
    EXPECT_FALSE(sending->at(1).at(0).toBool());
    ChooseByKeys(combo("baudCombo"), 7);
    EXPECT_TRUE(messages.isEmpty());
}

// ---- device arrival and removal ------------------------------------------------------------

TEST_F(ConnectionControlsTest, RemovingTheSelectedDeviceIsReported) {
    const SerialPortInfo usb = FakePort("USB Serial", "ttyUSB0");
    const SerialPortInfo other = FakePort("Other", "ttyUSB1");
    changePorts({usb, other});
    EXPECT_TRUE(messages.isEmpty()); // the selected one stays
    ChooseByKeys(combo("portCombo"), 1);

    changePorts({usb}); // the selected one goes
    EXPECT_EQ(messages, QStringList({"选中的设备被拔除"}));
    EXPECT_EQ(Items(combo("portCombo")), QStringList({"USB Serial (ttyUSB0)"}));
    EXPECT_EQ(combo("portCombo")->currentIndex(), 0);
    EXPECT_EQ(status(), "STATUS：ttyUSB1 CLOSED，19200,N,8,2"); // a rebuild does not redraw it

    changePorts({usb, other});
    ChooseByKeys(combo("portCombo"), 0);
    changePorts({usb}); // another one goes
    EXPECT_EQ(messages.size(), 1);

    changePorts({});
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(combo("portCombo")->count(), 0);
}

TEST_F(ConnectionControlsTest, AnArrivalRebuildsSilentlyWithTheFirstEntry) {
    ChooseByKeys(combo("portCombo"), 1);
    changePorts({FakePort("New", "ttyACM0"), FakePort("USB Serial", "ttyUSB0"),
                 FakePort("Ghost", "ttyVantorGhost9")});
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_EQ(combo("portCombo")->count(), 3);
    EXPECT_EQ(combo("portCombo")->currentText(), "New (ttyACM0)");
    EXPECT_EQ(selection.settings().portName, "ttyACM0");
}

// ---- Modbus TCP ----------------------------------------------------------------------------

TEST_F(ConnectionControlsTest, ModeSwitchShowsOneGroupAndTellsTheSession) {
    QSignalSpy kinds(controls.get(), &ConnectionControls::linkKindChanged);
    controls->setServerAddressSource([] { return QStringLiteral("10.0.0.7"); });
    ChooseByKeys(combo("modeCombo"), 1);
    EXPECT_TRUE(child<QLineEdit>("ipEdit")->isVisibleTo(controls.get()));
    EXPECT_TRUE(child<QPushButton>("connectButton")->isVisibleTo(controls.get()));
    EXPECT_FALSE(combo("baudCombo")->isVisibleTo(controls.get()));
    EXPECT_FALSE(child<QPushButton>("openButton")->isVisibleTo(controls.get()));
    EXPECT_EQ(controls->serverAddress(), "10.0.0.7");
    EXPECT_EQ(controls->linkKind(), LinkKind::Tcp);

    ChooseByKeys(combo("modeCombo"), 0);
    EXPECT_TRUE(combo("baudCombo")->isVisibleTo(controls.get()));
    EXPECT_FALSE(child<QLineEdit>("ipEdit")->isVisibleTo(controls.get()));
    ASSERT_EQ(kinds.count(), 2);
    EXPECT_EQ(kinds[0][0].value<LinkKind>(), LinkKind::Tcp);
    EXPECT_EQ(kinds[1][0].value<LinkKind>(), LinkKind::Serial);
}

TEST_F(ConnectionControlsTest, ConnectingWhereNothingListensFails) {
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost));
    const QString port = QString::number(probe.serverPort());
    probe.close();

    ChooseByKeys(combo("modeCombo"), 1);
    controls->setServerAddress("127.0.0.1");
    child<QLineEdit>("tcpPortEdit")->setText(port);
    click("connectButton");
    EXPECT_FALSE(combo("modeCombo")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("ipEdit")->isEnabled());
    EXPECT_FALSE(child<QLineEdit>("unitEdit")->isEnabled());
    ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList({"连接服务器失败!"}));
    EXPECT_TRUE(combo("modeCombo")->isEnabled());
    EXPECT_TRUE(child<QLineEdit>("ipEdit")->isEnabled());
    EXPECT_TRUE(combo("tcpFunctionCombo")->isEnabled());
}

TEST_F(ConnectionControlsTest, StartBeforeConnectWarnsAndStartsAnyway) {
    ChooseByKeys(combo("modeCombo"), 1);
    click("tcpStartButton");
    EXPECT_EQ(messages, QStringList({"请先建立连接!"}));
    ASSERT_EQ(sending->count(), 1);
    EXPECT_TRUE(sending->at(0).at(0).toBool());
    ASSERT_TRUE(WaitUntil([&] { return session.autoSend(); }));
    EXPECT_EQ(session.mode(), SessionMode::Polling);

    click("tcpStopButton");
    ASSERT_EQ(sending->count(), 2);
    EXPECT_FALSE(sending->at(1).at(0).toBool());
    ASSERT_TRUE(WaitUntil([&] { return !session.autoSend(); }));
    EXPECT_EQ(session.mode(), SessionMode::Idle);
}

TEST_F(ConnectionControlsTest, ConnectStartStopAndAServerThatHangsUp) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ChooseByKeys(combo("modeCombo"), 1);
    controls->setServerAddress("127.0.0.1");
    child<QLineEdit>("tcpPortEdit")->setText(QString::number(server.serverPort()));
    click("connectButton");
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> first(server.nextPendingConnection());
    settle();
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(child<QLineEdit>("tcpPortEdit")->isEnabled());

    click("tcpStartButton");
    EXPECT_TRUE(messages.isEmpty());
    click("tcpStopButton");
    EXPECT_TRUE(child<QLineEdit>("tcpPortEdit")->isEnabled());

    click("connectButton"); // a new connection replaces the first
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> second(server.nextPendingConnection());
    settle();
    EXPECT_TRUE(child<QLabel>("tcpStatus")->text().isEmpty());
    second->disconnectFromHost();
    ASSERT_TRUE(WaitUntil([&] { return !child<QLabel>("tcpStatus")->text().isEmpty(); }));
    EXPECT_EQ(child<QLabel>("tcpStatus")->text(), "连接已断开");
    EXPECT_TRUE(combo("modeCombo")->isEnabled());
    EXPECT_TRUE(messages.isEmpty());
}

// Another mode closes the open port or connection, as its own button would.
TEST_F(ConnectionControlsTest, ChoosingAnotherModeClosesTheOpenLink) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    typePort(pair.endA());
    click("openButton");
    ASSERT_TRUE(WaitUntil([&] { return session.autoSend(); }));
    QSignalSpy stopped(controls.get(), &ConnectionControls::linkStoppedByUser);
    ChooseByKeys(combo("modeCombo"), 1);
    EXPECT_FALSE(selection.portOpen());
    EXPECT_EQ(caption(), "打开串口");
    ASSERT_TRUE(WaitUntil([&] { return !session.autoSend(); }));
    ASSERT_EQ(stopped.count(), 1);

    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString port = QString::number(server.serverPort());
    controls->setServerAddress("127.0.0.1");
    child<QLineEdit>("tcpPortEdit")->setText(port);
    click("connectButton");
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    ASSERT_TRUE(WaitUntil([&] { return link.state().open(); }));
    click("tcpStartButton");
    click("tcpStopButton"); // the mode can be chosen again
    QSignalSpy logged(controls.get(), &ConnectionControls::logLine);
    ChooseByKeys(combo("modeCombo"), 0);
    ASSERT_EQ(logged.count(), 1);
    EXPECT_TRUE(logged[0][0].toString().endsWith("Modbus TCP/IP 连接已关闭：127.0.0.1:" + port));
    EXPECT_EQ(link.state().phase, LinkPhase::Closed);
    EXPECT_TRUE(WaitUntil([&] { return peer->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(messages.isEmpty());
}

// Server fields edited after "停止" are taken at the next "开始": the old connection is closed
// and polling goes on with the new server.
TEST_F(ConnectionControlsTest, ChangedServerFieldsReconnectAtStart) {
    PacketRows rows{};
    rows[0] = {"5", "04", "0", "2", true};
    link.configure(Configure(rows, LinkKind::Tcp, TcpHeader{}).images, 200);
    link.setAllPacketsChecked(true);
    QTcpServer first;
    QTcpServer second;
    ASSERT_TRUE(first.listen(QHostAddress::LocalHost));
    ASSERT_TRUE(second.listen(QHostAddress::LocalHost));
    ChooseByKeys(combo("modeCombo"), 1);
    controls->setServerAddress("127.0.0.1");
    child<QLineEdit>("tcpPortEdit")->setText(QString::number(first.serverPort()));
    click("connectButton");
    ASSERT_TRUE(WaitUntil([&] { return first.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> old(first.nextPendingConnection());
    ASSERT_TRUE(WaitUntil([&] { return link.state().open(); }));
    click("tcpStopButton");

    const QString port = QString::number(second.serverPort());
    child<QLineEdit>("tcpPortEdit")->setText(port);
    QSignalSpy logged(controls.get(), &ConnectionControls::logLine);
    click("tcpStartButton");
    ASSERT_EQ(logged.count(), 1);
    EXPECT_TRUE(logged[0][0].toString().endsWith("Modbus TCP/IP 连接已关闭：127.0.0.1:" +
                                                 QString::number(first.serverPort())));
    ASSERT_TRUE(WaitUntil([&] { return second.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(second.nextPendingConnection());
    QByteArray request;
    ASSERT_TRUE(WaitUntil([&] {
        request += peer->readAll();
        return request.size() >= 12;
    }));
    EXPECT_EQ(request.mid(6, 6), QByteArray::fromHex("050400000002"));
    EXPECT_TRUE(WaitUntil([&] { return old->state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_TRUE(link.state().polling);
    EXPECT_TRUE(messages.isEmpty());
}

} // namespace
} // namespace vantor
