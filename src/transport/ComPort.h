#pragma once
// The serial transport: one QSerialPort, used only on the thread the object lives on.
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>

#include "transport/SerialSettings.h"

class QSerialPort;

namespace vantor {

class CComPort : public QObject {
    Q_OBJECT
public:
    explicit CComPort(QObject* parent = nullptr);
    ~CComPort() override;

    // Opens and configures the line (RTS on, buffers purged). On failure returns false, leaves
    // nothing open and keeps the reason in lastError(). Opening an open port closes it first.
    bool Open(const SerialSettings& settings);
    void Stop(); // closes the port; safe when closed
    bool isOpen() const;
    QString lastError() const { return m_lastError; }
    QString portName() const;

    // Purges both directions (a late reply still queued is discarded), then writes.
    // Returns false when the port is not open or the write fails.
    bool Write(std::span<const std::uint8_t> bytes);

signals:
    void bytesReceived(QByteArray bytes); // in order, as read; the owner judges them one by one
    void portError(QString text);         // the line failed while open (device removed …)

private:
    void onReadyRead();
    void onError(int error);

    QSerialPort* m_port;
    QString m_lastError;
};

// Resolves what the user names a port by: a full path stays; a bare name becomes "/dev/<name>"
// on Linux when such a device exists.
QString ResolveSerialDevice(const QString& name);

} // namespace vantor
