// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/ComPort.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSerialPort>
#include <QSignalBlocker>
#include <algorithm>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace vantor {

namespace {

bool ToParity(char letter, QSerialPort::Parity& parity) {
    switch (letter) {
    case 'N':
        parity = QSerialPort::NoParity;
        return true;
    case 'O':
        parity = QSerialPort::OddParity;
        return true;
    case 'E':
        parity = QSerialPort::EvenParity;
        return true;
    default:
        return false;
    }
}

// A setting the line refused (or that no line takes) and the value as the user chose it.
struct Refusal {
    OpenStep step = OpenStep::None;
    QString value;
};

QString ParityText(char letter) {
    switch (letter) {
    case 'N':
        return QStringLiteral("NONE");
    case 'O':
        return QStringLiteral("ODD");
    case 'E':
        return QStringLiteral("EVEN");
    default:
        return QString(QChar::fromLatin1(letter));
    }
}

Refusal SettingsProblem(const SerialSettings& s) {
    QSerialPort::Parity parity;
    if (s.baudRate <= 0)
        return {OpenStep::BaudRate, QString::number(s.baudRate)};
    if (!ToParity(s.parity, parity))
        return {OpenStep::Parity, ParityText(s.parity)};
    if (s.dataBits < 5 || s.dataBits > 8)
        return {OpenStep::DataBits, QString::number(s.dataBits)};
    if (s.stopBits != 1 && s.stopBits != 2)
        return {OpenStep::StopBits, QString::number(s.stopBits)};
    return {};
}

// The setting the line refused first, if any.
Refusal ApplySettings(QSerialPort& port, const SerialSettings& s) {
    QSerialPort::Parity parity = QSerialPort::NoParity;
    ToParity(s.parity, parity);
    if (!port.setBaudRate(s.baudRate))
        return {OpenStep::BaudRate, QString::number(s.baudRate)};
    if (!port.setParity(parity))
        return {OpenStep::Parity, ParityText(s.parity)};
    if (!port.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)))
        return {OpenStep::DataBits, QString::number(s.dataBits)};
    if (!port.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop))
        return {OpenStep::StopBits, QString::number(s.stopBits)};
    if (!port.setFlowControl(QSerialPort::NoFlowControl))
        return {OpenStep::FlowControl, QStringLiteral("NONE")};
    return {};
}

QString SettingName(OpenStep step) {
    switch (step) {
    case OpenStep::BaudRate:
        return QCoreApplication::translate("vantor::ComPort", "波特率");
    case OpenStep::Parity:
        return QCoreApplication::translate("vantor::ComPort", "校验位");
    case OpenStep::DataBits:
        return QCoreApplication::translate("vantor::ComPort", "数据位");
    case OpenStep::StopBits:
        return QCoreApplication::translate("vantor::ComPort", "停止位");
    default:
        return QCoreApplication::translate("vantor::ComPort", "流控制");
    }
}

} // namespace

QString PortMissingText() {
    return QCoreApplication::translate("vantor::ComPort", kPortMissingText);
}

QString OpenFailureText(OpenStep step, const QString& port, const QString& value,
                        const QString& detail) {
    switch (step) {
    case OpenStep::None:
        return {};
    case OpenStep::NoName:
        return QCoreApplication::translate("vantor::ComPort", "请选择串口");
    case OpenStep::Open:
        return QCoreApplication::translate("vantor::ComPort", "%1：%2（%3）")
            .arg(PortMissingText(), port, detail);
    default:
        return QCoreApplication::translate("vantor::ComPort", "串口 %1 不支持该设置：%2 %3")
            .arg(port, SettingName(step), value);
    }
}

QString OpenFailureMessage(const QString& reason) {
    const QString missing = PortMissingText();
    return reason.startsWith(missing) ? missing : reason;
}

QString ResolveSerialDevice(const QString& name) {
    const QString trimmed = name.trimmed();
#ifdef Q_OS_UNIX
    if (!trimmed.isEmpty() && !trimmed.contains(QLatin1Char('/'))) {
        const QString path = QStringLiteral("/dev/") + trimmed;
        if (QFileInfo::exists(path))
            return path;
    }
#endif
    return trimmed;
}

CComPort::CComPort(QObject* parent) : QObject(parent), m_port(new QSerialPort(this)) {
    connect(m_port, &QSerialPort::readyRead, this, &CComPort::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this,
            [this](QSerialPort::SerialPortError error) { onError(static_cast<int>(error)); });
}

CComPort::~CComPort() {
    // No signal may reach a half-destroyed object while the port shuts down.
    m_port->disconnect(this);
    m_port->close();
}

bool CComPort::Open(const SerialSettings& settings) {
    Stop();
    m_lastError.clear();
    m_failedStep = OpenStep::None;

    const QString port = settings.portName.trimmed();
    const QString device = ResolveSerialDevice(port);
    if (device.isEmpty())
        return fail(OpenStep::NoName, port, {}, {});
    if (const Refusal refused = SettingsProblem(settings); refused.step != OpenStep::None)
        return fail(refused.step, port, refused.value, {});

    m_port->setPortName(device);
    m_port->setObjectName(device); // the device as opened, for portName() and messages
    if (!m_port->open(QIODevice::ReadWrite)) {
        const QString reason = m_port->errorString();
        m_port->close();
        return fail(OpenStep::Open, port, {}, reason);
    }

    // Failures while configuring are reported through the return values; the error signal
    // must not treat them as a line failure.
    const QSignalBlocker quiet(m_port);
    if (const Refusal refused = ApplySettings(*m_port, settings); refused.step != OpenStep::None) {
        m_port->close();
        return fail(refused.step, port, refused.value, {});
    }
    // Pseudo-terminals have no modem lines; the refusal there is harmless.
    m_port->setRequestToSend(true);
    m_port->clearError();
    m_port->clear(QSerialPort::AllDirections);
    return true;
}

bool CComPort::fail(OpenStep step, const QString& port, const QString& value,
                    const QString& detail) {
    m_failedStep = step;
    m_lastError = OpenFailureText(step, port, value, detail);
    return false;
}

void CComPort::Stop() {
    if (m_port->isOpen())
        m_port->close();
}

bool CComPort::isOpen() const {
    return m_port->isOpen();
}

QString CComPort::portName() const {
    return m_port->objectName();
}

bool CComPort::Write(std::span<const std::uint8_t> bytes) {
    if (!m_port->isOpen())
        return false;
    // A late reply still queued must not be taken for the answer to this request.
    m_port->clear(QSerialPort::AllDirections);
    if (bytes.empty())
        return true;
    const auto* data = reinterpret_cast<const char*>(bytes.data());
    const auto size = static_cast<qint64>(bytes.size());
    // No flush(): it waits for the line to drain, which at low rates would stall the thread.
    qint64 written = 0;
#ifdef Q_OS_UNIX
    // With nothing queued, the frame goes to the device in this call rather than on the event
    // loop's next turn. The port is non-blocking: what the device does not take now (or a
    // failed write, which the port then reports itself) is queued as before.
    if (m_port->bytesToWrite() == 0)
        written = std::max<qint64>(::write(m_port->handle(), data, bytes.size()), 0);
#endif
    return written == size || m_port->write(data + written, size - written) == size - written;
}

void CComPort::onReadyRead() {
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

namespace {

// Short reasons for the errors that end an open line; Qt's own text only where none fits.
QString SerialLossText(int error, const QString& qtText) {
    switch (error) {
    case QSerialPort::ResourceError:
        return QCoreApplication::translate("vantor::ComPort", "设备已移除");
    case QSerialPort::ReadError:
        return QCoreApplication::translate("vantor::ComPort", "无法读取，线路已断开");
    case QSerialPort::WriteError:
        return QCoreApplication::translate("vantor::ComPort", "写入失败");
    default:
        return QCoreApplication::translate("vantor::ComPort", "串口错误（%1）").arg(qtText);
    }
}

} // namespace

void CComPort::onError(int error) {
    if (!m_port->isOpen())
        return;
    switch (error) {
    case QSerialPort::ResourceError: // a removed device
    case QSerialPort::ReadError:
        // A terminal whose other side went away reads end-of-file; Qt reports that as a read
        // error (with a stale reason) at every event loop pass, so the line must be closed.
    case QSerialPort::WriteError:
        break;
    default:
        return;
    }
    const QString text =
        portName() + QLatin1Char(' ') + SerialLossText(error, m_port->errorString());
    m_port->close();
    emit portError(text);
}

} // namespace vantor
