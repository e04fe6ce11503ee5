// SPDX-License-Identifier: GPL-3.0-or-later
// The session's links: opening and closing the serial port, connecting to and leaving a Modbus
// TCP server (or an RTU gateway).
#include "modbus/CommSession.h"

#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

namespace {

// Leading decimal digits of a typed port text; anything else reads as 0.
int LeadingNumber(const QString& text) {
    const QString t = text.trimmed();
    int value = 0;
    for (QChar c : t) {
        if (!c.isDigit() || value > 65535)
            break;
        value = value * 10 + c.digitValue();
    }
    return value;
}

} // namespace

// ---- links -----------------------------------------------------------------------------------

void CommSession::openSerial(const SerialSettings& settings) {
    if (!m_port->Open(settings)) {
        emit serialOpenFailed(m_port->lastError());
        return;
    }
    m_serialChannel.setBaudRate(settings.baudRate);
    emit serialOpened(m_port->portName());
    startPolling();
}

void CommSession::closeSerial() {
    if (m_link == LinkKind::Serial && m_cycle.inFlight() != nullptr) {
        m_replyTimer.stop();
        requestDone(false); // nothing more will answer it
    }
    stopPolling();
    m_port->Stop();
    emit serialClosed();
}

void CommSession::connectTcp(const QString& host, const QString& port) {
    m_tcpConnected = false;
    m_mbap.Reset();
    const int number = LeadingNumber(port);
    if (number <= 0 || number > 65535) {
        emit tcpConnectFailed(QStringLiteral("%1:%2").arg(host, port));
        return;
    }
    m_tcpHost = host;
    m_tcpPort = port;
    // The answer comes from the socket; the link thread does not wait for it.
    m_socket->Connect(host, static_cast<quint16>(number));
}

void CommSession::onTcpConnected() {
    m_tcpConnected = true;
    log(LogKind::Notice, LocalTimeOfDay(),
        tr("Modbus TCP/IP 设备 %1 端口 %2 已连接！").arg(m_tcpHost, m_tcpPort));
    emit tcpConnected(m_tcpHost, m_tcpPort);
    kickCycle();
}

void CommSession::disconnectTcp() {
    m_socket->Close();
    m_tcpConnected = false;
    m_mbap.Reset();
    if (UsesTcpConnection(m_link) && m_cycle.inFlight() != nullptr) {
        m_replyTimer.stop();
        requestDone(false); // nothing more will answer it
    }
}

} // namespace vantor
