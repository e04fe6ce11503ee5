// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The station's publishing, on the thread that holds the link controller (the GUI thread, or
// the console's): each accepted reply's points pass their gates and become messages for the
// broker client, which sends them from threads of its own. A missed reply makes the packet's
// points "stale" (or "no-reply" before any reply), an exception reply "exception:<name>". The
// packets' statistics go to "<prefix>status/packets" every 10 s.
#include <QHash>
#include <QObject>
#include <QTimer>
#include <array>
#include <memory>

#include "modbus/PacketStats.h"
#include "publish/MqttClient.h"
#include "publish/PointMessage.h"
#include "registers/PointRef.h"
#include "registers/PublishSettings.h"

namespace vantor {

class LinkController;
class Workspace;

class Publisher : public QObject {
    Q_OBJECT
public:
    static constexpr int kStatsPeriodMs = 10000;
    static constexpr int kStatusPeriodMs = 1000;
    // A queue sized from the traffic holds 10 minutes of it, within these bounds.
    static constexpr std::size_t kMinAutoQueue = 100000;
    static constexpr std::size_t kMaxAutoQueue = 1000000;

    Publisher(Workspace* workspace, LinkController* link, QObject* parent = nullptr);
    ~Publisher() override;

    // Starts with the settings; the reason when nothing can be published (no broker, a password
    // file others may read, a TLS file that cannot be read). A running publisher starts anew.
    QString start(const PublishSettings& settings);
    // Sends what is queued (waiting up to flushMs), says "offline" and disconnects.
    void stop(int flushMs = 2000);
    bool running() const { return m_running; }

    BrokerStatus status() const { return m_client.status(); }
    std::uint64_t made() const { return m_made; } // point messages made since the start
    // "MQTT: 已连接 队列 N" and the like, for a status bar field.
    QString statusText() const;

signals:
    void statusChanged();
    // Refusals, losses of the connection and dropped messages, in Chinese.
    void message(const QString& text);

private:
    struct CurveScale {
        double rate = 1;
        std::string unit;
    };
    struct PacketState {
        PointQuality quality{PointQuality::Kind::NoReply};
        bool answered = false; // an accepted reply came since the start
        int cells = 0;         // of the last reply
        // The bytes of the last good reply, and when the first of its points is next due: a
        // reply that brings the same bytes before then changes no point and is not decoded.
        QByteArray data;
        std::int64_t nextDueMs = 0;
    };

    void onReply(int packet, const QByteArray& data, int cells);
    void onNoReply(int packet);
    void onException(int packet, int code);
    void publishPacket(PacketNo packet, bool force);
    void publishStats();
    void checkStatus();
    void rebuildCurves();
    void resetGates();

    Workspace* m_workspace;
    LinkController* m_link;
    MqttClient m_client;
    PublishSettings m_settings;
    std::string m_prefix;
    std::int64_t m_intervalMs = 10000;
    bool m_running = false;
    std::array<std::array<PointGate, kCellsPerPacket>, kPacketCount> m_gates;
    std::array<PacketState, kPacketCount> m_packets{};
    QHash<int, CurveScale> m_curves; // packet × kCellsPerPacket + cell
    bool m_curvesDirty = true;
    PacketStatsTable m_stats{};
    std::uint64_t m_made = 0;
    std::uint64_t m_madeAtLastStats = 0;
    std::uint64_t m_droppedShown = 0;
    BrokerState m_shownState = BrokerState::Stopped;
    std::string m_shownError;
    QTimer m_statsTimer;
    QTimer m_statusTimer;
    // Each point's topic, made again only when its label changes.
    struct Topic {
        QString label;
        std::string topic;
        bool made = false;
    };
    const std::string& topicOf(PointRef point);
    std::array<std::array<Topic, kCellsPerPacket>, kPacketCount> m_topics;
    std::vector<OutMessage> m_batch; // one reply's messages, queued at once
};

} // namespace vantor
