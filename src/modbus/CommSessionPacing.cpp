// SPDX-License-Identifier: GPL-3.0-or-later
// The pacing of the request in flight: its deadline, what a timeout does, and the pause before
// the next request (the send interval, the line's silence, or a timeout's guard).
#include "modbus/CommSession.h"

#include <QThread>
#include <algorithm>
#include <utility>

#include "modbus/LogFormat.h"

namespace vantor {

namespace {

// Timers may fire a little before a clock read says the period is over.
constexpr qint64 kClockToleranceUs = 1000;

int CeilMs(qint64 us) {
    return static_cast<int>((us + 999) / 1000);
}

} // namespace

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
        const bool whole = channel().rtuFramed() && request.expectedLength == 0 &&
                           m_rx.length() > 2 &&
                           JudgeReply(m_rx.bytes(), m_rx.length()) == Judgement::Valid;
        if (m_rx.length() > 0 && m_logScrolling)
            logAssembly(EchoRxLine);
        m_rx.Reset();
        if (whole) {
            takeWriteReply(false, request.function, 0);
            return;
        }
        logNotice(WriteNoReplyText());
        requestDone(true);
        return;
    }
    if (channel().rtuFramed() && m_rx.length() > 0) {
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
    if (channel().rtuFramed() && m_cycle.lastTimedOut() > 0) {
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
    const qint64 silenceUs = channel().replySilenceUs();
    qint64 waitUs = silenceUs > 0 ? m_lastByteUs + silenceUs - nowUs() : 0;
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

int CommSession::lineBusyMs() const {
    if (m_rx.length() == 0 || !channel().isOpen())
        return 0;
    const qint64 left = m_lastByteUs + channel().busySilenceUs() - nowUs();
    return left > 0 ? CeilMs(left) : 0;
}

} // namespace vantor
