// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/MqttClient.h"

#include <mosquitto.h>

#include <QCoreApplication>

#include <chrono>
#include <string_view>

namespace vantor {

namespace {

constexpr int kKeepAliveS = 30;
constexpr int kFatalRetryMs = 10000;
constexpr int kUnreachableRetryMs = 2000;

std::once_flag g_libraryInit;

std::string Text(const char* source) {
    return QCoreApplication::translate("vantor::MqttClient", source).toStdString();
}

std::string RefusalText(int rc) {
    const QString reason = QString::fromUtf8(mosquitto_connack_string(rc));
    // MQTT 3.1.1 CONNACK codes 4 and 5: the credentials.
    if (rc == 4 || rc == 5)
        return QCoreApplication::translate("vantor::MqttClient",
                                           "代理服务器拒绝了用户名或密码 (%1)")
            .arg(reason)
            .toStdString();
    return QCoreApplication::translate("vantor::MqttClient", "代理服务器拒绝连接: %1")
        .arg(reason)
        .toStdString();
}

std::string UnreachableText(const BrokerConfig& config, int rc) {
    return QCoreApplication::translate("vantor::MqttClient",
                                       "无法连接代理服务器 %1:%2 (%3)，稍后重试")
        .arg(QString::fromStdString(config.host))
        .arg(config.port)
        .arg(QString::fromUtf8(mosquitto_strerror(rc)))
        .toStdString();
}

} // namespace

MqttClient::MqttClient() {
    std::call_once(g_libraryInit, [] { mosquitto_lib_init(); });
}

MqttClient::~MqttClient() {
    stop(0);
}

std::string MqttClient::start(const BrokerConfig& config) {
    stop(0);
    m_config = config;
    m_mosq = mosquitto_new(config.clientId.empty() ? nullptr : config.clientId.c_str(), true, this);
    if (!m_mosq)
        return Text(QT_TRANSLATE_NOOP("vantor::MqttClient", "无法创建 MQTT 客户端"));
    {
        std::lock_guard lock(m_mutex);
        m_queue.setLimit(config.queueLimit);
        m_inFlight.clear();
        m_stopping = false;
        m_fatal = false;
        m_error.clear();
    }
    mosquitto_connect_callback_set(m_mosq, &MqttClient::onConnect);
    mosquitto_disconnect_callback_set(m_mosq, &MqttClient::onDisconnect);
    mosquitto_publish_callback_set(m_mosq, &MqttClient::onPublish);
    mosquitto_log_callback_set(m_mosq, &MqttClient::onLog);
    mosquitto_reconnect_delay_set(m_mosq, 1, 10, true);
    mosquitto_max_inflight_messages_set(m_mosq, kWindow);
    if (!config.user.empty())
        mosquitto_username_pw_set(m_mosq, config.user.c_str(),
                                  config.password.empty() ? nullptr : config.password.c_str());
    if (!config.statusTopic.empty())
        mosquitto_will_set(m_mosq, config.statusTopic.c_str(), 7, "offline", 1, true);
    if (config.tls) {
        auto file = [](const std::string& f) { return f.empty() ? nullptr : f.c_str(); };
        const int rc = mosquitto_tls_set(m_mosq, file(config.caFile), nullptr,
                                         file(config.certFile), file(config.keyFile), nullptr);
        if (rc != MOSQ_ERR_SUCCESS) {
            mosquitto_destroy(m_mosq);
            m_mosq = nullptr;
            return QCoreApplication::translate("vantor::MqttClient",
                                               "TLS 设置无效 (CA 文件、证书或密钥无法读取): %1")
                .arg(QString::fromUtf8(mosquitto_strerror(rc)))
                .toStdString();
        }
    }
    setState(BrokerState::Connecting, {});
    // The library's thread reconnects once it has been connected; a broker that cannot be
    // reached at all now is tried again by our thread.
    if (const int rc =
            mosquitto_connect_async(m_mosq, config.host.c_str(), config.port, kKeepAliveS);
        rc == MOSQ_ERR_SUCCESS) {
        mosquitto_loop_start(m_mosq);
    } else {
        bool refused = false;
        {
            std::lock_guard lock(m_mutex);
            m_fatal = true;
            refused = m_state == BrokerState::Refused; // a TLS refusal keeps its reason
        }
        if (!refused)
            setState(BrokerState::Connecting, UnreachableText(config, rc));
    }
    m_pump = std::thread([this] { pump(); });
    return {};
}

void MqttClient::stop(int flushMs) {
    if (!m_mosq)
        return;
    std::unique_lock lock(m_mutex);
    const auto flushed = [this] {
        return m_state != BrokerState::Connected || (m_queue.empty() && m_inFlight.empty());
    };
    m_wake.wait_for(lock, std::chrono::milliseconds(flushMs), flushed);
    m_stopping = true;
    m_wake.notify_all();
    if (m_state == BrokerState::Connected && !m_config.statusTopic.empty()) {
        m_offlineAcked = false;
        mosquitto_publish(m_mosq, &m_offlineMid, m_config.statusTopic.c_str(), 7, "offline", 1,
                          true);
        m_wake.wait_for(lock, std::chrono::milliseconds(std::max(flushMs, 500)),
                        [this] { return m_offlineAcked || m_state != BrokerState::Connected; });
    }
    lock.unlock();
    if (m_pump.joinable())
        m_pump.join();
    mosquitto_disconnect(m_mosq);
    mosquitto_loop_stop(m_mosq, false);
    mosquitto_destroy(m_mosq);
    m_mosq = nullptr;
    lock.lock();
    m_stopping = false; // the unacknowledged stay counted until the next start
    lock.unlock();
    setState(BrokerState::Stopped, {});
}

void MqttClient::enqueue(OutMessage message) {
    std::lock_guard lock(m_mutex);
    m_queue.push(std::move(message));
    m_wake.notify_all();
}

void MqttClient::enqueue(std::vector<OutMessage>& messages) {
    std::lock_guard lock(m_mutex);
    for (OutMessage& message : messages)
        m_queue.push(std::move(message));
    messages.clear();
    m_wake.notify_all();
}

void MqttClient::setQueueLimit(std::size_t limit) {
    std::lock_guard lock(m_mutex);
    m_queue.setLimit(limit);
}

BrokerStatus MqttClient::status() const {
    std::lock_guard lock(m_mutex);
    return {m_state,           m_queue.size(), m_inFlight.size(), m_queue.limit(), m_sent,
            m_queue.dropped(), m_error};
}

void MqttClient::setState(BrokerState state, const std::string& error) {
    {
        std::lock_guard lock(m_mutex);
        if (m_state == state && m_error == error)
            return;
        m_state = state;
        m_error = error;
        m_wake.notify_all();
    }
    if (m_changed)
        m_changed();
}

// Hands queued messages to the library while connected and the window has room. The mutex is
// held around each publish so that its acknowledgement cannot be counted before its id is known.
void MqttClient::pump() {
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        if (m_fatal) {
            restartAfterFatal(lock);
            continue;
        }
        m_wake.wait(lock, [this] {
            return m_stopping || m_fatal ||
                   (m_state == BrokerState::Connected && !m_queue.empty() &&
                    m_inFlight.size() < static_cast<std::size_t>(kWindow));
        });
        if (m_stopping || m_fatal)
            continue;
        OutMessage message = m_queue.pop();
        int mid = 0;
        const int rc = mosquitto_publish(m_mosq, &mid, message.topic.c_str(),
                                         static_cast<int>(message.payload.size()),
                                         message.payload.data(), message.qos, message.retain);
        if (rc == MOSQ_ERR_SUCCESS || (rc == MOSQ_ERR_NO_CONN && message.qos > 0))
            m_inFlight.insert(mid); // a QoS 1 message the library keeps and sends on reconnect
        else
            m_queue.pushFront(std::move(message));
    }
}

// The library's thread ends on a TLS failure; it is started again after a while, as it would
// reconnect after any other failure.
void MqttClient::restartAfterFatal(std::unique_lock<std::mutex>& lock) {
    const int delayMs = m_state == BrokerState::Refused ? kFatalRetryMs : kUnreachableRetryMs;
    if (m_wake.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return m_stopping; }))
        return;
    m_fatal = false;
    const bool refused = m_state == BrokerState::Refused;
    lock.unlock();
    mosquitto_loop_stop(m_mosq, true);
    const int rc =
        mosquitto_connect_async(m_mosq, m_config.host.c_str(), m_config.port, kKeepAliveS);
    if (rc == MOSQ_ERR_SUCCESS)
        mosquitto_loop_start(m_mosq);
    else if (!refused)
        setState(BrokerState::Connecting, UnreachableText(m_config, rc));
    lock.lock();
    if (rc != MOSQ_ERR_SUCCESS)
        m_fatal = true;
}

void MqttClient::onConnect(mosquitto* mosq, void* self, int rc) {
    auto* c = static_cast<MqttClient*>(self);
    if (rc != 0) {
        c->setState(BrokerState::Refused, RefusalText(rc));
        return;
    }
    if (!c->m_config.statusTopic.empty())
        mosquitto_publish(mosq, nullptr, c->m_config.statusTopic.c_str(), 6, "online", 1, true);
    c->setState(BrokerState::Connected, {});
}

void MqttClient::onDisconnect(mosquitto*, void* self, int rc) {
    auto* c = static_cast<MqttClient*>(self);
    if (rc == 0)
        return; // asked for
    std::string error;
    {
        std::lock_guard lock(c->m_mutex);
        if (c->m_state == BrokerState::Refused)
            return; // keeps the refusal's reason while the library tries again
        error = c->m_error;
    }
    c->setState(BrokerState::Connecting,
                error.empty() ? Text(QT_TRANSLATE_NOOP("vantor::MqttClient",
                                                       "与代理服务器的连接已断开，正在重连"))
                              : error);
}

void MqttClient::onPublish(mosquitto*, void* self, int mid) {
    auto* c = static_cast<MqttClient*>(self);
    std::lock_guard lock(c->m_mutex);
    if (c->m_inFlight.erase(mid) > 0)
        ++c->m_sent;
    if (mid == c->m_offlineMid)
        c->m_offlineAcked = true;
    c->m_wake.notify_all();
}

// Failures that the callbacks do not report (TLS, an unreachable broker) come as log lines.
void MqttClient::onLog(mosquitto*, void* self, int level, const char* text) {
    if (level != MOSQ_LOG_ERR)
        return;
    auto* c = static_cast<MqttClient*>(self);
    const std::string_view line(text);
    std::string error;
    if (line.find("certificate verify failed") != std::string_view::npos)
        error =
            Text(QT_TRANSLATE_NOOP("vantor::MqttClient", "代理服务器的证书未通过 CA 文件的验证"));
    else if (line.find("OpenSSL") != std::string_view::npos ||
             line.find("TLS") != std::string_view::npos)
        error = QCoreApplication::translate("vantor::MqttClient", "TLS 握手失败: %1")
                    .arg(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())))
                    .toStdString();
    else
        return;
    {
        std::lock_guard lock(c->m_mutex);
        c->m_fatal = true;
    }
    c->setState(BrokerState::Refused, error);
}

} // namespace vantor
