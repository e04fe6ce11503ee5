// SPDX-License-Identifier: GPL-3.0-or-later
// One request in flight: no request goes out before the reply to the last one is judged or its
// timeout has passed, every reply is credited to the request that asked for it, and the
// counters add up, against devices that answer in pieces, slowly, late or not at all.
#include <QSerialPort>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <gtest/gtest.h>
#include <deque>
#include <map>

#include "modbus/CommSession.h"
#include "support/Frames.h"
#include "support/Wait.h"
#include "transport/PtyPair.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// A read of holding registers of slave 1, as configure builds it for both links.
PacketImage HoldingRead(int address, int count) {
    PacketImage image;
    image.slave = 1;
    image.function = 3;
    image.start = address;
    image.count = count;
    image.serialText = QStringLiteral("0103%1%2")
                           .arg(address, 4, 16, QLatin1Char('0'))
                           .arg(count, 4, 16, QLatin1Char('0'))
                           .toUpper()
                           .toStdString();
    image.tcp = {0, 0, 0, 0, 0, 6, 1, 3, static_cast<std::uint8_t>(address >> 8),
                 static_cast<std::uint8_t>(address), 0, static_cast<std::uint8_t>(count)};
    image.tcpBuilt = true;
    return image;
}

// Every packet's requests end as a valid reply, a miss, an exception or a CRC error; one may
// still be in flight.
void ExpectCountersAddUp(const PacketStats& s) {
    const std::uint32_t judged = s.valid + s.noReply + s.exceptions + s.crcErrors;
    EXPECT_GE(s.requests, judged);
    EXPECT_LE(s.requests, judged + 1);
}

// The first register of an accepted reply.
int FirstRegister(const QList<QVariant>& accepted) {
    const QByteArray data = accepted[1].toByteArray();
    return static_cast<std::uint8_t>(data[0]) << 8 | static_cast<std::uint8_t>(data[1]);
}

class InFlight : public ::testing::Test {
protected:
    // A device on a pseudo-terminal that answers each read, after delayMs (-1: never), with the
    // request's address as the value of every register asked for; each reply goes out in
    // pieces of pieceBytes, pieceGapMs apart.
    void StartDevice(int baudRate, int delayMs, int pieceBytes = 0, int pieceGapMs = 0) {
        ASSERT_TRUE(pty.Create()) << pty.errorString().toStdString();
        device.setPortName(pty.endA());
        ASSERT_TRUE(device.open(QIODevice::ReadWrite));
        QObject::connect(&device, &QSerialPort::readyRead, [=, this] {
            wire += device.readAll();
            while (wire.size() >= 8) {
                const Bytes request = FromQt(wire.left(8));
                wire.remove(0, 8);
                if (!pending.empty())
                    ++talkedOver; // a request while the last reply is still going out
                if (delayMs < 0)
                    continue;
                const int address = request[2] << 8 | request[3];
                const int count = request[4] << 8 | request[5];
                Bytes data;
                for (int i = 0; i < count; ++i)
                    data.insert(data.end(), {static_cast<std::uint8_t>(address >> 8),
                                             static_cast<std::uint8_t>(address)});
                pending.push_back(ReadReply(1, 3, data));
                QTimer::singleShot(delayMs, &device, [=, this] { SendPieces(pieceBytes, pieceGapMs); });
            }
        });
        SerialSettings settings;
        settings.portName = pty.endB();
        settings.baudRate = baudRate;
        QSignalSpy opened(&session, &CommSession::serialOpened);
        session.openSerial(settings);
        ASSERT_EQ(opened.count(), 1);
    }

    void SendPieces(int pieceBytes, int pieceGapMs) {
        if (pending.empty())
            return;
        Bytes& reply = pending.front();
        const std::size_t n = pieceBytes > 0 ? std::min<std::size_t>(pieceBytes, reply.size())
                                             : reply.size();
        device.write(ToQt(Bytes(reply.begin(), reply.begin() + n)));
        device.flush();
        reply.erase(reply.begin(), reply.begin() + n);
        if (reply.empty())
            pending.pop_front();
        else
            QTimer::singleShot(pieceGapMs, Qt::PreciseTimer, &device,
                               [=, this] { SendPieces(pieceBytes, pieceGapMs); });
    }

    void Poll(std::initializer_list<PacketImage> packets, int intervalMs, int timeoutMs,
              LinkKind link = LinkKind::Serial) {
        SessionDelays delays;
        delays.replyTimeoutMs = timeoutMs;
        session.setDelays(delays);
        CommandImages images;
        images.link = link;
        int p = 0;
        for (const PacketImage& image : packets) {
            images.packets[p] = image;
            images.totalCount += image.count;
            ++images.checkedRows;
            session.setPacketChecked(++p, true);
        }
        session.configureImages(images, intervalMs);
        session.startPolling();
    }

    // Every accepted reply carries the address its own packet asked for.
    void ExpectOwnValues(const std::map<int, int>& addressOf) {
        for (const auto& accepted : replies)
            EXPECT_EQ(FirstRegister(accepted), addressOf.at(accepted[0].toInt()))
                << "packet " << accepted[0].toInt() << " shows another packet's value";
    }

    PtyPair pty;
    QSerialPort device;
    QByteArray wire;
    std::deque<Bytes> pending; // replies the device still has to send, the first in progress
    int talkedOver = 0;
    CommSession session;
    QSignalSpy replies{&session, &CommSession::registerReplyAccepted};
    QSignalSpy logs{&session, &CommSession::logEvent};
};

bool Logged(const QSignalSpy& logs, const QString& text) {
    for (const auto& args : logs)
        if (args[0].value<LogEvent>().text.contains(text))
            return true;
    return false;
}

} // namespace

// 125 registers at 115200 baud (255 bytes, 22 ms on the wire) in 62-byte pieces, as a USB
// adapter delivers them, with a send interval shorter than the reply: every gap between pieces
// is longer than 3.5 characters, yet no request cuts a reply.
TEST_F(InFlight, AReplyInPiecesIsNeverTalkedOver) {
    StartDevice(115200, 1, 62, 6);
    Poll({HoldingRead(0, 125)}, 10, 1000);
    ASSERT_TRUE(WaitUntil([&] { return replies.count() >= 6; }));
    EXPECT_EQ(talkedOver, 0);
    EXPECT_EQ(session.counters().crcErrors, 0);
    EXPECT_EQ(session.counters().dataErrors, 0);
    ExpectCountersAddUp(session.packetStats()[0]);
}

TEST_F(InFlight, TwoPacketsOfOneShapeFromASlowDeviceKeepTheirOwnValues) {
    StartDevice(19200, 60); // slower than the send interval, well within the timeout
    Poll({HoldingRead(0, 1), HoldingRead(100, 1)}, 20, 1000);
    ASSERT_TRUE(WaitUntil([&] { return replies.count() >= 6; }));
    ExpectOwnValues({{1, 0}, {2, 100}});
    EXPECT_EQ(session.counters().dataErrors, 0);
    for (int p = 0; p < 2; ++p) {
        EXPECT_EQ(session.packetStats()[p].noReply, 0u);
        ExpectCountersAddUp(session.packetStats()[p]);
    }
}

// A silent device, and one that answers after the timeout: each request counts one miss when
// its timeout passes, at every interval; its reply is a late one, shown and counted as a data
// error, never decoded.
class InFlightMisses : public InFlight,
                       public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(InFlightMisses, EveryRequestIsJudgedOrMissedAtItsTimeout) {
    const auto [deviceDelayMs, intervalMs] = GetParam();
    StartDevice(19200, deviceDelayMs);
    Poll({HoldingRead(0, 1)}, intervalMs, 50);
    QSignalSpy missed(&session, &CommSession::noReply);
    ASSERT_TRUE(WaitUntil([&] { return missed.count() >= 4; }));
    const PacketStats& s = session.packetStats()[0];
    ExpectCountersAddUp(s);
    EXPECT_GE(s.noReply, 4u);
    // Every reply comes after its timeout, and the line is heard out after a timeout before the
    // next request: none is taken, not even for the next request's.
    EXPECT_EQ(replies.count(), 0);
    if (deviceDelayMs > 0) {
        EXPECT_TRUE(Logged(logs, "数据包 1 迟到应答，已丢弃"));
        EXPECT_GE(session.counters().dataErrors, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(SilentOrSlow, InFlightMisses,
                         ::testing::Values(std::pair{-1, 0}, std::pair{-1, 200},
                                           std::pair{80, 200}, std::pair{80, 0}));

// A Modbus TCP server that stalls and then sends what it held: every reply goes by its
// transaction number to the request that asked for it; those whose request timed out are late.
TEST_F(InFlight, AStalledTcpServerNeverPutsOnePacketsValuesUnderAnother) {
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    QTcpSocket* peer = nullptr;
    bool stalled = false;
    QByteArray held;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        peer = server.nextPendingConnection();
        QObject::connect(peer, &QTcpSocket::readyRead, [&] {
            QByteArray in = peer->readAll();
            for (; in.size() >= 12; in.remove(0, 12)) {
                const Bytes r = FromQt(in.left(12));
                const QByteArray reply = ToQt({r[0], r[1], 0, 0, 0, 5, r[6], 3, 2, r[8], r[9]});
                if (stalled)
                    held += reply;
                else
                    peer->write(reply);
            }
        });
    });
    QSignalSpy connected(&session, &CommSession::tcpConnected);
    session.connectTcp(QStringLiteral("127.0.0.1"), QString::number(server.serverPort()));
    ASSERT_TRUE(WaitUntil([&] { return connected.count() == 1; }));
    Poll({HoldingRead(0, 1), HoldingRead(100, 1)}, 20, 100, LinkKind::Tcp);
    ASSERT_TRUE(WaitUntil([&] { return replies.count() >= 4; }));
    stalled = true;
    QTest::qWait(400);
    stalled = false;
    peer->write(std::exchange(held, {}));
    const qsizetype before = replies.count();
    ASSERT_TRUE(WaitUntil([&] { return replies.count() >= before + 4; }));
    ExpectOwnValues({{1, 0}, {2, 100}});
    EXPECT_TRUE(Logged(logs, "迟到应答，已丢弃"));
    EXPECT_GE(session.counters().dataErrors, 1);
    for (int p = 0; p < 2; ++p)
        ExpectCountersAddUp(session.packetStats()[p]);
    EXPECT_GE(session.packetStats()[0].noReply + session.packetStats()[1].noReply, 2u);
    session.disconnectTcp();
}
