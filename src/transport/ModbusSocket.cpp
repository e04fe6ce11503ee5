// SPDX-License-Identifier: GPL-3.0-or-later
#include "transport/ModbusSocket.h"

#include <QCoreApplication>
#include <QTcpSocket>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <sys/socket.h>
#endif

namespace vantor {

namespace {

// Short reasons for a connection that failed; Qt's own text only where none fits.
QString SocketLossText(QAbstractSocket::SocketError error, const QString& qtText) {
    switch (error) {
    case QAbstractSocket::RemoteHostClosedError:
        return QCoreApplication::translate("vantor::ModbusSocket", "连接被对方关闭");
    case QAbstractSocket::ConnectionRefusedError:
        return QCoreApplication::translate("vantor::ModbusSocket", "连接被拒绝");
    case QAbstractSocket::HostNotFoundError:
        return QCoreApplication::translate("vantor::ModbusSocket", "无法连接主机");
    case QAbstractSocket::SocketTimeoutError:
        return QCoreApplication::translate("vantor::ModbusSocket", "连接超时");
    case QAbstractSocket::NetworkError:
        return QCoreApplication::translate("vantor::ModbusSocket", "网络错误");
    default:
        return QCoreApplication::translate("vantor::ModbusSocket", "网络连接错误（%1）")
            .arg(qtText);
    }
}

} // namespace

// m_closing is true whenever there is no connection whose loss the owner should hear of:
// before the first connect, while connecting, after our own Close and after a loss was
// reported. That keeps connectionLost to one per connection and silent for our own closes.

CModbusSocket::CModbusSocket(QObject* parent)
    : QObject(parent), m_socket(new QTcpSocket(this)), m_connectTimer(new QTimer(this)),
      m_closing(true) {
    m_connectTimer->setSingleShot(true);
    connect(m_connectTimer, &QTimer::timeout, this, [this] {
        m_socket->abort();
        endAttempt(SocketLossText(QAbstractSocket::SocketTimeoutError, QString()));
    });
    connect(m_socket, &QTcpSocket::connected, this, [this] { endAttempt(QString()); });
    const auto deliver = [this] {
        const QByteArray bytes = m_socket->readAll();
        if (!bytes.isEmpty())
            emit bytesReceived(bytes);
    };
    const auto reportLoss = [this, deliver](const QString& reason) {
        if (m_closing)
            return;
        m_closing = true;
        deliver(); // bytes that came with the close still belong to the stream
        emit connectionLost(reason);
    };
    connect(m_socket, &QTcpSocket::readyRead, this, deliver);
    connect(m_socket, &QTcpSocket::disconnected, this, [reportLoss] {
        reportLoss(QCoreApplication::translate("vantor::ModbusSocket", "连接被对方关闭"));
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this,
            [this, reportLoss](QAbstractSocket::SocketError e) {
                if (m_connecting) {
                    m_socket->abort();
                    endAttempt(SocketLossText(e, m_socket->errorString()));
                } else if (e != QAbstractSocket::SocketTimeoutError) {
                    reportLoss(SocketLossText(e, m_socket->errorString()));
                }
            });
}

CModbusSocket::~CModbusSocket() {
    m_closing = true;
    m_socket->disconnect(this);
    m_socket->abort();
}

void CModbusSocket::Connect(const QString& host, quint16 port, int timeoutMs) {
    Close();
    m_connecting = true;
    m_connectTimer->start(timeoutMs);
    m_socket->connectToHost(host, port);
}

void CModbusSocket::endAttempt(const QString& failure) {
    if (!m_connecting)
        return;
    m_connecting = false;
    m_connectTimer->stop();
    if (!failure.isEmpty()) {
        emit connectFailed(failure);
        return;
    }
    // Requests are small and each waits for its reply; do not let Nagle hold them back.
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_closing = false;
    emit connected();
}

void CModbusSocket::Close() {
    m_closing = true;
    m_socket->abort();
    endAttempt(QCoreApplication::translate("vantor::ModbusSocket", "连接已取消"));
}

bool CModbusSocket::isConnected() const {
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

bool CModbusSocket::Send(std::span<const std::uint8_t> bytes) {
    if (!isConnected())
        return false;
#ifdef Q_OS_UNIX
    if (m_socket->bytesToWrite() == 0) {
        // Nothing queued: the request goes to the descriptor at once. What it does not take
        // goes through the socket's queue; a failure is left for the socket to find and report.
        const ssize_t put = ::send(static_cast<int>(m_socket->socketDescriptor()), bytes.data(),
                                   bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
        if (put == static_cast<ssize_t>(bytes.size()))
            return true;
        if (put < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return false;
        bytes = bytes.subspan(static_cast<std::size_t>(std::max<ssize_t>(put, 0)));
    }
#endif
    const QByteArray data(reinterpret_cast<const char*>(bytes.data()),
                          static_cast<qsizetype>(bytes.size()));
    if (m_socket->write(data) != data.size())
        return false;
    m_socket->flush();
    return true;
}

bool CModbusSocket::WaitForBytes(int ms) {
#ifdef Q_OS_UNIX
    // Read past the socket object only while it holds nothing unread, so the stream keeps its
    // order. A close or an error is left in the descriptor for the socket to find and report.
    if (!isConnected() || m_socket->bytesAvailable() > 0)
        return false;
    const int fd = static_cast<int>(m_socket->socketDescriptor());
    pollfd waiting{fd, POLLIN, 0};
    if (::poll(&waiting, 1, ms) != 1 || (waiting.revents & POLLIN) == 0)
        return false;
    constexpr qsizetype kReadSize = 4096;
    m_received.resize(kReadSize);
    const ssize_t got = ::recv(fd, m_received.data(), static_cast<std::size_t>(kReadSize), 0);
    if (got <= 0)
        return false;
    m_received.resize(got);
    emit bytesReceived(m_received);
    return true;
#else
    Q_UNUSED(ms);
    return false;
#endif
}

} // namespace vantor
