// SPDX-License-Identifier: GPL-3.0-or-later
// The communication session against slaves it did not write: pymodbus over a socat
// pseudo-terminal pair and over TCP (whole, byte by byte, closing), and the built-in simulated
// device. Replies are decoded the way the grids decode them and compared as cell texts.
#include <QRegularExpression>
#include <QSignalSpy>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "app/SimulatedDevice.h"
#include "modbus/CommSession.h"
#include "modbus/LinkController.h"
#include "peers/PeerProcess.h"
#include "registers/PacketTable.h"
#include "registers/PointLabel.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "support/Wait.h"

namespace vantor {
namespace {

using test::kPeerWaitMs;
using test::WaitUntil;

// The slave script's values in the formats set below (holding registers 0..9, input registers
// 0..3, discrete inputs 0..9).
const std::string kHoldingTexts = "1 -2 65534 1.500 -- -2 -- -32768 12345 0";
const std::string kInputTexts = "100 200 32767 -32768";
const std::string kBitTexts = "1 0 1 1 0 0 0 1 1 0";

struct Reply {
    int packet = 0;
    std::string texts; // the cell texts joined by blanks
    bool operator==(const Reply&) const = default;
};

void PrintTo(const Reply& r, std::ostream* os) {
    *os << "Db_" << r.packet << ": " << r.texts;
}

std::string Joined(const std::vector<CellText>& cells) {
    std::string out;
    for (const CellText& c : cells)
        out += (out.empty() ? "" : " ") + c.text;
    return out;
}

std::span<const std::uint8_t> Span(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

// A session on the test thread that decodes every accepted reply with its packets' formats.
class Poller {
public:
    Poller() {
        // Packet 1 reads the holding registers 0..9 with a mix of all format kinds.
        formats.SetCellFormat({PacketNo(1), 2}, 5);
        formats.SetCellFormat({PacketNo(1), 3}, 7);
        formats.SetCellFormat({PacketNo(1), 5}, 12);
        formats.SetCellFormat({PacketNo(1), 8}, 5);
        QObject::connect(
            &session, &CommSession::registerReplyAccepted,
            [this](int packet, const QByteArray& data, int count) {
                replies.push_back(
                    {packet,
                     Joined(DecodeRegisters(Span(data), count, formats.Packet(PacketNo(packet))))});
            });
        QObject::connect(&session, &CommSession::bitReplyAccepted,
                         [this](int packet, const QByteArray& data, int count) {
                             replies.push_back({packet, Joined(DecodeBits(Span(data), count))});
                         });
        QObject::connect(&session, &CommSession::logEvent,
                         [this](const LogEvent& event) { log += event.text + '\n'; });
    }

    void Configure(const std::vector<DataPacket>& rows, LinkKind link) {
        PacketRows table{};
        std::copy(rows.begin(), rows.end(), table.begin());
        session.configureImages(vantor::Configure(table, link, TcpHeader{}).images, 200);
        session.setAllPacketsChecked(true);
    }

    bool OpenSerial(const QString& port) {
        QSignalSpy opened(&session, &CommSession::serialOpened);
        SerialSettings settings;
        settings.portName = port;
        session.openSerial(settings);
        return opened.count() == 1;
    }

    bool ConnectTcp(quint16 port) {
        QSignalSpy connected(&session, &CommSession::tcpConnected);
        session.connectTcp(QStringLiteral("127.0.0.1"), QString::number(port));
        session.startPolling();
        return connected.count() == 1 || connected.wait(kPeerWaitMs);
    }

    bool WaitReplies(std::size_t n) {
        return WaitUntil([&] { return replies.size() >= n; }, kPeerWaitMs);
    }

    void ExpectNoErrors() const {
        EXPECT_EQ(session.counters().crcErrors, 0) << log.toStdString();
        EXPECT_EQ(session.counters().dataErrors, 0) << log.toStdString();
        EXPECT_GE(session.counters().receivedPackets, static_cast<int>(replies.size()));
    }

    FormatStore formats;
    std::vector<Reply> replies;
    QString log;
    CommSession session;
    QSignalSpy sent{&session, &CommSession::frameSent};
};

class SessionPeers : public test::PeerTest {
protected:
    // Starts the slave script for the link (over socat, Modbus TCP or RTU over TCP) and opens
    // the poller's link to it.
    void StartSlaveAndOpen(Poller& p, LinkKind link) {
        if (link == LinkKind::Serial) {
            ASSERT_TRUE(socat.Start()) << socat.error();
            ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
            ASSERT_TRUE(p.OpenSerial(socat.b()));
            return;
        }
        const quint16 port = test::FreeTcpPort();
        const QString option = link == LinkKind::Tcp ? "--tcp" : "--rtu-over-tcp";
        ASSERT_TRUE(test::StartModbusSlave(slave, {option, QString::number(port)}))
            << slave.error();
        ASSERT_TRUE(p.ConnectTcp(port)) << p.log.toStdString();
    }
};

// Over the serial line and over TCP to a gateway that passes the RTU frames through.
TEST_F(SessionPeers, RtuSlaveRepliesDecodeInPacketOrder) {
    for (const LinkKind link : {LinkKind::Serial, LinkKind::RtuOverTcp}) {
        SCOPED_TRACE(link == LinkKind::Serial ? "serial" : "RTU over TCP");
        Poller p;
        p.Configure({{"1", "03", "0", "10", true},
                     {"1", "04", "0", "4", true},
                     {"1", "02", "0", "10", true}},
                    link);
        ASSERT_NO_FATAL_FAILURE(StartSlaveAndOpen(p, link));
        ASSERT_TRUE(p.WaitReplies(6)) << p.log.toStdString();

        const Reply cycle[] = {{1, kHoldingTexts}, {2, kInputTexts}, {3, kBitTexts}};
        for (std::size_t i = 0; i < 6; ++i)
            EXPECT_EQ(p.replies[i], cycle[i % 3]) << "reply " << i;
        p.ExpectNoErrors();
        EXPECT_TRUE(p.log.contains(" Tx :  01 03 00 00 00 0A C5 CD \n")) << p.log.toStdString();
        p.session.closeSerial();
        p.session.disconnectTcp();
        slave.Stop();
    }
}

TEST_F(SessionPeers, TcpSlaveWholeAndByteByByteRepliesDecodeAlike) {
    for (const QString mode : {"", "--split"}) {
        SCOPED_TRACE(mode.toStdString());
        const quint16 port = test::FreeTcpPort();
        QStringList arguments{"--tcp", QString::number(port)};
        if (!mode.isEmpty())
            arguments << mode;
        ASSERT_TRUE(test::StartModbusSlave(slave, arguments)) << slave.error();
        Poller p;
        // Packet 2 reads the float and the long on their own, with function 3 like every TCP row.
        p.formats.SetCellFormat({PacketNo(2), 0}, 7);
        p.formats.SetCellFormat({PacketNo(2), 2}, 12);
        p.Configure({{"1", "03", "0", "10", true}, {"1", "03", "3", "4", true}}, LinkKind::Tcp);
        ASSERT_TRUE(p.ConnectTcp(port)) << p.log.toStdString();
        ASSERT_TRUE(p.WaitReplies(3)) << p.log.toStdString();

        EXPECT_EQ(p.replies[0], (Reply{1, kHoldingTexts}));
        EXPECT_EQ(p.replies[1], (Reply{2, "1.500 -- -2 --"}));
        EXPECT_EQ(p.replies[2], (Reply{1, kHoldingTexts}));
        p.ExpectNoErrors();
        p.session.disconnectTcp();
        slave.Stop();
    }
}

// One connection, each packet with its own unit and function: coils, discrete inputs, input and
// holding registers of two units, each reply on its own packet and labelled by what was sent.
TEST_F(SessionPeers, TcpPollsEachPacketWithItsOwnUnitAndFunction) {
    const quint16 port = test::FreeTcpPort();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port), "--units"}))
        << slave.error();
    Poller p;
    const std::vector<DataPacket> rows = {{"2", "01", "0", "4", true},
                                          {"1", "02", "0", "10", true},
                                          {"2", "04", "0", "2", true},
                                          {"2", "03", "0", "4", true},
                                          {"1", "04", "0", "4", true}};
    p.Configure(rows, LinkKind::Tcp);
    ASSERT_TRUE(p.ConnectTcp(port)) << p.log.toStdString();
    ASSERT_TRUE(p.WaitReplies(5)) << p.log.toStdString();
    p.session.disconnectTcp();
    const std::vector<Reply> expected = {{1, "1 1 0 1"},      {2, kBitTexts},   {3, "300 400"},
                                         {4, "7 8 9 10"}, {5, kInputTexts}};
    EXPECT_EQ(std::vector<Reply>(p.replies.begin(), p.replies.begin() + 5), expected);
    p.ExpectNoErrors();

    PacketRows table{};
    std::copy(rows.begin(), rows.end(), table.begin());
    const CommandImages sent = ImagesAsSent(vantor::Configure(table, LinkKind::Tcp, {}).images,
                                            LinkKind::Tcp);
    const std::vector<std::string> labels = {"0x00000", "3x00000", "3x00000", "4x00000",
                                             "3x00000"};
    for (std::size_t i = 0; i < labels.size(); ++i)
        EXPECT_EQ(PointLabel(sent.packets[i].function, sent.packets[i].start, 0, 0), labels[i]);
    EXPECT_EQ(sent.packets[2].function, 4); // an input register page is not holding registers
}

TEST_F(SessionPeers, TcpSlaveClosingAfterFirstReplyStopsTheCycle) {
    const quint16 port = test::FreeTcpPort();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port), "--close"}))
        << slave.error();
    Poller p;
    p.Configure({{"1", "03", "0", "10", true}}, LinkKind::Tcp);
    QSignalSpy lost(&p.session, &CommSession::tcpDisconnected);
    ASSERT_TRUE(p.ConnectTcp(port)) << p.log.toStdString();
    ASSERT_TRUE(WaitUntil([&] { return lost.count() == 1; }, kPeerWaitMs)) << p.log.toStdString();

    ASSERT_EQ(p.replies.size(), 1u);
    EXPECT_EQ(p.replies[0], (Reply{1, kHoldingTexts}));
    EXPECT_TRUE(p.log.trimmed().section('\n', -1).contains("Modbus TCP/IP 连接已断开"))
        << p.log.toStdString();
    // Give a cycle that wrongly kept going more than two send intervals to send again.
    const qsizetype sentAtLoss = p.sent.count();
    QTest::qWait(1000);
    EXPECT_EQ(sentAtLoss, 1);
    EXPECT_EQ(p.sent.count(), sentAtLoss);
    EXPECT_EQ(lost.count(), 1);
    EXPECT_EQ(p.session.counters().receivedPackets, 1);
    p.ExpectNoErrors();
}

TEST(SimulatedDevicePeer, ValuesMoveOverRtuAndTcp) {
    for (const LinkKind link : {LinkKind::Serial, LinkKind::Tcp}) {
        SCOPED_TRACE(link == LinkKind::Serial ? "RTU" : "TCP");
        SimulatedDevice device;
        Poller p;
        p.formats.Reset();
        p.formats.SetCellFormat({PacketNo(1), 1}, 7); // the sine
        p.Configure({{"1", "03", "0", "10", true}}, link);
        if (link == LinkKind::Serial) {
            ASSERT_TRUE(device.StartRtu()) << device.errorString().toStdString();
            ASSERT_TRUE(p.OpenSerial(device.masterPort()));
        } else {
            ASSERT_TRUE(device.StartTcp()) << device.errorString().toStdString();
            ASSERT_TRUE(p.ConnectTcp(device.tcpPort())) << p.log.toStdString();
        }
        ASSERT_TRUE(p.WaitReplies(2)) << p.log.toStdString();

        const QStringList first = QString::fromStdString(p.replies[0].texts).split(' ');
        const QStringList second = QString::fromStdString(p.replies[1].texts).split(' ');
        ASSERT_EQ(first.size(), 10);
        ASSERT_EQ(second.size(), 10);
        EXPECT_LT(first[0].toInt(), second[0].toInt()) << "the counter register must advance";
        for (const QStringList& cells : {first, second}) {
            EXPECT_TRUE(QRegularExpression(R"(^-?\d+\.\d{3}$)").match(cells[1]).hasMatch())
                << cells[1].toStdString();
            EXPECT_EQ(cells[2], "--");
            EXPECT_EQ(cells.mid(7), (QStringList{"-1234", "2026", "-16657"})); // 0xBEEF signed
        }
        p.ExpectNoErrors();
    }
}

TEST_F(SessionPeers, DeadSlaveIsLoggedOnceAndItsPacketStaleUntilItAnswersAgain) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    Poller p;
    RegisterStore store;
    QObject::connect(&p.session, &CommSession::registerReplyAccepted, &store,
                     &RegisterStore::onRegisterReply);
    QObject::connect(&p.session, &CommSession::noReply, &store, &RegisterStore::onNoReply);
    QSignalSpy missed(&p.session, &CommSession::noReply);
    p.Configure({{"1", "03", "0", "10", true}}, LinkKind::Serial);
    ASSERT_TRUE(p.OpenSerial(socat.b()));
    ASSERT_TRUE(p.WaitReplies(1)) << p.log.toStdString();
    const PacketStats& stats = p.session.packetStats()[0];
    // Times run from the request's last bit on the line at the port's rate; a pseudo-terminal
    // carries it at once, so a quick slave's reply shows its measured round trip instead.
    EXPECT_GE(stats.valid, 1u);
    EXPECT_EQ(stats.timed, stats.valid);
    EXPECT_GT(stats.minUs, 0);
    EXPECT_LT(stats.maxUs, p.session.delays().replyTimeoutMs * 1000);

    slave.Stop();
    ASSERT_TRUE(WaitUntil([&] { return missed.count() >= 2; }, kPeerWaitMs)) << p.log.toStdString();
    EXPECT_TRUE(store.isStale(PacketNo(1)));
    EXPECT_EQ(p.log.count(QStringLiteral(" 数据包 1 无应答\n")), 1) << p.log.toStdString();
    EXPECT_EQ(stats.noReply, static_cast<std::uint32_t>(missed.count()));
    EXPECT_LE(stats.requests, stats.valid + stats.noReply + 1); // one may still be in flight
    p.session.clearCounters();
    EXPECT_EQ(stats, PacketStats{});

    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    EXPECT_TRUE(WaitUntil([&] { return !store.isStale(PacketNo(1)); }, kPeerWaitMs))
        << p.log.toStdString();
    p.session.closeSerial();
}

TEST_F(SessionPeers, AnAddressOutsideTheSlaveGetsANamedException) {
    for (const LinkKind link : {LinkKind::Serial, LinkKind::Tcp}) {
        SCOPED_TRACE(link == LinkKind::Serial ? "RTU" : "TCP");
        Poller p;
        p.Configure({{"1", "03", "100", "2", true}}, link);
        ASSERT_NO_FATAL_FAILURE(StartSlaveAndOpen(p, link));
        ASSERT_TRUE(
            WaitUntil([&] { return p.session.counters().receivedPackets >= 2; }, kPeerWaitMs))
            << p.log.toStdString();
        EXPECT_EQ(p.log.count(" 数据包 1 异常应答：功能码 0x83，异常码 0x02 非法数据地址\n"),
                  p.session.counters().receivedPackets)
            << p.log.toStdString();
        const PacketStats& stats = p.session.packetStats()[0];
        EXPECT_EQ(stats.exceptions,
                  static_cast<std::uint32_t>(p.session.counters().receivedPackets));
        EXPECT_EQ(stats.lastException, 2);
        EXPECT_EQ(stats.valid, 0u);
        EXPECT_EQ(stats.timed, stats.exceptions);
        EXPECT_TRUE(p.replies.empty());
        EXPECT_FALSE(p.log.contains("无应答")) << p.log.toStdString();
        p.ExpectNoErrors();
        p.session.closeSerial();
        p.session.disconnectTcp();
        slave.Stop();
    }
}

TEST_F(SessionPeers, LostLinksAreLoggedDisarmPollingAndOpenAgain) {
    for (const LinkKind kind : {LinkKind::Serial, LinkKind::Tcp}) {
        SCOPED_TRACE(kind == LinkKind::Serial ? "RTU" : "TCP");
        LinkController link(LinkController::Placement::CallerThread);
        QString log;
        QObject::connect(&link, &LinkController::logEvent,
                         [&](const LogEvent& event) { log += event.text + '\n'; });
        QSignalSpy lost(&link, &LinkController::linkLost);
        PacketRows table{};
        table[0] = {"1", "03", "0", "10", true};
        link.configure(vantor::Configure(table, kind, TcpHeader{}).images, 200);
        link.setAllPacketsChecked(true);
        // A new peer and the link opened to it and polling; `closing`: a TCP server that closes
        // after its first reply.
        const auto open = [&](bool closing) {
            if (kind == LinkKind::Serial) {
                ASSERT_TRUE(socat.Start()) << socat.error();
                ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
                SerialSettings settings;
                settings.portName = socat.b();
                link.openSerial(settings);
                link.startPolling();
                return;
            }
            const QString port = QString::number(test::FreeTcpPort());
            ASSERT_TRUE(test::StartModbusSlave(slave, closing
                                                          ? QStringList{"--tcp", port, "--close"}
                                                          : QStringList{"--tcp", port}))
                << slave.error();
            link.connectTcp(QStringLiteral("127.0.0.1"), port);
            link.tcpStart();
        };
        open(true);
        ASSERT_FALSE(HasFatalFailure());
        if (kind == LinkKind::Serial) {
            ASSERT_TRUE(WaitUntil([&] { return log.contains(" Rx:"); }, kPeerWaitMs))
                << log.toStdString();
            socat.Stop();
        }
        ASSERT_TRUE(WaitUntil([&] { return lost.count() == 1; }, kPeerWaitMs)) << log.toStdString();
        EXPECT_TRUE(
            log.contains(kind == LinkKind::Serial
                             ? QStringLiteral(" 串口连接已断开：")
                             : QStringLiteral(" Modbus TCP/IP 连接已断开（连接被对方关闭）")))
            << log.toStdString();
        EXPECT_FALSE(link.state().polling);
        EXPECT_TRUE(WaitUntil([&] { return !link.sessionForTests()->autoSend(); }));
        slave.Stop();

        // The same controller opens the link again and polls.
        log.clear();
        open(false);
        ASSERT_FALSE(HasFatalFailure());
        EXPECT_TRUE(WaitUntil([&] { return log.contains(" Rx:"); }, kPeerWaitMs))
            << log.toStdString();
        link.closeSerial();
        link.disconnectTcp();
        slave.Stop();
        socat.Stop();
    }
}

} // namespace
} // namespace vantor
