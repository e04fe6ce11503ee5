#pragma once
// The connection controls of the communication panel: the connection mode combo, the serial
// group (port, line settings, open/close, status) and the Modbus TCP group (server, function,
// header bytes, connect/start/stop).
#include <QWidget>
#include <array>
#include <deque>
#include <functional>

#include "modbus/CommandImages.h"
#include "registers/PacketTable.h"
#include "transport/PortWatcher.h"
#include "transport/SerialSettings.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor {

class CommSession;
class SerialSelection;

class ConnectionControls : public QWidget {
    Q_OBJECT
public:
    ConnectionControls(CommSession* session, SerialSelection* selection, QWidget* parent = nullptr);

    LinkKind linkKind() const;
    TcpHeader tcpHeader() const;   // from the header edits and the function combo
    QString serverAddress() const; // IP edit
    QString serverPort() const;    // port edit
    void setServerAddress(const QString& address);
    void setServerAddressSource(std::function<QString()> source);

    PortWatcher* portWatcher() const { return m_watcher; }
    // Lists the ports through another enumerator from now on and rebuilds the port list from it.
    void setPortEnumerator(PortEnumerator enumerator);

signals:
    void linkKindChanged(vantor::LinkKind link);
    // Cyclic sending started or stopped by these controls (serial open/close, TCP start/stop):
    // the panel disables or enables the packet list and the interval edit.
    void sendingChanged(bool sending);

private:
    QWidget* buildSerialGroup();
    QWidget* buildTcpGroup();
    void connectSession();
    void connectSelection();

    // Serial side.
    void onSettingChosen(int index, int (SerialSelection::*getter)() const,
                         void (SerialSelection::*setter)(int));
    void onPortTyped();
    void onSelectionChanged();
    void syncCombos();
    void onOpenClose();
    void onPortOpenChanged(bool open);
    void onSerialOpened();
    void onSerialOpenFailed();
    void onSerialClosed();
    void onSerialLost();
    bool takeAnswer(bool open);
    void showPortState(bool open, const QString& status);
    void onPortsChanged(bool removed);
    bool rebuildPorts(const QString& previousText);

    // TCP side.
    void onModeChosen(int index);
    void onConnect();
    void onTcpConnected();
    void onTcpConnectFailed();
    void onTcpDisconnected();
    void onTcpStart();
    void onTcpStop();
    void checkConnection();
    void setTcpEditsEnabled(bool enabled);

    CommSession* m_session;
    SerialSelection* m_selection;
    PortWatcher* m_watcher;
    std::function<QString()> m_serverAddressSource;

    QComboBox* m_mode = nullptr;
    QGroupBox* m_serialGroup = nullptr;
    QComboBox* m_port = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_dataBits = nullptr;
    QComboBox* m_stopBits = nullptr;
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
    SerialSettings m_openSettings;  // what the last open asked for
    bool m_lineOpen = false;        // the session reported the port open
    std::deque<bool> m_pending;     // open (true) and close requests not yet answered
    bool m_rebuilding = false;
    bool m_tcpConnected = false;
};

} // namespace vantor
