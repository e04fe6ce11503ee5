// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/CommSession.h"

#include <algorithm>
#include <utility>

#include "modbus/LogFormat.h"
#include "modbus/RtuFrame.h"
#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

CommSession::CommSession(QObject* parent)
    : QObject(parent), m_port(new CComPort(this)), m_socket(new CModbusSocket(this)) {
    for (QTimer* timer : {&m_cycleTimer, &m_replyTimer, &m_jobTimer, &m_statsTimer}) {
        timer->setSingleShot(true);
        timer->setTimerType(Qt::PreciseTimer);
    }
    m_clock.start();
    connect(&m_statsTimer, &QTimer::timeout, this, [this] { emit packetStatsChanged(m_stats); });
    connect(&m_cycleTimer, &QTimer::timeout, this, &CommSession::AutoSendThreadProc);
    connect(&m_replyTimer, &QTimer::timeout, this, &CommSession::onReplyTimer);
    connect(&m_jobTimer, &QTimer::timeout, this, &CommSession::JobThreadProc);
    connect(m_port, &CComPort::bytesReceived, this,
            [this](const QByteArray& bytes) { takeInput(&CommSession::onSerialBytes, bytes); });
    connect(m_port, &CComPort::portError, this, [this](const QString& reason) {
        stopPolling();
        m_port->Stop();
        logNotice(tr("串口连接已断开：%1").arg(reason).toStdString());
        emit linkError(reason);
        emit serialClosed();
    });
    connect(m_socket, &CModbusSocket::bytesReceived, this,
            [this](const QByteArray& bytes) { takeInput(&CommSession::onTcpBytes, bytes); });
    connect(m_socket, &CModbusSocket::connected, this, &CommSession::onTcpConnected);
    connect(m_socket, &CModbusSocket::connectFailed, this,
            [this] { emit tcpConnectFailed(QStringLiteral("%1:%2").arg(m_tcpHost, m_tcpPort)); });
    connect(m_socket, &CModbusSocket::connectionLost, this, [this](const QString& reason) {
        m_tcpConnected = false;
        m_mbap.Reset();
        m_rx.Reset(); // what a gateway sent of an RTU reply
        if (m_cycle.inFlight() != nullptr) {
            // The request went down with the connection: nothing more will answer it.
            m_replyTimer.stop();
            requestDone(false);
        }
        logNotice(tr("Modbus TCP/IP 连接已断开（%1）").arg(reason).toStdString());
        emit tcpDisconnected(reason);
    });
}

CommSession::~CommSession() = default;

// ---- configuration -------------------------------------------------------------------------

void CommSession::configureImages(const CommandImages& images, int sendIntervalMs) {
    m_images = images;
    m_link = images.link;
    setSendInterval(sendIntervalMs);
    kickCycle();
}

void CommSession::setSendInterval(int ms) {
    m_sendInterval = ms <= 0 ? 0 : std::max(kMinimumIntervalMs, ms);
}

void CommSession::setReplyTimeout(int ms) {
    m_delays.replyTimeoutMs = std::clamp(ms, kMinimumReplyTimeoutMs, kMaximumReplyTimeoutMs);
}

void CommSession::setPacketChecked(int packet, bool checked) {
    if (packet < 1 || packet > kPacketCount)
        return;
    m_checked[packet - 1] = checked;
    kickCycle();
}

void CommSession::setAllPacketsChecked(bool checked) {
    m_checked.fill(checked);
    kickCycle();
}

void CommSession::setLinkKind(LinkKind link) {
    m_link = link;
    kickCycle();
}

void CommSession::setLogScrolling(bool on) {
    m_logScrolling = on;
}

void CommSession::clearCounters() {
    m_counters = Counters{};
    emitCounters();
    m_stats.fill(PacketStats{});
    m_statsTimer.stop();
    emit packetStatsChanged(m_stats);
}

void CommSession::resetAssembly() {
    m_rx.Reset();
}

void CommSession::setMode(SessionMode mode) {
    if (m_mode == mode)
        return;
    m_mode = mode;
    emit modeChanged(static_cast<int>(mode));
}

// ---- polling ---------------------------------------------------------------------------------

void CommSession::startPolling() {
    m_rx.Reset();
    tcpStart();
}

void CommSession::stopPolling() {
    m_rx.Reset();
    tcpStop();
}

void CommSession::tcpStart() {
    forgetPendingRequests();
    m_autoSend = true;
    setMode(SessionMode::Polling);
    kickCycle();
}

void CommSession::tcpStop() {
    forgetPendingRequests();
    m_autoSend = false;
    setMode(SessionMode::Idle);
}

// A polled request still in flight when polling stops or starts again is given up: its reply,
// should it come, is not taken for anything.
void CommSession::forgetPendingRequests() {
    if (m_cycle.awaiting(RequestInFlight::Kind::Write))
        return;
    m_cycle.stop();
    m_replyTimer.stop();
    m_missLogged.fill(false);
}

bool CommSession::packetDue(int packet) const {
    const PacketImage& image = m_images.packets[packet - 1];
    if (!m_autoSend || m_mode != SessionMode::Polling || m_images.totalCount == 0 ||
        m_images.checkedRows == 0 || image.count == 0 || !m_checked[packet - 1] ||
        !image.sendsOn(m_link))
        return false;
    return channel().isOpen();
}

LinkChannel& CommSession::channel() {
    switch (m_link) {
    case LinkKind::Tcp:
        return m_mbapChannel;
    case LinkKind::RtuOverTcp:
        return m_gatewayChannel;
    case LinkKind::Serial:
        break;
    }
    return m_serialChannel;
}

const LinkChannel& CommSession::channel() const {
    return const_cast<CommSession*>(this)->channel();
}

void CommSession::report(const TimeOfDay& when, const ChannelSend& sent) {
    if (!sent.txLine.empty())
        log(LogKind::Tx, when, sent.txLine);
    if (!sent.refusal.isEmpty())
        refuse(when, sent.refusal);
}

// Restarts an idle cycle after anything that may have made a packet due. While the cycle waits
// out a pause or a reply it is left alone, so the spacing between requests is kept.
void CommSession::kickCycle() {
    if (!m_cycleTimer.isActive() && m_cycle.inFlight() == nullptr)
        m_cycleTimer.start(0);
}

// One step of the cycle: with no request in flight, send the next due packet after the last one
// sent. With nothing due the cycle stops until kicked again.
void CommSession::AutoSendThreadProc() {
    if (m_cycle.inFlight() != nullptr || m_mode != SessionMode::Polling)
        return; // the reply, its timeout or the write job moves the cycle on
    if (const int wait = lineBusyMs(); wait > 0) {
        // Bytes are still arriving: a request now would talk over them.
        m_cycleTimer.start(wait);
        return;
    }
    for (int k = 0; k < kPacketCount; ++k) {
        const int packet = (m_next - 1 + k) % kPacketCount + 1;
        if (!packetDue(packet))
            continue;
        m_current = packet;
        m_next = packet % kPacketCount + 1;
        sendPolled(packet);
        return;
    }
    m_cycleTimer.stop(); // nothing due: a kick must find the cycle idle
}

void CommSession::sendPolled(int packet) {
    const PacketImage& image = m_images.packets[packet - 1];
    // What is left of the last reply would corrupt the next one.
    dropUnjudgedBytes();
    m_cycle.forgetTimedOut();
    LinkChannel& link = channel();
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Polled;
    request.packet = packet;
    const TimeOfDay now = LocalTimeOfDay();
    const ChannelSend sent = link.sendPolled(image, nextTransaction(), now, m_logScrolling, request);
    // The write returns once the frame is queued; its last bit leaves a serial line later.
    request.sentUs = nowUs();
    request.sentEndUs = request.sentUs + link.lineTimeUs(sent.bytes);
    report(now, sent);
    if (sent.bytes > 0) {
        ++m_stats[packet - 1].requests;
        statsChanged();
    }
    emit frameSent(packet);
    if (sent.bytes <= 0 || (link.rtuFramed() && image.slave == 0)) {
        // Refused, or a broadcast, which no slave answers: the pause follows the frame.
        m_lastByteUs = request.sentEndUs;
        m_cycle.answered();
        startPause();
        return;
    }
    armReply(request);
    if (fastMode())
        waitOnSocket();
}

void CommSession::expectReplyTo(int packet) {
    if (packet < 1 || packet > kPacketCount)
        return;
    const PacketImage& image = m_images.packets[packet - 1];
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Polled;
    request.packet = packet;
    channel().identifyPolled(image, request);
    request.transaction = static_cast<std::uint16_t>(image.tcp[0] << 8 | image.tcp[1]);
    request.sentUs = request.sentEndUs = nowUs();
    m_current = packet;
    armReply(request);
}

std::uint16_t CommSession::nextTransaction() {
    return ++m_transaction;
}

// The fast mode over a connection waits for the reply on the socket itself: a turn of the
// event loop between a reply and the next request costs more than the request. Each reply that
// comes in sends the next request, and the wait goes on for its reply. The event loop is back
// within 2 ms, and as soon as a reply is 1 ms late, so stops, writes and timers wait no longer.
void CommSession::waitOnSocket() {
    constexpr qint64 kBudgetUs = 2000;
    constexpr int kReplyWaitMs = 1;
    if (m_waitingOnSocket)
        return; // a request sent by a reply that came in this wait: the wait goes on for it
    m_waitingOnSocket = true;
    const qint64 until = nowUs() + kBudgetUs;
    while (m_cycle.awaiting(RequestInFlight::Kind::Polled) && nowUs() < until &&
           channel().waitForBytes(kReplyWaitMs)) {
    }
    m_waitingOnSocket = false;
}

void CommSession::takeInput(void (CommSession::*handle)(const QByteArray&),
                            const QByteArray& bytes) {
    m_inInput = true;
    (this->*handle)(bytes);
    m_inInput = false;
    if (!std::exchange(m_sendDue, false))
        return;
    // Bytes that came with a connection's close are still judged; the close is reported next,
    // so the request waits for the event loop, which then finds the link gone.
    if (channel().isUp())
        AutoSendThreadProc();
    else
        m_cycleTimer.start(0);
}

} // namespace vantor
