// SPDX-License-Identifier: GPL-3.0-or-later
// The receive path of the session: every byte judged against the expected reply, with the
// counters it must move and the replies it must or must not accept.
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "modbus/CommSession.h"
#include "modbus/LogFormat.h"
#include "modbus/ResizeQuiet.h"
#include "support/Frames.h"

using namespace vantor;
using namespace vantor::test;

namespace {

QString Text(const QList<QVariant>& args) {
    return args[0].value<LogEvent>().text;
}

// A Notice line without its time stamp ("hh:mm:ss:mmm").
QString Notice(const QList<QVariant>& args) {
    const LogEvent event = args[0].value<LogEvent>();
    return event.kind == LogKind::Notice ? event.text.mid(12) : QStringLiteral("not a notice");
}

class SessionReceive : public ::testing::Test {
protected:
    void SetUp() override { ResizeQuietFlag() = false; }
    void TearDown() override { ResizeQuietFlag() = false; }

    // Packet 1 polled with this function and count; no port is open, so nothing is sent: each
    // reply fed is taken as answering a request of packet 1 (or the write asked) just sent.
    static CommandImages Images(int function, int count) {
        CommandImages images;
        images.packets[0].function = function;
        images.packets[0].count = count;
        images.packets[0].serialText = "01030000000A";
        images.totalCount = count;
        images.checkedRows = 1;
        return images;
    }

    // Packet 1 polled over Modbus TCP with this count.
    void PollTcp(int count) {
        CommandImages images = Images(3, count);
        images.link = LinkKind::Tcp;
        images.packets[0].tcp = {0, 1, 0, 0, 0, 6, 1, 3, 0, 0, 0, static_cast<std::uint8_t>(count)};
        session.configureImages(images, 200);
        session.tcpStart();
    }

    void Poll(int function, int count) {
        session.configureImages(Images(function, count), 200);
        session.startPolling();
    }

    // A request in flight for the reply about to be fed, unless one is still waiting.
    void Ask() {
        if (session.mode() == SessionMode::Idle || session.cycle().inFlight() != nullptr)
            return;
        if (write.isEmpty())
            session.expectReplyTo(1);
        else
            session.expectWriteReplyTo(write);
    }

    void Feed(const Bytes& bytes) {
        Ask();
        for (std::uint8_t b : bytes)
            session.PortMsgRxByte(b);
    }

    void Tcp(const Bytes& bytes) {
        Ask();
        session.onTcpBytes(ToQt(bytes));
    }

    // Feeds the reply whole, byte by byte, and split into two chunks at every position;
    // returns how many replies went in.
    int FeedSplitEverywhere(const Bytes& reply) {
        Ask();
        session.onSerialBytes(ToQt(reply));
        Feed(reply);
        for (std::size_t cut = 1; cut < reply.size(); ++cut) {
            Ask();
            session.onSerialBytes(ToQt(Bytes(reply.begin(), reply.begin() + cut)));
            session.onSerialBytes(ToQt(Bytes(reply.begin() + cut, reply.end())));
        }
        return static_cast<int>(reply.size()) + 1;
    }

    void ClearRecords() {
        session.clearCounters();
        registers.clear();
        bits.clear();
        logs.clear();
        goodCount.clear();
    }

    CommSession session;
    QString write; // the write whose reply is fed, if any
    QSignalSpy registers{&session, &CommSession::registerReplyAccepted};
    QSignalSpy bits{&session, &CommSession::bitReplyAccepted};
    QSignalSpy logs{&session, &CommSession::logEvent};
    QSignalSpy goodCount{&session, &CommSession::lastGoodCount};
};

Counters Expect(int crc, int data, int received) {
    Counters c;
    c.crcErrors = crc;
    c.dataErrors = data;
    c.receivedPackets = received;
    return c;
}

const Bytes kTwoRegisters = ReadReply(1, 3, {0x00, 0x01, 0xFF, 0xFE});

} // namespace

TEST_F(SessionReceive, RegisterReplyIsAcceptedHoweverItIsSplit) {
    Poll(3, 2);
    const int replies = FeedSplitEverywhere(kTwoRegisters);
    ASSERT_EQ(registers.count(), replies);
    for (const auto& args : registers) {
        EXPECT_EQ(args[0].toInt(), 1);
        EXPECT_EQ(args[1].toByteArray(), QByteArray::fromHex("0001FFFE"));
        EXPECT_EQ(args[2].toInt(), 2);
    }
    EXPECT_EQ(session.counters(), Expect(0, 0, replies));
    EXPECT_EQ(goodCount.count(), replies);
    EXPECT_EQ(goodCount.last()[0].toInt(), 2);
    EXPECT_EQ(session.assembly().length(), 0u);
    ASSERT_FALSE(logs.isEmpty());
    EXPECT_TRUE(Text(logs.last())
                    .endsWith(" Rx:   01 03 04 00 01 FF FE " +
                              QString::fromStdString(HexBytes({kTwoRegisters.data() + 7, 2}))));
}

TEST_F(SessionReceive, BadCrcCountsBothErrorAndPacketButNotWhileResizing) {
    Poll(3, 2);
    Bytes broken = kTwoRegisters;
    broken.back() ^= 0xFF;
    Feed(broken);
    EXPECT_EQ(session.counters(), Expect(1, 0, 1));
    ResizeQuietFlag() = true;
    Feed(broken);
    EXPECT_EQ(session.counters(), Expect(1, 0, 2)); // register CRC failures are quiet
    EXPECT_EQ(registers.count(), 0);
    EXPECT_TRUE(logs.isEmpty());
}

TEST_F(SessionReceive, AReplyIsJudgedByItsRequestWhateverTheTableBecomesMeanwhile) {
    Poll(3, 2); // expects 9 bytes
    Feed(Bytes(kTwoRegisters.begin(), kTwoRegisters.begin() + 6));
    session.configureImages(Images(3, 0), 200);
    for (std::size_t i = 6; i < kTwoRegisters.size(); ++i)
        session.PortMsgRxByte(kTwoRegisters[i]);
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    ASSERT_EQ(registers.count(), 1);
    EXPECT_EQ(registers[0][2].toInt(), 2);
}

// Bytes that come while no request is in flight answer none: they are held for the notice
// before the next request, and a stream of them that overfills the assembly starts it over.
TEST_F(SessionReceive, BytesBetweenRequestsAreHeldNotJudged) {
    Poll(3, 2);
    for (std::uint8_t b : kTwoRegisters)
        session.PortMsgRxByte(b);
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(session.assembly().length(), kTwoRegisters.size());
    for (std::size_t i = kTwoRegisters.size(); i < 270; ++i)
        session.PortMsgRxByte(0x55);
    EXPECT_EQ(session.counters().dataErrors, 0);
    session.PortMsgRxByte(0x55);
    EXPECT_EQ(session.assembly().length(), 0u);
    EXPECT_EQ(session.counters(), Expect(0, 1, 0));
}

TEST_F(SessionReceive, BitsAndVendorReplies) {
    Poll(2, 10);
    Feed(ReadReply(1, 2, {0x05, 0x02}));
    ASSERT_EQ(bits.count(), 1);
    EXPECT_EQ(bits[0][1].toByteArray(), QByteArray::fromHex("0502"));
    EXPECT_EQ(bits[0][2].toInt(), 10);

    Poll(50, 1); // 13 bytes: 8 data bytes read as 4 registers
    Feed(ReadReply(1, 0x32, {1, 2, 3, 4, 5, 6, 7, 8}));
    Poll(51, 1); // 15 bytes: 10 data bytes, 5 registers
    Feed(ReadReply(1, 0x33, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    ASSERT_EQ(registers.count(), 2);
    EXPECT_EQ(registers[0][1].toByteArray().size(), 8);
    EXPECT_EQ(registers[0][2].toInt(), 4);
    EXPECT_EQ(registers[1][2].toInt(), 5);
    EXPECT_EQ(goodCount.count(), 0); // only register packets show their count
    EXPECT_EQ(session.counters(), Expect(0, 0, 3));

    Bytes broken = ReadReply(1, 2, {0x05, 0x02});
    broken[3] ^= 1;
    Poll(2, 10);
    ResizeQuietFlag() = true; // function 2 CRC failures count even while resizing
    Feed(broken);
    EXPECT_EQ(session.counters(), Expect(1, 0, 4));
    EXPECT_EQ(bits.count(), 1);
}

TEST_F(SessionReceive, GarbageBeforeAReplyIsJudgedAtTheExpectedLength) {
    Poll(3, 1);
    const Bytes reply = ReadReply(1, 3, {0x12, 0x34});
    session.PortMsgRxByte(0xAA);
    Feed(reply);
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(session.counters(), Expect(1, 0, 1));
    EXPECT_EQ(session.assembly().length(), 1u); // the reply's last byte starts a new assembly
}

TEST_F(SessionReceive, EveryByteWhileIdleIsADataError) {
    Poll(3, 2);
    session.stopPolling();
    Feed(kTwoRegisters);
    EXPECT_EQ(session.counters(), Expect(0, static_cast<int>(kTwoRegisters.size()), 0));
    EXPECT_EQ(registers.count(), 0);
}

TEST_F(SessionReceive, WriteEchoIsJudgedOnlyAtEightBytes) {
    Poll(3, 2);
    write = "010600000064";
    session.requestOneShot(write);
    ASSERT_EQ(session.mode(), SessionMode::OneShotWrite);
    const Bytes echo = WithCrc({1, 6, 0, 0, 0, 0x64});
    Bytes bad = echo;
    bad[7] ^= 0xFF;
    Feed(bad); // shown and dropped, uncounted; the write waits on for its echo
    EXPECT_EQ(session.counters(), Expect(0, 0, 0));
    EXPECT_EQ(session.assembly().length(), 0u);
    EXPECT_TRUE(Text(logs.last()).endsWith(" Rx :  01 06 00 00 00 64 88 DE "));

    Feed(echo);
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    EXPECT_TRUE(Text(logs.last()).endsWith(" Rx :  01 06 00 00 00 64 88 21 "));
    EXPECT_EQ(registers.count(), 0);
}

// A write's exception reply is recognised at five bytes and named, over RTU and Modbus TCP.
TEST_F(SessionReceive, AWriteRefusedByTheDeviceIsNamed) {
    QSignalSpy refused(&session, &CommSession::writeRefused);
    const QString why = QStringLiteral("写入异常应答：功能码 0x86，异常码 0x02 非法数据地址");
    Poll(3, 2);
    write = "110600000064";
    session.requestOneShot(write);
    Feed({0x11, 0x86, 0x02, 0xC2, 0x64});
    ASSERT_EQ(refused.count(), 1);
    EXPECT_EQ(refused[0][0].toString(), why);
    EXPECT_EQ(Notice(logs.last()), " " + why);
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    EXPECT_EQ(session.cycle().inFlight(), nullptr);
}

TEST_F(SessionReceive, PausedLogStillCountsAndDecodes) {
    Poll(3, 2);
    session.setLogScrolling(false);
    Feed(kTwoRegisters);
    EXPECT_TRUE(logs.isEmpty());
    EXPECT_EQ(registers.count(), 1);
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    session.clearCounters();
    EXPECT_EQ(session.counters(), Counters{});
}

TEST_F(SessionReceive, TcpRepliesAreTakenWholeByTheirHeader) {
    PollTcp(2);
    const Bytes adu{0, 1, 0, 0, 0, 7, 1, 3, 4, 0x00, 0x01, 0xFF, 0xFE};
    Ask();
    for (std::uint8_t b : adu)
        session.onTcpBytes(ToQt({b}));
    Tcp(adu);
    ASSERT_EQ(registers.count(), 2);
    EXPECT_EQ(registers[0][1].toByteArray(), QByteArray::fromHex("0001FFFE"));
    EXPECT_EQ(session.counters(), Expect(0, 0, 2));

    // A second reply with the same transaction answers no request in flight: never decoded.
    session.onTcpBytes(ToQt(adu));
    EXPECT_EQ(registers.count(), 2);
    EXPECT_EQ(Notice(logs.last()), " 应答事务标识 0x0001 无对应请求，已丢弃");
    EXPECT_EQ(session.counters(), Expect(0, 1, 2));

    // An exception reply is logged, counted as received, not decoded.
    Tcp({0, 1, 0, 0, 0, 3, 1, 0x83, 2});
    EXPECT_EQ(registers.count(), 2);
    EXPECT_TRUE(Text(logs.last()).contains("0x83"));

    // A broken header drops what is buffered and counts a data error.
    Tcp({0, 1, 0, 9, 0, 7, 1, 3, 4});
    EXPECT_EQ(session.counters().dataErrors, 2);
    Tcp(adu);
    EXPECT_EQ(registers.count(), 3);
}

TEST_F(SessionReceive, BitAndVendorRepliesAreAcceptedHoweverTheyAreSplit) {
    const struct {
        int function, count;
        Bytes reply;
        const char* data; // hex of the data bytes handed on
        int handedCount;  // bits for f 2, registers otherwise
    } cases[] = {
        {2, 10, ReadReply(1, 2, {0x05, 0x02}), "0502", 10},
        {2, 17, ReadReply(1, 2, {0xFF, 0x00, 0x01}), "ff0001", 17},
        {50, 1, ReadReply(1, 0x32, {1, 2, 3, 4, 5, 6, 7, 8}), "0102030405060708", 4},
        {51, 1, ReadReply(1, 0x33, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}), "0102030405060708090a", 5},
        {51, 2, ReadReply(1, 0x33, Bytes(20, 0xA5)), "a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5a5",
         10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "f " << c.function << " n " << c.count);
        ClearRecords();
        Poll(c.function, c.count);
        const int replies = FeedSplitEverywhere(c.reply);
        QSignalSpy& accepted = c.function == 2 ? bits : registers;
        EXPECT_EQ((c.function == 2 ? registers : bits).count(), 0);
        ASSERT_EQ(accepted.count(), replies);
        for (const auto& args : accepted) {
            EXPECT_EQ(args[0].toInt(), 1);
            EXPECT_EQ(args[1].toByteArray().toHex(), QByteArray(c.data));
            EXPECT_EQ(args[2].toInt(), c.handedCount);
        }
        EXPECT_EQ(session.counters(), Expect(0, 0, replies));
        EXPECT_EQ(goodCount.count(), 0);
        EXPECT_EQ(session.assembly().length(), 0u);
        const QString line = QStringLiteral(" Rx:   ") + QString::fromStdString(HexBytes(c.reply));
        ASSERT_EQ(logs.count(), replies);
        for (const auto& args : logs)
            EXPECT_TRUE(Text(args).endsWith(line)) << Text(args).toStdString();
    }
}

TEST_F(SessionReceive, WriteEchoIsAcceptedHoweverItIsSplit) {
    Poll(3, 2);
    write = "010600000064";
    session.requestOneShot(write);
    const Bytes echo = WithCrc({1, 6, 0, 0, 0, 0x64});
    const int replies = FeedSplitEverywhere(echo);
    EXPECT_EQ(session.mode(), SessionMode::OneShotWrite);
    EXPECT_EQ(session.counters(), Expect(0, 0, replies));
    EXPECT_EQ(session.assembly().length(), 0u);
    ASSERT_EQ(logs.count(), replies);
    for (const auto& args : logs)
        EXPECT_TRUE(Text(args).endsWith(" Rx :  01 06 00 00 00 64 88 21 "));
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(goodCount.count(), 0);
}

TEST_F(SessionReceive, VendorRepliesCountBadCrcEvenWhileResizing) {
    ResizeQuietFlag() = true; // quiets register packets only
    const Bytes good = ReadReply(1, 0x33, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
    Bytes broken = good;
    broken[5] ^= 0x10;
    Poll(51, 1);
    Feed(broken);
    EXPECT_EQ(session.counters(), Expect(1, 0, 1));
    EXPECT_EQ(session.assembly().length(), 0u);
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(bits.count(), 0);
    EXPECT_TRUE(logs.isEmpty());
    Feed(good); // the failed reply left nothing behind
    EXPECT_EQ(registers.count(), 1);
    EXPECT_EQ(session.counters(), Expect(1, 0, 2));
    EXPECT_EQ(goodCount.count(), 0);
}

TEST_F(SessionReceive, PausedLogHidesTcpRepliesButStillCountsThem) {
    PollTcp(2);
    QSignalSpy counters(&session, &CommSession::countersChanged);
    session.setLogScrolling(false);

    Tcp({0, 1, 0, 0, 0, 7, 1, 3, 4, 0x00, 0x01, 0xFF, 0xFE});
    ASSERT_EQ(registers.count(), 1);
    EXPECT_EQ(registers[0][1].toByteArray(), QByteArray::fromHex("0001FFFE"));
    Tcp({0, 1, 0, 0, 0, 3, 1, 0x83, 2}); // exception reply
    EXPECT_EQ(registers.count(), 1);
    Tcp({0, 1, 0, 9, 0, 7, 1, 3, 4}); // bad protocol identifier
    EXPECT_TRUE(logs.isEmpty());
    EXPECT_EQ(session.counters(), Expect(0, 1, 2));
    ASSERT_EQ(counters.count(), 3);
    EXPECT_EQ(counters.last()[0].value<Counters>(), Expect(0, 1, 2));

    // Scrolling again: the same three are logged (reply, exception, broken header).
    session.setLogScrolling(true);
    Tcp({0, 1, 0, 0, 0, 7, 1, 3, 4, 0x00, 0x01, 0xFF, 0xFE});
    EXPECT_EQ(logs.count(), 1);
    Tcp({0, 1, 0, 0, 0, 3, 1, 0x83, 2});
    EXPECT_EQ(logs.count(), 3);
    EXPECT_TRUE(Text(logs.last()).contains("0x83"));
    Tcp({0, 1, 0, 9, 0, 7, 1, 3, 4});
    ASSERT_EQ(logs.count(), 4);
    EXPECT_TRUE(Text(logs.last()).contains("MBAP header invalid"));
    EXPECT_EQ(session.counters(), Expect(0, 2, 4));
}

TEST_F(SessionReceive, ExceptionRepliesAreJudgedAtFiveBytesAndNamed) {
    const QString line = " 数据包 1 异常应答：功能码 0x83，异常码 0x02 非法数据地址";
    Poll(3, 2);
    Feed({0x01, 0x83, 0x02, 0xC0, 0xF1});
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    EXPECT_EQ(session.assembly().length(), 0u);
    ASSERT_EQ(logs.count(), 2);
    EXPECT_TRUE(Text(logs[0]).endsWith(" Rx:   01 83 02 C0 F1 "));
    EXPECT_EQ(Notice(logs[1]), line);

    PollTcp(2);
    Tcp({0, 1, 0, 0, 0, 3, 1, 0x83, 2});
    EXPECT_EQ(Notice(logs.last()), line);
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(session.counters(), Expect(0, 0, 2));
}

// One read holding an exception reply and more replies: the first answers the request in
// flight; the rest answer none and are held, never decoded.
TEST_F(SessionReceive, RepliesGluedInOneReadAnswerOneRequest) {
    Poll(3, 2);
    Bytes glued{0x01, 0x83, 0x02, 0xC0, 0xF1};
    glued.insert(glued.end(), kTwoRegisters.begin(), kTwoRegisters.end());
    Ask();
    session.onSerialBytes(ToQt(glued));
    EXPECT_EQ(registers.count(), 0);
    EXPECT_EQ(session.counters(), Expect(0, 0, 1));
    EXPECT_EQ(session.assembly().length(), kTwoRegisters.size());
}

// A stream in one read is judged as its bytes one at a time would be: the same counters and
// the same accepted replies, for short and long replies, exceptions, bad CRCs, noise and a
// stream that overfills the assembly.
TEST_F(SessionReceive, OneReadIsJudgedAsItsBytesOneByOne) {
    const auto join = [](std::initializer_list<Bytes> parts) {
        Bytes all;
        for (const Bytes& part : parts)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    };
    Bytes badCrc = kTwoRegisters;
    badCrc.back() ^= 0xFF;
    const Bytes wide = ReadReply(1, 3, Bytes(250, 0x11));
    const struct {
        int function, count;
        Bytes stream;
    } cases[] = {
        {3, 2,
         join({kTwoRegisters, WithCrc({1, 0x83, 2}), badCrc, {0xAA, 0x55}, kTwoRegisters})},
        {3, 1, join({ReadReply(1, 3, {0, 5}), ReadReply(1, 3, {0, 6}), WithCrc({1, 0x83, 2})})},
        {2, 4, join({ReadReply(1, 2, {0x05}), WithCrc({1, 0x82, 3}), ReadReply(1, 2, {0x0A})})},
        {3, 125, join({wide, Bytes(300, 0x01), wide})},
    };
    for (const auto& c : cases) {
        CommSession twin;
        QSignalSpy twinRegisters(&twin, &CommSession::registerReplyAccepted);
        QSignalSpy twinBits(&twin, &CommSession::bitReplyAccepted);
        twin.configureImages(Images(c.function, c.count), 200);
        twin.startPolling();
        twin.expectReplyTo(1);
        for (std::uint8_t b : c.stream)
            twin.PortMsgRxByte(b);
        ClearRecords();
        Poll(c.function, c.count);
        Ask();
        session.onSerialBytes(ToQt(c.stream));
        const std::string name = "function " + std::to_string(c.function);
        EXPECT_EQ(session.counters(), twin.counters()) << name;
        EXPECT_EQ(registers, twinRegisters) << name;
        EXPECT_EQ(bits, twinBits) << name;
        EXPECT_GT(registers.count() + bits.count(), 0) << name;
    }
}

TEST_F(SessionReceive, RepliesToAnotherRequestAreNotDecoded) {
    const struct {
        int function, count;
        bool tcp;
        Bytes reply;
        QString why;
    } cases[] = {
        {3, 2, false, ReadReply(5, 3, {0, 1, 0, 2}), "从站地址 5 ≠ 1"},
        {3, 2, false, ReadReply(1, 4, {0, 1, 0, 2}), "功能码 0x04 ≠ 0x03"},
        {3, 2, false, WithCrc({1, 3, 6, 0, 1, 0, 2}), "字节数 6 ≠ 4"},
        {2, 10, false, ReadReply(2, 2, {5, 2}), "从站地址 2 ≠ 1"},
        {3, 2, true, {0, 1, 0, 0, 0, 7, 0xFF, 3, 4, 0, 1, 0, 2}, "单元标识 255 ≠ 1"},
        {3, 2, true, {0, 1, 0, 0, 0, 5, 1, 3, 2, 0, 1}, "数据 2 字节，少于所请求的 4 字节"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why.toStdString());
        ClearRecords();
        if (c.tcp) {
            PollTcp(c.count);
            Tcp(c.reply);
        } else {
            Poll(c.function, c.count);
            Feed(c.reply);
        }
        EXPECT_EQ(registers.count() + bits.count(), 0);
        EXPECT_EQ(session.counters(), Expect(0, 1, 1));
        ASSERT_EQ(logs.count(), 2);
        EXPECT_EQ(Notice(logs[1]), " 数据包 1 应答不匹配：" + c.why);
        EXPECT_NE(session.cycle().inFlight(), nullptr) << "the request waits on for its reply";
        session.stopPolling();
    }
}
