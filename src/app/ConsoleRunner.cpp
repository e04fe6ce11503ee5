// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleRunner.h"

#include <QCoreApplication>
#include <QTimer>

#include "modbus/LogFormat.h"
#include "modbus/ReplyRules.h"
#include "project/ProjectFile.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/ValueFormat.h"
#include "registers/Workspace.h"
#include "writes/WriteFields.h"

namespace vantor {

namespace {

// The cells of the widest reply the configured packets bring, as the session reports them: a
// bit reply one per bit, a register reply one per register (over Modbus TCP every reply).
int WidestReply(const CommandImages& images, LinkKind link) {
    int widest = 0;
    for (const PacketImage& image : images.packets) {
        if (!image.sendsOn(link))
            continue;
        const bool bits = IsRtuFramed(link) &&
                          ReplyKindOf(SessionMode::Polling, image.function) == ReplyKind::Bits;
        const int cells = link == LinkKind::Tcp || bits
                              ? image.count
                              : ReplyRegisterCount(image.function, image.count);
        widest = std::max(widest, std::min(cells, kCellsPerPacket));
    }
    return widest;
}

} // namespace

ConsoleRunner::ConsoleRunner(const ConsoleOptions& options, std::FILE* out, QTextStream& err,
                             QObject* parent)
    : QObject(parent), m_options(options), m_out(out), m_err(err) {
    LinkController* link = m_app.link();
    connect(link, &LinkController::logEvent, this, [this](const LogEvent& event) {
        print(event.text);
        flushSoon();
    });
    m_flushTimer.setSingleShot(true);
    connect(&m_flushTimer, &QTimer::timeout, this, [this] {
        flushOut();
        m_sinceFlush.start();
    });
    // The application has put the reply into the store by now.
    connect(link, &LinkController::registerReplyAccepted, this,
            [this](int packet, const QByteArray&, int count) {
                printCells(packet, count);
                sendWrites();
            });
    connect(link, &LinkController::bitReplyAccepted, this,
            [this](int packet, const QByteArray&, int count) {
                printCells(packet, count);
                sendWrites();
            });
    connect(link, &LinkController::openFailed, this, [this](LinkKind kind, const QString& reason) {
        const QString message =
            kind == LinkKind::Tcp ? tr("连接服务器失败! (%1)").arg(reason) : reason;
        if (!m_reopening) {
            fail(message);
            return;
        }
        m_err << message << '\n';
        m_err.flush();
        reopenLater();
    });
    connect(link, &LinkController::opened, this, [this] {
        if (m_reopening)
            m_err << tr("已重新连接") << '\n';
        m_err.flush();
        m_reopening = false;
    });
    // A link lost after it opened ends the run as its time limit would, counters included; with
    // --reconnect it is opened again.
    connect(link, &LinkController::linkLost, this, [this](LinkKind kind, const QString& reason) {
        if (kind == LinkKind::Tcp)
            m_err << tr("Modbus TCP/IP 连接已断开: %1").arg(reason) << '\n';
        else
            m_err << reason << '\n';
        m_err.flush();
        if (m_options.reconnect) {
            m_reopening = true;
            reopenLater();
            return;
        }
        Finish();
    });
    connect(&m_csv, &ConsoleCsv::failed, this, &ConsoleRunner::recordingFailed);
    // A --write or --send that the device refuses ends the run, counters included, with status
    // 3 and the exception's name.
    connect(link, &LinkController::writeRefused, this, [this](const QString& reason) {
        m_err << reason << '\n';
        m_err.flush();
        m_exitCode = kDeviceRefusedExit;
        Finish();
    });
}

ConsoleRunner::~ConsoleRunner() = default;

void ConsoleRunner::Start() {
    m_app.fillWorkspace(m_options);
    Workspace* workspace = m_app.workspace();
    std::optional<ProfileFile> project;
    if (!m_options.project.isEmpty()) {
        ProjectOpen opened = ReadProjectFile(m_options.project);
        if (!opened.profile) {
            fail(opened.error, 2);
            return;
        }
        // The project's packets, interval, line settings and formats replace the command
        // line's; the link and its device stay as given.
        ReadProject(*opened.profile, *workspace);
        keepCommandLineLink();
        project = std::move(opened.profile);
    }
    const ConfigureResult configured = m_app.configure();
    for (const std::string& error : configured.errors)
        m_err << QString::fromStdString(error) << '\n';
    printUtf8(ConfigureOutcomeLine(configured));
    // A packet asked for but refused would leave the run polling less than asked: nothing is
    // sent.
    if (!configured.refusedPackets.empty()) {
        flushOut();
        fail(tr("数据包配置失败，未发送，运行结束"), 2);
        return;
    }
    if (project) {
        const ProjectCounts counts = configured.images.counts();
        ReadProjectCells(*project, counts, *workspace);
        printLabels(counts);
    }
    if (!prepareWrites() || !openRecording() || !startPublishing())
        return;

    m_fromProject = project.has_value();
    // Quiet: the session makes no log lines for frames, as with the window's paused log.
    if (m_options.quiet)
        m_app.link()->setLogScrolling(false);
    reopen();
    if (m_options.seconds > 0)
        // A precise timer: a coarse one may end a long run by up to 5 % early or late.
        QTimer::singleShot(m_options.seconds * 1000, Qt::PreciseTimer, this,
                           &ConsoleRunner::Finish);
}

// A project holds its own connection mode and server address; the link named on the command
// line is the one the run uses, as its device is.
void ConsoleRunner::keepCommandLineLink() {
    Workspace* workspace = m_app.workspace();
    workspace->setLinkKind(m_options.link);
    if (UsesTcpConnection(m_options.link)) {
        TcpSettings tcp = workspace->tcp();
        tcp.host = m_options.tcpHost;
        tcp.port = m_options.tcpPort;
        tcp.header = m_options.tcp;
        workspace->setTcp(tcp);
    }
}

// The console opens the line exactly as given, also at rates the panel's list lacks; with a
// project, at the project's line settings on the given device.
void ConsoleRunner::reopen() {
    if (m_done)
        return;
    if (UsesTcpConnection(m_options.link))
        m_app.openLink();
    else
        m_app.link()->openSerial(m_fromProject ? m_app.workspace()->serial()->settings()
                                               : m_options.serial);
}

void ConsoleRunner::reopenLater() {
    m_err << tr("1 秒后重新连接……") << '\n';
    m_err.flush();
    QTimer::singleShot(1000, this, &ConsoleRunner::reopen);
}

void ConsoleRunner::Finish() {
    if (m_done)
        return;
    m_done = true;
    PacketStatsTable stats{};
    const Counters counters = m_app.link()->closeAndReadCounters(&stats);
    // Print what the link thread reported before it stopped, replies included.
    QCoreApplication::sendPostedEvents(m_app.link());
    QCoreApplication::sendPostedEvents(this);
    finishPublishing();
    if (const auto error = m_csv.Close()) {
        m_err << *error << '\n';
        m_err.flush();
        m_exitCode = 1;
    }
    print(CountersLine(counters));
    for (int packet = 1; packet <= kPacketCount; ++packet)
        if (const PacketStats& s = stats[static_cast<std::size_t>(packet - 1)]; !s.empty())
            printUtf8(StatsLine(packet, s));
    flushOut();
    emit finished(m_exitCode);
}

QString ConsoleRunner::CountersLine(const Counters& c) {
    // scripts/soak reads the counters from this line: not translated.
    return QStringLiteral("CRC 校验=%1 数据错误=%2 收包数量=%3")
        .arg(c.crcErrors)
        .arg(c.dataErrors)
        .arg(c.receivedPackets);
}

// Once at the start of a project run: "Lb_NN:" and the labels of the packet's cells, as the
// "Db_NN:" lines give their values.
void ConsoleRunner::printLabels(const ProjectCounts& counts) {
    const RegisterStore* store = m_app.workspace()->store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count = std::min(counts[static_cast<std::size_t>(packet - 1)], kCellsPerPacket);
        if (count == 0)
            continue;
        QStringList labels;
        for (int i = 0; i < count; ++i)
            labels << store->labelText({PacketNo(packet), i});
        print(QStringLiteral("Lb_%1: ").arg(packet, 2, 10, QLatin1Char('0')) +
              labels.join(QLatin1Char(' ')));
    }
    flushOut();
}

void ConsoleRunner::printCells(int packet, int cells) {
    if (!PacketNo(packet).valid())
        return;
    const RegisterStore* store = m_app.workspace()->store();
    const int count = std::min(cells, kCellsPerPacket);
    if (!m_options.quiet) {
        // The line is put together from the store's own UTF-8, straight into the output.
        m_outBytes.append(packet < 10 ? "Db_0" : "Db_")
            .append(std::to_string(packet))
            .append(1, ':');
        for (int i = 0; i < count; ++i)
            m_outBytes.append(1, ' ').append(store->valueUtf8({PacketNo(packet), i}));
        m_outBytes.append(1, '\n');
        flushSoon();
    }
    if (!m_csv.isOpen())
        return;
    QStringList texts;
    texts.reserve(count);
    for (int i = 0; i < count; ++i)
        texts << store->valueText({PacketNo(packet), i});
    m_csv.AddRow(QDateTime::currentDateTime(), packet, texts);
}

void ConsoleRunner::print(QStringView line) {
    const std::size_t at = m_outBytes.size();
    m_outBytes.resize(at + static_cast<std::size_t>(m_utf8.requiredSpace(line.size())));
    char* const end = m_utf8.appendToBuffer(m_outBytes.data() + at, line);
    m_outBytes.resize(static_cast<std::size_t>(end - m_outBytes.data()));
    m_outBytes.append(1, '\n');
}

void ConsoleRunner::printUtf8(std::string_view line) {
    m_outBytes.append(line).append(1, '\n');
}

void ConsoleRunner::flushOut() {
    if (!m_outBytes.empty())
        std::fwrite(m_outBytes.data(), 1, m_outBytes.size(), m_out);
    std::fflush(m_out);
    m_outBytes.clear();
}

// Lines reach standard output within kFlushMs; at high reply rates one write carries many of
// them instead of one write a line.
void ConsoleRunner::flushSoon() {
    if (m_flushTimer.isActive())
        return;
    if (!m_sinceFlush.isValid() || m_sinceFlush.elapsed() >= kFlushMs) {
        flushOut();
        m_sinceFlush.start();
        return;
    }
    m_flushTimer.start(static_cast<int>(kFlushMs - m_sinceFlush.elapsed()));
}

bool ConsoleRunner::openRecording() {
    if (m_options.csvPath.isEmpty())
        return true;
    const int cells = WidestReply(m_app.workspace()->store()->images(), m_options.link);
    if (const auto error = m_csv.Open(m_options.csvPath, cells)) {
        fail(QStringLiteral("--csv: ") + *error, 2);
        return false;
    }
    return true;
}

// A recording that can no longer be written ends the run, counters included, with status 1.
void ConsoleRunner::recordingFailed(const QString& message) {
    m_err << message << '\n';
    m_err.flush();
    m_exitCode = 1;
    Finish();
}

void ConsoleRunner::fail(const QString& message, int exitCode) {
    if (m_done)
        return;
    m_done = true;
    m_err << message << '\n';
    m_err.flush();
    emit finished(exitCode);
}

bool ConsoleRunner::prepareWrites() {
    for (const CellWriteOption& write : m_options.writes) {
        const QString where =
            QStringLiteral("--write %1:%2").arg(write.point.packet.number).arg(write.point.cell);
        QString text;
        if (const QString refusal = writeText(write, &text); !refusal.isEmpty()) {
            fail(where + QStringLiteral(": ") + refusal, 2);
            return false;
        }
        m_pendingWrites << text;
    }
    for (const QString& typed : m_options.sends) {
        const CustomText parsed = ParseCustomText(typed.toStdString());
        if (!parsed.refusal.empty()) {
            fail(QStringLiteral("--send %1: %2").arg(typed, QString::fromStdString(parsed.refusal)),
                 2);
            return false;
        }
        m_pendingWrites << QString::fromStdString(parsed.digits);
    }
    return true;
}

// The command text of a --write, or why it is refused: the packet must be configured, read
// holding registers or coils, and hold the cell (both registers of a 32-bit value); a coil takes
// 0 or 1, a register a value of its format.
QString ConsoleRunner::writeText(const CellWriteOption& write, QString* text) const {
    const PointRef point = write.point;
    if (m_writes.counts()[point.packet.index()] == 0)
        return tr("数据包 %1 未配置，不能写入").arg(point.packet.number);
    if (const QString refusal = m_writes.tableRefusal(point.packet); !refusal.isEmpty())
        return refusal;
    const WriteTarget target = m_writes.targetOf(point.packet);
    if (m_writes.isCoilPacket(point.packet)) {
        if (const QString refusal = m_writes.rangeRefusal(point); !refusal.isEmpty())
            return refusal;
        if (const QString refusal = m_writes.monitorValueRefusal(point, write.text);
            !refusal.isEmpty())
            return refusal;
        *text = QString::fromStdString(
            CoilWriteText(target, point.cell, CoilIsOn(write.text.toStdString())));
        return {};
    }
    const int code = m_writes.workspace()->store()->formatCode(point);
    if (const QString refusal = m_writes.rangeRefusal(point, Is32BitFormat(code) ? 2 : 1);
        !refusal.isEmpty())
        return refusal;
    const std::string decimal = write.text.toStdString();
    const WriteFields fields = FieldsFromDecimal(decimal);
    if (const std::string refusal = CellValueRefusal(code, decimal, fields.unsignedText);
        !refusal.empty())
        return QString::fromStdString(refusal);
    *text = QString::fromStdString(
        CellWriteText(target, point.cell, code, decimal, fields.unsignedText));
    return {};
}

// The writes go out once, in order, each as a one-shot write of the link.
void ConsoleRunner::sendWrites() {
    if (m_done || m_pendingWrites.isEmpty())
        return;
    for (const QString& text : std::exchange(m_pendingWrites, {}))
        m_app.link()->requestOneShot(text);
}

} // namespace vantor
