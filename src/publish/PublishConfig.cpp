// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PublishConfig.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QUrl>
#include <QUrlQuery>

#include "publish/PointMessage.h"

namespace vantor {

std::optional<BrokerUrl> ParseBrokerUrl(const QString& text, QString* error) {
    const QUrl url(text, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts")) ||
        url.host().isEmpty() || url.hasFragment() || url.path().contains(QLatin1Char('+')) ||
        url.path().contains(QLatin1Char('#'))) {
        *error = QCoreApplication::translate(
                     "vantor::PublishConfig",
                     "--publish 须为 mqtt://主机:端口[/前缀] 或 mqtts://主机:端口[/前缀]，"
                     "实际为“%1”")
                     .arg(text);
        return std::nullopt;
    }
    BrokerUrl broker;
    broker.tls = scheme == QLatin1String("mqtts");
    broker.host = url.host();
    broker.prefix = url.path().mid(1);
    for (const auto& [key, value] : QUrlQuery(url).queryItems()) {
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (key == QLatin1String("interval") && ok && number >= 0 && number <= 86400 &&
            number == static_cast<int>(number))
            broker.intervalS = static_cast<int>(number);
        else if (key == QLatin1String("deadband") && ok && number >= 0)
            broker.deadband = number;
        else if (key == QLatin1String("qos") &&
                 (value == QLatin1String("0") || value == QLatin1String("1")))
            broker.qos = value.toInt();
        else {
            *error = QCoreApplication::translate(
                         "vantor::PublishConfig",
                         "--publish：“%1=%2”不是 interval=0..86400、deadband=X (0 或以上) "
                         "或 qos=0|1")
                         .arg(key, value);
            return std::nullopt;
        }
    }
    broker.port =
        url.port(broker.tls ? PublishSettings::kDefaultTlsPort : PublishSettings::kDefaultPort);
    if (broker.port < 1 || broker.port > 65535) {
        *error = QCoreApplication::translate("vantor::PublishConfig",
                                             "--publish：端口须为 1..65535，实际为“%1”")
                     .arg(text);
        return std::nullopt;
    }
    return broker;
}

void ApplyBrokerUrl(PublishSettings& settings, const BrokerUrl& url) {
    settings.enabled = true;
    settings.host = url.host;
    settings.port = url.port;
    settings.tls = url.tls;
    if (!NormalisedPrefix(url.prefix.toStdString()).empty())
        settings.prefix = url.prefix;
    settings.intervalS = url.intervalS.value_or(settings.intervalS);
    settings.deadband = url.deadband.value_or(settings.deadband);
    settings.qos = url.qos.value_or(settings.qos);
}

std::string EffectivePrefix(const PublishSettings& settings) {
    const std::string typed = NormalisedPrefix(settings.prefix.toStdString());
    if (!typed.empty())
        return typed;
    return "vantor/" + TopicLevel(QSysInfo::machineHostName().toStdString(), "station") + '/';
}

std::string EffectiveClientId(const PublishSettings& settings) {
    if (!settings.clientId.trimmed().isEmpty())
        return settings.clientId.trimmed().toStdString();
    return QStringLiteral("vantor-%1-%2")
        .arg(QSysInfo::machineHostName())
        .arg(QCoreApplication::applicationPid())
        .toStdString();
}

PasswordRead ReadPassword(const PublishSettings& settings) {
    PasswordRead read;
    if (settings.user.isEmpty())
        return read;
    if (!settings.passwordFile.isEmpty()) {
        const QFileInfo info(settings.passwordFile);
        const auto others = QFileDevice::ReadGroup | QFileDevice::ReadOther;
        QFile file(settings.passwordFile);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
            read.refusal =
                QCoreApplication::translate("vantor::PublishConfig", "无法读取密码文件 %1")
                    .arg(settings.passwordFile);
            return read;
        }
        if (info.permissions() & others) {
            read.refusal = QCoreApplication::translate(
                               "vantor::PublishConfig",
                               "密码文件 %1 可被其他用户读取，拒绝使用 (请执行 chmod 600)")
                               .arg(settings.passwordFile);
            return read;
        }
        read.password = QString::fromUtf8(file.readLine()).trimmed().toStdString();
        return read;
    }
    read.password = qEnvironmentVariable(kPasswordVariable).toStdString();
    return read;
}

BrokerConfig MakeBrokerConfig(const PublishSettings& settings, const std::string& password) {
    BrokerConfig config;
    config.host = settings.host.trimmed().toStdString();
    config.port = settings.port;
    config.clientId = EffectiveClientId(settings);
    config.user = settings.user.toStdString();
    config.password = password;
    config.tls = settings.tls;
    config.caFile = settings.caFile.toStdString();
    config.certFile = settings.certFile.toStdString();
    config.keyFile = settings.keyFile.toStdString();
    config.statusTopic = EffectivePrefix(settings) + "status";
    config.qos = settings.qos > 0 ? 1 : 0;
    return config;
}

} // namespace vantor

namespace vantor {

QString PublishSettingsRefusal(const PublishSettings& s) {
    if (!s.enabled)
        return {};
    if (s.host.trimmed().isEmpty())
        return QCoreApplication::translate("vantor::PublishConfig", "请填写代理服务器地址");
    if (s.certFile.isEmpty() != s.keyFile.isEmpty())
        return QCoreApplication::translate("vantor::PublishConfig", "客户端证书和密钥须同时给出");
    if (s.tls && s.caFile.isEmpty())
        return QCoreApplication::translate("vantor::PublishConfig", "启用 TLS 时须给出 CA 文件");
    if (!s.user.isEmpty() && !s.passwordFile.isEmpty())
        return ReadPassword(s).refusal;
    return {};
}

} // namespace vantor
