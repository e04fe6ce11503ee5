// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The outside programs the peer tests talk to: socat making a pseudo-terminal pair, and the
// pymodbus slave script. A missing program fails the test with the reason; it never skips.
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace vantor::test {

inline constexpr int kPeerWaitMs = 20000;

// A child process that is started, waited for until it is ready, and killed at the end.
class PeerProcess {
public:
    ~PeerProcess() { Stop(); }

    // Starts the program and runs the event loop until ready() holds; false with error()
    // when the program cannot start, ends early or is not ready in time.
    bool Start(const QString& program, const QStringList& arguments,
               const std::function<bool(const QString& output)>& ready);
    void Stop();
    std::string error() const { return m_error.toStdString(); }

private:
    QProcess m_process;
    QString m_output;
    QString m_error;
};

// socat linking two pseudo-terminals, reachable through links a() and b() in a private folder.
class SocatPair {
public:
    SocatPair() : m_a(m_dir.filePath("slave")), m_b(m_dir.filePath("master")) {}
    bool Start();
    void Stop() { m_process.Stop(); }
    QString a() const { return m_a; }
    QString b() const { return m_b; }
    std::string error() const { return m_process.error(); }

private:
    QTemporaryDir m_dir;
    QString m_a, m_b;
    PeerProcess m_process;
};

// Starts tests/peers/modbus_slave.py with the arguments and waits for its "ready" line.
bool StartModbusSlave(PeerProcess& slave, const QStringList& arguments);

// A test that talks to a slave, over a socat pair or TCP; both are stopped after the test.
class PeerTest : public ::testing::Test {
protected:
    void TearDown() override {
        slave.Stop();
        socat.Stop();
    }

    SocatPair socat;
    PeerProcess slave;
};

// A TCP port on 127.0.0.1 that was free a moment ago.
quint16 FreeTcpPort();

} // namespace vantor::test
