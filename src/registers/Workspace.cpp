// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/Workspace.h"

#include <algorithm>

#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/ValueFormat.h"

namespace vantor {

namespace {

bool SameTexts(const DataPacket& a, const DataPacket& b) {
    return a.slave == b.slave && a.function == b.function && a.address == b.address &&
           a.count == b.count;
}

} // namespace

Workspace::Workspace(QObject* parent)
    : QObject(parent), m_serial(new SerialSelection(this)), m_store(new RegisterStore(this)),
      m_curves(new CurveTable(this)), m_monitors(new MonitorTable(this)) {}

Workspace::~Workspace() = default;

void Workspace::setTrendSettings(const TrendSettings& settings) {
    if (settings == m_trend)
        return;
    m_trend = settings;
    emit trendSettingsChanged();
}

const DataPacket& Workspace::row(PacketNo packet) const {
    static const DataPacket kDefault;
    return packet.valid() ? m_rows[packet.index()] : kDefault;
}

std::array<bool, kPacketCount> Workspace::checks() const {
    std::array<bool, kPacketCount> out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = m_rows[i].enabled;
    return out;
}

void Workspace::setRows(const PacketRows& rows) {
    m_rows = rows;
    emit rowsChanged();
}

void Workspace::setRow(PacketNo packet, const DataPacket& row) {
    if (!packet.valid())
        return;
    DataPacket& kept = m_rows[packet.index()];
    const bool texts = !SameTexts(kept, row);
    const bool check = kept.enabled != row.enabled;
    if (!texts && !check)
        return;
    kept = row;
    emit rowChanged(packet.number);
    if (check)
        emit packetCheckChanged(packet.number, row.enabled);
}

void Workspace::setPacketChecked(PacketNo packet, bool checked) {
    if (!packet.valid() || m_rows[packet.index()].enabled == checked)
        return;
    m_rows[packet.index()].enabled = checked;
    emit rowChanged(packet.number);
    emit packetCheckChanged(packet.number, checked);
}

void Workspace::setAllChecked(bool checked) {
    for (DataPacket& row : m_rows)
        row.enabled = checked;
    emit allChecksChanged(checked);
}

int Workspace::sendInterval() const {
    return LenientInt(m_intervalText.toStdString());
}

std::optional<int> Workspace::strictSendInterval() const {
    bool ok = false;
    const int ms = m_intervalText.trimmed().toInt(&ok);
    if (!ok || ms < 0 || ms > kMaxIntervalMs)
        return std::nullopt;
    return ms;
}

void Workspace::setReplyTimeout(int ms) {
    ms = std::clamp(ms, kMinReplyTimeoutMs, kMaxReplyTimeoutMs);
    if (ms == m_replyTimeoutMs)
        return;
    m_replyTimeoutMs = ms;
    emit replyTimeoutChanged(ms);
}

void Workspace::setSendIntervalText(const QString& text) {
    if (text == m_intervalText)
        return;
    m_intervalText = text;
    emit sendIntervalChanged(text);
}

void Workspace::setLinkKind(LinkKind link) {
    if (link == m_linkKind)
        return;
    m_linkKind = link;
    emit linkKindChanged(link);
}

void Workspace::setTcp(const TcpSettings& tcp) {
    if (tcp == m_tcp)
        return;
    m_tcp = tcp;
    emit tcpChanged();
}

void Workspace::setPublishSettings(const PublishSettings& settings) {
    if (settings == m_publish)
        return;
    m_publish = settings;
    emit publishSettingsChanged();
}

ConfigureResult Workspace::configure() {
    ConfigureResult result = Configure(m_rows, m_linkKind, m_tcp.header);
    m_store->setImages(ImagesAsSent(result.images, m_linkKind));
    // Point-number labels: user-defined names come with projects.
    m_store->rebuildPointLabels();
    return result;
}

void Workspace::setUserNames(bool on) {
    if (on == m_userNames)
        return;
    m_userNames = on;
    emit userNamesChanged(on);
}

void Workspace::setProjectPath(const QString& path) {
    if (path == m_projectPath)
        return;
    m_projectPath = path;
    emit projectPathChanged(path);
}

} // namespace vantor
