// SPDX-License-Identifier: GPL-3.0-or-later
// The session's receive path: every received byte judged against the request in flight, and
// whole Modbus TCP replies matched by their transaction.
#include "modbus/CommSession.h"

#include <algorithm>

#include "modbus/LogFormat.h"

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
// those that fit while no request is in flight (they are dropped before the next request),
// else those short of the expected length and of an exception reply's five bytes.
std::size_t CommSession::bytesBeforeJudgement() const {
    const RequestInFlight* request = m_cycle.inFlight();
    const std::size_t length = m_rx.length();
    if (request == nullptr)
        return m_mode == SessionMode::Idle ? 0 : RxAssembly::kCapacity - length;
    const std::size_t expected =
        request->expectedLength == 0 ? RxAssembly::kCapacity : request->expectedLength;
    const std::size_t limit = std::min(expected, RxAssembly::kCapacity);
    if (length + 1 >= limit)
        return 0;
    if (length < kExceptionReplyLength)
        return std::min(limit, kExceptionReplyLength) - 1 - length;
    return limit - 1 - length;
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
    if (m_cycle.inFlight() != nullptr) {
        judgeSerial();
    } else if (m_mode == SessionMode::Idle) {
        m_rx.Reset();
        countDataError(false);
    }
    // Otherwise no request is in flight: the bytes answer none, and they are shown and dropped
    // before the next request goes.
}

void CommSession::judgeSerial() {
    const RequestInFlight& request = *m_cycle.inFlight();
    if (request.kind == RequestInFlight::Kind::Write) {
        judgeWriteReply(request);
        return;
    }
    // Most bytes are part of a reply still arriving: they wait for the expected length (or the
    // five bytes of an exception reply) without the rest of the checks.
    const std::size_t length = m_rx.length();
    if (length < request.expectedLength && length != kExceptionReplyLength)
        return;
    if (IsRtuExceptionReply(m_rx.bytes(), request.unit, request.function)) {
        handleRtuException();
        return;
    }
    const Judgement judgement = JudgeReply(m_rx.bytes(), request.expectedLength);
    if (judgement == Judgement::Incomplete)
        return;
    const ReplyKind kind = ReplyKindOf(SessionMode::Polling, request.function);
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
        noteAnswered(request.packet, false);
        statCrcError();
    } else if (const ReplyMismatch mismatch =
                   CheckRtuReply(m_rx.bytes(), request.unit, request.function, request.count)) {
        reportMismatch(mismatch);
        m_rx.Reset();
        countReceived();
        return; // not this request's reply: it waits on
    } else {
        if (m_logScrolling)
            logAssembly(PolledRxLine);
        noteAnswered(request.packet, true);
        statValidReply(m_lastByteUs);
        const QByteArray data =
            DataBytes(m_rx.bytes(), 3, ReplyDataBytes(request.function, request.count));
        if (kind == ReplyKind::Bits)
            emit bitReplyAccepted(request.packet, data, request.count);
        else
            emit registerReplyAccepted(request.packet, data,
                                       ReplyRegisterCount(request.function, request.count));
    }
    m_rx.Reset();
    countReceived();
    requestDone(false);
}

// The register reply check: the assembly holds exactly the expected length of the register
// packet in flight, whose CRC the judgement has checked.
void CommSession::DecodeThreadProc(bool crcValid) {
    const RequestInFlight request = *m_cycle.inFlight();
    if (!crcValid) {
        countCrcError(true);
        noteAnswered(request.packet, false);
        statCrcError();
    } else if (const ReplyMismatch mismatch =
                   CheckRtuReply(m_rx.bytes(), request.unit, request.function, request.count)) {
        reportMismatch(mismatch);
        m_rx.Reset();
        countReceived();
        return; // not this request's reply: it waits on
    } else {
        if (m_logScrolling)
            logAssembly(PolledRxLine);
        noteAnswered(request.packet, true);
        statValidReply(m_lastByteUs);
        emit lastGoodCount(request.count);
        emit registerReplyAccepted(request.packet, DataBytes(m_rx.bytes(), 3, 2 * request.count),
                                   request.count);
    }
    m_rx.Reset();
    countReceived();
    requestDone(false);
}

// An exception reply of the polled slave, judged as soon as its five bytes are in: logged with
// its meaning, no cell changes, and the packet counts as answered.
void CommSession::handleRtuException() {
    const int packet = m_cycle.inFlight()->packet;
    const std::span<const std::uint8_t> reply = m_rx.bytes();
    const int function = reply[1];
    const int code = reply[2];
    if (m_logScrolling) {
        logAssembly(PolledRxLine);
        logNotice(ExceptionText(packet, function, code));
    }
    m_rx.Reset();
    noteAnswered(packet, true);
    statException(code, m_lastByteUs);
    emit pollException(packet, code);
    countReceived();
    requestDone(false);
}

// The reply to a write or a typed frame over an RTU link: an exception reply as soon as its
// five bytes are in; else the reply at the length the request tells. Bytes of that length that
// fail the CRC are shown and dropped, and the request waits on for its reply.
void CommSession::judgeWriteReply(const RequestInFlight& request) {
    const std::span<const std::uint8_t> reply = m_rx.bytes();
    if (reply.size() == kExceptionReplyLength &&
        IsRtuExceptionReply(reply, request.unit, request.function)) {
        const int function = reply[1];
        const int code = reply[2];
        if (m_logScrolling)
            logAssembly(EchoRxLine);
        m_rx.Reset();
        takeWriteReply(true, function, code);
        return;
    }
    if (request.expectedLength == 0 || reply.size() < request.expectedLength)
        return;
    const bool valid = JudgeReply(reply, request.expectedLength) == Judgement::Valid;
    if (m_logScrolling)
        logAssembly(EchoRxLine);
    m_rx.Reset();
    if (valid)
        takeWriteReply(false, request.function, 0);
}

void CommSession::takeWriteReply(bool exception, int function, int code) {
    if (exception) {
        const std::string text = WriteExceptionText(function, code);
        logNotice(text);
        emit writeRefused(QString::fromStdString(text));
    }
    countReceived();
    requestDone(false);
}

// A whole reply that answers another request: not decoded, one data error, and why.
void CommSession::reportMismatch(const ReplyMismatch& mismatch) {
    if (m_logScrolling) {
        if (channel().rtuFramed())
            logAssembly(PolledRxLine);
        logNotice(MismatchNoticeText(m_cycle.inFlight()->packet, mismatch));
    }
    countDataError(false);
}

void CommSession::onTcpBytes(const QByteArray& bytes) {
    if (channel().rtuFramed()) {
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

// A whole Modbus TCP reply: taken only for the request in flight with its transaction number;
// a reply to a request that timed out, or to none, is shown and counted, never decoded.
void CommSession::handleTcpFrame(const std::vector<std::uint8_t>& adu) {
    if (m_logScrolling) {
        const TimeOfDay now = LocalTimeOfDay();
        log(LogKind::Rx, now, PolledRxLine(now, HexBytes(adu)));
    }
    const auto transaction = static_cast<std::uint16_t>(adu[0] << 8 | adu[1]);
    const RequestInFlight* request = m_cycle.inFlight();
    if (request != nullptr && request->transaction == transaction) {
        if (request->kind == RequestInFlight::Kind::Polled) {
            handlePolledTcpReply(adu, *request);
            return;
        }
        const std::uint8_t function = adu.size() > 7 ? adu[7] : 0;
        takeWriteReply((function & 0x80) != 0, function, adu.size() > 8 ? adu[8] : 0);
        return;
    }
    if (const std::optional<int> late = m_cycle.timedOutPacket(transaction))
        logNotice(*late > 0 ? LateReplyText(*late) : LateWriteReplyText());
    else
        logNotice(ForeignReplyText(transaction));
    countDataError(false);
}

void CommSession::handlePolledTcpReply(const std::vector<std::uint8_t>& adu,
                                       const RequestInFlight& request) {
    const std::array<std::uint8_t, 12> asked = {
        static_cast<std::uint8_t>(request.transaction >> 8),
        static_cast<std::uint8_t>(request.transaction),
        0,
        0,
        0,
        6,
        static_cast<std::uint8_t>(request.unit),
        static_cast<std::uint8_t>(request.function),
        0,
        0,
        static_cast<std::uint8_t>(request.count >> 8),
        static_cast<std::uint8_t>(request.count)};
    if (const ReplyMismatch mismatch = CheckTcpReply(adu, asked, request.count)) {
        reportMismatch(mismatch);
        countReceived();
        return; // not this request's reply: it waits on
    }
    const int packet = request.packet;
    const std::uint8_t function = adu.size() > 7 ? adu[7] : 0;
    if (function & 0x80) {
        const int code = adu.size() > 8 ? adu[8] : 0;
        if (m_logScrolling)
            logNotice(ExceptionText(packet, function, code));
        noteAnswered(packet, true);
        statException(code, nowUs());
        emit pollException(packet, code);
    } else {
        noteAnswered(packet, true);
        statValidReply(nowUs());
        if (adu.size() > 9 && TcpReplyIsBits(request.function)) {
            const int bits = std::min(request.count, static_cast<int>(adu.size() - 9) * 8);
            emit bitReplyAccepted(packet, DataBytes(adu, 9, adu.size() - 9), bits);
        } else if (adu.size() > 9) {
            const int available = static_cast<int>((adu.size() - 9) / 2);
            const int registers = std::min(request.count, available);
            emit registerReplyAccepted(packet, DataBytes(adu, 9, 2 * registers), registers);
        }
    }
    countReceived();
    requestDone(false);
}

} // namespace vantor
