#include "modbus/CommSession.h"

#include <QThread>
#include <algorithm>
#include <utility>

#include "modbus/LogFormat.h"
#include "modbus/RtuFrame.h"
#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

namespace {

// 3.5 characters of 11 bits, as microseconds times the baud rate: the silence that ends a reply.
constexpr qint64 kSilenceMicrosBaud = 38'500'000;
constexpr qint64 kMinimumSilenceUs = 2000;
// Timers may fire a little before a clock read says the period is over.
constexpr qint64 kClockToleranceUs = 1000;
// Bits a character takes on the line (start, 8 data, parity or a second stop, stop).
constexpr qint64 kBitsPerCharacter = 11;

int CeilMs(qint64 us) {
    return static_cast<int>((us + 999) / 1000);
}

} // namespace

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
        logNotice("串口连接已断开：" + reason.toStdString());
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
        logNotice(QStringLiteral("Modbus TCP/IP 连接已断开（%1）").arg(reason).toStdString());
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
    if (m_link == LinkKind::Tcp)
        return m_tcpConnected;
    return !image.serialText.empty() && rtuLinkOpen();
}

bool CommSession::rtuLinkOpen() const {
    return m_link == LinkKind::RtuOverTcp ? m_tcpConnected : m_port->isOpen();
}

bool CommSession::linkUp() const {
    return m_link == LinkKind::Serial ? m_port->isOpen() : m_socket->isConnected();
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
    if (const int wait = IsRtuFramed(m_link) ? lineBusyMs() : 0; wait > 0) {
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
    int sent = 0;
    const qint64 sentUs = nowUs();
    qint64 sentEndUs = sentUs;
    std::uint16_t transaction = 0;
    if (m_link == LinkKind::Tcp) {
        std::array<std::uint8_t, 12> request = image.tcp;
        transaction = nextTransaction();
        request[0] = static_cast<std::uint8_t>(transaction >> 8);
        request[1] = static_cast<std::uint8_t>(transaction);
        if (m_socket->Send(request))
            sent = static_cast<int>(request.size());
        if (m_logScrolling) {
            const TimeOfDay now = LocalTimeOfDay();
            log(LogKind::Tx, now, TcpTxLine(now, request));
        }
    } else {
        sent = SendHexCommand(QString::fromStdString(image.serialText));
        // The write returns once the frame is queued; its last bit leaves the line later.
        sentEndUs += lineTimeUs(sent);
    }
    if (sent > 0) {
        ++m_stats[packet - 1].requests;
        statsChanged();
    }
    emit frameSent(packet);
    if (sent <= 0 || (IsRtuFramed(m_link) && image.slave == 0)) {
        // Refused, or a broadcast, which no slave answers: the pause follows the frame.
        m_lastByteUs = sentEndUs;
        m_cycle.answered();
        startPause();
        return;
    }
    RequestInFlight request = polledRequest(packet, sentUs, sentEndUs);
    request.transaction = transaction;
    armReply(request);
    if (fastMode() && m_link != LinkKind::Serial)
        waitOnSocket();
}

RequestInFlight CommSession::polledRequest(int packet, qint64 sentUs, qint64 sentEndUs) const {
    const PacketImage& image = m_images.packets[packet - 1];
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Polled;
    request.packet = packet;
    if (m_link == LinkKind::Tcp) {
        request.unit = image.tcp[6];
        request.function = image.tcp[7];
        request.count = image.tcp[10] << 8 | image.tcp[11];
    } else {
        request.unit = image.slave;
        request.function = image.function;
        request.count = image.count;
        request.expectedLength =
            ExpectedReplyLength(SessionMode::Polling, image.function, image.count);
    }
    request.sentUs = sentUs;
    request.sentEndUs = sentEndUs;
    return request;
}

void CommSession::expectReplyTo(int packet) {
    if (packet < 1 || packet > kPacketCount)
        return;
    const qint64 now = nowUs();
    RequestInFlight request = polledRequest(packet, now, now);
    const PacketImage& image = m_images.packets[packet - 1];
    request.transaction = static_cast<std::uint16_t>(image.tcp[0] << 8 | image.tcp[1]);
    m_current = packet;
    armReply(request);
}

std::uint16_t CommSession::nextTransaction() {
    return ++m_transaction;
}

void CommSession::armReply(const RequestInFlight& sent) {
    RequestInFlight request = sent;
    request.deadlineUs = request.sentEndUs + qint64{m_delays.replyTimeoutMs} * 1000;
    m_cycle.sent(request);
    // A timer still running for an earlier request fires before this deadline and is carried
    // on to it: restarting the timer for every request would cost more than the request.
    const int ms = CeilMs(request.deadlineUs - nowUs());
    if (!m_replyTimer.isActive() || m_replyTimer.remainingTime() > ms)
        m_replyTimer.start(ms);
}

void CommSession::onReplyTimer() {
    const RequestInFlight* request = m_cycle.inFlight();
    if (request == nullptr)
        return;
    const qint64 leftUs = request->deadlineUs - nowUs();
    if (leftUs > kClockToleranceUs) {
        m_replyTimer.start(CeilMs(leftUs));
        return;
    }
    replyTimedOut();
}

// The request in flight got no judged reply within the reply timeout. A polled one counts one
// miss now, whatever comes after; a reply still arriving is cut off and dropped.
void CommSession::replyTimedOut() {
    const RequestInFlight request = *m_cycle.inFlight();
    if (request.kind == RequestInFlight::Kind::Write) {
        // A reply the request did not give the length of is judged whole now.
        const bool whole = IsRtuFramed(m_link) && request.expectedLength == 0 &&
                           m_rx.length() > 2 &&
                           JudgeReply(m_rx.bytes(), m_rx.length()) == Judgement::Valid;
        if (m_rx.length() > 0 && m_logScrolling)
            logAssembly(EchoRxLine);
        m_rx.Reset();
        if (whole) {
            takeWriteReply(false, request.function, 0);
            return;
        }
        logNotice(std::string(kWriteNoReplyText));
        requestDone(true);
        return;
    }
    if (IsRtuFramed(m_link) && m_rx.length() > 0) {
        if (m_logScrolling)
            logAssembly(PolledRxLine);
        logNotice(UnjudgedBytesText(request.packet, m_rx.length(), request.expectedLength));
        m_rx.Reset();
        countDataError(false);
    }
    const int packet = request.packet;
    emit noReply(packet);
    ++m_stats[packet - 1].noReply;
    statsChanged();
    if (!std::exchange(m_missLogged[packet - 1], true))
        logNotice(NoReplyText(packet)); // once per run: a dead slave must not fill the log
    requestDone(true);
}

void CommSession::requestDone(bool timedOut) {
    const bool write = m_cycle.awaiting(RequestInFlight::Kind::Write);
    if (timedOut)
        m_cycle.timedOut();
    else
        m_cycle.answered();
    if (!m_jobs.empty()) {
        if (std::exchange(m_jobWaits, false))
            m_jobTimer.start(write ? framePauseMs() : 0);
        return;
    }
    startPause();
}

// The pause after a request: the send interval, or in the fast mode none but the line's
// silence after the reply; after a timeout on an RTU link, at least the reply timeout.
void CommSession::startPause() {
    if (m_mode != SessionMode::Polling)
        return;
    if (IsRtuFramed(m_link) && m_cycle.lastTimedOut() > 0) {
        // An RTU reply carries nothing that tells which request it answers: after a timeout the
        // line is given one more reply timeout, so that a slave a little slower than the timeout
        // is heard out (and its late reply dropped) instead of being taken for the next
        // request's reply or talked over.
        m_cycleTimer.start(std::max(m_sendInterval, m_delays.replyTimeoutMs));
        return;
    }
    if (!fastMode()) {
        m_cycleTimer.start(m_sendInterval);
        return;
    }
    qint64 waitUs = 0;
    if (m_link == LinkKind::Serial) {
        const qint64 silenceUs = kSilenceMicrosBaud / std::max(1, m_baudRate);
        waitUs = m_lastByteUs + silenceUs - nowUs();
    }
    if (waitUs > 0 && waitUs < 1000) {
        // Under a millisecond (3.5 characters at 115200 baud last 334 µs): a timer would round
        // it up to a whole millisecond, so the link thread sleeps it out here.
        QThread::usleep(static_cast<unsigned long>(waitUs));
        waitUs = 0;
    }
    if (waitUs > 0)
        m_cycleTimer.start(CeilMs(waitUs));
    else if (m_inInput)
        m_sendDue = true; // straight after the bytes in hand, without a turn of the event loop
    else
        m_cycleTimer.start(0);
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
           m_socket->WaitForBytes(kReplyWaitMs)) {
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
    if (linkUp())
        AutoSendThreadProc();
    else
        m_cycleTimer.start(0);
}

qint64 CommSession::lineTimeUs(int bytes) const {
    if (m_link != LinkKind::Serial || bytes <= 0)
        return 0;
    return qint64{bytes} * kBitsPerCharacter * 1'000'000 / std::max(1, m_baudRate);
}

int CommSession::lineBusyMs() const {
    if (m_rx.length() == 0 || !rtuLinkOpen())
        return 0;
    // Over TCP the gateway keeps the line's timing; a reply's parts come close together.
    const qint64 silenceUs =
        m_link == LinkKind::Serial
            ? std::max(kMinimumSilenceUs, kSilenceMicrosBaud / std::max(1, m_baudRate))
            : kMinimumSilenceUs;
    const qint64 left = m_lastByteUs + silenceUs - nowUs();
    return left > 0 ? CeilMs(left) : 0;
}

} // namespace vantor
