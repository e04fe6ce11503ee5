// SPDX-License-Identifier: GPL-3.0-or-later
// The console's publishing: --publish starts it with the project's settings (or the defaults)
// and the URL's broker; the end of the run sends what is queued and says what became of it.
#include "app/ConsoleRunner.h"
#include "publish/PublishConfig.h"

namespace vantor {

bool ConsoleRunner::startPublishing() {
    if (m_options.publishUrl.isEmpty())
        return true;
    QString error;
    const auto url = ParseBrokerUrl(m_options.publishUrl, &error);
    PublishSettings settings =
        m_options.project.isEmpty() ? PublishSettings{} : m_app.workspace()->publishSettings();
    ApplyBrokerUrl(settings, *url);
    m_publisher = std::make_unique<Publisher>(m_app.workspace(), m_app.link());
    connect(m_publisher.get(), &Publisher::message, this, [this](const QString& text) {
        m_err << text << '\n';
        m_err.flush();
    });
    m_err << tr("MQTT: 发布到 %1:%2，主题前缀 %3")
                 .arg(settings.host)
                 .arg(settings.port)
                 .arg(QString::fromStdString(EffectivePrefix(settings)))
          << '\n';
    m_err.flush();
    if (const QString refusal = m_publisher->start(settings); !refusal.isEmpty()) {
        fail(QStringLiteral("--publish: ") + refusal, 2);
        return false;
    }
    return true;
}

void ConsoleRunner::finishPublishing() {
    if (!m_publisher)
        return;
    m_publisher->stop();
    const BrokerStatus s = m_publisher->status();
    // scripts/measure-publish reads the counts from this line: not translated.
    m_err << QStringLiteral("MQTT: 生成=%1 已发送=%2 丢弃=%3 未发送=%4")
                 .arg(m_publisher->made())
                 .arg(s.sent)
                 .arg(s.dropped)
                 .arg(s.queued + s.inFlight)
          << '\n';
    m_err.flush();
}

} // namespace vantor
