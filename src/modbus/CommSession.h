// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication session. It lives on the link thread with its transport, runs the polling
// cycle and the write jobs on timers, judges every received byte in order, keeps the counters
// and writes the log lines. The GUI (or the console) talks to it only through queued
// signals and slots.
#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <array>
#include <deque>

#include "modbus/CommandImages.h"
#include "modbus/Counters.h"
#include "modbus/LogEvent.h"
#include "modbus/LinkChannel.h"
#include "modbus/LogFormat.h"
#include "modbus/MbapFramer.h"
#include "modbus/PacketStats.h"
#include "modbus/PollCycle.h"
#include "modbus/ReplyRules.h"
#include "modbus/RxAssembly.h"
#include "modbus/SessionDelays.h"
#include "transport/SerialSettings.h"

namespace vantor {

class CComPort;
class CModbusSocket;

class CommSession : public QObject {
    Q_OBJECT
public:
    // The shortest send interval: below it the cycle would keep the link thread busy. An
    // interval of 0 is the fast mode: the next request goes as soon as the reply is judged or
    // the reply timeout passes.
    static constexpr int kMinimumIntervalMs = 10;
    static constexpr int kMinimumReplyTimeoutMs = 10;
    static constexpr int kMaximumReplyTimeoutMs = 60000;
    // The statistics go out at most this often while they change.
    static constexpr int kStatsPeriodMs = 250;

    explicit CommSession(QObject* parent = nullptr);
    ~CommSession() override;

    // Read-outs for tests and the console; call on the session's own thread.
    SessionMode mode() const { return m_mode; }
    int currentPacket() const { return m_current; }
    const Counters& counters() const { return m_counters; }
    const PacketStatsTable& packetStats() const { return m_stats; }
    bool fastMode() const { return m_sendInterval == 0; }
    const SessionDelays& delays() const { return m_delays; }
    void setDelays(const SessionDelays& delays) { m_delays = delays; }
    const RxAssembly& assembly() const { return m_rx; }
    bool autoSend() const { return m_autoSend; }
    const PollCycle& cycle() const { return m_cycle; }
    // Takes the packet's request (1..30) as sent now, without a link: the receive path's tests
    // feed its reply by hand. Over Modbus TCP the request keeps its image's transaction number.
    void expectReplyTo(int packet);
    // The same for a write's command text (hex digit pairs without CRC).
    void expectWriteReplyTo(const QString& commandText);

public slots:
    // Configure: the images (and the link kind they were built for) and the send interval.
    void configureImages(const vantor::CommandImages& images, int sendIntervalMs);
    void setSendInterval(int ms); // 0: the fast mode
    void setReplyTimeout(int ms);
    void setPacketChecked(int packet, bool checked); // packet 1..30, read live by the cycle
    void setAllPacketsChecked(bool checked);
    void setLinkKind(vantor::LinkKind link);
    void setLogScrolling(bool on);
    void clearCounters();
    void resetAssembly();

    // Polling. startPolling resets the assembly; tcpStart does not.
    void startPolling();
    void stopPolling();
    void tcpStart();
    void tcpStop();

    // Writes. The texts are command texts (hex digit pairs, no CRC), built by the caller from
    // the grid when the write is asked for. The session is in mode 2 from the request until
    // the job ends, then in mode 1. Jobs are served in the order asked; each frame waits for
    // the request in flight to be answered or to time out, and is itself answered or timed out
    // before the job goes on.
    void requestOneShot(const QString& commandText);
    void requestBlockWrite(const QStringList& commandTexts);
    void requestPageWrite(const QString& commandText); // empty: nothing sent, mode still 1 after

    // Links.
    void openSerial(const vantor::SerialSettings& settings);
    void closeSerial();
    void connectTcp(const QString& host, const QString& port);
    void disconnectTcp();

    // Fed by the transports; public so that tests can drive the receive path directly.
    void PortMsgRxByte(quint8 byte);
    void onSerialBytes(const QByteArray& bytes);
    void onTcpBytes(const QByteArray& bytes);

signals:
    void logEvent(const vantor::LogEvent& event); // one log line
    void countersChanged(const vantor::Counters& counters);
    // The per-packet statistics, at most every kStatsPeriodMs while they change and at once
    // when they are cleared.
    void packetStatsChanged(const vantor::PacketStatsTable& stats);
    // An accepted polled reply: the data bytes (from offset 3 for serial, 9 for TCP).
    void registerReplyAccepted(int packet, const QByteArray& data, int registerCount);
    void bitReplyAccepted(int packet, const QByteArray& data, int bitCount);
    void lastGoodCount(int count); // edit 1001: the count of the last good register reply
    void serialOpened(const QString& portName);
    void serialOpenFailed(const QString& reason);
    void serialClosed();
    void tcpConnected(const QString& host, const QString& port);
    void tcpConnectFailed(const QString& reason);
    void tcpDisconnected(const QString& reason);
    void modeChanged(int mode);
    void commandRefused(const QString& reason); // a request that could not go out (also logged)
    // The device answered a write or a typed frame with an exception (also logged).
    void writeRefused(const QString& reason);
    void linkError(const QString& reason);      // the open serial line failed (device removed)
    void frameSent(int packet);                 // a polled request went out (0: a write)
    // A polled request of the packet got no judged reply within the reply timeout. Emitted for
    // every miss; only the first of a run is logged.
    void noReply(int packet);
    // A polled request of the packet was answered with an exception (also logged).
    void pollException(int packet, int code);

private:
    struct Job {
        enum class Kind { OneShot, Block, Page } kind;
        QStringList texts;
    };

    // The polling cycle: one step per timer expiry, or straight after the bytes that brought
    // a reply in the fast mode. It sends only while no request is in flight.
    void AutoSendThreadProc();
    // The reply timer's expiry: the request in flight times out, unless the timer ran for an
    // earlier request and this one still has time.
    void onReplyTimer();
    void replyTimedOut();
    // The request in flight is done (judged, or timed out): the pause before the next request,
    // or the write job's next step.
    void requestDone(bool timedOut);
    void startPause();
    // The fast mode over a TCP connection: the replies are waited for on the socket for a
    // while before the event loop takes over again.
    void waitOnSocket();
    // Bytes from a link, and then the fast mode's next request if their reply made it due.
    void takeInput(void (CommSession::*handle)(const QByteArray&), const QByteArray& bytes);
    void kickCycle();
    bool packetDue(int packet) const;
    void sendPolled(int packet);
    void armReply(const RequestInFlight& request);
    // The channel of the link in use.
    LinkChannel& channel();
    const LinkChannel& channel() const;
    // A send's Tx line or refusal into the log.
    void report(const TimeOfDay& when, const ChannelSend& sent);
    std::uint16_t nextTransaction();
    // The write jobs.
    void queueJob(Job job);
    void startJob();
    void JobThreadProc();
    void finishJob();
    // The pause after each frame of the front job.
    int framePauseMs() const;
    // The register reply check.
    void DecodeThreadProc(bool crcValid);
    // A write job's frame on the link in use; its reply, if one is due, is then awaited.
    int sendWrite(const QString& commandText);
    // The reply to a write or a typed frame: logged, an exception named, counted.
    void takeWriteReply(bool exception, int function, int code);
    void refuse(const TimeOfDay& when, const QString& reason);

    void setMode(SessionMode mode);
    void noteAnswered(int packet, bool good);
    void forgetPendingRequests();
    // Milliseconds the next request must still wait for bytes that are arriving: until the line
    // has been silent 3.5 characters (a gateway's: 2 ms). 0: it may go.
    int lineBusyMs() const;
    qint64 nowUs() const { return m_clock.nsecsElapsed() / 1000; }
    void handleRtuException();
    void reportMismatch(const ReplyMismatch& mismatch);
    void logNotice(const std::string& text);
    void judgeSerial();
    void judgeWriteReply(const RequestInFlight& request);
    std::size_t bytesBeforeJudgement() const;
    void takeSerialByte(quint8 byte, qint64 nowUs);
    void onTcpConnected();
    void handleTcpFrame(const std::vector<std::uint8_t>& adu);
    void handlePolledTcpReply(const std::vector<std::uint8_t>& adu, const RequestInFlight& request);
    void countCrcError(bool registers);
    void countDataError(bool registers);
    void dropUnjudgedBytes();
    void countReceived();
    void emitCounters();
    // The statistics of the packet whose request is in flight, or null.
    PacketStats* currentStats();
    void statsChanged();
    // What the current packet's reply was, its last byte received at atUs.
    void statValidReply(qint64 atUs);
    void statException(int code, qint64 atUs);
    void statCrcError();
    // The response time of a reply whose last byte came at atUs: from the end of the request on
    // the line, or, where the line's reckoned time is longer than the round trip (a
    // pseudo-terminal, a gateway), from the request's hand-over.
    qint64 responseUs(qint64 atUs) const;
    void log(LogKind kind, const TimeOfDay& time, const QString& line);
    void log(LogKind kind, const TimeOfDay& time, const std::string& line);
    // The assembled bytes as an Rx line of the given form.
    void logAssembly(std::string (*form)(const TimeOfDay&, std::string_view));

    CComPort* m_port;
    CModbusSocket* m_socket;
    bool m_tcpConnected = false;
    SerialChannel m_serialChannel{m_port};
    GatewayChannel m_gatewayChannel{m_socket, m_tcpConnected};
    MbapChannel m_mbapChannel{m_socket, m_tcpConnected};
    QTimer m_cycleTimer{this}; // the pause between requests, and waits for a busy line
    QTimer m_replyTimer{this}; // the request in flight's deadline
    QTimer m_jobTimer{this};
    QTimer m_statsTimer{this};

    SessionDelays m_delays;
    CommandImages m_images;
    std::array<bool, kPacketCount> m_checked{};
    LinkKind m_link = LinkKind::Serial;
    int m_sendInterval = 200;
    SessionMode m_mode = SessionMode::Polling;
    PollCycle m_cycle;
    int m_current = 1; // the packet polled last
    int m_next = 1;    // where the cycle looks first at its next step
    bool m_autoSend = false;
    QString m_tcpHost, m_tcpPort; // of the connection asked last
    bool m_logScrolling = true;
    Counters m_counters;
    RxAssembly m_rx;
    MbapFramer m_mbap;
    std::uint16_t m_transaction = 0; // the last Modbus TCP transaction number used

    // Per packet: whether it is in a run of misses that was already logged.
    std::array<bool, kPacketCount> m_missLogged{};
    QElapsedTimer m_clock;
    qint64 m_lastByteUs = 0;        // the last byte of an RTU link received
    bool m_inInput = false;         // a link's bytes are being handled
    bool m_waitingOnSocket = false; // waitOnSocket is running
    bool m_sendDue = false;         // the fast mode's next request goes once they are handled

    PacketStatsTable m_stats{};

    std::deque<Job> m_jobs;
    qsizetype m_jobStep = 0;  // frames of the front job sent so far
    bool m_jobWaits = false;  // the front job waits for the request in flight
};

} // namespace vantor

Q_DECLARE_METATYPE(vantor::CommandImages)
Q_DECLARE_METATYPE(vantor::Counters)
Q_DECLARE_METATYPE(vantor::PacketStatsTable)
Q_DECLARE_METATYPE(vantor::SerialSettings)
Q_DECLARE_METATYPE(vantor::LinkKind)
