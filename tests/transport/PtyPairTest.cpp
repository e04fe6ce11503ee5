// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFileInfo>
#include <QSerialPort>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "transport/LinkTestUtil.h"
#include "transport/PtyPair.h"

namespace vantor {
namespace {

using test::AllByteValues;
using test::ReadExactly;

TEST(PtyPair, RelaysEveryByteValueBothWays) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create()) << pair.errorString().toStdString();
    EXPECT_TRUE(pair.errorString().isEmpty());
    EXPECT_NE(pair.endA(), pair.endB());
    EXPECT_TRUE(QFileInfo::exists(pair.endA()));
    EXPECT_TRUE(QFileInfo::exists(pair.endB()));

    QSerialPort a(pair.endA());
    QSerialPort b(pair.endB());
    ASSERT_TRUE(a.open(QIODevice::ReadWrite)) << a.errorString().toStdString();
    ASSERT_TRUE(b.open(QIODevice::ReadWrite)) << b.errorString().toStdString();

    const QByteArray all = AllByteValues();
    a.write(all);
    EXPECT_EQ(ReadExactly(b, all.size()), all);

    const QByteArray reply("\x01\x03\x04\x00\x0A\x00\x0B\x0D\x0A", 9);
    b.write(reply);
    EXPECT_EQ(ReadExactly(a, reply.size()), reply);
}

TEST(PtyPair, EndsAreRawForAnyOpener) {
    // Peers that do not set the terminal up themselves must still see bytes unchanged.
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    for (const QString& end : {pair.endA(), pair.endB()}) {
        const int fd = ::open(end.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        ASSERT_GE(fd, 0) << end.toStdString();
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd, &tio), 0);
        EXPECT_EQ(tio.c_lflag & (ECHO | ICANON | ISIG | IEXTEN), 0u) << end.toStdString();
        EXPECT_EQ(tio.c_iflag & (ICRNL | IXON | ISTRIP), 0u) << end.toStdString();
        EXPECT_EQ(tio.c_oflag & OPOST, 0u) << end.toStdString();
        ::close(fd);
    }
}

TEST(PtyPair, EndsStayUpBetweenUsers) {
    PtyPair pair;
    ASSERT_TRUE(pair.Create());
    QSerialPort b(pair.endB());
    ASSERT_TRUE(b.open(QIODevice::ReadWrite));
    for (int round = 0; round < 3; ++round) {
        QSerialPort a(pair.endA());
        ASSERT_TRUE(a.open(QIODevice::ReadWrite)) << "round " << round;
        const QByteArray frame = QByteArray("frame ") + QByteArray::number(round);
        a.write(frame);
        EXPECT_EQ(ReadExactly(b, frame.size()), frame);
    }
}

} // namespace
} // namespace vantor
