// SPDX-License-Identifier: GPL-3.0-or-later
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include "transport/LinkTestUtil.h"
#include "transport/ModbusSocket.h"

namespace vantor {
namespace {

using test::Bytes;
using test::kWaitMs;
using test::ReadExactly;

const QByteArray kRequest("\x00\x01\x00\x00\x00\x06\x01\x03\x01\x00\x00\x02", 12);

class ModbusSocketTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_server.listen(QHostAddress::LocalHost, 0));
        QObject::connect(&m_client, &CModbusSocket::bytesReceived,
                         [this](const QByteArray& b) { m_received += b; });
    }
    // Starts a connection and waits for its answer: true when connected.
    bool ConnectTo(quint16 port) {
        QSignalSpy connected(&m_client, &CModbusSocket::connected);
        QSignalSpy failed(&m_client, &CModbusSocket::connectFailed);
        m_client.Connect("127.0.0.1", port, kWaitMs);
        (void)QTest::qWaitFor([&] { return connected.count() + failed.count() > 0; }, kWaitMs);
        return connected.count() == 1 && failed.count() == 0;
    }
    bool ConnectClient() { return ConnectTo(m_server.serverPort()); }
    QTcpSocket* Accept() {
        if (!m_server.hasPendingConnections())
            QSignalSpy(&m_server, &QTcpServer::newConnection).wait(kWaitMs);
        return m_server.nextPendingConnection();
    }
    bool WaitReceived(qsizetype n) {
        return QTest::qWaitFor([&] { return m_received.size() >= n; }, kWaitMs);
    }

    QTcpServer m_server;
    CModbusSocket m_client;
    QSignalSpy m_lost{&m_client, &CModbusSocket::connectionLost};
    QByteArray m_received;
};

TEST_F(ModbusSocketTest, SendsRequestsAndDeliversTheReplyStream) {
    EXPECT_FALSE(m_client.Send(Bytes(kRequest))) << "not connected yet";
    ASSERT_TRUE(ConnectClient());
    EXPECT_TRUE(m_client.isConnected());
    QTcpSocket* server = Accept();
    ASSERT_NE(server, nullptr);

    ASSERT_TRUE(m_client.Send(Bytes(kRequest)));
    ASSERT_TRUE(m_client.Send(Bytes(kRequest)));
    EXPECT_EQ(ReadExactly(*server, 24), kRequest + kRequest);

    // A reply split over two writes comes out as one stream, in order.
    const QByteArray reply("\x00\x01\x00\x00\x00\x07\x01\x03\x04\x00\x0A\x00\x0B", 13);
    server->write(reply.left(5));
    server->flush();
    ASSERT_TRUE(WaitReceived(5));
    server->write(reply.mid(5));
    ASSERT_TRUE(WaitReceived(reply.size()));
    EXPECT_EQ(m_received, reply);

    // Our own close is not a lost connection.
    m_client.Close();
    EXPECT_FALSE(m_client.isConnected());
    EXPECT_FALSE(m_client.Send(Bytes(kRequest)));
    ASSERT_TRUE(server->state() == QAbstractSocket::UnconnectedState ||
                QSignalSpy(server, &QTcpSocket::disconnected).wait(kWaitMs));
    EXPECT_EQ(m_lost.count(), 0);
}

TEST_F(ModbusSocketTest, ConnectWhereNothingListensFails) {
    quint16 deadPort = 0;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        deadPort = probe.serverPort();
    }
    EXPECT_FALSE(ConnectTo(deadPort));
    // An attempt ended by Close is answered too, so whoever asked is never left waiting.
    QSignalSpy failed(&m_client, &CModbusSocket::connectFailed);
    m_client.Connect("127.0.0.1", m_server.serverPort(), kWaitMs);
    m_client.Close();
    EXPECT_EQ(failed.count(), 1);
    EXPECT_FALSE(m_client.isConnected());
    EXPECT_FALSE(m_client.Send(Bytes(kRequest)));
    QCoreApplication::processEvents();
    EXPECT_EQ(m_lost.count(), 0) << "a connection never made cannot be lost";

    // The same object connects once a server is there.
    EXPECT_TRUE(ConnectClient());
}

TEST_F(ModbusSocketTest, ServerCloseIsReportedOnceWithTheLastBytes) {
    ASSERT_TRUE(ConnectClient());
    QTcpSocket* server = Accept();
    ASSERT_NE(server, nullptr);

    server->write("\x00\x01", 2);
    server->disconnectFromHost();
    ASSERT_TRUE(m_lost.wait(kWaitMs));
    EXPECT_FALSE(m_lost.first().at(0).toString().isEmpty());
    EXPECT_FALSE(m_client.isConnected());
    EXPECT_EQ(m_received, QByteArray("\x00\x01", 2));
    EXPECT_FALSE(m_lost.wait(300));
    EXPECT_EQ(m_lost.count(), 1);
    EXPECT_FALSE(m_client.Send(Bytes(kRequest)));
}

// WaitForBytes reads past the event loop: the stream keeps its order with what the event loop
// delivers, and a close or a reset that it meets is still reported, once, by the socket.
TEST_F(ModbusSocketTest, WaitingOnTheSocketKeepsTheStreamAndLeavesTheCloseToBeReported) {
    for (const bool reset : {false, true}) {
        m_received.clear();
        m_lost.clear();
        ASSERT_TRUE(ConnectClient());
        QTcpSocket* server = Accept();
        ASSERT_NE(server, nullptr);
        EXPECT_FALSE(m_client.WaitForBytes(20)) << "nothing sent yet";

        server->write("AB");
        server->flush();
        ASSERT_TRUE(m_client.WaitForBytes(kWaitMs));
        EXPECT_EQ(m_received, "AB");
        server->write("CD");
        ASSERT_TRUE(WaitReceived(4));
        server->write("EF");
        server->flush();
        ASSERT_TRUE(m_client.WaitForBytes(kWaitMs));
        EXPECT_EQ(m_received, "ABCDEF");

        if (reset) {
            const linger now{1, 0}; // a close with linger 0 resets the connection
            ::setsockopt(static_cast<int>(server->socketDescriptor()), SOL_SOCKET, SO_LINGER, &now,
                         sizeof now);
        }
        server->close();
        QTest::qSleep(50); // the close reaches the client's descriptor
        EXPECT_FALSE(m_client.WaitForBytes(20));
        ASSERT_TRUE(m_lost.wait(kWaitMs)) << (reset ? "reset" : "close");
        EXPECT_FALSE(m_lost.wait(100));
        EXPECT_EQ(m_lost.count(), 1);
        EXPECT_FALSE(m_client.WaitForBytes(20));
        delete server;
    }
}

TEST_F(ModbusSocketTest, ReconnectReplacesTheConnectionQuietly) {
    ASSERT_TRUE(ConnectClient());
    QTcpSocket* first = Accept();
    ASSERT_NE(first, nullptr);
    ASSERT_TRUE(ConnectClient());
    QTcpSocket* second = Accept();
    ASSERT_NE(second, nullptr);

    ASSERT_TRUE(first->state() == QAbstractSocket::UnconnectedState ||
                QSignalSpy(first, &QTcpSocket::disconnected).wait(kWaitMs));
    ASSERT_TRUE(m_client.Send(Bytes(kRequest)));
    EXPECT_EQ(ReadExactly(*second, kRequest.size()), kRequest);
    EXPECT_EQ(m_lost.count(), 0);
}

} // namespace
} // namespace vantor
