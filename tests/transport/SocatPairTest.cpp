// SPDX-License-Identifier: GPL-3.0-or-later
// CComPort against a pseudo-terminal pair made by an outside program, opened through the
// symlinks it creates (the way a user types a device path).
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "transport/ComPort.h"
#include "transport/LinkTestUtil.h"

namespace vantor {
namespace {

using test::Bytes;
using test::kWaitMs;
using test::Line;

class SocatPair {
public:
    SocatPair() : m_x(m_dir.filePath("ttyX")), m_y(m_dir.filePath("ttyY")) {}
    ~SocatPair() { Stop(); }

    // Starts socat and waits until it relays; false with the reason in log() otherwise.
    bool Start() {
        m_process.start("socat",
                        {"-d", "-d", "pty,raw,echo=0,link=" + m_x, "pty,raw,echo=0,link=" + m_y});
        if (!m_process.waitForStarted(kWaitMs)) {
            m_log = "socat could not be started (it is required): " + m_process.errorString();
            return false;
        }
        const bool relaying = QTest::qWaitFor(
            [&] {
                m_log += QString::fromLocal8Bit(m_process.readAllStandardError());
                return m_log.contains("starting data transfer loop") ||
                       m_process.state() == QProcess::NotRunning;
            },
            kWaitMs);
        return relaying && m_process.state() == QProcess::Running && QFileInfo::exists(m_x) &&
               QFileInfo::exists(m_y);
    }
    void Stop() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(kWaitMs))
            m_process.kill();
        m_process.waitForFinished(kWaitMs);
    }
    QString x() const { return m_x; }
    QString y() const { return m_y; }
    std::string log() const { return m_log.toStdString(); }

private:
    QTemporaryDir m_dir;
    QString m_x, m_y, m_log;
    QProcess m_process;
};

QByteArray Collect(CComPort& port, qsizetype n) {
    QByteArray got;
    auto c =
        QObject::connect(&port, &CComPort::bytesReceived, [&](const QByteArray& b) { got += b; });
    (void)QTest::qWaitFor([&] { return got.size() >= n; }, kWaitMs); // the caller compares
    QObject::disconnect(c);
    return got;
}

TEST(SocatPair, ComPortsTalkThroughSocatAndNoticeItsEnd) {
    SocatPair socat;
    ASSERT_TRUE(socat.Start()) << socat.log();

    CComPort x, y;
    ASSERT_TRUE(x.Open(Line(socat.x(), 9600))) << x.lastError().toStdString();
    ASSERT_TRUE(y.Open(Line(socat.y(), 9600))) << y.lastError().toStdString();

    const QByteArray request("\x11\x04\x00\x08\x00\x02\xF2\x99", 8);
    ASSERT_TRUE(x.Write(Bytes(request)));
    EXPECT_EQ(Collect(y, request.size()), request);
    const QByteArray reply = test::AllByteValues();
    ASSERT_TRUE(y.Write(Bytes(reply)));
    EXPECT_EQ(Collect(x, reply.size()), reply);

    // The terminals vanish with socat: the line is reported lost and closed.
    QSignalSpy lost(&x, &CComPort::portError);
    socat.Stop();
    ASSERT_TRUE(lost.count() > 0 || lost.wait(kWaitMs));
    EXPECT_EQ(lost.count(), 1);
    EXPECT_TRUE(lost.first().at(0).toString().contains(socat.x()))
        << lost.first().at(0).toString().toStdString();
    EXPECT_FALSE(x.isOpen());
    EXPECT_FALSE(x.Write(Bytes(request)));
}

} // namespace
} // namespace vantor
