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

// Microseconds the line needs to carry the bytes at the baud rate.
qint64 LineTimeUs(std::size_t bytes, int baudRate) {
    return static_cast<qint64>(bytes) * kBitsPerCharacter * 1'000'000 / std::max(1, baudRate);
}

} // namespace

CommSession::CommSession(QObject* parent)
    : QObject(parent), m_port(new CComPort(this)), m_socket(new CModbusSocket(this)) {
    m_cycleTimer.setSingleShot(true);
    m_cycleTimer.setTimerType(Qt::PreciseTimer);
    m_jobTimer.setSingleShot(true);
    m_jobTimer.setTimerType(Qt::PreciseTimer);
    m_statsTimer.setSingleShot(true);
    m_clock.start();
    connect(&m_statsTimer, &QTimer::timeout, this, [this] { emit packetStatsChanged(m_stats); });
    connect(&m_cycleTimer, &QTimer::timeout, this, &CommSession::onCycleTimer);
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

// Restarts an idle cycle after anything that may have made a packet due. While the cycle waits
// out an interval it is left alone, so the spacing between requests is kept.
void CommSession::kickCycle() {
    if (!m_cycleTimer.isActive())
        m_cycleTimer.start(0);
}

// One step of the cycle: send the next due packet after the last one sent and wait the interval
// with it as the current packet. With nothing due the cycle stops until kicked again.
void CommSession::AutoSendThreadProc() {
    m_cycleHeld = false;
    m_fastWaiting = false;
    if (const int wait = IsRtuFramed(m_link) ? replyWaitMs() : 0; wait > 0) {
        // A request now would cut the reply still arriving; the interval is over, so the
        // next request goes as soon as the reply is judged or the line falls silent.
        m_cycleHeld = true;
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
        if (!fastMode()) {
            m_cycleTimer.start(m_link == LinkKind::Tcp ? m_delays.tcpIntervalMs : m_sendInterval);
        } else if (IsRtuFramed(m_link) && m_images.packets[packet - 1].slave == 0) {
            // A broadcast is never answered: the next request follows its frame and the
            // silence after it.
            m_lastByteUs = m_sentEndUs[packet - 1];
            fastReplyJudged();
        } else {
            m_fastWaiting = true;
            m_replyDeadlineUs = nowUs() + qint64{m_delays.replyTimeoutMs} * 1000;
            // A timer still running for an earlier request fires before this deadline and is
            // carried on to it: restarting the timer for every request would cost more.
            if (!m_cycleTimer.isActive())
                m_cycleTimer.start(m_delays.replyTimeoutMs);
            if (m_link != LinkKind::Serial)
                waitOnSocket();
        }
        return;
    }
    m_cycleTimer.stop(); // nothing due: a kick must find the cycle idle
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
    while (m_fastWaiting && nowUs() < until && m_socket->WaitForBytes(kReplyWaitMs)) {
    }
    m_waitingOnSocket = false;
}

void CommSession::onCycleTimer() {
    if (fastMode() && m_fastWaiting) {
        const qint64 leftUs = m_replyDeadlineUs - nowUs();
        if (leftUs > kClockToleranceUs) {
            m_cycleTimer.start(static_cast<int>((leftUs + 999) / 1000));
            return;
        }
    }
    AutoSendThreadProc();
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
    const bool up = m_link == LinkKind::Serial ? m_port->isOpen() : m_socket->isConnected();
    if (up)
        AutoSendThreadProc();
    else
        m_cycleTimer.start(0);
}

void CommSession::sendPolled(int packet) {
    const PacketImage& image = m_images.packets[packet - 1];
    notePolledRequest(packet);
    // What is left of the last reply would corrupt the next one.
    dropUnjudgedBytes();
    int sent = 0;
    if (m_link == LinkKind::Tcp) {
        if (m_socket->Send(image.tcp))
            sent = static_cast<int>(image.tcp.size());
        if (m_logScrolling) {
            const TimeOfDay now = LocalTimeOfDay();
            log(LogKind::Tx, now, TcpTxLine(now, image.tcp));
        }
        m_sentEndUs[packet - 1] = nowUs();
    } else {
        sent = SendHexCommand(QString::fromStdString(image.serialText));
        // The write returns once the frame is queued; its last bit leaves the line later.
        m_sentEndUs[packet - 1] =
            nowUs() + (m_link == LinkKind::Serial
                           ? LineTimeUs(static_cast<std::size_t>(sent), m_baudRate)
                           : 0);
    }
    if (sent > 0) {
        ++m_stats[packet - 1].requests;
        statsChanged();
    }
    emit frameSent(packet);
}

void CommSession::notePolledRequest(int packet) {
    if (IsRtuFramed(m_link) && m_images.packets[packet - 1].slave == 0)
        return; // a broadcast is never answered
    Awaiting& awaiting = m_awaiting[packet - 1];
    const qint64 now = nowUs();
    if (awaiting.pending) {
        if (now - awaiting.sentUs + kClockToleranceUs < qint64{m_delays.replyTimeoutMs} * 1000)
            return; // the earlier request still has time; its clock keeps running
        emit noReply(packet);
        ++m_stats[packet - 1].noReply;
        statsChanged();
        if (!awaiting.missLogged) {
            // Once per run of misses: a dead slave must not fill the log every cycle.
            awaiting.missLogged = true;
            logNotice(NoReplyText(packet));
        }
    }
    awaiting.pending = true;
    awaiting.sentUs = now;
}

void CommSession::noteAnswered(int packet, bool good) {
    if (packet < 1 || packet > kPacketCount)
        return;
    Awaiting& awaiting = m_awaiting[packet - 1];
    awaiting.pending = false;
    if (good)
        awaiting.missLogged = false;
}

void CommSession::forgetPendingRequests() {
    m_awaiting.fill(Awaiting{});
}

void CommSession::fastReplyJudged() {
    m_fastWaiting = false;
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
        m_cycleTimer.start(static_cast<int>((waitUs + 999) / 1000));
    else if (m_inInput)
        m_sendDue = true; // straight after the bytes in hand, without a turn of the event loop
    else
        m_cycleTimer.start(0);
}

int CommSession::replyWaitMs() const {
    if (m_rx.length() == 0 || !rtuLinkOpen())
        return 0;
    // Over TCP the gateway keeps the line's timing; a reply's parts come close together.
    const qint64 silenceUs =
        m_link == LinkKind::Serial
            ? std::max(kMinimumSilenceUs, kSilenceMicrosBaud / std::max(1, m_baudRate))
            : kMinimumSilenceUs;
    const qint64 until = std::min(m_lastByteUs + silenceUs,
                                  m_lastRequestUs + qint64{m_delays.replyTimeoutMs} * 1000);
    const qint64 left = until - nowUs();
    return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

} // namespace vantor
