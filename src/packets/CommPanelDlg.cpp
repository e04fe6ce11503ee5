// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/CommPanelDlg.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <optional>

#include "modbus/LinkController.h"
#include "modbus/LogFormat.h"
#include "packets/CommLog.h"
#include "packets/CommPanelRules.h"
#include "packets/ConnectionControls.h"
#include "packets/CounterDisplay.h"
#include "packets/PacketListWidget.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "widgets/MessageBox.h"

namespace vantor {

namespace {

QString IntervalRefusal(const QString& text) {
    return QCoreApplication::translate("vantor::CCommPanelDlg", "发包间隔无效：%1").arg(text);
}

} // namespace

CCommPanelDlg::CCommPanelDlg(Workspace* workspace, LinkController* link, QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_link(link), m_store(workspace->store()),
      m_connection(new ConnectionControls(workspace, link, this)) {
    if (m_connection->objectName().isEmpty())
        m_connection->setObjectName(QStringLiteral("connectionControls"));
    m_counters = new CounterDisplay(this);

    // Left: the packet table with its buttons, the data format, the parameter buttons, the log's
    // pause and the project file. Right: the connection controls, the counters and the log, which
    // takes whatever height is left. On a 1366 x 768 screen the whole panel is in sight in a
    // window of the frame's working size (tight margins and spacing), and the log keeps eight
    // lines in a maximised one (nothing under it in its column).
    auto* leftColumn = new QWidget(this);
    auto* left = new QVBoxLayout(leftColumn);
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(kSpacing);
    left->addWidget(buildPacketGroup(), 1);
    left->addWidget(buildFormatGroup());
    left->addWidget(buildLaterButtons());

    auto* right = new QVBoxLayout;
    right->setSpacing(kSpacing);
    right->addWidget(m_connection);
    right->addWidget(m_counters);
    right->addWidget(buildLog(), 1);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kSpacing, kSpacing, kSpacing, kSpacing);
    layout->setSpacing(2 * kSpacing);
    // Room to spare goes first to the packet list until it shows its statistics whole.
    leftColumn->setMaximumWidth(leftColumn->sizeHint().width() + m_list->statisticsWidth());
    layout->addWidget(leftColumn, 2);
    layout->addLayout(right, 1);

    connectLink();
    connectWorkspace();
    onLinkKindChanged(m_workspace->linkKind());
}

void CCommPanelDlg::connectLink() {
    connect(m_link, &LinkController::logEvent, m_log, &CommLog::appendSessionEvent);
    connect(m_connection, &ConnectionControls::logLine, m_log, &CommLog::appendLine);
    connect(m_link, &LinkController::countersChanged, m_counters, &CounterDisplay::showCounters);
    connect(m_link, &LinkController::packetStatsChanged, m_list, &PacketListWidget::showStats);
    connect(m_link, &LinkController::lastGoodCount, m_counters, &CounterDisplay::showLastGoodCount);
    connect(m_link, &LinkController::stateChanged, this,
            [this](const LinkState& state) { showSending(state.polling); });
    connect(m_link, &LinkController::linkLost, this, [this](LinkKind link, const QString& reason) {
        emit statusMessage(LinkLostStatus(link, reason));
    });
    connect(m_link, &LinkController::opened, this, [this](LinkKind link) {
        emit statusMessage(LinkOpenedStatus(
            link, link == LinkKind::Serial ? m_link->serialSettings().portName
                                           : m_link->tcpHost() + ':' + m_link->tcpPort()));
    });
    connect(m_link, &LinkController::closed, this,
            [this](LinkKind link) { emit statusMessage(LinkClosedStatus(link)); });
}

void ConnectWorkspaceToLink(Workspace* workspace, LinkController* link) {
    QObject::connect(workspace, &Workspace::packetCheckChanged, link,
                     &LinkController::setPacketChecked);
    QObject::connect(workspace, &Workspace::allChecksChanged, link,
                     &LinkController::setAllPacketsChecked);
    QObject::connect(workspace, &Workspace::rowsChanged, link,
                     [workspace, link] { link->setPacketChecks(workspace->checks()); });
    // The interval is typed while sending is stopped (the field is locked while it runs); the
    // next start, of whichever kind, sends at it without another configure.
    QObject::connect(workspace, &Workspace::sendIntervalChanged, link, [workspace, link] {
        if (const std::optional<int> ms = workspace->strictSendInterval())
            link->setSendInterval(*ms);
    });
}

void CCommPanelDlg::connectWorkspace() {
    connect(m_workspace, &Workspace::linkKindChanged, this, &CCommPanelDlg::onLinkKindChanged);
    connect(m_workspace, &Workspace::sendIntervalChanged, this, [this](const QString& text) {
        if (m_interval->text() != text)
            m_interval->setText(text);
    });
}

// ---- table and settings ----------------------------------------------------------------------

PacketRows CCommPanelDlg::rows() const {
    return m_list->rows();
}

void CCommPanelDlg::setRows(const PacketRows& rows) {
    m_list->setRows(rows);
}

ConnectionControls* CCommPanelDlg::connectionControls() const {
    return m_connection;
}

int CCommPanelDlg::sendInterval() const {
    return m_workspace->sendInterval();
}

void CCommPanelDlg::setSendInterval(int ms) {
    m_workspace->setSendInterval(ms);
}

int CCommPanelDlg::dataFormat() const {
    return m_formats->checkedId();
}

void CCommPanelDlg::setDataFormat(int value) {
    if (QAbstractButton* radio = m_formats->button(value)) {
        radio->setChecked(true);
        m_store->setDataFormat(value);
    }
}

int CCommPanelDlg::addressBase() const {
    return m_bases->checkedId();
}

void CCommPanelDlg::setAddressBase(int base) {
    if (QAbstractButton* radio = m_bases->button(base)) {
        radio->setChecked(true);
        m_store->setAddressBase(base);
    }
}

// After the table is replaced the session learns all 30 check boxes.
// ---- actions ---------------------------------------------------------------------------------

// A send interval that is no number stops configure before anything changes. The refused rows are
// told in one message, a line each (a project of empty rows would otherwise bring up a box per
// row); the log line says whether every checked row will be sent.
void CCommPanelDlg::Configure() {
    m_list->commitEditor();
    const std::optional<int> interval = m_workspace->strictSendInterval();
    if (!interval) {
        ShowMessage(this, IntervalRefusal(m_workspace->sendIntervalText()));
        return;
    }
    const ConfigureResult result = m_workspace->configure();
    QStringList refused;
    for (const std::string& error : result.errors)
        refused << QString::fromStdString(error);
    if (!refused.isEmpty())
        ShowMessage(this, refused.join(QLatin1Char('\n')));
    m_link->configure(result.images, *interval);
    m_log->appendLine(QString::fromStdString(ConfigureOutcomeLine(result)));
}

// Cyclic sending runs on an open port with a valid interval; otherwise the user is told and the
// table stays editable.
void CCommPanelDlg::startSending() {
    m_list->commitEditor();
    const LinkState state = m_link->state();
    if (state.kind != LinkKind::Serial || !state.open()) {
        ShowMessage(this, tr("请先打开串口"));
        return;
    }
    if (!m_workspace->strictSendInterval()) {
        ShowMessage(this, IntervalRefusal(m_workspace->sendIntervalText()));
        return;
    }
    m_link->startPolling();
}

void CCommPanelDlg::pressStart() {
    press(m_workspace->linkKind() == LinkKind::Serial ? m_start : m_connection->tcpStartButton());
}

void CCommPanelDlg::pressStop() {
    press(m_workspace->linkKind() == LinkKind::Serial ? m_stop : m_connection->tcpStopButton());
}

void CCommPanelDlg::press(QPushButton* button) {
    if (button->isEnabled())
        button->click();
    else
        emit statusMessage(tr("“%1”现在不能用").arg(button->text()));
}

void CCommPanelDlg::stopSending() {
    m_link->stopPolling();
}

// While sending, the table and the interval cannot be edited.
void CCommPanelDlg::showSending(bool sending) {
    m_sending = sending;
    if (sending)
        m_list->commitEditor();
    m_list->setLocked(sending);
    m_interval->setEnabled(!sending);
}

void CCommPanelDlg::toggleSelectAll() {
    const SelectAllStep step = NextSelectAll(m_selectAllState);
    m_selectAllState = step.state;
    m_selectAll->setText(CommPanelText(step.caption));
    m_workspace->setAllChecked(step.checkAll);
}

void CCommPanelDlg::togglePause() {
    setLogScrolling(!m_logScrolling);
}

void CCommPanelDlg::setLogScrolling(bool on) {
    m_logScrolling = on;
    m_pause->setText(CommPanelText(PauseButtonCaption(m_logScrolling)));
    m_log->setPaused(!m_logScrolling);
    m_link->setLogScrolling(m_logScrolling);
}

void CCommPanelDlg::clearCounters() {
    m_link->clearCounters();
    m_counters->clearCounters();
}

void CCommPanelDlg::onFormatClicked(int value) {
    m_store->setDataFormat(value);
    Configure();
}

// Serial sending uses the panel's start and stop buttons; TCP has its own in the TCP group.
void CCommPanelDlg::onLinkKindChanged(LinkKind link) {
    const bool serial = link == LinkKind::Serial;
    m_start->setEnabled(serial);
    m_stop->setEnabled(serial);
    m_log->setLinkKind(link); // the session learns it from the connection controls
}

} // namespace vantor
