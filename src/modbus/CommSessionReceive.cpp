// The session's receive path: every received byte judged against the expected reply, whole
// Modbus TCP replies, and the counters.
#include "modbus/CommSession.h"

#include <algorithm>

#include "modbus/Crc16.h"
#include "modbus/LogFormat.h"
#include "modbus/ResizeQuiet.h"

namespace vantor {

namespace {

QByteArray DataBytes(std::span<const std::uint8_t> reply, std::size_t offset, std::size_t size) {
    if (offset >= reply.size())
        return {};
    size = std::min(size, reply.size() - offset);
    return QByteArray(reinterpret_cast<const char*>(reply.data() + offset),
                      static_cast<qsizetype>(size));
}

} // namespace

// ---- receive path ----------------------------------------------------------------------------

void CommSession::onSerialBytes(const QByteArray& bytes) {
    // The bytes of one read arrived together: one clock reading serves them all.
    const qint64 now = nowUs();
    const std::span<const std::uint8_t> all(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                            static_cast<std::size_t>(bytes.size()));
    std::size_t i = 0;
    while (i < all.size()) {
        // Bytes that cannot complete a reply join the assembly in one step; each byte that
        // may complete one is judged on its own, as if it had come alone.
        const std::size_t run = std::min(all.size() - i, bytesBeforeJudgement());
        if (run > 0) {
            m_rx.AppendRun(all.subspan(i, run));
            m_lastByteUs = now;
            i += run;
        } else {
            takeSerialByte(all[i++], now);
        }
    }
}

// How many more bytes the assembly takes before one of them could be judged: none while idle,
// else those short of the expected length and of an exception reply's five bytes.
std::size_t CommSession::bytesBeforeJudgement() {
    if (m_mode == SessionMode::Idle || m_current < 1)
        return 0;
    refreshExpected();
    const std::size_t length = m_rx.length();
    const std::size_t limit = std::min(m_expected.length, RxAssembly::kCapacity);
    if (length + 1 >= limit)
        return 0;
    if (length < kExceptionReplyLength)
        return std::min(limit, kExceptionReplyLength) - 1 - length;
    return limit - 1 - length;
}

void CommSession::refreshExpected() {
    const PacketImage& image = m_images.packets[m_current - 1];
    if (m_expected.mode != m_mode || m_expected.function != image.function ||
        m_expected.count != image.count)
        m_expected = {m_mode, image.function, image.count,
                      ExpectedReplyLength(m_mode, image.function, image.count)};
}

void CommSession::PortMsgRxByte(quint8 byte) {
    takeSerialByte(byte, nowUs());
}

void CommSession::takeSerialByte(quint8 byte, qint64 nowUs) {
    m_lastByteUs = nowUs;
    if (!m_rx.Append(byte)) {
        // A full assembly means a stream of noise: start over and count it.
        m_rx.Reset();
        countDataError(false);
        return;
    }
    if (m_mode == SessionMode::Idle) {
        m_rx.Reset();
        countDataError(false);
        return;
    }
    judgeSerial();
    if (m_fastWaiting && m_rx.length() == 0)
        fastReplyJudged();
    if (m_cycleHeld && m_rx.length() == 0) {
        // The reply the cycle waited for is judged: the next request may go at once.
        m_cycleHeld = false;
        m_cycleTimer.start(0);
    }
}

void CommSession::judgeSerial() {
    const bool polling = m_mode == SessionMode::Polling;
    const PacketImage& image = m_images.packets[m_current - 1];
    // Most bytes are part of a reply still arriving: they wait for the expected length (or the
    // five bytes of an exception reply) without the rest of the checks.
    refreshExpected();
    if (m_rx.length() < m_expected.length && m_rx.length() != kExceptionReplyLength)
        return;
    if (polling && IsRtuExceptionReply(m_rx.bytes(), image.slave, image.function)) {
        handleRtuException();
        return;
    }
    const ReplyKind kind = ReplyKindOf(m_mode, image.function);
    const Judgement judgement = JudgeReply(m_rx.bytes(), m_expected.length);
    if (judgement == Judgement::Incomplete)
        return;
    if (!polling) {
        // A write echo is judged only at its exact length; anything else waits for a reset.
        if (judgement != Judgement::Valid)
            return;
        if (m_logScrolling)
            logAssembly(EchoRxLine);
        m_rx.Reset();
        countReceived();
        return;
    }
    const bool registers = kind == ReplyKind::Registers;
    if (judgement == Judgement::OverLength) {
        m_rx.Reset();
        countDataError(registers);
        return;
    }
    if (registers) {
        DecodeThreadProc(judgement == Judgement::Valid);
        return;
    }
    if (judgement == Judgement::CrcError) {
        countCrcError(false);
        noteAnswered(m_current, false);
        statCrcError();
    } else if (const ReplyMismatch mismatch =
                   CheckRtuReply(m_rx.bytes(), image.slave, image.function, image.count)) {
        reportMismatch(mismatch);
    } else {
        if (m_logScrolling)
            logAssembly(PolledRxLine);
        noteAnswered(m_current, true);
        statValidReply(m_lastByteUs);
        const QByteArray data =
            DataBytes(m_rx.bytes(), 3, ReplyDataBytes(image.function, image.count));
        if (kind == ReplyKind::Bits)
            emit bitReplyAccepted(m_current, data, image.count);
        else
            emit registerReplyAccepted(m_current, data,
                                       ReplyRegisterCount(image.function, image.count));
    }
    m_rx.Reset();
    countReceived();
}

// The register reply check: the assembly holds exactly the expected length of the current
// register packet, whose CRC the judgement has checked.
void CommSession::DecodeThreadProc(bool crcValid) {
    const PacketImage& image = m_images.packets[m_current - 1];
    if (!crcValid) {
        countCrcError(true);
        noteAnswered(m_current, false);
        statCrcError();
    } else if (const ReplyMismatch mismatch =
                   CheckRtuReply(m_rx.bytes(), image.slave, image.function, image.count)) {
        reportMismatch(mismatch);
    } else {
        if (m_logScrolling)
            logAssembly(PolledRxLine);
        noteAnswered(m_current, true);
        statValidReply(m_lastByteUs);
        emit lastGoodCount(image.count);
        emit registerReplyAccepted(m_current, DataBytes(m_rx.bytes(), 3, 2 * image.count),
                                   image.count);
    }
    m_rx.Reset();
    countReceived();
}

// An exception reply of the polled slave, judged as soon as its five bytes are in: logged with
// its meaning, no cell changes, and the packet counts as answered.
void CommSession::handleRtuException() {
    const std::span<const std::uint8_t> reply = m_rx.bytes();
    const int function = reply[1];
    const int code = reply[2];
    if (m_logScrolling) {
        logAssembly(PolledRxLine);
        logNotice(ExceptionText(m_current, function, code));
    }
    m_rx.Reset();
    noteAnswered(m_current, true);
    statException(code, m_lastByteUs);
    countReceived();
}

// A whole reply that answers another request: not decoded, one data error, and why.
void CommSession::reportMismatch(const ReplyMismatch& mismatch) {
    if (m_logScrolling) {
        if (IsRtuFramed(m_link))
            logAssembly(PolledRxLine);
        logNotice(MismatchNoticeText(m_current, mismatch));
    }
    countDataError(false);
}

void CommSession::onTcpBytes(const QByteArray& bytes) {
    if (m_link == LinkKind::RtuOverTcp) {
        onSerialBytes(bytes); // a gateway's RTU frames, judged as the serial line's
        return;
    }
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.constData());
    for (const MbapEvent& event : m_mbap.Feed({data, static_cast<std::size_t>(bytes.size())})) {
        if (event.kind == MbapEvent::Kind::Frame) {
            handleTcpFrame(event.bytes);
            continue;
        }
        if (m_logScrolling) {
            const TimeOfDay now = LocalTimeOfDay();
            log(LogKind::Rx, now,
                PolledRxLine(now, HexBytes(event.bytes) + " (MBAP header invalid: " + event.reason +
                                      "; " + std::to_string(event.bytes.size()) +
                                      " bytes dropped)"));
        }
        countDataError(false);
    }
}

// A whole Modbus TCP reply: logged, checked against the request and decoded into the current
// packet while polling. An exception reply (function with bit 7 set) is logged with its meaning
// and not decoded.
void CommSession::handleTcpFrame(const std::vector<std::uint8_t>& adu) {
    if (m_logScrolling) {
        const TimeOfDay now = LocalTimeOfDay();
        log(LogKind::Rx, now, PolledRxLine(now, HexBytes(adu)));
    }
    if (takeWriteReply(adu))
        return;
    const bool polling = m_mode == SessionMode::Polling;
    const PacketImage& image = m_images.packets[m_current - 1];
    const ReplyMismatch mismatch =
        polling ? CheckTcpReply(adu, image.tcp, image.count) : ReplyMismatch{};
    const std::uint8_t function = adu.size() > 7 ? adu[7] : 0;
    if (mismatch) {
        reportMismatch(mismatch);
    } else if (function & 0x80) {
        const int code = adu.size() > 8 ? adu[8] : 0;
        if (m_logScrolling)
            logNotice(ExceptionText(m_current, function, code));
        if (polling) {
            noteAnswered(m_current, true);
            statException(code, nowUs());
        }
    } else if (polling && adu.size() > 9 && TcpReplyIsBits(image.tcp[7])) {
        const int bits = std::min(image.count, static_cast<int>(adu.size() - 9) * 8);
        noteAnswered(m_current, true);
        statValidReply(nowUs());
        emit bitReplyAccepted(m_current, DataBytes(adu, 9, adu.size() - 9), bits);
    } else if (polling && adu.size() > 9) {
        const int available = static_cast<int>((adu.size() - 9) / 2);
        const int registers = std::min(image.count, available);
        noteAnswered(m_current, true);
        statValidReply(nowUs());
        emit registerReplyAccepted(m_current, DataBytes(adu, 9, 2 * registers), registers);
    }
    if (!mismatch && m_fastWaiting)
        fastReplyJudged();
    countReceived();
}

bool CommSession::takeWriteReply(const std::vector<std::uint8_t>& adu) {
    if (adu.size() < 8)
        return false;
    const auto transaction = static_cast<std::uint16_t>(adu[0] << 8 | adu[1]);
    const auto it = std::find(m_writeTransactions.begin(), m_writeTransactions.end(), transaction);
    if (it == m_writeTransactions.end())
        return false;
    m_writeTransactions.erase(it);
    const std::uint8_t function = adu[7];
    if ((function & 0x80) && m_logScrolling)
        logNotice(WriteExceptionText(function, adu.size() > 8 ? adu[8] : 0));
    countReceived();
    return true;
}

// ---- counters and log ------------------------------------------------------------------------

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

// Bytes still unjudged when the next request goes: the line has been silent since (the cycle
// waits while a reply is arriving), so they are a cut-off reply or bytes after a whole one.
// They are dropped, counted as a data error and shown.
void CommSession::dropUnjudgedBytes() {
    const std::size_t bytes = m_link == LinkKind::Tcp ? m_mbap.buffered() : m_rx.length();
    if (bytes == 0)
        return;
    if (m_current >= 1 && m_current <= kPacketCount) {
        // The notice shows also while the log is paused, as a missing reply's does.
        std::size_t expected = 0;
        if (IsRtuFramed(m_link)) {
            if (m_logScrolling)
                logAssembly(PolledRxLine);
            const PacketImage& image = m_images.packets[m_current - 1];
            expected = ExpectedReplyLength(m_mode, image.function, image.count);
        }
        logNotice(UnjudgedBytesText(m_current, bytes, expected));
    }
    m_rx.Reset();
    m_mbap.Reset();
    countDataError(false);
}

PacketStats* CommSession::currentStats() {
    if (m_mode != SessionMode::Polling || m_current < 1 || m_current > kPacketCount)
        return nullptr;
    statsChanged();
    return &m_stats[m_current - 1];
}

void CommSession::statsChanged() {
    if (!m_statsTimer.isActive())
        m_statsTimer.start(kStatsPeriodMs);
}

void CommSession::statValidReply(qint64 atUs) {
    if (PacketStats* stats = currentStats()) {
        ++stats->valid;
        stats->addResponse(atUs - m_sentEndUs[m_current - 1]);
    }
}

void CommSession::statException(int code, qint64 atUs) {
    if (PacketStats* stats = currentStats()) {
        ++stats->exceptions;
        stats->lastException = code;
        stats->addResponse(atUs - m_sentEndUs[m_current - 1]);
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
