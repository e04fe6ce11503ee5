// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The connection controls of the communication panel: the connection mode combo, the serial
// group (port, line settings, open/close, status) and the Modbus TCP group (server, function,
// header bytes, connect/start/stop). The choices live in the workspace; opening, closing and
// polling go through the link controller, whose answers these controls show.
#include <QWidget>
#include <array>
#include <functional>

#include "modbus/CommandImages.h"
#include "registers/PacketTable.h"
#include "registers/Workspace.h"
#include "transport/PortWatcher.h"
#include "transport/SerialSettings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor {

class LinkController;
class SerialSelection;
class SerialSettingsForm;
struct LinkState;

class ConnectionControls : public QWidget {
    Q_OBJECT
public:
    ConnectionControls(Workspace* workspace, LinkController* link, QWidget* parent = nullptr);

    LinkKind linkKind() const;     // the workspace's
    TcpHeader tcpHeader() const;   // the workspace's: the header edits and the function combo
    QString serverAddress() const; // IP edit
    QString serverPort() const;    // port edit
    void setServerAddress(const QString& address);
    void setServerAddressSource(std::function<QString()> source);

    PortWatcher* portWatcher() const { return m_watcher; }
    // "开始" and "停止" of the Modbus TCP group.
    QPushButton* tcpStartButton() const { return m_tcpStart; }
    QPushButton* tcpStopButton() const { return m_tcpStop; }
    // Lists the ports through another enumerator from now on and rebuilds the port list from it.
    void setPortEnumerator(PortEnumerator enumerator);

signals:
    void linkKindChanged(vantor::LinkKind link);
    // Cyclic sending armed or disarmed on the link (serial open/close, TCP start/stop).
    void sendingChanged(bool sending);
    // The user opens the port or connects over TCP: emitted before the link is asked.
    void linkOpeningByUser(vantor::LinkKind link);
    // The user closed the port or stopped TCP (also by choosing another mode).
    void linkStoppedByUser(vantor::LinkKind link);
    // A line for the communication log, time stamp included.
    void logLine(const QString& line);

private:
    QWidget* buildSerialGroup();
    QWidget* buildTcpGroup();
    void connectLink();
    void connectSelection();
    void connectTcpEdits();
    void storeTcpEdits();
    void showTcpSettings(bool fill); // fill: every edit, also those that read the same
    void onLinkKind(vantor::LinkKind link);
    void closeLinkOf(vantor::LinkKind left);
    void closeTcpConnection(); // logged; polling stays as it is
    void onLinkState(const vantor::LinkState& state);
    void onOpened(vantor::LinkKind link);
    void onOpenFailed(vantor::LinkKind link, const QString& reason);
    void onClosed(vantor::LinkKind link);
    void onLinkLost(vantor::LinkKind link);

    // Serial side.
    void onSelectionChanged();
    void onOpenClose();
    void onPortOpenChanged(bool open);
    void onSerialLost();
    void showPortState(bool open, const QString& status);
    void onPortsChanged(bool removed);
    bool rebuildPorts(const QString& previousText);

    // TCP side.
    void onModeChosen(int index);
    void onConnect();
    void onTcpStart();
    void onTcpStop();
    void checkConnection();
    void setTcpEditsEnabled(bool enabled);

    Workspace* m_workspace;
    LinkController* m_link;
    SerialSelection* m_selection;
    PortWatcher* m_watcher;
    std::function<QString()> m_serverAddressSource;

    QComboBox* m_mode = nullptr;
    QGroupBox* m_serialGroup = nullptr;
    SerialSettingsForm* m_form = nullptr;
    QPushButton* m_openClose = nullptr;
    QLabel* m_indicator = nullptr;
    QLabel* m_status = nullptr;

    QGroupBox* m_tcpGroup = nullptr;
    QLineEdit* m_ip = nullptr;
    QLineEdit* m_tcpPort = nullptr;
    QComboBox* m_function = nullptr;
    std::array<QLineEdit*, 5> m_header{};
    QPushButton* m_connect = nullptr;
    QPushButton* m_tcpStart = nullptr;
    QPushButton* m_tcpStop = nullptr;
    QLabel* m_tcpStatus = nullptr;

    SerialSettings m_shownSettings; // the settings the status line last reflected
    bool m_rebuilding = false;
    bool m_showingTcp = false; // edits being filled from the workspace
    bool m_sending = false;
    LinkKind m_linkKind = LinkKind::Serial; // the mode the groups show
};

} // namespace vantor
