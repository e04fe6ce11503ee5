// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// From the publishing settings to a broker connection: the broker URL of the command line, the
// defaults of a station without a project, the password's sources, and the topics.
#include <QString>
#include <optional>
#include <string>

#include "publish/MqttClient.h"
#include "registers/PublishSettings.h"

namespace vantor {

inline constexpr const char* kPasswordVariable = "VANTOR_MQTT_PASSWORD";

struct BrokerUrl {
    QString host;
    int port = PublishSettings::kDefaultPort;
    bool tls = false;
    QString prefix;                 // the URL's path, when it has one: the topic prefix
    std::optional<int> intervalS;   // ?interval=N (0: every reply)
    std::optional<double> deadband; // ?deadband=X
    std::optional<int> qos;         // ?qos=0|1
};

// "mqtt://HOST[:PORT][/PREFIX][?interval=N&deadband=X&qos=Q]" or "mqtts://…" (ports 1883 and
// 8883 by default); the error text (English, as the command line's) when it is neither.
std::optional<BrokerUrl> ParseBrokerUrl(const QString& text, QString* error);
// The URL's broker (and its prefix, where it gives one) replaces the settings' one; everything
// else stays.
void ApplyBrokerUrl(PublishSettings& settings, const BrokerUrl& url);

// "vantor/<host name>/" where the settings name no prefix; always ending in "/".
std::string EffectivePrefix(const PublishSettings& settings);
std::string EffectiveClientId(const PublishSettings& settings);

struct PasswordRead {
    std::string password; // empty: none
    QString refusal;      // why the password file is not used; empty when all is well
};
// The password from the settings' file (its first line), which group and others must not be
// able to read, or else from the environment variable; none without a user.
PasswordRead ReadPassword(const PublishSettings& settings);

BrokerConfig MakeBrokerConfig(const PublishSettings& settings, const std::string& password);

} // namespace vantor

namespace vantor {

// Why the settings cannot be taken as they are (a broker to publish to without an address, a
// client key without its certificate, a password file others can read); empty when they can.
QString PublishSettingsRefusal(const PublishSettings& settings);

} // namespace vantor
