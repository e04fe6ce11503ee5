#pragma once
// The connection controls of the communication panel: the connection mode combo, the serial
// group (port, line settings, open/close, status) and the Modbus TCP group (server, function,
// header bytes, connect/start/stop).
#include <QWidget>

#include "modbus/CommandImages.h"
#include "packets/PacketTable.h"

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

signals:
    void linkKindChanged(vantor::LinkKind link);
    // Cyclic sending started or stopped by these controls (serial open/close, TCP start/stop):
    // the panel disables or enables the packet list and the interval edit.
    void sendingChanged(bool sending);
};

} // namespace vantor
