// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/LinkController.h"

#include "modbus/CommSession.h"
#include "modbus/LinkThread.h"

namespace vantor {

LinkController::LinkController(Placement placement, QObject* parent) : QObject(parent) {
    RegisterSessionTypes();
    qRegisterMetaType<LinkState>("vantor::LinkState");
    if (placement == Placement::LinkThread) {
        m_thread = std::make_unique<LinkThread>();
        m_session = m_thread->session();
    } else {
        m_ownedSession = std::make_unique<CommSession>();
        m_session = m_ownedSession.get();
    }
    connectSession();
}

LinkController::~LinkController() = default;

// The session may live on the link thread: every call to it is queued, also on one thread, so
// that the order of effects is the same in tests and in the program.
template <class Call> void LinkController::queue(Call call) {
    QMetaObject::invokeMethod(
        m_session, [session = m_session, call = std::move(call)] { call(session); },
        Qt::QueuedConnection);
}

void LinkController::connectSession() {
    CommSession* s = m_session;
    connect(s, &CommSession::logEvent, this, &LinkController::logEvent);
    connect(s, &CommSession::countersChanged, this, &LinkController::countersChanged);
    connect(s, &CommSession::packetStatsChanged, this, &LinkController::packetStatsChanged);
    connect(s, &CommSession::lastGoodCount, this, &LinkController::lastGoodCount);
    connect(s, &CommSession::registerReplyAccepted, this, &LinkController::registerReplyAccepted);
    connect(s, &CommSession::bitReplyAccepted, this, &LinkController::bitReplyAccepted);
    connect(s, &CommSession::commandRefused, this, &LinkController::commandRefused);
    connect(s, &CommSession::writeRefused, this, &LinkController::writeRefused);
    connect(s, &CommSession::frameSent, this, &LinkController::frameSent);
    connect(s, &CommSession::noReply, this, &LinkController::noReply);
    connect(s, &CommSession::pollException, this, &LinkController::pollException);
    connect(s, &CommSession::serialOpened, this, &LinkController::onSerialOpened);
    connect(s, &CommSession::serialOpenFailed, this, &LinkController::onSerialOpenFailed);
    connect(s, &CommSession::serialClosed, this, &LinkController::onSerialClosed);
    connect(s, &CommSession::linkError, this, &LinkController::onSerialError);
    connect(s, &CommSession::tcpConnected, this, &LinkController::onTcpConnected);
    connect(s, &CommSession::tcpConnectFailed, this, &LinkController::onTcpConnectFailed);
    connect(s, &CommSession::tcpDisconnected, this, &LinkController::onTcpDisconnected);
}

void LinkController::setState(LinkState state) {
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(m_state);
}

// ---- configuration ---------------------------------------------------------------------------

void LinkController::configure(const CommandImages& images, int sendIntervalMs) {
    queue([images, sendIntervalMs](CommSession* s) { s->configureImages(images, sendIntervalMs); });
}

void LinkController::setSendInterval(int ms) {
    queue([ms](CommSession* s) { s->setSendInterval(ms); });
}

void LinkController::setReplyTimeout(int ms) {
    queue([ms](CommSession* s) { s->setReplyTimeout(ms); });
}

void LinkController::setPacketChecked(int packet, bool checked) {
    queue([packet, checked](CommSession* s) { s->setPacketChecked(packet, checked); });
}

void LinkController::setPacketChecks(const std::array<bool, kPacketCount>& checked) {
    queue([checked](CommSession* s) {
        for (int p = 1; p <= kPacketCount; ++p)
            s->setPacketChecked(p, checked[static_cast<std::size_t>(p - 1)]);
    });
}

void LinkController::setAllPacketsChecked(bool checked) {
    queue([checked](CommSession* s) { s->setAllPacketsChecked(checked); });
}

void LinkController::setLinkKind(LinkKind link) {
    queue([link](CommSession* s) { s->setLinkKind(link); });
}

void LinkController::setLogScrolling(bool on) {
    queue([on](CommSession* s) { s->setLogScrolling(on); });
}

void LinkController::clearCounters() {
    queue([](CommSession* s) { s->clearCounters(); });
}

// ---- serial line -----------------------------------------------------------------------------

void LinkController::openSerial(const SerialSettings& settings) {
    emit aboutToOpen(LinkKind::Serial);
    m_serialSettings = settings;
    m_serialPending.push_back(true);
    setState({LinkKind::Serial, LinkPhase::Opening, m_state.polling});
    queue([settings](CommSession* s) { s->openSerial(settings); });
}

void LinkController::closeSerial() {
    m_serialPending.push_back(false);
    setState({LinkKind::Serial, LinkPhase::Closed, false});
    emit closed(LinkKind::Serial);
    queue([](CommSession* s) { s->closeSerial(); });
}

// The session answers the requests in the order they were made.
bool LinkController::takeSerialAnswer(bool open) {
    if (!m_serialPending.empty() && m_serialPending.front() == open)
        m_serialPending.pop_front();
    return m_serialPending.empty();
}

void LinkController::onSerialOpened() {
    if (!takeSerialAnswer(true))
        return;
    // The session starts polling with the port.
    setState({LinkKind::Serial, LinkPhase::Open, true});
    emit opened(LinkKind::Serial);
}

void LinkController::onSerialOpenFailed(const QString& reason) {
    if (!takeSerialAnswer(true))
        return;
    setState({LinkKind::Serial, LinkPhase::Closed, m_state.polling});
    emit openFailed(LinkKind::Serial, reason);
}

void LinkController::onSerialClosed() {
    if (!m_serialPending.empty() && !m_serialPending.front()) {
        m_serialPending.pop_front(); // the answer to a close asked here
        return;
    }
    onSerialError(QString());
}

// The line failed while open (device unplugged): the session has closed it and stopped polling.
void LinkController::onSerialError(const QString& reason) {
    if (!m_serialPending.empty() || m_state.kind != LinkKind::Serial || !m_state.open())
        return;
    setState({LinkKind::Serial, LinkPhase::Closed, false});
    emit linkLost(LinkKind::Serial, reason);
}

// ---- Modbus TCP ------------------------------------------------------------------------------

void LinkController::connectTcp(const QString& host, const QString& port) {
    emit aboutToOpen(LinkKind::Tcp);
    m_tcpHost = host;
    m_tcpPort = port;
    ++m_tcpPending;
    setState({LinkKind::Tcp, LinkPhase::Opening, m_state.polling});
    queue([host, port](CommSession* s) { s->connectTcp(host, port); });
}

void LinkController::disconnectTcp() {
    if (m_state.kind == LinkKind::Tcp)
        setState({LinkKind::Tcp, LinkPhase::Closed, m_state.polling});
    emit closed(LinkKind::Tcp);
    queue([](CommSession* s) { s->disconnectTcp(); });
}

void LinkController::onTcpConnected() {
    if (m_tcpPending > 0 && --m_tcpPending > 0)
        return;
    setState({LinkKind::Tcp, LinkPhase::Open, m_state.polling});
    emit opened(LinkKind::Tcp);
}

void LinkController::onTcpConnectFailed(const QString& reason) {
    if (m_tcpPending > 0 && --m_tcpPending > 0)
        return;
    setState({LinkKind::Tcp, LinkPhase::Closed, m_state.polling});
    emit openFailed(LinkKind::Tcp, reason);
}

// Polling is disarmed with the lost connection: a later connect does not resume it until the
// user starts it again.
void LinkController::onTcpDisconnected(const QString& reason) {
    if (m_state.kind == LinkKind::Tcp) {
        setState({LinkKind::Tcp, LinkPhase::Closed, false});
        queue([](CommSession* s) { s->tcpStop(); });
    }
    emit linkLost(LinkKind::Tcp, reason);
}

// ---- polling and writes ----------------------------------------------------------------------

void LinkController::startPolling() {
    setState({m_state.kind, m_state.phase, true});
    queue([](CommSession* s) { s->startPolling(); });
}

void LinkController::stopPolling() {
    setState({m_state.kind, m_state.phase, false});
    queue([](CommSession* s) { s->stopPolling(); });
}

void LinkController::tcpStart() {
    setState({m_state.kind, m_state.phase, true});
    queue([](CommSession* s) { s->tcpStart(); });
}

void LinkController::tcpStop() {
    setState({m_state.kind, m_state.phase, false});
    queue([](CommSession* s) { s->tcpStop(); });
}

void LinkController::requestOneShot(const QString& commandText) {
    queue([commandText](CommSession* s) { s->requestOneShot(commandText); });
}

void LinkController::requestBlockWrite(const QStringList& commandTexts) {
    queue([commandTexts](CommSession* s) { s->requestBlockWrite(commandTexts); });
}

void LinkController::requestPageWrite(const QString& commandText) {
    queue([commandText](CommSession* s) { s->requestPageWrite(commandText); });
}

Counters LinkController::closeAndReadCounters(PacketStatsTable* stats) {
    // The session's closed answer is one asked for, not a lost line.
    m_serialPending.push_back(false);
    setState({m_state.kind, LinkPhase::Closed, false});
    Counters counters;
    const auto close = [session = m_session, &counters, stats] {
        session->closeSerial();
        session->disconnectTcp();
        counters = session->counters();
        if (stats)
            *stats = session->packetStats();
    };
    if (m_thread)
        QMetaObject::invokeMethod(m_session, close, Qt::BlockingQueuedConnection);
    else
        close();
    return counters;
}

} // namespace vantor
