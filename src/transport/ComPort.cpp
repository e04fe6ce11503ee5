#include "transport/ComPort.h"

#include <QFileInfo>
#include <QSerialPort>
#include <QSignalBlocker>

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

QString SettingsProblem(const SerialSettings& s) {
    QSerialPort::Parity parity;
    if (s.baudRate <= 0)
        return QStringLiteral("invalid baud rate %1").arg(s.baudRate);
    if (!ToParity(s.parity, parity))
        return QStringLiteral("invalid parity '%1'").arg(QChar::fromLatin1(s.parity));
    if (s.dataBits < 5 || s.dataBits > 8)
        return QStringLiteral("invalid data bits %1").arg(s.dataBits);
    if (s.stopBits != 1 && s.stopBits != 2)
        return QStringLiteral("invalid stop bits %1").arg(s.stopBits);
    return {};
}

// Returns the setting the line refused, or an empty text when all were taken.
QString ApplySettings(QSerialPort& port, const SerialSettings& s) {
    QSerialPort::Parity parity = QSerialPort::NoParity;
    ToParity(s.parity, parity);
    if (!port.setBaudRate(s.baudRate))
        return QStringLiteral("baud rate %1").arg(s.baudRate);
    if (!port.setParity(parity))
        return QStringLiteral("parity %1").arg(QChar::fromLatin1(s.parity));
    if (!port.setDataBits(static_cast<QSerialPort::DataBits>(s.dataBits)))
        return QStringLiteral("data bits %1").arg(s.dataBits);
    if (!port.setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop))
        return QStringLiteral("stop bits %1").arg(s.stopBits);
    if (!port.setFlowControl(QSerialPort::NoFlowControl))
        return QStringLiteral("flow control");
    return {};
}

} // namespace

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

    const QString device = ResolveSerialDevice(settings.portName);
    if (device.isEmpty()) {
        m_lastError = QStringLiteral("No serial port given");
        return false;
    }
    if (const QString problem = SettingsProblem(settings); !problem.isEmpty()) {
        m_lastError = QStringLiteral("Cannot open %1: %2").arg(device, problem);
        return false;
    }

    m_port->setPortName(device);
    m_port->setObjectName(device); // the device as opened, for portName() and messages
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_lastError = QStringLiteral("Cannot open %1: %2").arg(device, m_port->errorString());
        m_port->close();
        return false;
    }

    // Failures while configuring are reported through the return values; the error signal
    // must not treat them as a line failure.
    const QSignalBlocker quiet(m_port);
    if (const QString refused = ApplySettings(*m_port, settings); !refused.isEmpty()) {
        m_lastError =
            QStringLiteral("Cannot set %1 on %2: %3").arg(refused, device, m_port->errorString());
        m_port->close();
        return false;
    }
    // Pseudo-terminals have no modem lines; the refusal there is harmless.
    m_port->setRequestToSend(true);
    m_port->clearError();
    m_port->clear(QSerialPort::AllDirections);
    return true;
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
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    // No flush(): it waits for the line to drain, which at low rates would stall the thread.
    // The frame goes out as soon as control returns to the event loop.
    return m_port->write(data) == data.size();
}

void CComPort::onReadyRead() {
    const QByteArray bytes = m_port->readAll();
    if (!bytes.isEmpty())
        emit bytesReceived(bytes);
}

namespace {

// Short Chinese reasons for the errors that end an open line; Qt's own text only where none fits.
QString SerialLossText(int error, const QString& qtText) {
    switch (error) {
    case QSerialPort::ResourceError:
        return QStringLiteral("设备已移除");
    case QSerialPort::ReadError:
        return QStringLiteral("无法读取，线路已断开");
    case QSerialPort::WriteError:
        return QStringLiteral("写入失败");
    default:
        return QStringLiteral("串口错误（%1）").arg(qtText);
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
