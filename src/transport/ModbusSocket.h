// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Modbus TCP transport: one QTcpSocket, used only on the thread the object lives on. Nothing
// in it blocks but WaitForBytes, for no longer than its caller asks: the link thread stays free
// to stop at any moment.
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>

class QTcpSocket;
class QTimer;

namespace vantor {

class CModbusSocket : public QObject {
    Q_OBJECT
public:
    explicit CModbusSocket(QObject* parent = nullptr);
    ~CModbusSocket() override;

    // Starts a connection and returns at once; connected() or connectFailed() follows, the
    // latter also after timeoutMs, and for an attempt that a later Connect or Close ends. Any
    // earlier connection is closed first. On failure nothing stays open.
    void Connect(const QString& host, quint16 port, int timeoutMs = 3000);
    void Close();
    bool isConnected() const;

    bool Send(std::span<const std::uint8_t> bytes);
    // Waits up to ms for bytes on the connection and delivers them as bytesReceived before it
    // returns, without a turn of the event loop. False: nothing came, or the connection is
    // closing (the socket then reports that as usual), or the platform waits in the event loop
    // only.
    bool WaitForBytes(int ms);

signals:
    void bytesReceived(QByteArray bytes); // raw stream bytes; the session frames them
    void connectionLost(QString reason);  // the peer closed or the connection failed while up
    void connected();
    void connectFailed(QString reason);

private:
    void endAttempt(const QString& failure); // empty: connected

    QTcpSocket* m_socket;
    QByteArray m_received; // WaitForBytes's read buffer
    QTimer* m_connectTimer;
    bool m_closing = false;
    bool m_connecting = false;
};

} // namespace vantor
