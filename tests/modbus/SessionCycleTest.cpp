// SPDX-License-Identifier: GPL-3.0-or-later
// The polling cycle and the write jobs, over a real pseudo-terminal: what goes out, in which
// order, and how the session mode moves.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTimer>
#include <gtest/gtest.h>

#include "modbus/CommSession.h"
#include "modbus/RtuFrame.h"
#include "support/Frames.h"
#include "support/Wait.h"
#include "transport/PtyPair.h"

using namespace vantor;
using namespace vantor::test;

namespace {

class SessionCycle : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(pty.Create()) << pty.errorString().toStdString();
        device.setPortName(pty.endA());
        ASSERT_TRUE(device.open(QIODevice::ReadWrite));
        QObject::connect(&device, &QSerialPort::readyRead, [this] { wire += device.readAll(); });
        // The pauses at a tenth: the order of effects is what these tests check; the real
        // spacing is checked against peers.
        session.setDelays({10, 10, 100, 20, 50, 100});
        QSignalSpy opened(&session, &CommSession::serialOpened);
        SerialSettings settings;
        settings.portName = pty.endB();
        session.openSerial(settings);
        ASSERT_EQ(opened.count(), 1);
    }

    // Packets with the given numbers checked, each reading one register at its own address.
    void Configure(std::initializer_list<int> packets, int intervalMs) {
        CommandImages images;
        for (int p : packets) {
            PacketImage& image = images.packets[p - 1];
            image.count = 1;
            image.start = p;
            image.serialText = QStringLiteral("0103%1%2")
                                   .arg(p, 4, 16, QLatin1Char('0'))
                                   .arg(1, 4, 16, QLatin1Char('0'))
                                   .toUpper()
                                   .toStdString();
            ++images.checkedRows;
            ++images.totalCount;
            session.setPacketChecked(p, true);
        }
        session.configureImages(images, intervalMs);
    }

    // Packet numbers of the polled frames seen so far (0 for a write).
    std::vector<int> Sent() const {
        std::vector<int> out;
        for (const auto& args : sent)
            out.push_back(args[0].toInt());
        return out;
    }

    // A device that answers every request at once over the pseudo-terminal (while *answering),
    // and a session that gives a reply up after replyTimeoutMs.
    void AnswerAtOnce(int replyTimeoutMs, const bool* answering = nullptr) {
        QObject::connect(&device, &QSerialPort::readyRead, [this, answering] {
            if ((answering == nullptr || *answering) && wire.size() >= 8) {
                wire.clear();
                device.write(ToQt(ReadReply(1, 3, {0, 7})));
            }
        });
        SessionDelays delays = session.delays();
        delays.replyTimeoutMs = replyTimeoutMs;
        session.setDelays(delays);
    }

    bool WaitForFrames(int count) {
        return WaitUntil([&] { return sent.count() >= count; });
    }

    PtyPair pty;
    QSerialPort device;
    QByteArray wire;
    CommSession session;
    QSignalSpy sent{&session, &CommSession::frameSent};
    QSignalSpy modes{&session, &CommSession::modeChanged};
};

QByteArray FrameOf(const std::string& text) {
    return ToQt(BuildRtuFrame(text).bytes);
}

} // namespace

TEST_F(SessionCycle, ChecksPacketsInOrderAndWrapsAround) {
    Configure({1, 5, 30}, 20);
    ASSERT_TRUE(WaitForFrames(7));
    const std::vector<int> order = Sent();
    EXPECT_EQ(std::vector<int>(order.begin(), order.begin() + 7),
              (std::vector<int>{1, 5, 30, 1, 5, 30, 1}));
    EXPECT_TRUE(WaitUntil([&] { return wire.size() >= 3 * 8; }));
    EXPECT_TRUE(wire.startsWith(FrameOf("010300010001") + FrameOf("010300050001") +
                                FrameOf("0103001E0001")));
}

TEST_F(SessionCycle, UncheckedRowsAndStoppedCyclesSendNothing) {
    Configure({2, 3}, 20);
    ASSERT_TRUE(WaitForFrames(2));
    session.setPacketChecked(2, false);
    sent.clear();
    ASSERT_TRUE(WaitForFrames(4));
    for (int p : Sent())
        EXPECT_EQ(p, 3);

    session.stopPolling();
    EXPECT_EQ(session.mode(), SessionMode::Idle);
    sent.clear();
    sent.wait(300);
    EXPECT_TRUE(sent.isEmpty());

    session.startPolling(); // nothing checked at all: still nothing
    session.setAllPacketsChecked(false);
    sent.clear();
    sent.wait(300);
    EXPECT_TRUE(sent.isEmpty());
}

TEST_F(SessionCycle, OneShotWritePausesPollingAndReturnsToIt) {
    Configure({1}, 50);
    ASSERT_TRUE(WaitForFrames(2));
    session.requestOneShot("010600000064");
    EXPECT_EQ(session.mode(), SessionMode::OneShotWrite);
    const qsizetype before = sent.count();
    ASSERT_TRUE(WaitForFrames(static_cast<int>(before) + 3));
    const std::vector<int> order = Sent();
    // Nothing polled between the request and the write; polling resumes after it.
    EXPECT_EQ(order[before], 0);
    EXPECT_EQ(order[before + 1], 1);
    EXPECT_EQ(session.mode(), SessionMode::Polling);
    EXPECT_TRUE(WaitUntil([&] { return wire.contains(FrameOf("010600000064")); }));
    ASSERT_GE(modes.count(), 2);
    EXPECT_EQ(modes[modes.count() - 2][0].toInt(), 2);
    EXPECT_EQ(modes.last()[0].toInt(), 1);
}

TEST_F(SessionCycle, BlockWriteSendsEveryFrameInOrder) {
    const QStringList texts{"01100000000102000A", "01100010000102000B", "01100020000102000C"};
    session.requestBlockWrite(texts);
    QSignalSpy refused(&session, &CommSession::commandRefused);
    ASSERT_TRUE(WaitForFrames(3));
    EXPECT_TRUE(
        WaitUntil([&] { return modes.count() >= 2 && session.mode() == SessionMode::Polling; }));
    QByteArray expected;
    for (const QString& t : texts)
        expected += FrameOf(t.toStdString());
    EXPECT_TRUE(WaitUntil([&] { return wire == expected; }));
    EXPECT_TRUE(refused.isEmpty());
}

TEST_F(SessionCycle, RefusedTextSendsNothingAndSaysWhy) {
    QSignalSpy refused(&session, &CommSession::commandRefused);
    session.requestOneShot("01060000006"); // odd
    session.requestOneShot("01 06 00");    // not hex
    EXPECT_TRUE(WaitUntil([&] { return refused.count() == 2; }));
    EXPECT_TRUE(WaitUntil([&] { return session.mode() == SessionMode::Polling; }));
    EXPECT_TRUE(wire.isEmpty());
    EXPECT_TRUE(sent.isEmpty());
}

TEST_F(SessionCycle, ClosingThePortStopsPolling) {
    Configure({1}, 20);
    ASSERT_TRUE(WaitForFrames(1));
    QSignalSpy closed(&session, &CommSession::serialClosed);
    session.closeSerial();
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(session.mode(), SessionMode::Idle);
    EXPECT_FALSE(session.autoSend());
}

TEST_F(SessionCycle, PageWriteSendsItsFrameWhilePollingWaits) {
    Configure({1}, 50);
    ASSERT_TRUE(WaitForFrames(2));
    ASSERT_TRUE(WaitUntil([&] { return wire.size() == 8 * sent.count(); }));
    const qsizetype polledBytes = wire.size();
    std::vector<std::string> events;
    QObject guard; // ends the connections before `events` goes
    QObject::connect(&session, &CommSession::modeChanged, &guard,
                     [&](int mode) { events.push_back("mode " + std::to_string(mode)); });
    QObject::connect(&session, &CommSession::frameSent, &guard, [&](int packet) {
        events.push_back("sent " + std::to_string(packet) + " in mode " +
                         std::to_string(static_cast<int>(session.mode())));
    });

    const std::string page = "0110000000020400010002";
    session.requestPageWrite(QString::fromStdString(page));
    ASSERT_TRUE(WaitUntil([&] { return events.size() >= 4; }));
    EXPECT_EQ(
        std::vector<std::string>(events.begin(), events.begin() + 4),
        (std::vector<std::string>{"mode 2", "sent 0 in mode 2", "mode 1", "sent 1 in mode 1"}));
    EXPECT_TRUE(WaitUntil([&] { return wire.size() >= polledBytes + FrameOf(page).size() + 8; }));
    EXPECT_TRUE(wire.mid(polledBytes).startsWith(FrameOf(page) + FrameOf("010300010001")));
}

TEST_F(SessionCycle, EmptyPageWriteSendsNothingAndStillEndsInPolling) {
    QSignalSpy refused(&session, &CommSession::commandRefused);
    session.requestPageWrite(QString());
    EXPECT_EQ(session.mode(), SessionMode::OneShotWrite);
    ASSERT_TRUE(WaitUntil([&] { return session.mode() == SessionMode::Polling; }));
    ASSERT_EQ(modes.count(), 2);
    EXPECT_EQ(modes[0][0].toInt(), 2);
    EXPECT_EQ(modes[1][0].toInt(), 1);
    EXPECT_TRUE(sent.isEmpty());
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_TRUE(wire.isEmpty());

    // The session serves the next job normally afterwards.
    session.requestPageWrite("0110000000010200FF");
    ASSERT_TRUE(WaitUntil([&] { return modes.count() == 4; }));
    EXPECT_EQ(Sent(), std::vector<int>{0});
    EXPECT_TRUE(WaitUntil([&] { return wire == FrameOf("0110000000010200FF"); }));
}

TEST_F(SessionCycle, AnUnansweredPacketIsLoggedOncePerRunOfMisses) {
    SessionDelays delays = session.delays();
    delays.replyTimeoutMs = 30;
    session.setDelays(delays);
    QSignalSpy missed(&session, &CommSession::noReply);
    QSignalSpy logs(&session, &CommSession::logEvent);
    session.setLogScrolling(false); // the line is a notice: it shows while the log is paused
    const auto lines = [&] {
        for (const auto& args : logs)
            EXPECT_TRUE(args[0].value<LogEvent>().text.endsWith(" 数据包 1 无应答"));
        return logs.count();
    };
    Configure({1}, 10);
    ASSERT_TRUE(WaitUntil([&] { return missed.count() >= 3; }));
    EXPECT_EQ(lines(), 1);
    EXPECT_EQ(missed[0][0].toInt(), 1);

    // A good reply to the request in flight ends the run.
    ASSERT_TRUE(WaitUntil([&] { return session.cycle().inFlight() != nullptr; }));
    for (std::uint8_t b : ReadReply(1, 3, {0, 7}))
        session.PortMsgRxByte(b);
    const qsizetype before = missed.count();
    ASSERT_TRUE(WaitUntil([&] { return missed.count() >= before + 2; }));
    EXPECT_EQ(lines(), 2);
}

TEST_F(SessionCycle, NoRequestGoesOutWhileAReplyIsArriving) {
    // At 300 baud 3.5 characters of silence last 128 ms: pauses of 20 ms keep a reply going.
    SerialSettings slow;
    slow.portName = pty.endB();
    slow.baudRate = 300;
    session.openSerial(slow);
    QSignalSpy replies(&session, &CommSession::registerReplyAccepted);
    const Bytes reply = ReadReply(1, 3, {0x12, 0x34});
    QObject guard;
    QObject::connect(&session, &CommSession::frameSent, &guard, [&] {
        if (session.assembly().length() == 0 && replies.isEmpty())
            session.PortMsgRxByte(reply[0]); // the reply starts as soon as the request is out
    });
    Configure({1}, 10);
    ASSERT_TRUE(WaitForFrames(1));
    const qsizetype requests = sent.count();
    for (std::size_t i = 1; i < reply.size(); ++i) {
        QTest::qWait(20);
        EXPECT_EQ(sent.count(), requests) << "a request cut the reply before byte " << i;
        session.PortMsgRxByte(reply[i]);
    }
    EXPECT_EQ(replies.count(), 1);
    EXPECT_TRUE(WaitForFrames(static_cast<int>(requests) + 1)); // then polling goes on
}

TEST_F(SessionCycle, ACutOffReplyIsDroppedCountedAndShownAtItsTimeout) {
    QSignalSpy logs(&session, &CommSession::logEvent);
    Configure({1}, 50);
    ASSERT_TRUE(WaitForFrames(1));
    const Bytes reply = ReadReply(1, 3, {0, 7});
    for (std::size_t i = 0; i < 4; ++i)
        session.PortMsgRxByte(reply[i]);
    ASSERT_TRUE(WaitUntil([&] { return session.counters().dataErrors == 1; }));
    EXPECT_EQ(session.assembly().length(), 0u);
    ASSERT_GE(logs.count(), 3); // the first request, then the bytes and why they went
    EXPECT_TRUE(logs[1][0].value<LogEvent>().text.endsWith(" Rx:   01 03 02 00 "));
    EXPECT_TRUE(logs[2][0].value<LogEvent>().text.endsWith(
        " 数据包 1 应答不完整：4 字节（应为 7 字节），已丢弃"));
}

TEST_F(SessionCycle, TheFastModeSendsAsSoonAsTheReplyIsJudgedAndOncePerTimeoutWhenSilent) {
    bool answering = true;
    // A generous timeout while the device answers: a loaded machine must not turn a slow reply
    // into a miss.
    AnswerAtOnce(1000, &answering);
    QSignalSpy replies(&session, &CommSession::registerReplyAccepted);
    // An event loop of its own: qWait looks at the timers only every 10 ms.
    const auto run = [](int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    };
    const auto repliesIn = [&](int intervalMs) {
        Configure({1}, intervalMs);
        run(300);
        const qsizetype before = replies.count();
        run(400);
        return replies.count() - before;
    };
    const qsizetype spaced = repliesIn(10);
    const qsizetype fast = repliesIn(0);
    EXPECT_GT(fast, spaced) << "interval 10: " << spaced << ", fast: " << fast;
    const PacketStats& answered = session.packetStats()[0];
    EXPECT_EQ(answered.noReply, 0u);
    EXPECT_GE(answered.requests, answered.valid);
    EXPECT_LE(answered.requests, answered.valid + 1); // one request may still be out

    // Silent: the next request waits for the reply timeout each time, never sooner.
    SessionDelays delays = session.delays();
    delays.replyTimeoutMs = 50;
    session.setDelays(delays);
    run(20); // the requests from now on have the short timeout
    answering = false;
    run(60); // a reply already on its way is taken; the request after it runs into its timeout
    session.clearCounters();
    EXPECT_EQ(session.packetStats()[0], PacketStats{});
    const qsizetype before = sent.count();
    QElapsedTimer clock;
    clock.start();
    run(500);
    const qsizetype requests = sent.count() - before;
    EXPECT_GE(requests, 2);
    EXPECT_LE(requests, clock.elapsed() / 50 + 1);
    EXPECT_GE(session.packetStats()[0].noReply, static_cast<std::uint32_t>(requests) - 1);
    EXPECT_EQ(session.packetStats()[0].valid, 0u);
}

TEST_F(SessionCycle, TheFastModeTakesUpAPacketTickedAgainWithoutWaitingOutTheTimeout) {
    // At 115200 baud the silence before the next request is slept out, not waited on a timer.
    session.closeSerial();
    SerialSettings settings;
    settings.portName = pty.endB();
    settings.baudRate = 115200;
    session.openSerial(settings);
    AnswerAtOnce(20000);
    QSignalSpy replies(&session, &CommSession::registerReplyAccepted);
    Configure({1}, 0);
    ASSERT_TRUE(WaitUntil([&] { return replies.count() >= 3; }));
    session.setPacketChecked(1, false);
    // The reply on its way comes in and finds nothing due.
    ASSERT_TRUE(WaitUntil([&] {
        return replies.count() >= static_cast<qsizetype>(session.packetStats()[0].requests);
    }));
    const qsizetype before = sent.count();
    session.setPacketChecked(1, true);
    EXPECT_TRUE(WaitUntil([&] { return sent.count() > before; }))
        << "the cycle stayed with the reply timeout of a request long answered";
}
