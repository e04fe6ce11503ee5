// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/ConnectionControls.h"

#include <algorithm>
#include <utility>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "modbus/LinkController.h"
#include "modbus/LogFormat.h"
#include "registers/SerialSelection.h"
#include "transport/ComPort.h"
#include "widgets/MessageBox.h"

namespace vantor {

namespace {

// A header edit's text as its byte; text past the range reads as the nearest end.
std::uint8_t HeaderByte(const QLineEdit* edit) {
    return static_cast<std::uint8_t>(std::clamp(edit->text().trimmed().toInt(), 0, 255));
}

} // namespace

void ConnectionControls::connectSelection() {
    connect(m_selection, &SerialSelection::changed, this, &ConnectionControls::onSelectionChanged);
    connect(m_selection, &SerialSelection::portOpenChanged, this,
            &ConnectionControls::onPortOpenChanged);
    connect(m_openClose, &QPushButton::clicked, this, &ConnectionControls::onOpenClose);
}

void ConnectionControls::connectLink() {
    connect(m_link, &LinkController::stateChanged, this, &ConnectionControls::onLinkState);
    connect(m_link, &LinkController::aboutToOpen, this, [this](LinkKind link) {
        if (link == LinkKind::Serial) {
            m_selection->setPortOpen(true); // the record is set by the request, whatever follows
        } else {
            setTcpEditsEnabled(false);
            m_tcpStatus->clear();
        }
    });
    connect(m_link, &LinkController::opened, this, &ConnectionControls::onOpened);
    connect(m_link, &LinkController::openFailed, this, &ConnectionControls::onOpenFailed);
    connect(m_link, &LinkController::closed, this, &ConnectionControls::onClosed);
    connect(m_link, &LinkController::linkLost, this, &ConnectionControls::onLinkLost);
}

// Every edit goes into the workspace as it changes (typed or set by the program), and the edits
// show what the workspace holds when something else changes it.
void ConnectionControls::connectTcpEdits() {
    showTcpSettings(true);
    for (QLineEdit* edit : {m_ip, m_tcpPort})
        connect(edit, &QLineEdit::textChanged, this, &ConnectionControls::storeTcpEdits);
    for (QLineEdit* edit : m_header)
        connect(edit, &QLineEdit::textChanged, this, &ConnectionControls::storeTcpEdits);
    connect(m_function, &QComboBox::currentIndexChanged, this, &ConnectionControls::storeTcpEdits);
    connect(m_workspace, &Workspace::tcpChanged, this, [this] {
        showTcpSettings(false);
        setTcpEditsEnabled(m_ip->isEnabled()); // the unit edit follows the function entry
    });
}

void ConnectionControls::storeTcpEdits() {
    if (m_showingTcp)
        return;
    const auto byte = HeaderByte;
    TcpSettings tcp = m_workspace->tcp();
    if (m_function->currentIndex() != tcp.header.functionIndex)
        tcp.header = WithFunctionEntry(tcp.header, m_function->currentIndex());
    tcp.host = m_ip->text();
    tcp.port = m_tcpPort->text();
    tcp.header.transactionHi = byte(m_header[0]);
    tcp.header.transactionLo = byte(m_header[1]);
    tcp.header.protocolHi = byte(m_header[2]);
    tcp.header.protocolLo = byte(m_header[3]);
    tcp.header.unit = byte(m_header[4]);
    m_showingTcp = true; // what the edits hold needs no showing back
    m_workspace->setTcp(tcp);
    m_showingTcp = false;
}

void ConnectionControls::showTcpSettings(bool fill) {
    if (m_showingTcp)
        return;
    const TcpSettings& tcp = m_workspace->tcp();
    m_showingTcp = true;
    const auto show = [](QLineEdit* edit, const QString& text) {
        if (edit->text() != text)
            edit->setText(text);
    };
    // A header edit keeps its typed text while it reads as the stored byte ("007" as 7).
    const auto showByte = [fill](QLineEdit* edit, std::uint8_t value) {
        if (fill || HeaderByte(edit) != value)
            edit->setText(QString::number(value));
    };
    show(m_ip, tcp.host);
    show(m_tcpPort, tcp.port);
    showByte(m_header[0], tcp.header.transactionHi);
    showByte(m_header[1], tcp.header.transactionLo);
    showByte(m_header[2], tcp.header.protocolHi);
    showByte(m_header[3], tcp.header.protocolLo);
    showByte(m_header[4], tcp.header.unit);
    m_function->setCurrentIndex(tcp.header.functionIndex);
    m_showingTcp = false;
}

LinkKind ConnectionControls::linkKind() const {
    return m_workspace->linkKind();
}

TcpHeader ConnectionControls::tcpHeader() const {
    return m_workspace->tcp().header;
}

QString ConnectionControls::serverAddress() const {
    return m_workspace->tcp().host;
}

QString ConnectionControls::serverPort() const {
    return m_workspace->tcp().port;
}

void ConnectionControls::setServerAddress(const QString& address) {
    TcpSettings tcp = m_workspace->tcp();
    tcp.host = address;
    m_workspace->setTcp(tcp);
}

void ConnectionControls::setServerAddressSource(std::function<QString()> source) {
    m_serverAddressSource = std::move(source);
}

void ConnectionControls::setPortEnumerator(PortEnumerator enumerator) {
    m_watcher->setEnumerator(std::move(enumerator));
    rebuildPorts(QString());
}

// ---- Modbus TCP ------------------------------------------------------------------------------

void ConnectionControls::onModeChosen(int index) {
    if (index < 0 || index >= kLinkKindCount)
        return;
    const auto link = static_cast<LinkKind>(index);
    if (UsesTcpConnection(link) && m_serverAddressSource)
        setServerAddress(m_serverAddressSource());
    m_workspace->setLinkKind(link);
}

// The workspace's link kind changed (here or elsewhere): the link of the mode left is closed,
// the groups follow and the link learns the new mode.
void ConnectionControls::onLinkKind(LinkKind link) {
    if (link != m_linkKind)
        closeLinkOf(std::exchange(m_linkKind, link));
    const bool tcp = UsesTcpConnection(link);
    m_mode->setCurrentIndex(static_cast<int>(link));
    m_serialGroup->setVisible(!tcp);
    m_tcpGroup->setVisible(tcp);
    // RTU over TCP sends the packets' own serial frames: no function or MBAP header applies.
    setTcpEditsEnabled(m_ip->isEnabled());
    emit linkKindChanged(link);
    m_link->setLinkKind(link);
}

// A port or connection does not stay open under another mode: it is closed as its own button
// closes it. A connection also belongs to its framing, so it closes between the two TCP modes.
void ConnectionControls::closeLinkOf(LinkKind left) {
    if (left == LinkKind::Serial) {
        if (!m_selection->portOpen())
            return;
        m_link->closeSerial();
        emit linkStoppedByUser(LinkKind::Serial);
        return;
    }
    const LinkState state = m_link->state();
    const bool connected = state.kind == LinkKind::Tcp && state.phase != LinkPhase::Closed;
    if (!connected && !state.polling)
        return;
    if (state.polling)
        m_link->tcpStop();
    closeTcpConnection();
    setTcpEditsEnabled(true);
    m_tcpStatus->clear();
    emit linkStoppedByUser(LinkKind::Tcp);
}

void ConnectionControls::closeTcpConnection() {
    const LinkState state = m_link->state();
    if (state.kind != LinkKind::Tcp || state.phase == LinkPhase::Closed)
        return;
    const QString line =
        tr("Modbus TCP/IP 连接已关闭：%1:%2").arg(m_link->tcpHost(), m_link->tcpPort());
    emit logLine(QString::fromStdString(NoticeLine(LocalTimeOfDay(), line.toStdString())));
    m_link->disconnectTcp();
}

void ConnectionControls::onLinkState(const LinkState& state) {
    if (state.polling != m_sending) {
        m_sending = state.polling;
        emit sendingChanged(m_sending);
    }
}

void ConnectionControls::onOpened(LinkKind link) {
    if (link == LinkKind::Serial) {
        showPortState(true, PortStatusText(m_link->serialSettings(), true));
        return;
    }
    m_tcpStatus->clear();
    checkConnection();
}

// A failed serial open names the setting the port refused, or the port as missing or busy, and
// then shows the port closed again: nothing is open, and the next press opens.
void ConnectionControls::onOpenFailed(LinkKind link, const QString& reason) {
    if (link == LinkKind::Serial) {
        ShowMessage(this, OpenFailureMessage(reason));
        m_link->closeSerial();
        return;
    }
    ShowMessage(this, tr("连接服务器失败!"));
    setTcpEditsEnabled(true);
}

void ConnectionControls::onClosed(LinkKind link) {
    if (link != LinkKind::Serial)
        return;
    m_selection->setPortOpen(false);
    showPortState(false, QCoreApplication::translate("vantor::SerialSelection", kPortClosedStatus));
}

void ConnectionControls::onLinkLost(LinkKind link) {
    if (link == LinkKind::Serial) {
        onSerialLost();
        return;
    }
    m_tcpStatus->setText(tr("连接已断开"));
    m_tcpStatus->setToolTip(m_tcpStatus->text()); // the label may be cut where room is short
    setTcpEditsEnabled(true);
}

void ConnectionControls::setTcpEditsEnabled(bool enabled) {
    m_mode->setEnabled(enabled);
    m_ip->setEnabled(enabled);
    m_tcpPort->setEnabled(enabled);
    const bool mbap = m_workspace->linkKind() == LinkKind::Tcp;
    m_function->setEnabled(enabled && mbap);
    for (QLineEdit* edit : m_header)
        edit->setEnabled(enabled && mbap);
    // Without a fixed unit each packet's slave is its unit: the field would change nothing.
    m_header[4]->setEnabled(enabled && mbap && m_workspace->tcp().header.fixedUnit);
}

void ConnectionControls::onConnect() {
    if (serverAddress().trimmed().isEmpty() || serverPort().trimmed().isEmpty()) {
        ShowMessage(this, tr("请检查服务器地址及端口号!"));
        return;
    }
    emit linkOpeningByUser(LinkKind::Tcp);
    m_link->connectTcp(serverAddress(), serverPort());
}

void ConnectionControls::checkConnection() {
    const LinkState state = m_link->state();
    if (state.kind != LinkKind::Tcp || !state.open())
        ShowMessage(this, tr("请先建立连接!"));
    else if (serverAddress().trimmed().isEmpty() || serverPort().trimmed().isEmpty())
        ShowMessage(this, tr("请检查服务器地址及端口号!"));
}

// Polling starts whatever the check found: without a connection nothing goes out, and a
// later "连接" lets it run. Server fields edited since the connection was made are taken now:
// the old connection is closed and polling starts on the new one once it stands.
void ConnectionControls::onTcpStart() {
    const LinkState state = m_link->state();
    const bool moved = m_link->tcpHost() != serverAddress() || m_link->tcpPort() != serverPort();
    const bool filled = !serverAddress().trimmed().isEmpty() && !serverPort().trimmed().isEmpty();
    if (state.kind == LinkKind::Tcp && state.open() && moved && filled) {
        closeTcpConnection();
        m_link->connectTcp(serverAddress(), serverPort());
    } else {
        checkConnection();
    }
    m_link->tcpStart();
}

void ConnectionControls::onTcpStop() {
    m_link->tcpStop();
    setTcpEditsEnabled(true);
    emit linkStoppedByUser(LinkKind::Tcp);
}

} // namespace vantor
