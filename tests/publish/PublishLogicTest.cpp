// SPDX-License-Identifier: GPL-3.0-or-later
// The rules of publishing without a broker: topics, payloads, the gate, the queue, the broker
// URL, the password's sources and the project keys.
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "project/PublishKeys.h"
#include "publish/PendingQueue.h"
#include "publish/PointMessage.h"
#include "publish/PublishConfig.h"

namespace vantor {
namespace {

TEST(PointMessage, TopicsArePlainLevelsUnderOnePrefix) {
    EXPECT_EQ(TopicLevel("  压力/出口 ", "4x00003"), "压力_出口");
    EXPECT_EQ(TopicLevel("a+b#c", "x"), "a_b_c");
    EXPECT_EQ(TopicLevel(" ", "4x00003"), "4x00003");
    EXPECT_EQ(NormalisedPrefix("plant/line1//"), "plant/line1/");
    EXPECT_EQ(NormalisedPrefix("plant"), "plant/");
    EXPECT_EQ(NormalisedPrefix("  "), "");
}

TEST(PointMessage, PayloadIsJsonWithTheFiveFields) {
    std::string out;
    AppendPointPayload(out,
                       {1700000000123, 12.5, "1\"2\\5", "kPa", {PointQuality::Kind::Exception, 2}});
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    EXPECT_EQ(o.value("t").toInteger(), 1700000000123);
    EXPECT_DOUBLE_EQ(o.value("v").toDouble(), 12.5);
    EXPECT_EQ(o.value("raw").toString(), "1\"2\\5");
    EXPECT_EQ(o.value("unit").toString(), "kPa");
    EXPECT_EQ(o.value("q").toString(), "exception:illegal-data-address");
    out.clear();
    AppendPointPayload(out, {1, std::nullopt, "--", "", {PointQuality::Kind::NoReply}});
    EXPECT_EQ(out, R"({"t":1,"v":null,"raw":"--","unit":"","q":"no-reply"})");
}

TEST(PointMessage, GridNumbersAreWholeTextsOnly) {
    EXPECT_EQ(GridNumber(" -3.25 "), -3.25);
    EXPECT_EQ(GridNumber("+7"), 7);
    EXPECT_FALSE(GridNumber("12kPa"));
    EXPECT_FALSE(GridNumber("--"));
    EXPECT_FALSE(GridNumber(""));
}

TEST(PointGate, OnChangeBeyondTheDeadbandOrAfterTheInterval) {
    struct Step {
        std::int64_t t;
        std::optional<double> v;
        const char* raw;
        PointQuality::Kind q;
        bool sent;
    };
    using K = PointQuality::Kind;
    const Step steps[] = {
        {0, 10.0, "10", K::Good, true},              // first
        {100, 10.4, "10.4", K::Good, false},         // within the deadband of 0.5
        {200, 10.6, "10.6", K::Good, true},          // beyond it, from the last sent
        {300, 10.6, "10.6", K::Stale, true},         // quality changed
        {400, 10.6, "10.6", K::Stale, false},        // nothing changed
        {1300, 10.6, "10.6", K::Stale, true},        // interval (1000) passed since 300
        {1400, std::nullopt, "--", K::Stale, true},  // no number any more
        {1500, std::nullopt, "--", K::Stale, false}, // same text
        {1600, std::nullopt, "xx", K::Stale, true},  // the text changed
    };
    PointGate gate;
    for (const Step& s : steps)
        EXPECT_EQ(gate.admit({s.t, s.v, s.raw, "", {s.q}}, 1000, 0.5), s.sent) << "t=" << s.t;
    PointGate exact;
    EXPECT_TRUE(exact.admit({0, 1.0, "1", "", {}}, 1000, 0));
    EXPECT_TRUE(exact.admit({1, 1.001, "1.001", "", {}}, 1000, 0));
}

TEST(PendingQueue, FullQueueDropsAndCountsTheOldest) {
    PendingQueue queue(PendingQueue::kMinLimit);
    for (std::size_t i = 0; i < PendingQueue::kMinLimit + 5; ++i)
        queue.push({std::to_string(i), {}, 1, false});
    EXPECT_EQ(queue.size(), PendingQueue::kMinLimit);
    EXPECT_EQ(queue.dropped(), 5u);
    EXPECT_EQ(queue.pop().topic, "5");
    queue.pushFront({"back", {}, 1, false});
    EXPECT_EQ(queue.pop().topic, "back");
}

TEST(PublishConfig, BrokerUrls) {
    const struct {
        const char* text;
        bool ok;
        const char* host;
        int port;
        bool tls;
        const char* prefix;
    } cases[] = {{"mqtt://127.0.0.1:1884", true, "127.0.0.1", 1884, false, ""},
                 {"mqtts://broker.local", true, "broker.local", 8883, true, ""},
                 {"mqtt://host/plant/a", true, "host", 1883, false, "plant/a"},
                 {"http://host:80", false, "", 0, false, ""},
                 {"mqtt://", false, "", 0, false, ""},
                 {"mqtt://host:99999", false, "", 0, false, ""},
                 {"mqtt://host/a/#", false, "", 0, false, ""},
                 {"mqtt://host?interval=0&qos=0", true, "host", 1883, false, ""},
                 {"mqtt://host?interval=-1", false, "", 0, false, ""},
                 {"mqtt://host?colour=red", false, "", 0, false, ""}};
    for (const auto& c : cases) {
        QString error;
        const auto url = ParseBrokerUrl(QString::fromLatin1(c.text), &error);
        ASSERT_EQ(url.has_value(), c.ok) << c.text;
        if (!c.ok) {
            EXPECT_TRUE(error.contains("--publish")) << c.text;
            continue;
        }
        EXPECT_EQ(url->host, c.host);
        EXPECT_EQ(url->port, c.port);
        EXPECT_EQ(url->tls, c.tls);
        EXPECT_EQ(url->prefix, c.prefix);
    }
    QString error;
    PublishSettings fromUrl;
    ApplyBrokerUrl(fromUrl, *ParseBrokerUrl("mqtt://h/p?interval=0&deadband=0.5&qos=0", &error));
    EXPECT_EQ(fromUrl.intervalS, 0);
    EXPECT_EQ(fromUrl.deadband, 0.5);
    EXPECT_EQ(fromUrl.qos, 0);
    EXPECT_EQ(fromUrl.prefix, "p");
    PublishSettings defaults;
    EXPECT_TRUE(QString::fromStdString(EffectivePrefix(defaults)).startsWith("vantor/"));
    defaults.prefix = "site/a";
    EXPECT_EQ(EffectivePrefix(defaults), "site/a/");
}

TEST(PublishConfig, PasswordFileOthersCanReadIsRefused) {
    QTemporaryDir dir;
    QFile file(dir.filePath("pw"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("s3cret\n");
    file.close();
    PublishSettings s;
    s.user = "station";
    s.passwordFile = file.fileName();
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadOther);
    EXPECT_TRUE(ReadPassword(s).refusal.contains("chmod 600"));
    file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    const PasswordRead read = ReadPassword(s);
    EXPECT_TRUE(read.refusal.isEmpty());
    EXPECT_EQ(read.password, "s3cret");
    s.passwordFile.clear();
    qputenv(kPasswordVariable, "from-env");
    EXPECT_EQ(ReadPassword(s).password, "from-env");
    qunsetenv(kPasswordVariable);
}

TEST(PublishKeys, RoundTripWithoutThePasswordAndNothingForDefaults) {
    ProfileFile profile;
    WritePublishKeys(PublishSettings{}, profile);
    EXPECT_TRUE(profile.keys("Vantor").isEmpty());
    PublishSettings s;
    s.enabled = true;
    s.host = "10.0.0.5";
    s.port = 8883;
    s.prefix = "plant/a/";
    s.intervalS = 30;
    s.deadband = 0.25;
    s.qos = 0;
    s.user = "station";
    s.passwordFile = "/etc/vantor/pw";
    s.tls = true;
    s.caFile = "/etc/ssl/ca.crt";
    WritePublishKeys(s, profile);
    EXPECT_EQ(ReadPublishKeys(profile), s);
    for (const QString& key : profile.keys("Vantor"))
        EXPECT_FALSE(profile.value("Vantor", key).contains("secret"));
    profile.setValue("Vantor", "MqttQos", "7");
    EXPECT_EQ(ReadPublishKeys(profile).qos, 1); // out of range: the default
}

} // namespace
} // namespace vantor
