// The session's sending by hand: the RTU sender, Modbus TCP write requests, and the write jobs
// that pause the polling cycle while they run.
#include "modbus/CommSession.h"

#include "modbus/LogFormat.h"
#include "modbus/RtuFrame.h"
#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

// The RTU sender: command text to frame, written with its CRC and logged as a Tx line.
int CommSession::SendHexCommand(const QString& commandText) {
    const TimeOfDay now = LocalTimeOfDay();
    const std::string text = commandText.toStdString();
    const RtuFrame frame = BuildRtuFrame(text);
    if (!frame.ok()) {
        refuse(now, QString::fromStdString(CommandTextErrorText(frame.error, text)));
        return 0;
    }
    if (m_link == LinkKind::RtuOverTcp) {
        if (!m_tcpConnected) {
            refuse(now, QStringLiteral("Modbus TCP/IP 未连接，命令未发送：%1").arg(commandText));
            return 0;
        }
        if (!m_socket->Send(frame.bytes)) {
            refuse(now, QStringLiteral("Modbus TCP/IP 发送失败，命令未发送：%1").arg(commandText));
            return 0;
        }
    } else if (!m_port->isOpen()) {
        refuse(now, QStringLiteral("串口未打开，命令未发送：%1").arg(commandText));
        return 0;
    } else if (!m_port->Write(frame.bytes)) {
        refuse(now, QStringLiteral("串口写入失败，命令未发送：%1").arg(commandText));
        return 0;
    }
    m_lastRequestUs = nowUs();
    if (m_logScrolling)
        log(LogKind::Tx, now, SerialTxLine(now, frame.txText));
    return static_cast<int>(frame.bytes.size());
}

int CommSession::sendWrite(const QString& commandText) {
    return m_link == LinkKind::Tcp ? sendTcpWrite(commandText) : SendHexCommand(commandText);
}

// The command text's first byte is the unit identifier, the rest the PDU; the request gets a
// transaction number of its own, never one that a polled request uses, so that its reply is
// told apart from theirs.
int CommSession::sendTcpWrite(const QString& commandText) {
    constexpr std::size_t kMaxWrites = 16;
    const TimeOfDay now = LocalTimeOfDay();
    std::vector<std::uint8_t> body;
    if (!HexTextToBytes(commandText.toStdString(), body) || body.size() < 2 ||
        body.size() > MbapFramer::kMaxLength) {
        refuse(now, QStringLiteral("命令文本无效，Modbus TCP 命令未发送：%1").arg(commandText));
        return 0;
    }
    if (!m_tcpConnected) {
        refuse(now, QStringLiteral("Modbus TCP/IP 未连接，命令未发送：%1").arg(commandText));
        return 0;
    }
    const auto usedByPolling = [this](std::uint16_t t) {
        return std::any_of(m_images.packets.begin(), m_images.packets.end(),
                           [t](const PacketImage& i) { return (i.tcp[0] << 8 | i.tcp[1]) == t; });
    };
    do
        ++m_lastWriteTransaction;
    while (usedByPolling(m_lastWriteTransaction));
    const std::vector<std::uint8_t> adu = BuildMbapRequest(m_lastWriteTransaction, body);
    if (!m_socket->Send(adu)) {
        refuse(now, QStringLiteral("Modbus TCP/IP 发送失败，命令未发送：%1").arg(commandText));
        return 0;
    }
    m_writeTransactions.push_back(m_lastWriteTransaction);
    if (m_writeTransactions.size() > kMaxWrites)
        m_writeTransactions.pop_front();
    if (m_logScrolling)
        log(LogKind::Tx, now, TcpTxLine(now, adu));
    return static_cast<int>(adu.size());
}

// A request that could not go out: said in the log (a refused polled packet would come back
// every cycle, so no message box) and told to whoever listens.
void CommSession::refuse(const TimeOfDay& when, const QString& reason) {
    log(LogKind::Notice, when, NoticeLine(when, reason.toStdString()));
    emit commandRefused(reason);
}

// ---- write jobs ------------------------------------------------------------------------------

void CommSession::requestOneShot(const QString& commandText) {
    queueJob({Job::Kind::OneShot, {commandText}});
}

void CommSession::requestBlockWrite(const QStringList& commandTexts) {
    queueJob({Job::Kind::Block, commandTexts});
}

void CommSession::requestPageWrite(const QString& commandText) {
    queueJob({Job::Kind::Page, {commandText}});
}

// A write pauses the cycle at once (mode 2); the job starts after its lead time. Jobs asked for
// while one runs wait their turn instead of overwriting it.
void CommSession::queueJob(Job job) {
    m_jobs.push_back(std::move(job));
    setMode(SessionMode::OneShotWrite);
    m_rx.Reset();
    if (m_jobs.size() == 1)
        startJob();
}

void CommSession::startJob() {
    const Job::Kind kind = m_jobs.front().kind;
    m_jobStep = 0;
    m_jobTimer.start(kind == Job::Kind::OneShot ? m_delays.oneShotPauseMs
                     : kind == Job::Kind::Block ? m_delays.blockWriteLeadMs
                                                : m_delays.pageWriteLeadMs);
}

// Each expiry of the job timer sends the front job's next frame and waits the pause that
// follows it; after the last pause the job ends.
void CommSession::JobThreadProc() {
    if (m_jobs.empty())
        return;
    const Job& job = m_jobs.front();
    if (m_jobStep >= job.texts.size()) {
        finishJob();
        return;
    }
    if (const int wait = replyWaitMs(); wait > 0) {
        m_jobTimer.start(wait); // a reply is still arriving: the frame waits for it
        return;
    }
    const QString text = job.texts[m_jobStep++];
    m_rx.Reset();
    if (!text.isEmpty() && sendWrite(text) > 0)
        emit frameSent(0);
    m_jobTimer.start(job.kind == Job::Kind::OneShot ? m_delays.oneShotPauseMs
                     : job.kind == Job::Kind::Block ? m_delays.blockWriteGapMs
                                                    : m_delays.pageWriteTailMs);
}

void CommSession::finishJob() {
    m_jobs.pop_front();
    if (!m_jobs.empty()) {
        startJob();
        return;
    }
    setMode(SessionMode::Polling);
    if (fastMode() && m_fastWaiting) {
        // The request the fast mode waits for was cut off by the write; the next goes now.
        m_fastWaiting = false;
        m_cycleTimer.start(0);
    }
    kickCycle();
}

} // namespace vantor
