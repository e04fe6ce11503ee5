// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/TestBroker.h"

#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include "support/Wait.h"

namespace vantor::test {

int FreePort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

namespace {

bool Listens(int port) {
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    return socket.waitForConnected(200);
}

} // namespace

TestBroker::TestBroker() {
    m_port = FreePort();
    m_tlsPort = FreePort();
    m_authPort = FreePort();
}

TestBroker::~TestBroker() {
    stop();
}

bool TestBroker::run(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.setWorkingDirectory(m_dir.path());
    p.start(program, arguments);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        m_error = program + QStringLiteral(" failed: ") +
                  QString::fromLocal8Bit(p.readAllStandardError());
        return false;
    }
    return true;
}

// Two CAs (EC keys: quick to make); the broker's certificate, signed by the first, names
// 127.0.0.1 and localhost.
bool TestBroker::makeFiles() {
    const QString o = QStringLiteral("openssl");
    const QStringList ec{"-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"};
    QFile ext(file("ext.cnf"));
    ext.open(QIODevice::WriteOnly);
    ext.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n");
    ext.close();
    for (const char* ca : {"ca", "other-ca"})
        if (!run(o, QStringList{"req", "-x509"} + ec +
                        QStringList{"-keyout", QString("%1.key").arg(ca), "-out",
                                    QString("%1.crt").arg(ca), "-days", "2", "-subj",
                                    QString("/CN=Test %1").arg(ca)}))
            return false;
    return run(o, QStringList{"req"} + ec +
                      QStringList{"-keyout", "server.key", "-out", "server.csr", "-subj",
                                  "/CN=localhost"}) &&
           run(o, {"x509", "-req", "-in", "server.csr", "-CA", "ca.crt", "-CAkey", "ca.key",
                   "-CAcreateserial", "-out", "server.crt", "-days", "2", "-extfile", "ext.cnf"}) &&
           run(QStringLiteral("mosquitto_passwd"), {"-c", "-b", "passwords", kUser, kPassword});
}

bool TestBroker::start() {
    if (!m_filesMade && !(m_filesMade = makeFiles()))
        return false;
    QFile conf(file("mosquitto.conf"));
    conf.open(QIODevice::WriteOnly | QIODevice::Truncate);
    const QString text =
        QStringLiteral(
            "user %1\npersistence true\npersistence_location %2/\nmax_queued_messages 0\n"
            "per_listener_settings true\n"
            "listener %3 127.0.0.1\nallow_anonymous true\n"
            "listener %4 127.0.0.1\nallow_anonymous true\ncafile %2/ca.crt\n"
            "certfile %2/server.crt\nkeyfile %2/server.key\n"
            "listener %5 127.0.0.1\nallow_anonymous false\npassword_file %2/passwords\n")
            .arg(QStringLiteral("root")) // no effect unless run as root
            .arg(m_dir.path())
            .arg(m_port)
            .arg(m_tlsPort)
            .arg(m_authPort);
    conf.write(text.toUtf8());
    conf.close();
    m_broker.setProcessChannelMode(QProcess::MergedChannels);
    m_broker.start(QStringLiteral("mosquitto"), {"-c", conf.fileName()});
    if (!m_broker.waitForStarted(5000)) {
        m_error = QStringLiteral("mosquitto did not start (is it installed?)");
        return false;
    }
    if (!WaitUntil([this] { return Listens(m_port) && Listens(m_tlsPort) && Listens(m_authPort); },
                   10000)) {
        m_error = QStringLiteral("mosquitto does not listen: ") +
                  QString::fromLocal8Bit(m_broker.readAll());
        return false;
    }
    return true;
}

void TestBroker::stop() {
    if (m_broker.state() == QProcess::NotRunning)
        return;
    m_broker.terminate();
    if (!m_broker.waitForFinished(5000))
        m_broker.kill();
    m_broker.waitForFinished(2000);
}

Subscriber::Subscriber(int port, const QString& filter, const QString& clientId)
    : m_port(port), m_filter(filter) {
    QStringList args{"-h",   "127.0.0.1", "-p",     QString::number(port), "-v", "-q", "1", "-t",
                     filter, "-t",        "probe/#"};
    if (!clientId.isEmpty())
        args << "-c"
             << "-i" << clientId;
    QObject::connect(&m_process, &QProcess::readyReadStandardOutput, [this] {
        m_pending += m_process.readAllStandardOutput();
        qsizetype end;
        while ((end = m_pending.indexOf('\n')) >= 0) {
            m_lines << QString::fromUtf8(m_pending.left(end));
            m_pending.remove(0, end + 1);
        }
    });
    m_process.start(QStringLiteral("mosquitto_sub"), args);
}

Subscriber::~Subscriber() {
    m_process.terminate();
    m_process.waitForFinished(2000);
}

bool Subscriber::waitReady() {
    return WaitUntil([this] {
        QProcess::execute(
            QStringLiteral("mosquitto_pub"),
            {"-h", "127.0.0.1", "-p", QString::number(m_port), "-t", "probe/x", "-m", "1"});
        return WaitUntil([this] { return !payloadsOf(QStringLiteral("probe/x")).isEmpty(); }, 300);
    });
}

QStringList Subscriber::lines() {
    return m_lines;
}

QStringList Subscriber::payloadsOf(const QString& topic) {
    QStringList payloads;
    const QString head = topic + QLatin1Char(' ');
    for (const QString& line : m_lines)
        if (line.startsWith(head))
            payloads << line.mid(head.size());
    return payloads;
}

bool Subscriber::waitFor(const QString& topic, int count, int timeoutMs) {
    return WaitUntil([&] { return payloadsOf(topic).size() >= count; }, timeoutMs);
}

} // namespace vantor::test
