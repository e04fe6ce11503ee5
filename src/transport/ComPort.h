// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial transport: one QSerialPort, used only on the thread the object lives on.
#include <QObject>
#include <QString>
#include <cstdint>
#include <span>

#include "transport/SerialSettings.h"

class QSerialPort;

namespace vantor {

// The step of opening a port that failed.
enum class OpenStep { None, NoName, Open, BaudRate, Parity, DataBits, StopBits, FlowControl };

inline constexpr const char* kPortMissingText =
    QT_TRANSLATE_NOOP("vantor::ComPort", "没有发现此串口或被占用");
// kPortMissingText in the user's language.
QString PortMissingText();

// What a failed open tells the user (in the user's language), naming the port as given:
// "请选择串口" without a name, "没有发现此串口或被占用：<port>（<detail>）" when it cannot be
// opened, and "串口 <port> 不支持该设置：数据位 6" for a setting it refused.
QString OpenFailureText(OpenStep step, const QString& port, const QString& value,
                        const QString& detail);
// The message box for such a text: a missing or busy port without the system's detail, any
// other as it reads.
QString OpenFailureMessage(const QString& reason);

class CComPort : public QObject {
    Q_OBJECT
public:
    explicit CComPort(QObject* parent = nullptr);
    ~CComPort() override;

    // Opens and configures the line (RTS on, buffers purged). On failure returns false, leaves
    // nothing open and keeps the step that failed and the text for the user (OpenFailureText).
    // Opening an open port closes it first.
    bool Open(const SerialSettings& settings);
    void Stop(); // closes the port; safe when closed
    bool isOpen() const;
    QString lastError() const { return m_lastError; }
    OpenStep failedStep() const { return m_failedStep; }
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
    bool fail(OpenStep step, const QString& port, const QString& value, const QString& detail);

    QSerialPort* m_port;
    QString m_lastError;
    OpenStep m_failedStep = OpenStep::None;
};

// Resolves what the user names a port by: a full path stays; a bare name becomes "/dev/<name>"
// on Linux when such a device exists.
QString ResolveSerialDevice(const QString& name);

} // namespace vantor
