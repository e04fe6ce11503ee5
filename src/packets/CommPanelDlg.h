// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication panel: the packet table, configure and the sending buttons, the connection
// controls, the data format and address base, the counters and the communication log. It shows
// and edits the workspace and sends its commands through the link controller.
#include <QWidget>

#include "registers/PacketTable.h"

class QButtonGroup;
class QLineEdit;
class QPushButton;

namespace vantor {

class CommLog;
class ConnectionControls;
class CounterDisplay;
class LinkController;
class PacketListWidget;
class RegisterStore;
class Workspace;

// The session reads the check boxes and the send interval live: it learns every change the
// workspace makes, whichever panel or file made it (an interval only when it is a valid one).
// The owner of both calls this once.
void ConnectWorkspaceToLink(Workspace* workspace, LinkController* link);

class CCommPanelDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSpacing = 4; // between the panel's parts and inside its groups
    CCommPanelDlg(Workspace* workspace, LinkController* link, QWidget* parent = nullptr);

    PacketRows rows() const; // the table as typed, with the check boxes
    void setRows(const PacketRows& rows);
    ConnectionControls* connectionControls() const;

    PacketListWidget* packetList() const { return m_list; }
    CommLog* commLog() const { return m_log; }
    bool isSending() const { return m_sending; }
    int sendInterval() const; // the workspace's interval, read leniently
    void setSendInterval(int ms);
    // The radios, as a project sets them: the store follows, nothing is configured here.
    int dataFormat() const;
    void setDataFormat(int value); // 0..3
    int addressBase() const;
    void setAddressBase(int base); // 0 or 1; the point labels are rebuilt
    bool logScrolling() const { return m_logScrolling; }
    void setLogScrolling(bool on); // the log scrolls (true) or is paused, as "暂停" toggles it

public slots:
    void Configure(); // "配置数据包"
    // F5 and Shift+F5: the start or the stop button of the link kind chosen, as if clicked
    // ("自动发送数据包" and "停止发送数据包" on a serial line, "开始" and "停止" over TCP).
    void pressStart();
    void pressStop();

signals:
    void statusMessage(const QString& text); // for the main window's status line

private:
    QWidget* buildPacketGroup();
    QWidget* buildFormatGroup();
    QWidget* buildLaterButtons();
    QWidget* buildLog();
    QPushButton* makeButton(const QString& caption, const char* objectName);
    void connectLink();
    void connectWorkspace();

    void press(QPushButton* button);
    void startSending();
    void stopSending();
    void showSending(bool sending);
    void toggleSelectAll();
    void togglePause();
    void clearCounters();
    void onFormatClicked(int value);
    void onLinkKindChanged(vantor::LinkKind link);

    Workspace* m_workspace;
    LinkController* m_link;
    RegisterStore* m_store;
    ConnectionControls* m_connection;
    PacketListWidget* m_list = nullptr;
    CommLog* m_log = nullptr;
    CounterDisplay* m_counters = nullptr;
    QLineEdit* m_interval = nullptr;
    QPushButton* m_configure = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
    QPushButton* m_selectAll = nullptr;
    QPushButton* m_pause = nullptr;
    QButtonGroup* m_formats = nullptr;
    QButtonGroup* m_bases = nullptr;

    bool m_sending = false;
    bool m_selectAllState = true; // true: the next press of "全选" checks every row
    bool m_logScrolling = true;
};

} // namespace vantor
