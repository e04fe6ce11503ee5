// SPDX-License-Identifier: GPL-3.0-or-later
// Publishing against a real mosquitto broker, read back with a real mosquitto_sub.
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <gtest/gtest.h>
#include <set>

#include "modbus/LinkController.h"
#include "publish/MqttClient.h"
#include "publish/PublishConfig.h"
#include "publish/Publisher.h"
#include "publish/TestBroker.h"
#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "support/Wait.h"

namespace vantor {
namespace {

using test::Subscriber;
using test::TestBroker;
using test::WaitUntil;

class BrokerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(broker.start()) << broker.error().toStdString(); }

    PublishSettings settingsFor(int port, const QString& prefix) {
        PublishSettings s;
        s.enabled = true;
        s.host = "127.0.0.1";
        s.port = port;
        s.prefix = prefix;
        return s;
    }
    static QJsonObject Json(const QString& payload) {
        return QJsonDocument::fromJson(payload.toUtf8()).object();
    }

    TestBroker broker;
};

// A station's points: topic by name (or reference), value scaled by the curve's rate, unit,
// quality; on change, and again once the interval has passed; birth and a clean "offline".
TEST_F(BrokerTest, PointsOnChangeAndIntervalWithQualities) {
    Subscriber sub(broker.port(), "st/#");
    ASSERT_TRUE(sub.waitReady());
    Workspace ws;
    LinkController link(LinkController::Placement::CallerThread);
    RegisterStore* store = ws.store();
    PacketRows rows{};
    rows[0] = {"1", "3", "0", "2", true};
    ws.setRows(rows);
    ws.configure();
    store->setCellLabel({PacketNo(1), 0}, QStringLiteral("温度"));
    store->setCellLabel({PacketNo(1), 1}, QString());
    ws.curves()->setRows({CurveRow{"t", "1-1-2", 0, "Y轴", "1", "0.1", "kPa", ""}});
    Publisher pub(&ws, &link);
    PublishSettings s = settingsFor(broker.port(), "st");
    s.intervalS = 1;
    ASSERT_EQ(pub.start(s), QString());
    ASSERT_TRUE(sub.waitFor("st/status"));
    EXPECT_EQ(sub.payloadsOf("st/status").first(), "online");
    ASSERT_TRUE(WaitUntil([&] { return pub.status().state == BrokerState::Connected; }));

    auto reply = [&](const char* a, const char* b) {
        store->setCellValue({PacketNo(1), 0}, a);
        store->setCellValue({PacketNo(1), 1}, b);
        // The reply's bytes as they would differ with the values.
        emit link.registerReplyAccepted(1, QByteArray(a) + '/' + b, 2);
    };
    reply("125", "7");
    ASSERT_TRUE(sub.waitFor("st/温度"));
    ASSERT_TRUE(sub.waitFor("st/4x00001"));
    const QJsonObject first = Json(sub.payloadsOf("st/温度").first());
    EXPECT_DOUBLE_EQ(first.value("v").toDouble(), 12.5);
    EXPECT_EQ(first.value("raw").toString(), "125");
    EXPECT_EQ(first.value("unit").toString(), "kPa");
    EXPECT_EQ(first.value("q").toString(), "good");
    EXPECT_NEAR(first.value("t").toDouble(), QDateTime::currentMSecsSinceEpoch(), 10000);

    reply("125", "8"); // only the second point changed
    ASSERT_TRUE(sub.waitFor("st/4x00001", 2));
    EXPECT_EQ(sub.payloadsOf("st/温度").size(), 1);
    QTest::qWait(1100);
    reply("125", "8"); // the interval passed: both again
    ASSERT_TRUE(sub.waitFor("st/温度", 2));
    emit link.noReply(1);
    ASSERT_TRUE(sub.waitFor("st/温度", 3));
    EXPECT_EQ(Json(sub.payloadsOf("st/温度").last()).value("q").toString(), "stale");
    EXPECT_DOUBLE_EQ(Json(sub.payloadsOf("st/温度").last()).value("v").toDouble(), 12.5);
    emit link.pollException(1, 2);
    ASSERT_TRUE(sub.waitFor("st/温度", 4));
    EXPECT_EQ(Json(sub.payloadsOf("st/温度").last()).value("q").toString(),
              "exception:illegal-data-address");
    pub.stop();
    ASSERT_TRUE(sub.waitFor("st/status", 2));
    EXPECT_EQ(sub.payloadsOf("st/status").last(), "offline");
}

// The broker goes away for a while and comes back: every message made meanwhile arrives
// (QoS 1, in order of their sequence numbers); a queue too small for an outage drops its oldest
// and counts them.
TEST_F(BrokerTest, OutageLosesNothingWithinTheQueueAndCountsAnOverflow) {
    auto sub = std::make_unique<Subscriber>(broker.port(), "out/#", "outage-reader");
    ASSERT_TRUE(sub->waitReady());
    MqttClient client;
    BrokerConfig config;
    config.host = "127.0.0.1";
    config.port = broker.port();
    config.clientId = "outage-writer";
    config.queueLimit = PendingQueue::kMinLimit;
    ASSERT_EQ(client.start(config), "");
    ASSERT_TRUE(WaitUntil([&] { return client.status().state == BrokerState::Connected; }));
    int seq = 0;
    auto send = [&](int n) {
        for (int i = 0; i < n; ++i, ++seq)
            client.enqueue({"out/seq", std::to_string(seq), 1, false});
    };
    send(200);
    ASSERT_TRUE(sub->waitFor("out/seq", 200));
    broker.stop();
    ASSERT_TRUE(WaitUntil([&] { return client.status().state != BrokerState::Connected; }));
    // Within the queue's bound: 900 over three seconds of outage.
    for (int second = 0; second < 3; ++second) {
        send(300);
        QTest::qWait(1000);
    }
    EXPECT_EQ(client.status().dropped, 0u);
    // QoS 1 may bring a message twice: the distinct sequence numbers count.
    std::set<int> seen;
    auto received = [&](std::size_t count) {
        return WaitUntil(
            [&] {
                seen.clear();
                for (const QString& p : sub->payloadsOf("out/seq"))
                    seen.insert(p.toInt());
                return seen.size() >= count;
            },
            30000);
    };
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(received(1100));
    EXPECT_EQ(seen.size(), 1100u);
    EXPECT_EQ(*seen.rbegin(), 1099);
    const std::uint64_t sentBefore = client.status().sent;

    // Past the bound: 1500 into a queue of 1000 while the broker is away.
    broker.stop();
    ASSERT_TRUE(WaitUntil([&] { return client.status().state != BrokerState::Connected; }));
    send(1500);
    EXPECT_EQ(client.status().dropped, 500u);
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(WaitUntil([&] { return client.status().sent >= sentBefore + 1000; }, 30000));
    ASSERT_TRUE(received(2100));
    EXPECT_EQ(seen.count(1100 + 499), 0u); // dropped: the oldest of the second outage
    EXPECT_EQ(seen.count(1100 + 500), 1u);
    EXPECT_EQ(*seen.rbegin(), 2599);
    std::printf("outage: made=%d received=%lld (%zu distinct) dropped=%llu\n", seq,
                static_cast<long long>(sub->payloadsOf("out/seq").size()), seen.size(),
                static_cast<unsigned long long>(client.status().dropped));
    client.stop();
}

// A broker that cannot be reached at the start is tried again until it is there.
TEST_F(BrokerTest, ABrokerDownAtTheStartIsReachedOnceItIsUp) {
    broker.stop();
    MqttClient client;
    BrokerConfig config;
    config.host = "127.0.0.1";
    config.port = broker.port();
    ASSERT_EQ(client.start(config), "");
    for (int i = 0; i < 50; ++i)
        client.enqueue({"late/seq", std::to_string(i), 1, false});
    ASSERT_TRUE(WaitUntil([&] { return !client.status().error.empty(); }));
    EXPECT_NE(client.status().error.find("无法连接"), std::string::npos);
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(WaitUntil([&] { return client.status().sent == 50; }, 20000))
        << client.status().sent;
    EXPECT_EQ(client.status().state, BrokerState::Connected);
}

TEST_F(BrokerTest, TlsWithTheRightCaConnectsAWrongCaIsRefused) {
    const struct {
        QString ca;
        BrokerState state;
    } cases[] = {{broker.file("ca.crt"), BrokerState::Connected},
                 {broker.otherCa(), BrokerState::Refused}};
    for (const auto& c : cases) {
        Workspace ws;
        LinkController link(LinkController::Placement::CallerThread);
        Publisher pub(&ws, &link);
        QSignalSpy messages(&pub, &Publisher::message);
        PublishSettings s = settingsFor(broker.tlsPort(), "tls");
        s.tls = true;
        s.caFile = c.ca;
        ASSERT_EQ(pub.start(s), QString());
        ASSERT_TRUE(WaitUntil([&] { return pub.status().state == c.state; })) << c.ca.toStdString();
        if (c.state == BrokerState::Refused) {
            ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
            EXPECT_TRUE(messages.last().first().toString().contains("证书"));
            EXPECT_TRUE(pub.statusText().contains("被拒绝"));
        }
    }
}

TEST_F(BrokerTest, AWrongPasswordIsRefusedWithAMessageTheRightOneConnects) {
    const struct {
        const char* password;
        BrokerState state;
    } cases[] = {{"wrong", BrokerState::Refused}, {TestBroker::kPassword, BrokerState::Connected}};
    for (const auto& c : cases) {
        qputenv(kPasswordVariable, c.password);
        Workspace ws;
        LinkController link(LinkController::Placement::CallerThread);
        Publisher pub(&ws, &link);
        QSignalSpy messages(&pub, &Publisher::message);
        PublishSettings s = settingsFor(broker.authPort(), "auth");
        s.user = TestBroker::kUser;
        ASSERT_EQ(pub.start(s), QString());
        ASSERT_TRUE(WaitUntil([&] { return pub.status().state == c.state; }))
            << c.password << " " << int(pub.status().state) << pub.status().error;
        if (c.state == BrokerState::Refused) {
            ASSERT_TRUE(WaitUntil([&] { return !messages.isEmpty(); }));
            EXPECT_TRUE(messages.last().first().toString().contains("用户名或密码"));
            // Replies still reach the station's store and publisher without waiting.
            emit link.registerReplyAccepted(1, {}, 0);
        }
    }
    qunsetenv(kPasswordVariable);
}

// The headless station: birth on start, and the broker's last will when it is killed.
TEST_F(BrokerTest, KilledStationLeavesItsLastWill) {
    Subscriber sub(broker.port(), "vantor/#");
    ASSERT_TRUE(sub.waitReady());
    QProcess station;
    station.start(VANTOR_BINARY, {"--console", "--demo", "--quiet", "--publish",
                                  QStringLiteral("mqtt://127.0.0.1:%1").arg(broker.port())});
    auto statuses = [&] {
        QStringList found;
        for (const QString& line : sub.lines())
            if (line.section(' ', 0, 0).endsWith("/status"))
                found << line.section(' ', 1);
        return found;
    };
    ASSERT_TRUE(WaitUntil([&] { return statuses().contains("online"); }, 20000));
    ASSERT_TRUE(WaitUntil([&] {
        return std::any_of(sub.lines().cbegin(), sub.lines().cend(),
                           [](const QString& l) { return l.contains("\"q\":\"good\""); });
    }));
    station.kill();
    station.waitForFinished();
    ASSERT_TRUE(WaitUntil([&] { return statuses().endsWith("offline"); }, 20000));
}

} // namespace
} // namespace vantor
