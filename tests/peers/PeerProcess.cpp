// SPDX-License-Identifier: GPL-3.0-or-later
#include "peers/PeerProcess.h"

#include <QFileInfo>
#include <QTcpServer>

#include "support/Wait.h"

namespace vantor::test {

bool PeerProcess::Start(const QString& program, const QStringList& arguments,
                        const std::function<bool(const QString&)>& ready) {
    const QString command = program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
    m_output.clear();
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program, arguments);
    if (!m_process.waitForStarted(kPeerWaitMs)) {
        m_error = QStringLiteral("cannot run '%1' (the peer tests need it): %2")
                      .arg(command, m_process.errorString());
        return false;
    }
    const bool ok = WaitUntil(
        [&] {
            m_output += QString::fromLocal8Bit(m_process.readAll());
            return ready(m_output) || m_process.state() == QProcess::NotRunning;
        },
        kPeerWaitMs);
    if (ok && m_process.state() == QProcess::Running)
        return true;
    m_error = QStringLiteral("'%1' did not become ready; its output:\n%2").arg(command, m_output);
    return false;
}

void PeerProcess::Stop() {
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(kPeerWaitMs);
}

bool SocatPair::Start() {
    if (!m_dir.isValid())
        return false;
    return m_process.Start(QStringLiteral("socat"),
                           {"-d", "-d", "pty,raw,echo=0,link=" + m_a, "pty,raw,echo=0,link=" + m_b},
                           [this](const QString& output) {
                               return output.contains("starting data transfer loop") &&
                                      QFileInfo::exists(m_a) && QFileInfo::exists(m_b);
                           });
}

bool StartModbusSlave(PeerProcess& slave, const QStringList& arguments) {
    return slave.Start(QStringLiteral("/usr/bin/python3"),
                       QStringList{QStringLiteral(PEER_SLAVE_SCRIPT)} + arguments,
                       [](const QString& output) {
                           return output.startsWith("ready\n") || output.contains("\nready\n");
                       });
}

quint16 FreeTcpPort() {
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

} // namespace vantor::test
