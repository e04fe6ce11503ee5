// SPDX-License-Identifier: GPL-3.0-or-later
// The link controller's state and events, with the session on the test thread: what a serial
// open, a failed open, a quick open-close-open, a lost line and the TCP connection report, and
// the kinds of the log events.
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <optional>

#include "modbus/CommSession.h"
#include "modbus/LinkController.h"
#include "support/Wait.h"
#include "transport/PtyPair.h"

using namespace vantor;
using namespace vantor::test;

namespace {

class LinkControllerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(pty.Create()) << pty.errorString().toStdString(); }

    SerialSettings Port(const QString& name) const {
        SerialSettings s;
        s.portName = name;
        return s;
    }
    // The phases the state went through, as letters: C closed, O opening, U up (open).
    QString Phases() const {
        QString out;
        for (const auto& args : states)
            out += "COU"[static_cast<int>(args[0].value<LinkState>().phase)];
        return out;
    }

    PtyPair pty;
    LinkController link{LinkController::Placement::CallerThread};
    QSignalSpy states{&link, &LinkController::stateChanged};
    QSignalSpy opened{&link, &LinkController::opened};
    QSignalSpy failed{&link, &LinkController::openFailed};
    QSignalSpy lost{&link, &LinkController::linkLost};
};

TEST_F(LinkControllerTest, SerialOpenArmsPollingAndCloseDisarmsIt) {
    QSignalSpy about(&link, &LinkController::aboutToOpen);
    link.openSerial(Port(pty.endB()));
    EXPECT_EQ(about.count(), 1); // before the session hears of it
    EXPECT_EQ(link.state().phase, LinkPhase::Opening);
    ASSERT_TRUE(WaitUntil([&] { return opened.count() == 1; }));
    EXPECT_EQ(link.state(), (LinkState{LinkKind::Serial, LinkPhase::Open, true}));
    link.closeSerial();
    EXPECT_EQ(link.state(), (LinkState{LinkKind::Serial, LinkPhase::Closed, false}));
    QTest::qWait(50); // the session's closed answer is the one asked for, not a loss
    EXPECT_EQ(lost.count(), 0);
    EXPECT_EQ(Phases(), "OUC");
}

TEST_F(LinkControllerTest, OnlyTheLatestOfQuickRequestsIsShown) {
    link.openSerial(Port(pty.endB()));
    link.closeSerial();
    link.openSerial(Port(QStringLiteral("/dev/vantor-no-such-port")));
    ASSERT_TRUE(WaitUntil([&] { return failed.count() == 1; }));
    EXPECT_EQ(opened.count(), 0); // the first open's answer came while others were pending
    EXPECT_EQ(link.state().phase, LinkPhase::Closed);
    EXPECT_EQ(Phases(), "OCOC");
}

TEST_F(LinkControllerTest, ALineThatFailsWhileOpenIsReportedLostOnce) {
    link.openSerial(Port(pty.endB()));
    ASSERT_TRUE(WaitUntil([&] { return opened.count() == 1; }));
    CommSession* session = link.sessionForTests();
    emit session->linkError(QStringLiteral("device removed"));
    emit session->serialClosed();
    ASSERT_EQ(lost.count(), 1);
    EXPECT_EQ(lost[0][1].toString(), "device removed");
    EXPECT_EQ(link.state(), (LinkState{LinkKind::Serial, LinkPhase::Closed, false}));
}

TEST_F(LinkControllerTest, TcpConnectionLostDisarmsPolling) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    link.connectTcp(QStringLiteral("127.0.0.1"), QString::number(server.serverPort()));
    ASSERT_TRUE(WaitUntil([&] { return opened.count() == 1 && server.hasPendingConnections(); }));
    link.tcpStart();
    EXPECT_EQ(link.state(), (LinkState{LinkKind::Tcp, LinkPhase::Open, true}));
    delete server.nextPendingConnection(); // the server drops the connection
    ASSERT_TRUE(WaitUntil([&] { return lost.count() == 1; }));
    EXPECT_EQ(link.state(), (LinkState{LinkKind::Tcp, LinkPhase::Closed, false}));
    EXPECT_EQ(lost[0][1].toString(), "连接被对方关闭");
    EXPECT_TRUE(WaitUntil([&] { return !link.sessionForTests()->autoSend(); }));

    link.connectTcp(QStringLiteral("127.0.0.1"), QStringLiteral("0"));
    ASSERT_TRUE(WaitUntil([&] { return failed.count() == 1; }));
    EXPECT_EQ(failed[0][0].value<LinkKind>(), LinkKind::Tcp);
}

TEST_F(LinkControllerTest, LogEventsCarryTheirKind) {
    QSignalSpy events(&link, &LinkController::logEvent);
    link.openSerial(Port(pty.endB()));
    ASSERT_TRUE(WaitUntil([&] { return opened.count() == 1; }));
    link.requestOneShot(QStringLiteral("010")); // odd: refused
    CommandImages images;
    images.packets[0] = {"010300000001", {}, 1, 3, 0, 1};
    images.totalCount = images.checkedRows = 1;
    link.configure(images, 200);
    link.setPacketChecked(1, true);
    const auto find = [&](LogKind kind) -> std::optional<LogEvent> {
        for (const auto& args : events)
            if (args[0].value<LogEvent>().kind == kind)
                return args[0].value<LogEvent>();
        return std::nullopt;
    };
    ASSERT_TRUE(WaitUntil([&] { return find(LogKind::Notice) && find(LogKind::Tx); }));
    EXPECT_FALSE(find(LogKind::Notice)->text.contains(QStringLiteral("Tx")));
    EXPECT_TRUE(find(LogKind::Tx)->text.endsWith(QStringLiteral("01 03 00 00 00 01 84 0A ")));
    EXPECT_FALSE(find(LogKind::Rx)); // nothing answered
}

} // namespace
