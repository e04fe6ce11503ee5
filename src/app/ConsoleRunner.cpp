#include "app/ConsoleRunner.h"

#include <QCoreApplication>
#include <QTimer>

#include "modbus/CommSession.h"
#include "modbus/LinkThread.h"
#include "modbus/LogFormat.h"
#include "registers/RegisterDecoder.h"

namespace vantor {

namespace {

std::span<const std::uint8_t> Bytes(const QByteArray& data) {
    return {reinterpret_cast<const std::uint8_t*>(data.constData()),
            static_cast<std::size_t>(data.size())};
}

} // namespace

ConsoleRunner::ConsoleRunner(const ConsoleOptions& options, QTextStream& out, QTextStream& err,
                             QObject* parent)
    : QObject(parent), m_options(options), m_out(out), m_err(err),
      m_link(std::make_unique<LinkThread>()) {
    CommSession* session = m_link->session();
    connect(session, &CommSession::logLine, this, [this](const QString& line) {
        m_out << line << '\n';
        m_out.flush();
    });
    connect(session, &CommSession::registerReplyAccepted, this, &ConsoleRunner::onRegisters);
    connect(session, &CommSession::bitReplyAccepted, this, &ConsoleRunner::onBits);
    connect(session, &CommSession::serialOpenFailed, this, [this](const QString& reason) {
        fail(QStringLiteral("没有发现此串口或被占用: %1").arg(reason));
    });
    connect(session, &CommSession::tcpConnectFailed, this, [this](const QString& reason) {
        fail(QStringLiteral("连接服务器失败! (%1)").arg(reason));
    });
    connect(session, &CommSession::tcpConnected, session, &CommSession::tcpStart);
    // A link lost after it opened ends the run as its time limit would, counters included.
    connect(session, &CommSession::linkError, this, [this](const QString& reason) {
        m_err << reason << '\n' << Qt::flush;
        Finish();
    });
    connect(session, &CommSession::tcpDisconnected, this, [this](const QString& reason) {
        m_err << QStringLiteral("Modbus TCP/IP 连接已断开: %1").arg(reason) << '\n' << Qt::flush;
        Finish();
    });
}

ConsoleRunner::~ConsoleRunner() = default;

void ConsoleRunner::Start() {
    const ConfigureResult configured = Configure(m_options.rows, m_options.link, m_options.tcp);
    for (const std::string& error : configured.errors)
        m_err << QString::fromStdString(error) << '\n';
    for (const CellFormatOption& f : m_options.formats)
        m_formats.SetCellFormat(f.packet, f.cell, f.code);
    m_image.RebuildPointLabels(configured.images, m_options.addressBase);
    m_out << QString::fromUtf8(kConfigureDoneLine.data(), kConfigureDoneLine.size()) << '\n';

    CommSession* session = m_link->session();
    const ConsoleOptions o = m_options;
    QMetaObject::invokeMethod(session, [session, o, images = configured.images] {
        session->configureImages(images, o.intervalMs);
        for (int packet = 1; packet <= kPacketCount; ++packet)
            session->setPacketChecked(packet, o.rows[packet - 1].enabled);
        if (o.link == LinkKind::Tcp)
            session->connectTcp(o.tcpHost, o.tcpPort);
        else
            session->openSerial(o.serial);
    });
    if (m_options.seconds > 0)
        QTimer::singleShot(m_options.seconds * 1000, this, &ConsoleRunner::Finish);
}

void ConsoleRunner::Finish() {
    if (m_done)
        return;
    CommSession* session = m_link->session();
    Counters counters;
    QMetaObject::invokeMethod(
        session,
        [session, &counters] {
            session->closeSerial();
            session->disconnectTcp();
            counters = session->counters();
        },
        Qt::BlockingQueuedConnection);
    // Print what the link thread reported before it stopped, replies included.
    QCoreApplication::sendPostedEvents(this);
    m_done = true;
    m_out << CountersLine(counters) << '\n';
    m_out.flush();
    emit finished(0);
}

QString ConsoleRunner::CountersLine(const Counters& c) {
    return QStringLiteral("CRC 校验=%1 数据错误=%2 收包数量=%3")
        .arg(c.crcErrors)
        .arg(c.dataErrors)
        .arg(c.receivedPackets);
}

void ConsoleRunner::onRegisters(int packet, const QByteArray& data, int registerCount) {
    if (packet < 1 || packet > kPacketCount || m_done)
        return;
    m_image.Apply(packet - 1,
                  DecodeRegisters(Bytes(data), registerCount, m_formats.Packet(packet - 1)));
    printCells(packet, registerCount);
}

void ConsoleRunner::onBits(int packet, const QByteArray& data, int bitCount) {
    if (packet < 1 || packet > kPacketCount || m_done)
        return;
    m_image.Apply(packet - 1, DecodeBits(Bytes(data), bitCount));
    printCells(packet, bitCount);
}

void ConsoleRunner::printCells(int packet, int cells) {
    QString line = QStringLiteral("Db_%1:").arg(packet, 2, 10, QLatin1Char('0'));
    const auto& values = m_image.Packet(packet - 1);
    for (int i = 0; i < std::min(cells, kCellsPerPacket); ++i)
        line += QLatin1Char(' ') + QString::fromStdString(values[i].value);
    m_out << line << '\n';
    m_out.flush();
}

void ConsoleRunner::fail(const QString& message) {
    if (m_done)
        return;
    m_done = true;
    m_err << message << '\n';
    m_err.flush();
    emit finished(1);
}

} // namespace vantor
