// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/Publisher.h"

#include <QDateTime>
#include <limits>

#include "modbus/LinkController.h"
#include "publish/PublishConfig.h"
#include "registers/CurveTable.h"
#include "registers/PointLabel.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

std::int64_t NowMs() {
    return QDateTime::currentMSecsSinceEpoch();
}

// A curve's "g-r-c" as the cell it reads: value columns 2, 4, .. 26, rows 1..10.
std::optional<PointRef> CellOfSource(const QString& source) {
    const QStringList parts = source.split(QLatin1Char('-'));
    if (parts.size() != 3)
        return std::nullopt;
    const int grid = parts[0].toInt(), row = parts[1].toInt(), column = parts[2].toInt();
    if (row < 1 || row > 10 || column < 2 || column % 2 != 0)
        return std::nullopt;
    const PointRef point{PacketNo(grid), CellFromGrid(row, column)};
    return point.valid() ? std::optional(point) : std::nullopt;
}

QString StateName(BrokerState state) {
    switch (state) {
    case BrokerState::Connected:
        return Publisher::tr("已连接");
    case BrokerState::Connecting:
        return Publisher::tr("连接中");
    case BrokerState::Refused:
        return Publisher::tr("被拒绝");
    case BrokerState::Stopped:
        break;
    }
    return Publisher::tr("未启用");
}

} // namespace

Publisher::Publisher(Workspace* workspace, LinkController* link, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_link(link) {
    connect(
        link, &LinkController::registerReplyAccepted, this,
        [this](int packet, const QByteArray& data, int count) { onReply(packet, data, count); });
    connect(
        link, &LinkController::bitReplyAccepted, this,
        [this](int packet, const QByteArray& data, int count) { onReply(packet, data, count); });
    connect(link, &LinkController::noReply, this, &Publisher::onNoReply);
    connect(link, &LinkController::pollException, this, &Publisher::onException);
    connect(link, &LinkController::packetStatsChanged, this,
            [this](const PacketStatsTable& stats) { m_stats = stats; });
    // A curve's rate and unit go with its point: read again after any change of the curves.
    CurveTable* curves = workspace->curves();
    connect(curves, &CurveTable::rowsReset, this, [this] { m_curvesDirty = true; });
    connect(curves, &CurveTable::rowEdited, this, [this] { m_curvesDirty = true; });
    connect(curves, &CurveTable::curveAdded, this, [this] { m_curvesDirty = true; });
    connect(curves, &CurveTable::curveRemoved, this, [this] { m_curvesDirty = true; });
    connect(&m_statsTimer, &QTimer::timeout, this, &Publisher::publishStats);
    connect(&m_statusTimer, &QTimer::timeout, this, &Publisher::checkStatus);
    // The client reports from its own threads; the status is read here, on ours.
    m_client.setChangeCallback(
        [this] { QMetaObject::invokeMethod(this, &Publisher::checkStatus, Qt::QueuedConnection); });
}

Publisher::~Publisher() {
    m_client.stop(0);
    m_client.setChangeCallback({});
}

QString Publisher::start(const PublishSettings& settings) {
    stop(0);
    if (settings.host.trimmed().isEmpty())
        return tr("未设置代理服务器地址，不发布数据");
    const PasswordRead password = ReadPassword(settings);
    if (!password.refusal.isEmpty())
        return password.refusal;
    BrokerConfig config = MakeBrokerConfig(settings, password.password);
    config.queueLimit =
        settings.queueLimit > 0 ? static_cast<std::size_t>(settings.queueLimit) : kMinAutoQueue;
    m_settings = settings;
    m_prefix = EffectivePrefix(settings);
    m_intervalMs = std::max(0, settings.intervalS) * std::int64_t{1000}; // 0: every reply
    resetGates();
    if (const std::string error = m_client.start(config); !error.empty())
        return QString::fromStdString(error);
    m_running = true;
    m_made = m_madeAtLastStats = 0;
    m_droppedShown = 0;
    m_statsTimer.start(kStatsPeriodMs);
    m_statusTimer.start(kStatusPeriodMs);
    checkStatus();
    return {};
}

void Publisher::stop(int flushMs) {
    if (!m_running)
        return;
    m_running = false;
    m_statsTimer.stop();
    m_statusTimer.stop();
    m_client.stop(flushMs);
    checkStatus();
}

QString Publisher::statusText() const {
    const BrokerStatus s = m_client.status();
    QStringList parts{QStringLiteral("MQTT: %1").arg(StateName(s.state))};
    if (s.state != BrokerState::Stopped)
        parts << tr("队列 %1").arg(s.queued + s.inFlight);
    if (s.dropped > 0)
        parts << tr("丢弃 %1").arg(s.dropped);
    return parts.join(QLatin1Char(' '));
}

void Publisher::resetGates() {
    for (auto& packet : m_gates)
        for (PointGate& gate : packet)
            gate.reset();
    m_packets = {};
    for (auto& packet : m_topics)
        for (Topic& topic : packet)
            topic.made = false; // the prefix may have changed
}

// A poll of unchanged values is common and fast: the same bytes in good standing, before any of
// the packet's points is due, are passed over without decoding. (A format changed in the
// window meanwhile shows at the next change or interval.)
void Publisher::onReply(int packet, const QByteArray& data, int cells) {
    const PacketNo p(packet);
    if (!m_running || !p.valid())
        return;
    PacketState& state = m_packets[p.index()];
    cells = std::min(cells, kCellsPerPacket);
    const bool good = state.answered && state.quality == PointQuality{};
    if (good && cells == state.cells && !m_curvesDirty && data == state.data &&
        NowMs() < state.nextDueMs)
        return;
    state.answered = true;
    state.cells = cells;
    state.quality = {};
    state.data = data;
    publishPacket(p, false);
}

void Publisher::onNoReply(int packet) {
    const PacketNo p(packet);
    if (!m_running || !p.valid())
        return;
    PacketState& state = m_packets[p.index()];
    state.quality = {state.answered ? PointQuality::Kind::Stale : PointQuality::Kind::NoReply};
    publishPacket(p, false);
}

void Publisher::onException(int packet, int code) {
    const PacketNo p(packet);
    if (!m_running || !p.valid())
        return;
    m_packets[p.index()].quality = {PointQuality::Kind::Exception, code};
    publishPacket(p, false);
}

void Publisher::publishPacket(PacketNo packet, bool force) {
    if (m_curvesDirty)
        rebuildCurves();
    const RegisterStore* store = m_workspace->store();
    const PacketState& state = m_packets[packet.index()];
    int cells = state.cells;
    if (!state.answered) {
        const auto& image = store->images().packets[packet.index()];
        cells = std::min(image.count, kCellsPerPacket);
    }
    const std::int64_t now = NowMs();
    const bool good = state.quality.kind == PointQuality::Kind::Good;
    std::int64_t nextDue = std::numeric_limits<std::int64_t>::max();
    for (int cell = 0; cell < cells; ++cell) {
        const PointRef point{packet, cell};
        const std::string& raw = store->valueUtf8(point);
        PointSample sample{now, std::nullopt, raw, {}, state.quality};
        if (state.answered || good)
            sample.value = GridNumber(raw);
        if (const auto curve = m_curves.constFind(packet.number * kCellsPerPacket + cell);
            curve != m_curves.cend()) {
            if (sample.value)
                *sample.value *= curve->rate;
            sample.unit = curve->unit;
        }
        PointGate& gate = m_gates[packet.index()][static_cast<std::size_t>(cell)];
        const bool admitted = gate.admit(sample, force ? 0 : m_intervalMs, m_settings.deadband);
        nextDue = std::min(nextDue, gate.lastTimeMs() + m_intervalMs);
        if (!admitted)
            continue;
        OutMessage& message = m_batch.emplace_back();
        message.payload.reserve(96);
        AppendPointPayload(message.payload, sample);
        message.topic = topicOf(point);
        message.qos = m_settings.qos > 0 ? 1 : 0;
        ++m_made;
    }
    m_packets[packet.index()].nextDueMs = nextDue;
    if (!m_batch.empty())
        m_client.enqueue(m_batch);
}

const std::string& Publisher::topicOf(PointRef point) {
    Topic& t = m_topics[point.packet.index()][static_cast<std::size_t>(point.cell)];
    const RegisterStore* store = m_workspace->store();
    const QString label = store->labelText(point);
    if (!t.made || label != t.label) {
        const auto& image = store->images().packets[point.packet.index()];
        t.topic = m_prefix +
                  TopicLevel(label.toStdString(), PointLabel(image.function, image.start,
                                                             store->addressBase(), point.cell));
        t.label = label;
        t.made = true;
    }
    return t.topic;
}

void Publisher::rebuildCurves() {
    m_curves.clear();
    for (const CurveRow& row : m_workspace->curves()->rows()) {
        const auto point = CellOfSource(row.source);
        if (!point)
            continue;
        bool ok = false;
        const double rate = row.rate.trimmed().toDouble(&ok);
        m_curves.insert(point->packet.number * kCellsPerPacket + point->cell,
                        {ok ? rate : 1.0, row.unit.trimmed().toStdString()});
    }
    m_curvesDirty = false;
}

void Publisher::publishStats() {
    const BrokerStatus s = m_client.status();
    std::string json = "{\"t\":" + std::to_string(NowMs());
    json += ",\"made\":" + std::to_string(m_made) + ",\"sent\":" + std::to_string(s.sent) +
            ",\"queued\":" + std::to_string(s.queued + s.inFlight) +
            ",\"dropped\":" + std::to_string(s.dropped) + ",\"packets\":[";
    bool first = true;
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const PacketStats& p = m_stats[static_cast<std::size_t>(packet - 1)];
        if (p.empty())
            continue;
        json += first ? "{" : ",{";
        first = false;
        json +=
            "\"packet\":" + std::to_string(packet) + ",\"requests\":" + std::to_string(p.requests) +
            ",\"valid\":" + std::to_string(p.valid) + ",\"noReply\":" + std::to_string(p.noReply) +
            ",\"crcErrors\":" + std::to_string(p.crcErrors) +
            ",\"exceptions\":" + std::to_string(p.exceptions) + ",\"meanMs\":";
        AppendJsonNumber(json, static_cast<double>(p.meanUs()) / 1000.0);
        json += '}';
    }
    json += "]}";
    m_client.enqueue(
        {m_prefix + "status/packets", std::move(json), m_settings.qos > 0 ? 1 : 0, false});
    // A queue sized from the traffic: ten minutes of what the last period made.
    if (m_settings.queueLimit <= 0) {
        const std::uint64_t perPeriod = m_made - m_madeAtLastStats;
        const auto wanted = static_cast<std::size_t>(perPeriod * (600000 / kStatsPeriodMs));
        if (wanted > s.queueLimit)
            m_client.setQueueLimit(std::min(wanted, kMaxAutoQueue));
    }
    m_madeAtLastStats = m_made;
}

void Publisher::checkStatus() {
    const BrokerStatus s = m_client.status();
    if (s.state != m_shownState || s.error != m_shownError) {
        if (!s.error.empty())
            emit message(QStringLiteral("MQTT: ") + QString::fromStdString(s.error));
        else if (s.state == BrokerState::Connected)
            emit message(
                tr("MQTT: 已连接代理服务器 %1:%2").arg(m_settings.host).arg(m_settings.port));
        m_shownState = s.state;
        m_shownError = s.error;
    }
    if (s.dropped > m_droppedShown) {
        emit message(tr("MQTT: 发布队列已满 (%1 条)，丢弃最早的 %2 条消息，累计 %3 条")
                         .arg(s.queueLimit)
                         .arg(s.dropped - m_droppedShown)
                         .arg(s.dropped));
        m_droppedShown = s.dropped;
    }
    emit statusChanged();
}

} // namespace vantor
