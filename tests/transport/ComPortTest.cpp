// SPDX-License-Identifier: GPL-3.0-or-later
#include <QSerialPort>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include "transport/ComPort.h"
#include "transport/LinkTestUtil.h"
#include "transport/PtyPair.h"

namespace vantor {
namespace {

using test::Bytes;
using test::kWaitMs;
using test::Line;
using test::ReadExactly;

// A bare pseudo-terminal whose master the test drives by hand, so bytes can be placed in
// the port's input queue without running the event loop.
struct RawPty {
    int master = -1;
    int slave = -1;
    QString name;

    RawPty() {
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
            return;
        ::fcntl(master, F_SETFL, O_NONBLOCK);
        termios tio{};
        ::tcgetattr(slave, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(slave, TCSANOW, &tio);
        name = QString::fromLocal8Bit(::ttyname(slave));
    }
    ~RawPty() {
        ::close(master);
        ::close(slave);
    }
    // Waits until the terminal's input queue holds n bytes (our own slave descriptor shares
    // the queue with the port under test).
    bool WaitQueued(int n) const {
        for (int i = 0; i < kWaitMs / 10; ++i) {
            int queued = 0;
            if (::ioctl(slave, FIONREAD, &queued) == 0 && queued >= n)
                return true;
            ::usleep(10000);
        }
        return false;
    }
    // Reads what the port sent, running the event loop meanwhile so the port can write.
    QByteArray ReadMaster(int n) const {
        QByteArray got;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[256];
                const ssize_t r = ::read(master, buffer, sizeof buffer);
                if (r > 0)
                    got.append(buffer, r);
                return got.size() >= n;
            },
            kWaitMs);
        return got;
    }
};

// Collects what a port delivers, chunk by chunk.
struct Received {
    QByteArray bytes;
    int chunks = 0;
    explicit Received(CComPort& port) {
        QObject::connect(&port, &CComPort::bytesReceived, [this](const QByteArray& b) {
            bytes += b;
            ++chunks;
        });
    }
    bool WaitFor(qsizetype n) {
        return QTest::qWaitFor([&] { return bytes.size() >= n; }, kWaitMs);
    }
};

// The far end may be opened by someone else: the port under test let it go.
bool IsFree(const QString& device) {
    QSerialPort other(device);
    return other.open(QIODevice::ReadWrite);
}

TEST(ComPort, ExchangesFramesWithTheFarEndInOrder) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create()) << pair.errorString().toStdString();
    CComPort port;
    ASSERT_TRUE(port.Open(Line(pair.endA()))) << port.lastError().toStdString();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portName(), pair.endA());
    EXPECT_TRUE(port.lastError().isEmpty());
    QSerialPort far(pair.endB());
    ASSERT_TRUE(far.open(QIODevice::ReadWrite));
    Received received(port);

    const QByteArray request("\x01\x03\x00\x00\x00\x0A\xC5\xCD", 8);
    ASSERT_TRUE(port.Write(Bytes(request)));
    EXPECT_EQ(ReadExactly(far, request.size()), request);

    // Several writes from the far end, each let through before the next: every byte comes
    // out once and in order whatever the chunking.
    QByteArray sent;
    for (int chunk = 0; chunk < 6; ++chunk) {
        QByteArray part;
        for (int i = 0; i < 37; ++i)
            part.append(static_cast<char>(chunk * 37 + i));
        far.write(part);
        ASSERT_TRUE(far.waitForBytesWritten(kWaitMs));
        sent += part;
        QCoreApplication::processEvents();
    }
    ASSERT_TRUE(received.WaitFor(sent.size()));
    EXPECT_EQ(received.bytes, sent);
    EXPECT_GE(received.chunks, 1);

    port.Stop();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.Write(Bytes(request)));
    port.Stop(); // harmless when closed
    EXPECT_TRUE(IsFree(pair.endA()));
}

TEST(ComPort, FailedOpenLeavesNothingOpenAndSaysWhy) {
    CComPort port;
    EXPECT_FALSE(port.Open(Line("/dev/vantor-no-such-port")));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.lastError().contains("/dev/vantor-no-such-port"))
        << port.lastError().toStdString();
    EXPECT_EQ(port.failedStep(), OpenStep::Open);
    EXPECT_FALSE(port.Write(Bytes("\x01")));

    EXPECT_FALSE(port.Open(Line("vantorNoSuchTty")));
    EXPECT_TRUE(port.lastError().contains("vantorNoSuchTty"));
    EXPECT_FALSE(port.Open(Line("")));
    EXPECT_EQ(port.failedStep(), OpenStep::NoName);

    // Settings the line cannot take are refused before anything is held.
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    SerialSettings bad[4] = {Line(pair.endA()), Line(pair.endA()), Line(pair.endA()),
                             Line(pair.endA(), 0)};
    bad[0].parity = 'X';
    bad[1].dataBits = 9;
    bad[2].stopBits = 3;
    const OpenStep steps[4] = {OpenStep::Parity, OpenStep::DataBits, OpenStep::StopBits,
                               OpenStep::BaudRate};
    for (int i = 0; i < 4; ++i) {
        EXPECT_FALSE(port.Open(bad[i]));
        EXPECT_FALSE(port.isOpen());
        EXPECT_EQ(port.failedStep(), steps[i]);
        EXPECT_TRUE(port.lastError().contains(pair.endA())) << port.lastError().toStdString();
    }

    // A failed open after a good one also lets the first device go.
    ASSERT_TRUE(port.Open(Line(pair.endA())));
    EXPECT_FALSE(port.Open(Line("/dev/vantor-no-such-port")));
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(IsFree(pair.endA()));
}

// What the user reads: the setting the port refused, or the port as missing or busy (the box
// leaves out the system's detail).
TEST(ComPort, FailureTextsNameTheStepThatFailed) {
    const struct {
        OpenStep step;
        const char *value, *text, *box; // box null: the text itself
    } cases[] = {
        {OpenStep::NoName, "", "请选择串口", "请选择串口"},
        {OpenStep::Open, "", "没有发现此串口或被占用：ttyUSB0（Permission denied）",
         "没有发现此串口或被占用"},
        {OpenStep::BaudRate, "43000", "串口 ttyUSB0 不支持该设置：波特率 43000", nullptr},
        {OpenStep::DataBits, "6", "串口 ttyUSB0 不支持该设置：数据位 6", nullptr},
    };
    for (const auto& c : cases) {
        const QString text = OpenFailureText(c.step, "ttyUSB0", c.value, "Permission denied");
        EXPECT_EQ(text, QString::fromUtf8(c.text));
        EXPECT_EQ(OpenFailureMessage(text), QString::fromUtf8(c.box ? c.box : c.text));
    }
}

TEST(ComPort, OpenOnAnOpenPortMovesToTheNewDevice) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    CComPort port;
    ASSERT_TRUE(port.Open(Line(pair.endA())));
    ASSERT_TRUE(port.Open(Line(pair.endB())));
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.portName(), pair.endB());
    EXPECT_TRUE(IsFree(pair.endA()));

    QSerialPort far(pair.endA());
    ASSERT_TRUE(far.open(QIODevice::ReadWrite));
    ASSERT_TRUE(port.Write(Bytes("ping")));
    EXPECT_EQ(ReadExactly(far, 4), "ping");
}

TEST(ComPort, OffersEveryPanelBaudRate) {
    // 43000 and 56000 are not standard terminal rates and take the custom-rate path. Linux
    // pseudo-terminals accept them; a system that refuses must say so clearly.
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    QSerialPort far(pair.endB());
    ASSERT_TRUE(far.open(QIODevice::ReadWrite));
    for (int baud : kBaudRates) {
        CComPort port;
        if (!port.Open(Line(pair.endA(), baud))) {
            EXPECT_FALSE(port.isOpen());
            EXPECT_TRUE(port.lastError().contains(QString::number(baud)))
                << port.lastError().toStdString();
            EXPECT_TRUE(baud == 43000 || baud == 56000) << "standard rate " << baud << " refused";
            continue;
        }
        const QByteArray frame = QByteArray::number(baud);
        ASSERT_TRUE(port.Write(Bytes(frame)));
        EXPECT_EQ(ReadExactly(far, frame.size()), frame) << "baud " << baud;
    }
}

TEST(ComPort, WriteDiscardsALateReplyStillQueued) {
    RawPty pty;
    ASSERT_FALSE(pty.name.isEmpty());
    CComPort port;
    ASSERT_TRUE(port.Open(Line(pty.name))) << port.lastError().toStdString();
    Received received(port);

    // A late reply lands in the input queue; the event loop does not run, so the port has
    // not read it when the next request goes out.
    const QByteArray late("\x01\x03\x02\xDE\xAD\x00\x00", 7);
    ASSERT_EQ(::write(pty.master, late.constData(), late.size()), late.size());
    ASSERT_TRUE(pty.WaitQueued(late.size()));

    const QByteArray request("\x01\x03\x00\x00\x00\x01\x84\x0A", 8);
    ASSERT_TRUE(port.Write(Bytes(request)));
    EXPECT_EQ(pty.ReadMaster(request.size()), request);

    const QByteArray reply("\x01\x03\x02\x00\x2A\x38\x5B", 7);
    ASSERT_EQ(::write(pty.master, reply.constData(), reply.size()), reply.size());
    ASSERT_TRUE(received.WaitFor(reply.size()));
    EXPECT_EQ(received.bytes, reply);
}

} // namespace
} // namespace vantor
