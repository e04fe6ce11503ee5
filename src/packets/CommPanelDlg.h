#pragma once
// The communication panel: the packet table, configure and the sending buttons, the connection
// controls, the data format and address base, the counters and the communication log.
#include <QWidget>

#include "packets/PacketTable.h"

namespace vantor {

class CommSession;
class ConnectionControls;
class RegisterStore;
class SerialSelection;

class CCommPanelDlg : public QWidget {
    Q_OBJECT
public:
    CCommPanelDlg(CommSession* session, RegisterStore* store, SerialSelection* selection,
                  QWidget* parent = nullptr);

    PacketRows rows() const;           // the table as typed, with the check boxes
    void setRows(const PacketRows& rows);
    ConnectionControls* connectionControls() const;
    SerialSelection* serialSelection() const;

public slots:
    void Configure(); // "配置数据包"

signals:
    void statusMessage(const QString& text); // for the main window's status line
};

} // namespace vantor
