// SPDX-License-Identifier: GPL-3.0-or-later
// The session's counters, per-packet statistics and log lines, and the bytes dropped between
// requests.
#include "modbus/CommSession.h"

#include <algorithm>

#include "modbus/LogFormat.h"
#include "modbus/ResizeQuiet.h"

namespace vantor {

void CommSession::countCrcError(bool registers) {
    if (registers && ResizeQuietFlag().load())
        return;
    ++m_counters.crcErrors;
    emitCounters();
}

void CommSession::countDataError(bool registers) {
    if (registers && ResizeQuietFlag().load())
        return;
    ++m_counters.dataErrors;
    emitCounters();
}

// Bytes of an RTU link still unjudged when the next request goes: the line has been silent
// since (the cycle waits while bytes are arriving), so they are the late reply of a request
// that timed out, or bytes after a judged reply (a reply is cut off at its timeout). They are dropped, counted as a
// data error and shown. (A Modbus TCP stream keeps its bytes: the rest of a reply completes it,
// and its transaction number tells what it answers.)
void CommSession::dropUnjudgedBytes() {
    if (!channel().rtuFramed() || m_rx.length() == 0)
        return;
    if (m_logScrolling)
        logAssembly(PolledRxLine);
    // The notice shows also while the log is paused, as a missing reply's does.
    if (const int late = m_cycle.lastTimedOut(); late > 0)
        logNotice(LateReplyText(late));
    else if (m_current >= 1 && m_current <= kPacketCount)
        logNotice(ExtraBytesText(m_current, m_rx.length()));
    m_rx.Reset();
    countDataError(false);
}

void CommSession::noteAnswered(int packet, bool good) {
    if (good && packet >= 1 && packet <= kPacketCount)
        m_missLogged[packet - 1] = false;
}

PacketStats* CommSession::currentStats() {
    const RequestInFlight* request = m_cycle.inFlight();
    if (request == nullptr || request->kind != RequestInFlight::Kind::Polled)
        return nullptr;
    statsChanged();
    return &m_stats[request->packet - 1];
}

void CommSession::statsChanged() {
    if (!m_statsTimer.isActive())
        m_statsTimer.start(kStatsPeriodMs);
}

qint64 CommSession::responseUs(qint64 atUs) const {
    const RequestInFlight* request = m_cycle.inFlight();
    const qint64 fromEnd = atUs - request->sentEndUs;
    return fromEnd > 0 ? fromEnd : std::max<qint64>(atUs - request->sentUs, 1);
}

void CommSession::statValidReply(qint64 atUs) {
    if (PacketStats* stats = currentStats()) {
        ++stats->valid;
        stats->addResponse(responseUs(atUs));
    }
}

void CommSession::statException(int code, qint64 atUs) {
    if (PacketStats* stats = currentStats()) {
        ++stats->exceptions;
        stats->lastException = code;
        stats->addResponse(responseUs(atUs));
    }
}

void CommSession::statCrcError() {
    if (PacketStats* stats = currentStats())
        ++stats->crcErrors;
}

void CommSession::countReceived() {
    ++m_counters.receivedPackets;
    emitCounters();
}

void CommSession::emitCounters() {
    emit countersChanged(m_counters);
}

void CommSession::logAssembly(std::string (*form)(const TimeOfDay&, std::string_view)) {
    const TimeOfDay now = LocalTimeOfDay();
    log(LogKind::Rx, now, form(now, m_rx.hexText()));
}

void CommSession::logNotice(const std::string& text) {
    const TimeOfDay now = LocalTimeOfDay();
    log(LogKind::Notice, now, NoticeLine(now, text));
}

void CommSession::log(LogKind kind, const TimeOfDay& time, const QString& line) {
    emit logEvent(LogEvent{kind, time, line});
}

void CommSession::log(LogKind kind, const TimeOfDay& time, const std::string& line) {
    log(kind, time, QString::fromStdString(line));
}

} // namespace vantor
