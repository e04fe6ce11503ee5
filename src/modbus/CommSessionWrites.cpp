// The session's sending by hand: the RTU sender, Modbus TCP write requests, and the write jobs
// that pause the polling cycle while they run. Each frame of a job is a request in flight of
// its own: the job goes on once its reply is judged or its timeout has passed.
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
    if (m_logScrolling)
        log(LogKind::Tx, now, SerialTxLine(now, frame.txText));
    return static_cast<int>(frame.bytes.size());
}

int CommSession::sendWrite(const QString& commandText) {
    if (m_link == LinkKind::Tcp)
        return sendTcpWrite(commandText);
    const int sent = SendHexCommand(commandText);
    if (sent > 0)
        armRtuWrite(commandText, sent);
    return sent;
}

void CommSession::expectWriteReplyTo(const QString& commandText) {
    armRtuWrite(commandText, 0);
}

void CommSession::armRtuWrite(const QString& commandText, int sentBytes) {
    std::vector<std::uint8_t> body;
    if (!HexTextToBytes(commandText.toStdString(), body) || body.size() < 2 || body[0] == 0)
        return; // a broadcast: no slave answers it
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Write;
    request.unit = body[0];
    request.function = body[1];
    request.expectedLength = RequestReplyLength(body);
    request.sentUs = nowUs();
    request.sentEndUs = request.sentUs + lineTimeUs(sentBytes);
    armReply(request);
}

// The command text's first byte is the unit identifier, the rest the PDU; the request gets a
// transaction number of its own, by which its reply is told apart from any other.
int CommSession::sendTcpWrite(const QString& commandText) {
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
    const std::uint16_t transaction = nextTransaction();
    const std::vector<std::uint8_t> adu = BuildMbapRequest(transaction, body);
    if (!m_socket->Send(adu)) {
        refuse(now, QStringLiteral("Modbus TCP/IP 发送失败，命令未发送：%1").arg(commandText));
        return 0;
    }
    if (m_logScrolling)
        log(LogKind::Tx, now, TcpTxLine(now, adu));
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Write;
    request.transaction = transaction;
    request.unit = body[0];
    request.function = body[1];
    request.sentUs = request.sentEndUs = nowUs();
    armReply(request);
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

// A write pauses the cycle at once (mode 2); the job starts after its lead time and once the
// polled request in flight is done. Jobs asked for while one runs wait their turn.
void CommSession::queueJob(Job job) {
    m_jobs.push_back(std::move(job));
    setMode(SessionMode::OneShotWrite);
    if (m_jobs.size() == 1)
        startJob();
}

void CommSession::startJob() {
    const Job::Kind kind = m_jobs.front().kind;
    m_jobStep = 0;
    m_jobWaits = false;
    m_jobTimer.start(kind == Job::Kind::OneShot ? m_delays.oneShotPauseMs
                     : kind == Job::Kind::Block ? m_delays.blockWriteLeadMs
                                                : m_delays.pageWriteLeadMs);
}

// Each expiry of the job timer sends the front job's next frame; the pause that follows it
// starts once its reply is judged or its timeout has passed. After the last pause the job ends.
void CommSession::JobThreadProc() {
    if (m_jobs.empty())
        return;
    if (m_cycle.inFlight() != nullptr) {
        m_jobWaits = true; // the request in flight goes first
        return;
    }
    const Job& job = m_jobs.front();
    if (m_jobStep >= job.texts.size()) {
        finishJob();
        return;
    }
    if (const int wait = IsRtuFramed(m_link) ? lineBusyMs() : 0; wait > 0) {
        m_jobTimer.start(wait); // bytes are still arriving: the frame waits for them
        return;
    }
    const QString text = job.texts[m_jobStep++];
    dropUnjudgedBytes();
    m_cycle.forgetTimedOut();
    if (!text.isEmpty() && sendWrite(text) > 0)
        emit frameSent(0);
    if (m_cycle.inFlight() != nullptr) {
        m_jobWaits = true;
        return;
    }
    m_jobTimer.start(framePauseMs());
}

int CommSession::framePauseMs() const {
    const Job::Kind kind = m_jobs.front().kind;
    return kind == Job::Kind::OneShot ? m_delays.oneShotPauseMs
           : kind == Job::Kind::Block ? m_delays.blockWriteGapMs
                                      : m_delays.pageWriteTailMs;
}

void CommSession::finishJob() {
    m_jobs.pop_front();
    if (!m_jobs.empty()) {
        startJob();
        return;
    }
    setMode(SessionMode::Polling);
    kickCycle();
}

} // namespace vantor
