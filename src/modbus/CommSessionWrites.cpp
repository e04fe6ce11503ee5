// SPDX-License-Identifier: GPL-3.0-or-later
// The session's sending by hand: writes and typed frames on the link in use, and the write jobs
// that pause the polling cycle while they run. Each frame of a job is a request in flight of
// its own: the job goes on once its reply is judged or its timeout has passed.
#include "modbus/CommSession.h"

#include "modbus/LogFormat.h"
#include "modbus/RtuFrame.h"
#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

int CommSession::sendWrite(const QString& commandText) {
    LinkChannel& link = channel();
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Write;
    const TimeOfDay now = LocalTimeOfDay();
    const ChannelSend sent =
        link.sendText(commandText.toStdString(), nextTransaction(), now, m_logScrolling, request);
    report(now, sent);
    if (sent.bytes <= 0 || (link.rtuFramed() && request.unit == 0))
        return sent.bytes; // refused, or a broadcast, which no slave answers
    request.sentUs = nowUs();
    request.sentEndUs = request.sentUs + link.lineTimeUs(sent.bytes);
    armReply(request);
    return sent.bytes;
}

void CommSession::expectWriteReplyTo(const QString& commandText) {
    RequestInFlight request;
    request.kind = RequestInFlight::Kind::Write;
    channel().identifyText(commandText.toStdString(), request);
    request.sentUs = request.sentEndUs = nowUs();
    armReply(request);
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
    if (const int wait = lineBusyMs(); wait > 0) {
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
