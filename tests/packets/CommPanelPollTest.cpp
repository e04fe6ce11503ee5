// SPDX-License-Identifier: GPL-3.0-or-later
// The panel polling a device over a pseudo-terminal: the rows typed into the list reach the
// session through configure and the check boxes, the requests and replies appear in the log,
// and the counters and the register image follow.
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>

#include "CommPanelFixture.h"
#include "packets/ConnectionTestUtil.h"
#include "support/Frames.h"
#include "transport/PtyPair.h"

using namespace vantor;
using namespace vantor::test;

namespace {

class CommPanelPoll : public CommPanelFixture {
protected:
    void SetUp() override {
        CommPanelFixture::SetUp();
        ASSERT_TRUE(pty.Create()) << pty.errorString().toStdString();
        device.setPortName(pty.endA());
        ASSERT_TRUE(device.open(QIODevice::ReadWrite));
        QObject::connect(&device, &QSerialPort::readyRead, [this] { wire += device.readAll(); });
        QObject::connect(&session, &CommSession::registerReplyAccepted, &store,
                         &RegisterStore::onRegisterReply);
    }

    // Opens the session's end of the line, as "打开串口" does: polling starts with it and the
    // connection controls lock the table.
    void OpenPort() {
        QSignalSpy opened(&session, &CommSession::serialOpened);
        SerialSettings settings;
        settings.portName = pty.endB();
        session.openSerial(settings);
        ASSERT_EQ(opened.count(), 1);
    }

    // Waits for the next request on the wire and returns it.
    QByteArray NextRequest() {
        EXPECT_TRUE(WaitUntil([&] { return wire.size() >= 8; }));
        const QByteArray request = wire.left(8);
        wire.remove(0, 8);
        return request;
    }

    // Configures packet 1 as kRequest1 in one connection mode, then chooses another.
    void ConfigureAs(int mode, int thenMode) {
        ChooseByKeys(Find<QComboBox>("modeCombo"), mode);
        TypeIntoCell(0, 4, "2");
        ToggleCheck(0);
        Click("configureButton");
        ChooseByKeys(Find<QComboBox>("modeCombo"), thenMode);
    }

    int LinesContaining(const QString& text) const {
        int n = 0;
        for (const QString& line : LogLines())
            n += line.contains(text) ? 1 : 0;
        return n;
    }

    PtyPair pty;
    QSerialPort device;
    QByteArray wire;
};

const Bytes kRequest1 = WithCrc({0x01, 0x03, 0x00, 0x00, 0x00, 0x02});
const Bytes kRequest2 = WithCrc({0x05, 0x04, 0x00, 0x10, 0x00, 0x01});

} // namespace

TEST_F(CommPanelPoll, TypedRowsArePolledAndRepliesShown) {
    TypeIntoCell(0, 4, "2"); // packet 1: slave 1, function 03, address 0, count 2
    TypeIntoCell(1, 1, "5"); // packet 2: slave 5, function 04, address 16, count 1
    TypeIntoCell(1, 2, "04");
    TypeIntoCell(1, 3, "16");
    TypeIntoCell(1, 4, "1");
    ToggleCheck(0); // only packet 1 takes part
    Find<QLineEdit>("intervalEdit")->setText("50");
    Click("configureButton");
    OpenPort();
    EXPECT_TRUE(list->locked());

    EXPECT_EQ(FromQt(NextRequest()), kRequest1);
    ASSERT_TRUE(WaitUntil([&] { return LinesContaining("Tx :  01 03 00 00 00 02") == 1; }));
    device.write(ToQt(ReadReply(0x01, 0x03, {0x00, 0x01, 0xFF, 0xFE})));
    ASSERT_TRUE(WaitUntil([&] { return Find<QLineEdit>("lastGoodCountEdit")->text() == "2"; }));
    ASSERT_TRUE(WaitUntil([&] { return store.valueText({PacketNo(1), 1}) == "-2"; }));
    EXPECT_EQ(store.valueText({PacketNo(1), 0}), "1");
    EXPECT_EQ(LinesContaining(" Rx:   01 03 04 00 01 FF FE"), 1);
    EXPECT_EQ(Find<QLineEdit>("counterReceived")->text(), "1");
    EXPECT_EQ(Find<QLineEdit>("counterCrc")->text(), "0");

    // Checking packet 2 while polling (through "全选") brings it into the cycle at once.
    Click("selectAllButton");
    QByteArray second;
    ASSERT_TRUE(WaitUntil([&] {
        second = NextRequest();
        return FromQt(second) == kRequest2;
    }));

    // Paused: requests go on, no Tx line is written; resumed: they show again.
    Click("pauseButton");
    QTest::qWait(20);
    const int txBefore = LinesContaining("Tx :  ");
    NextRequest();
    NextRequest();
    QTest::qWait(20);
    EXPECT_EQ(LinesContaining("Tx :  "), txBefore);
    Click("pauseButton");
    ASSERT_TRUE(WaitUntil([&] { return LinesContaining("Tx :  ") > txBefore; }));

    Click("stopButton");
    ASSERT_TRUE(WaitUntil([&] { return session.mode() == SessionMode::Idle; }));
    EXPECT_FALSE(list->locked());
    QTest::qWait(150);
    wire.clear();
    QTest::qWait(150);
    EXPECT_TRUE(wire.isEmpty());

    Click("startButton");
    EXPECT_TRUE(list->locked());
    const Bytes next = FromQt(NextRequest());
    EXPECT_TRUE(next == kRequest1 || next == kRequest2);
}

TEST_F(CommPanelPoll, UncheckedOrEmptyRowsAreNotSent) {
    TypeIntoCell(0, 4, "2");
    ToggleCheck(1); // packet 2 checked, but its count is 0
    Find<QLineEdit>("intervalEdit")->setText("20");
    Click("configureButton");
    OpenPort();
    QTest::qWait(200);
    EXPECT_TRUE(wire.isEmpty());
    ToggleCheck(0); // the table is locked while sending: the box does not change
    EXPECT_FALSE(list->isChecked(0));
    Click("stopButton");
    ToggleCheck(0);
    EXPECT_TRUE(list->isChecked(0));
    Click("startButton");
    EXPECT_EQ(FromQt(NextRequest()), kRequest1);
}

// One configure serves both links: the link chosen afterwards sends the rows as configured.
TEST_F(CommPanelPoll, ConfiguredForSerialThenSentOverModbusTcp) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    ConfigureAs(0, 1); // packet 1 as kRequest1, then Modbus TCP chosen
    Find<QLineEdit>("ipEdit")->setText("127.0.0.1");
    Find<QLineEdit>("tcpPortEdit")->setText(QString::number(server.serverPort()));
    Click("connectButton");
    ASSERT_TRUE(WaitUntil([&] { return server.hasPendingConnections(); }));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    ASSERT_TRUE(WaitUntil([&] { return link.state().open(); }));
    Click("tcpStartButton");
    QByteArray request;
    ASSERT_TRUE(WaitUntil([&] {
        request += peer->readAll();
        return request.size() >= 12;
    }));
    EXPECT_EQ(FromQt(request.left(12)),
              (Bytes{0x00, 0x01, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x00, 0x00, 0x02}));
}

TEST_F(CommPanelPoll, ConfiguredForModbusTcpThenPolledOnTheSerialLine) {
    ConfigureAs(1, 0);
    OpenPort();
    EXPECT_EQ(FromQt(NextRequest()), kRequest1);
}
