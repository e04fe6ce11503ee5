// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one door to the link, on the GUI thread (or the console's main thread). It holds the
// communication session, which lives on the link thread, and turns every command into a queued
// call to it. What the session reports comes back as the link state (one value, one change
// signal), typed log events, counters and accepted replies. Widgets, the console and every
// feature that reads from or writes to the device talk to the link only through it.
#include <QObject>
#include <QStringList>
#include <array>
#include <deque>
#include <memory>

#include "modbus/CommandImages.h"
#include "modbus/Counters.h"
#include "modbus/LogEvent.h"
#include "modbus/PacketStats.h"
#include "transport/SerialSettings.h"

namespace vantor {

class CommSession;
class LinkThread;

enum class LinkPhase { Closed, Opening, Open };

struct LinkState {
    LinkKind kind = LinkKind::Serial; // the link the phase is about
    LinkPhase phase = LinkPhase::Closed;
    bool polling = false; // cyclic sending armed (it sends only while the link is open)

    bool open() const { return phase == LinkPhase::Open; }
    bool operator==(const LinkState&) const = default;
};

class LinkController : public QObject {
    Q_OBJECT
public:
    // Where the session runs: on a link thread of its own (the program), or on the thread that
    // makes the controller (tests that drive the session directly). Calls are queued either way.
    enum class Placement { LinkThread, CallerThread };

    explicit LinkController(Placement placement = Placement::LinkThread, QObject* parent = nullptr);
    ~LinkController() override;

    LinkState state() const { return m_state; }
    SerialSettings serialSettings() const { return m_serialSettings; } // of the last open asked
    QString tcpHost() const { return m_tcpHost; }
    QString tcpPort() const { return m_tcpPort; }
    // The session itself, for tests that read its state or feed its receive path. Nothing in
    // the program calls it: the session may live on another thread.
    CommSession* sessionForTests() const { return m_session; }

    // Configure and the check boxes (packet 1..30).
    void configure(const CommandImages& images, int sendIntervalMs);
    void setSendInterval(int ms); // 0: the fast mode
    void setReplyTimeout(int ms);
    void setPacketChecked(int packet, bool checked);
    void setPacketChecks(const std::array<bool, kPacketCount>& checked);
    void setAllPacketsChecked(bool checked);
    void setLinkKind(LinkKind link);
    void setLogScrolling(bool on);
    void clearCounters();

    // Links.
    void openSerial(const SerialSettings& settings);
    void closeSerial();
    void connectTcp(const QString& host, const QString& port);
    void disconnectTcp();

    // Polling: startPolling resets the receive assembly, tcpStart does not.
    void startPolling();
    void stopPolling();
    void tcpStart();
    void tcpStop();

    // Writes: command texts (hex digit pairs without CRC), served in the order asked.
    void requestOneShot(const QString& commandText);
    void requestBlockWrite(const QStringList& commandTexts);
    void requestPageWrite(const QString& commandText);

    // Closes both links and returns the counters (and the per-packet statistics) as they stand
    // then; waits for the session.
    Counters closeAndReadCounters(PacketStatsTable* stats = nullptr);

signals:
    void stateChanged(const vantor::LinkState& state);
    // Hooks around opening a link: before the request goes to the session, and once the link
    // stands (a serial port opened, a TCP connection made).
    void aboutToOpen(vantor::LinkKind link);
    void opened(vantor::LinkKind link);
    // A close asked through closeSerial / disconnectTcp.
    void closed(vantor::LinkKind link);
    // The open asked last failed; the phase is Closed again.
    void openFailed(vantor::LinkKind link, const QString& reason);
    // An open link went away without being asked (device removed, connection lost).
    void linkLost(vantor::LinkKind link, const QString& reason);

    void logEvent(const vantor::LogEvent& event);
    void countersChanged(const vantor::Counters& counters);
    void packetStatsChanged(const vantor::PacketStatsTable& stats);
    void lastGoodCount(int count);
    void registerReplyAccepted(int packet, const QByteArray& data, int registerCount);
    void bitReplyAccepted(int packet, const QByteArray& data, int bitCount);
    void commandRefused(const QString& reason);
    // The device answered a write or a typed frame with an exception; the reason names it.
    void writeRefused(const QString& reason);
    void frameSent(int packet);
    // A polled request of the packet (1..30) went unanswered.
    void noReply(int packet);
    // A polled request of the packet (1..30) was answered with exception `code`.
    void pollException(int packet, int code);

private:
    template <class Call> void queue(Call call);
    void connectSession();
    void setState(LinkState state);
    bool takeSerialAnswer(bool open);
    void onSerialOpened();
    void onSerialOpenFailed(const QString& reason);
    void onSerialClosed();
    void onSerialError(const QString& reason);
    void onTcpConnected();
    void onTcpConnectFailed(const QString& reason);
    void onTcpDisconnected(const QString& reason);

    std::unique_ptr<LinkThread> m_thread; // null when the session runs on the caller's thread
    CommSession* m_session;
    std::unique_ptr<CommSession> m_ownedSession;
    LinkState m_state;
    SerialSettings m_serialSettings;
    QString m_tcpHost;
    QString m_tcpPort;
    // Serial open (true) and close (false) requests not yet answered by the session. Only the
    // answer to the latest one changes the state: a quick open-close-open never shows the first.
    std::deque<bool> m_serialPending;
    int m_tcpPending = 0; // connects not yet answered
};

} // namespace vantor

Q_DECLARE_METATYPE(vantor::LinkState)
