// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One connection to a broker through libmosquitto. The library's own thread does the network,
// the reconnecting (1 s, growing to 10 s) and the QoS 1 retries; a thread of ours hands it
// messages from a bounded queue, never more than kWindow unacknowledged at a time, so the
// library's own unbounded queue stays small and a broker outage fills only our queue. Enqueue
// never blocks on the network: the link to the device never waits for the broker.
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <unordered_set>
#include <vector>

#include "publish/PendingQueue.h"

struct mosquitto;

namespace vantor {

struct BrokerConfig {
    std::string host;
    int port = 1883;
    std::string clientId;
    std::string user;
    std::string password; // only with a user
    bool tls = false;
    std::string caFile;
    std::string certFile;
    std::string keyFile;
    std::string statusTopic; // birth "online", last will "offline", both retained
    int qos = 1;
    std::size_t queueLimit = 100000;
};

enum class BrokerState { Stopped, Connecting, Connected, Refused };

struct BrokerStatus {
    BrokerState state = BrokerState::Stopped;
    std::size_t queued = 0;   // waiting in our queue
    std::size_t inFlight = 0; // handed to the library, not yet acknowledged
    std::size_t queueLimit = 0;
    std::uint64_t sent = 0;    // acknowledged (QoS 1) or written (QoS 0)
    std::uint64_t dropped = 0; // the oldest, dropped from a full queue
    std::string error;         // why the broker refused or could not be reached, in Chinese
};

class MqttClient {
public:
    static constexpr int kWindow = 256;

    MqttClient();
    ~MqttClient();
    MqttClient(const MqttClient&) = delete;
    MqttClient& operator=(const MqttClient&) = delete;

    // Starts connecting; an error text when the settings cannot be used at all (a TLS file that
    // cannot be read). Reconnects by itself from then on.
    std::string start(const BrokerConfig& config);
    // Waits up to flushMs for the queue to empty, says "offline" on the status topic and
    // disconnects. Safe to call twice.
    void stop(int flushMs = 2000);

    void enqueue(OutMessage message);
    void enqueue(std::vector<OutMessage>& messages); // moved out, one lock for all
    void setQueueLimit(std::size_t limit);
    BrokerStatus status() const;
    // Called on the library's or our thread whenever the state or the error changes.
    void setChangeCallback(std::function<void()> callback) { m_changed = std::move(callback); }

private:
    static void onConnect(mosquitto*, void* self, int rc);
    static void onDisconnect(mosquitto*, void* self, int rc);
    static void onPublish(mosquitto*, void* self, int mid);
    static void onLog(mosquitto*, void* self, int level, const char* text);
    void pump();
    void setState(BrokerState state, const std::string& error);
    void restartAfterFatal(std::unique_lock<std::mutex>& lock);

    mosquitto* m_mosq = nullptr;
    BrokerConfig m_config;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    PendingQueue m_queue{100000};
    std::unordered_set<int> m_inFlight;
    BrokerState m_state = BrokerState::Stopped;
    std::string m_error;
    std::uint64_t m_sent = 0;
    int m_offlineMid = -1;
    bool m_offlineAcked = false;
    bool m_fatal = false; // no library thread runs (TLS failure, unreachable): ours starts one
    bool m_stopping = false;
    std::thread m_pump;
    std::function<void()> m_changed;
};

} // namespace vantor
