#pragma once
// The Modbus TCP transport: one QTcpSocket, used only on the thread the object lives on.
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>

class QTcpSocket;

namespace vantor {

class CModbusSocket : public QObject {
    Q_OBJECT
public:
    explicit CModbusSocket(QObject* parent = nullptr);
    ~CModbusSocket() override;

    // Connects, waiting up to timeoutMs. True when connected; any earlier connection is
    // closed first. On failure nothing stays open.
    bool Connect(const QString& host, quint16 port, int timeoutMs = 3000);
    void Close();
    bool isConnected() const;

    bool Send(std::span<const std::uint8_t> bytes);

signals:
    void bytesReceived(QByteArray bytes); // raw stream bytes; the session frames them
    void connectionLost(QString reason);  // the peer closed or the connection failed while up

private:
    QTcpSocket* m_socket;
    bool m_closing = false;
};

} // namespace vantor
