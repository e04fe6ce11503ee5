// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/PublishKeys.h"

#include "project/ProjectFile.h"

namespace vantor {

namespace {

const QString kSection = QString::fromLatin1(kProjectExtraSection);

struct TextKey {
    const char* key;
    QString PublishSettings::*field;
};
struct IntKey {
    const char* key;
    int PublishSettings::*field;
    int low, high;
};
struct FlagKey {
    const char* key;
    bool PublishSettings::*field;
};

constexpr TextKey kTexts[] = {
    {"MqttHost", &PublishSettings::host},
    {"MqttClientId", &PublishSettings::clientId},
    {"MqttPrefix", &PublishSettings::prefix},
    {"MqttUser", &PublishSettings::user},
    {"MqttPasswordFile", &PublishSettings::passwordFile},
    {"MqttCaFile", &PublishSettings::caFile},
    {"MqttCertFile", &PublishSettings::certFile},
    {"MqttKeyFile", &PublishSettings::keyFile},
};
constexpr IntKey kInts[] = {
    {"MqttPort", &PublishSettings::port, 1, 65535},
    {"MqttInterval", &PublishSettings::intervalS, 0, 86400},
    {"MqttQos", &PublishSettings::qos, 0, 1},
    {"MqttQueue", &PublishSettings::queueLimit, 0, 100000000},
};
constexpr FlagKey kFlags[] = {
    {"MqttEnabled", &PublishSettings::enabled},
    {"MqttTls", &PublishSettings::tls},
};
constexpr const char* kDeadbandKey = "MqttDeadband";

QString Key(const char* key) {
    return QString::fromLatin1(key);
}

} // namespace

void WritePublishKeys(const PublishSettings& s, ProfileFile& p) {
    if (s == PublishSettings{})
        return;
    for (const FlagKey& k : kFlags)
        p.setValue(kSection, Key(k.key), s.*k.field ? QStringLiteral("1") : QStringLiteral("0"));
    for (const TextKey& k : kTexts)
        p.setValue(kSection, Key(k.key), s.*k.field);
    for (const IntKey& k : kInts)
        p.setValue(kSection, Key(k.key), QString::number(s.*k.field));
    p.setValue(kSection, Key(kDeadbandKey), QString::number(s.deadband, 'g', 15));
}

PublishSettings ReadPublishKeys(const ProfileFile& p) {
    PublishSettings s;
    for (const FlagKey& k : kFlags)
        if (p.contains(kSection, Key(k.key)))
            s.*k.field = p.value(kSection, Key(k.key)).trimmed() == QLatin1String("1");
    for (const TextKey& k : kTexts)
        if (p.contains(kSection, Key(k.key)))
            s.*k.field = p.value(kSection, Key(k.key)).trimmed();
    for (const IntKey& k : kInts) {
        bool ok = false;
        const int value = p.value(kSection, Key(k.key)).trimmed().toInt(&ok);
        if (ok && value >= k.low && value <= k.high)
            s.*k.field = value;
    }
    bool ok = false;
    const double deadband = p.value(kSection, Key(kDeadbandKey)).trimmed().toDouble(&ok);
    if (ok && deadband >= 0)
        s.deadband = deadband;
    return s;
}

} // namespace vantor
