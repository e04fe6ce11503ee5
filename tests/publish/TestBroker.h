// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real mosquitto broker on free loopback ports for the tests, with a configuration written
// into a folder of its own: a plain listener, a TLS listener with a CA made here by openssl, and
// a listener that wants a user and password (made with mosquitto_passwd). Messages are read with
// a real mosquitto_sub.
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace vantor::test {

class TestBroker {
public:
    TestBroker();
    ~TestBroker();

    // Writes the configuration (certificates and password file the first time) and starts the
    // broker; false with a reason in `error()` when a tool is missing or it does not listen.
    bool start();
    void stop(); // a clean stop: the broker keeps its persistent sessions on disk
    QString error() const { return m_error; }

    int port() const { return m_port; }
    int tlsPort() const { return m_tlsPort; }
    int authPort() const { return m_authPort; }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    // A second CA that did not sign the broker's certificate.
    QString otherCa() const { return file(QStringLiteral("other-ca.crt")); }
    static constexpr const char* kUser = "station";
    static constexpr const char* kPassword = "right-secret";

private:
    bool makeFiles();
    bool run(const QString& program, const QStringList& arguments);

    QTemporaryDir m_dir;
    QProcess m_broker;
    int m_port = 0, m_tlsPort = 0, m_authPort = 0;
    bool m_filesMade = false;
    QString m_error;
};

// mosquitto_sub -v on a topic filter; each line "topic payload".
class Subscriber {
public:
    // A persistent session (clientId not empty) keeps QoS 1 messages while it is away.
    Subscriber(int port, const QString& filter, const QString& clientId = {});
    ~Subscriber();
    bool waitReady(); // subscribed (its first connection seen by a probe message)
    QStringList lines();
    // Waits until `count` lines matched `topic` exactly; false when the time ran out.
    bool waitFor(const QString& topic, int count = 1, int timeoutMs = 10000);
    QStringList payloadsOf(const QString& topic);

private:
    QProcess m_process;
    QByteArray m_pending;
    QStringList m_lines;
    int m_port;
    QString m_filter;
};

int FreePort();

} // namespace vantor::test
