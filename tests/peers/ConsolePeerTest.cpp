// SPDX-License-Identifier: GPL-3.0-or-later
// The console mode of the program binary against the pymodbus slave, over a socat
// pseudo-terminal pair and over TCP: what it prints, in which order, and how it fails.
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <gtest/gtest.h>

#include "project/ProfileFile.h"

#include "support/QtPrinters.h"

#include "peers/PeerProcess.h"
#include "support/Wait.h"

namespace vantor {
namespace {

using test::kPeerWaitMs;

struct ConsoleRun {
    int exitCode = -1;
    QStringList lines; // standard output
    QString errors;    // standard error
    std::string Text() const {
        return (lines.join('\n') + "\n--- stderr:\n" + errors).toStdString();
    }
};

ConsoleRun RunConsole(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(VANTOR_BINARY), QStringList{"--console"} + arguments);
    ConsoleRun run;
    if (!process.waitForFinished(4 * kPeerWaitMs) || process.exitStatus() != QProcess::NormalExit) {
        run.errors = "the console did not end normally: " + process.errorString();
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.lines = QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    run.errors = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QRegularExpression Line(const QString& pattern) {
    return QRegularExpression('^' + pattern + '$');
}

// A log line: its time stamp, then the text.
QRegularExpression Logged(const QString& text) {
    return Line(R"(\d{2}:\d{2}:\d{2}:\d{3} )" + QRegularExpression::escape(text));
}

bool Matches(const QRegularExpression& re, const QString& line) {
    return re.match(line).hasMatch();
}

// The output must start with the lines of one whole cycle, every line but the last must be one
// of the cycle's lines (a run may end between a request and its reply), and the last line must
// be the counters with no CRC or data errors, followed by each polled packet's statistics: it
// had valid replies, no CRC errors and no exceptions.
void ExpectCycles(ConsoleRun run, const std::vector<QRegularExpression>& cycle) {
    const QRegularExpression stats = Line(QString::fromUtf8(
        R"(数据包 \d+：请求=[1-9]\d* 有效应答=[1-9]\d* 无应答=\d+ CRC错误=0 异常应答=0 )"
        R"(末次异常码=- 响应\(ms\)=\d+\.\d\d 最小\(ms\)=\S+ 平均\(ms\)=\S+ 最大\(ms\)=\S+)"));
    ASSERT_FALSE(run.lines.isEmpty());
    ASSERT_TRUE(Matches(stats, run.lines.last())) << run.Text();
    while (Matches(stats, run.lines.last()))
        run.lines.removeLast();
    ASSERT_GT(run.lines.size(), static_cast<qsizetype>(cycle.size())) << run.Text();
    for (std::size_t i = 0; i < cycle.size(); ++i)
        EXPECT_TRUE(Matches(cycle[i], run.lines[i])) << "line " << i << "\n" << run.Text();
    for (qsizetype i = cycle.size(); i + 1 < run.lines.size(); ++i)
        EXPECT_TRUE(std::any_of(cycle.begin(), cycle.end(),
                                [&](const auto& re) { return Matches(re, run.lines[i]); }))
            << "unexpected line " << run.lines[i].toStdString();
    EXPECT_TRUE(Matches(Line(QString::fromUtf8("CRC 校验=0 数据错误=0 收包数量=[1-9]\\d*")),
                        run.lines.last()))
        << run.Text();
}

using ConsolePeers = test::PeerTest;

TEST_F(ConsolePeers, RtuSlaveCyclesThroughPackets) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    ConsoleRun run =
        RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10", "--packet", "1,4,0,4",
                    "--packet", "1,2,0,10", "--format", "1:2=5", "--format", "1:3=7", "--format",
                    "1:5=12", "--format", "1:8=5", "--seconds", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.Text();
    ASSERT_FALSE(run.lines.isEmpty());
    EXPECT_EQ(run.lines.takeFirst(), QString::fromUtf8("数据包配置成功。"));
    ExpectCycles(run,
                 {Logged("Tx :  01 03 00 00 00 0A C5 CD "),
                  Logged("Rx:   01 03 14 00 01 FF FE FF FE 3F C0 00 00 FF FF FF FE 80 00 30 39 "
                         "00 00 1F 20 "),
                  Line(R"(Db_01: 1 -2 65534 1\.500 -- -2 -- -32768 12345 0)"),
                  Logged("Tx :  01 04 00 00 00 04 F1 C9 "),
                  Logged("Rx:   01 04 08 00 64 00 C8 7F FF 80 00 A8 3F "),
                  Line("Db_02: 100 200 32767 -32768"), Logged("Tx :  01 02 00 00 00 0A F8 0D "),
                  Logged("Rx:   01 02 02 8D 01 1D 28 "), Line("Db_03: 1 0 1 1 0 0 0 1 1 0")});
}

TEST_F(ConsolePeers, TcpSlaveRepliesArePrintedAsCells) {
    const QString port = QString::number(test::FreeTcpPort());
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", port})) << slave.error();
    QElapsedTimer clock;
    clock.start();
    ConsoleRun run = RunConsole({"--tcp", "127.0.0.1:" + port, "--packet", "1,3,0,10", "--format",
                                 "1:3=7", "--format", "1:5=12", "--seconds", "3"});
    ASSERT_EQ(run.exitCode, 0) << run.Text();
    EXPECT_GE(clock.elapsed(), 3000); // the run never ends before its time
    ASSERT_GE(run.lines.size(), 2);
    EXPECT_EQ(run.lines.takeFirst(), QString::fromUtf8("数据包配置成功。"));
    EXPECT_EQ(run.lines.takeFirst(),
              QString::fromUtf8("Modbus TCP/IP 设备 127.0.0.1 端口 %1 已连接！").arg(port));
    // Each request has a transaction number of its own, which its reply carries back.
    const QString stamp = R"(\d{2}:\d{2}:\d{2}:\d{3} )";
    ExpectCycles(run, {Line(stamp + R"(Tx:   [0-9A-F]{2} [0-9A-F]{2} 00 00 00 06 01 03 00 00 00 0A )"),
                       Line(stamp + R"(Rx:   [0-9A-F]{2} [0-9A-F]{2} 00 00 00 17 01 03 14 00 01 FF FE )"
                                    R"(FF FE 3F C0 00 00 FF FF FF FE 80 00 30 39 00 00 )"),
                       Line(R"(Db_01: 1 -2 -2 1\.500 -- -2 -- -32768 12345 0)")});

    // Quiet, in the fast mode: no frames or cells while polling, then the counters and the
    // packet's statistics.
    const ConsoleRun quiet = RunConsole({"--tcp", "127.0.0.1:" + port, "--packet", "1,3,0,10",
                                         "--interval", "0", "--quiet", "--seconds", "1"});
    ASSERT_EQ(quiet.exitCode, 0) << quiet.Text();
    EXPECT_TRUE(quiet.lines.filter(QRegularExpression(" (Tx|Rx):|^Db_")).isEmpty())
        << quiet.Text();
    ASSERT_GE(quiet.lines.size(), 2) << quiet.Text();
    EXPECT_TRUE(Matches(Line(QString::fromUtf8("CRC 校验=0 数据错误=0 收包数量=[1-9]\\d*")),
                        quiet.lines[quiet.lines.size() - 2]))
        << quiet.Text();
    EXPECT_TRUE(quiet.lines.last().startsWith(QString::fromUtf8("数据包 1：请求=")))
        << quiet.Text();
}

// --write and --send go out after the first reply, in order, and the next polls read them back;
// a value or a frame that is refused ends the run before anything is sent.
TEST_F(ConsolePeers, WritesAndTypedFramesFollowTheFirstReply) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    const ConsoleRun run =
        RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10", "--format", "1:3=7", "--write",
                    "1:3=-2.5", "--send", "01 06 00 09 00 2A", "--seconds", "3"});
    EXPECT_EQ(run.exitCode, 0) << run.Text();
    const QStringList tx =
        run.lines.filter(QStringLiteral("Tx :  01 10 00 03 00 02 04 C0 20 00 00"));
    const qsizetype write = run.lines.indexOf(tx.value(0));
    const qsizetype sent = run.lines.indexOf(run.lines.filter("Tx :  01 06 00 09 00 2A").value(0));
    EXPECT_TRUE(write > 0 && sent > write) << run.Text();
    EXPECT_TRUE(Matches(Line(R"(Db_01: .* -2\.500 -- .* 42)"), run.lines.filter("Db_01").last()))
        << run.Text();

    // A typed read is answered as itself: its reply is shown, never counted against packet 1.
    const ConsoleRun typed = RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10", "--send",
                                         "01 03 00 00 00 02", "--seconds", "2"});
    EXPECT_EQ(typed.exitCode, 0) << typed.Text();
    EXPECT_FALSE(typed.lines.filter(" Rx :  01 03 04 00 01 FF FE ").isEmpty()) << typed.Text();
    EXPECT_TRUE(typed.lines.filter(QString::fromUtf8("应答不完整")).isEmpty()) << typed.Text();
    EXPECT_FALSE(typed.lines.filter(QString::fromUtf8("CRC 校验=0 数据错误=0 ")).isEmpty())
        << typed.Text();

    // A write the device refuses ends the run with status 3 and the exception's name.
    const ConsoleRun deviceRefused = RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10",
                                                 "--send", "01 06 00 64 00 01", "--seconds", "5"});
    EXPECT_EQ(deviceRefused.exitCode, 3) << deviceRefused.Text();
    EXPECT_TRUE(deviceRefused.errors.contains(QString::fromUtf8("异常码 0x02 非法数据地址")))
        << deviceRefused.Text();

    // Refused before anything is sent: a value that does not fit, a frame that is not hex, a
    // cell outside the packet, a read-only table, a packet that configure refuses.
    const struct {
        QStringList arguments;
        const char* told;
    } refusals[] = {
        {{"--packet", "1,3,0,10", "--write", "1:0=70000"}, "--write 1:0"},
        {{"--packet", "1,3,0,10", "--send", "01 0G"}, "--send"},
        {{"--packet", "1,3,0,10", "--write", "1:15=5"}, "不在数据包 1"},
        {{"--packet", "1,3,0,10", "--format", "1:9=7", "--write", "1:9=1.5"}, "不在数据包 1"},
        {{"--packet", "1,2,0,8", "--write", "1:1=1"}, "功能码 02"},
        {{"--packet", "1,4,0,4", "--write", "1:0=1"}, "功能码 04"},
        {{"--packet", "1,1,0,8", "--write", "1:0=2"}, "0 或 1"},
        {{"--packet", "1,3,0,10", "--packet", "1,3,65535,10"}, "配置失败"},
    };
    for (const auto& refused : refusals) {
        const ConsoleRun bad =
            RunConsole(QStringList{"--serial", socat.b(), "--seconds", "3"} + refused.arguments);
        EXPECT_EQ(bad.exitCode, 2) << bad.Text();
        EXPECT_TRUE(bad.errors.contains(QString::fromUtf8(refused.told))) << bad.Text();
        EXPECT_TRUE(bad.lines.filter("Tx").isEmpty()) << bad.Text();
    }
}

// A --write on a coil packet switches the coil with function 05.
TEST_F(ConsolePeers, AWriteOnACoilPacketSwitchesTheCoil) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    const ConsoleRun run = RunConsole({"--serial", socat.b(), "--packet", "1,1,0,12", "--write",
                                       "1:3=1", "--seconds", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.Text();
    EXPECT_FALSE(run.lines.filter("Tx :  01 05 00 03 FF 00").isEmpty()) << run.Text();
    EXPECT_TRUE(Matches(Line("Db_01: 0 0 0 1 0 0 0 0 0 0 0 0"), run.lines.filter("Db_01").last()))
        << run.Text();
}

// --csv records one row per printed reply, in order, with rising time stamps and the cells as
// printed; a file that cannot be made ends the run before anything is sent.
TEST_F(ConsolePeers, CsvRecordsEveryPrintedReply) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("记录.csv"));
    const ConsoleRun run =
        RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10", "--packet", "1,2,0,4",
                    "--format", "1:3=7", "--seconds", "2", "--csv", path});
    ASSERT_EQ(run.exitCode, 0) << run.Text();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    QStringList rows = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    EXPECT_EQ(rows.takeLast(), QString()) << "the last row ends in CRLF";
    ASSERT_FALSE(rows.isEmpty());
    EXPECT_EQ(rows.takeFirst(),
              QString::fromUtf8("时间,数据包,单元格0,单元格1,单元格2,单元格3,"
                                "单元格4,单元格5,单元格6,单元格7,单元格8,单元格9"));
    const QStringList printed = run.lines.filter(QRegularExpression("^Db_"));
    ASSERT_EQ(rows.size(), printed.size()) << run.Text();
    ASSERT_GE(rows.size(), 4) << run.Text();
    const QRegularExpression row(R"(^(\d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d{3}),(.*)$)");
    const QString cells[] = {QStringLiteral("1,1,-2,-2,1.500,--,-1,-2,-32768,12345,0"),
                             QStringLiteral("2,1,0,1,1,,,,,,")};
    QString previous;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const auto match = row.match(rows[i]);
        ASSERT_TRUE(match.hasMatch()) << rows[i].toStdString();
        EXPECT_GT(match.captured(1), previous) << rows[i].toStdString();
        previous = match.captured(1);
        EXPECT_EQ(match.captured(2), cells[i % 2]) << "row " << i;
    }

    const ConsoleRun bad = RunConsole({"--serial", socat.b(), "--packet", "1,3,0,10", "--csv",
                                       dir.filePath("no-such-folder/x.csv")});
    EXPECT_EQ(bad.exitCode, 2) << bad.Text();
    EXPECT_TRUE(bad.errors.contains("--csv") && bad.errors.contains("no-such-folder"))
        << bad.Text();
    EXPECT_TRUE(bad.lines.filter("Tx").isEmpty()) << bad.Text();
}

// A project file gives the packets, formats and names; the device still comes from --serial.
TEST_F(ConsolePeers, AProjectRunPrintsItsNamesOnceAndPollsItsPackets) {
    ASSERT_TRUE(socat.Start()) << socat.error();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("站点.ini"));
    ProfileFile project;
    for (auto [key, value] : {std::pair{"数据包个", "30"},
                              {"0d", "1"},
                              {"1c", "1"},
                              {"2c", "03"},
                              {"3c", "0"},
                              {"4c", "10"},
                              {"发包间隔", "100"},
                              {"Page1_Index0", "进口温度"},
                              {"Page1_Index3_type", "7"}})
        project.setValue("MconfigInfo", QString::fromUtf8(key), QString::fromUtf8(value));
    ASSERT_EQ(project.Save(path), std::nullopt);
    const ConsoleRun run = RunConsole({"--serial", socat.b(), "--project", path, "--seconds", "2"});
    ASSERT_EQ(run.exitCode, 0) << run.Text();
    EXPECT_EQ(run.lines.filter(QRegularExpression("^Lb_")),
              QStringList(QString::fromUtf8("Lb_01: 进口温度 4x00001 4x00002 4x00003 4x00004 "
                                            "4x00005 4x00006 4x00007 4x00008 4x00009")))
        << run.Text();
    const QStringList values = run.lines.filter(QRegularExpression("^Db_"));
    ASSERT_FALSE(values.isEmpty()) << run.Text();
    EXPECT_EQ(values.first(), "Db_01: 1 -2 -2 1.500 -- -1 -2 -32768 12345 0") << run.Text();

    const ConsoleRun missing =
        RunConsole({"--serial", socat.b(), "--project", dir.filePath("none.ini")});
    EXPECT_EQ(missing.exitCode, 2) << missing.Text();
    EXPECT_TRUE(missing.errors.contains("none.ini")) << missing.Text();
}

// The link named on the command line wins over the connection mode a project saved.
TEST_F(ConsolePeers, TheCommandLineLinkWinsOverTheProjects) {
    const quint16 port = test::FreeTcpPort();
    ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port)})) << slave.error();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("gateway.ini"));
    ProfileFile project;
    for (auto [key, value] : {std::pair{"数据包个", "1"}, {"0d", "1"}, {"1c", "1"}, {"2c", "03"},
                              {"3c", "0"}, {"4c", "2"}, {"服务器地址", "127.0.0.1"}})
        project.setValue("MconfigInfo", QString::fromUtf8(key), QString::fromUtf8(value));
    project.setValue("Connection", QString::fromUtf8("连接方式"), "2"); // RTU over TCP
    ASSERT_EQ(project.Save(path), std::nullopt);
    const ConsoleRun run = RunConsole({"--tcp", "127.0.0.1:" + QString::number(port),
                                       "--project", path, "--seconds", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.Text();
    EXPECT_FALSE(run.lines.filter("Db_01: 1 -2").isEmpty()) << run.Text();
}

TEST(ConsoleFailures, MissingDeviceOrServerEndsWithAMessage) {
    QTemporaryDir dir;
    const ConsoleRun serial = RunConsole(
        {"--serial", dir.filePath("no-such-tty"), "--packet", "1,3,0,10", "--seconds", "3"});
    EXPECT_NE(serial.exitCode, 0) << serial.Text();
    EXPECT_TRUE(serial.errors.contains(QString::fromUtf8("没有发现此串口或被占用")))
        << serial.Text();
    EXPECT_FALSE(serial.lines.join('\n').contains("Db_")) << serial.Text();

    const QString port = QString::number(test::FreeTcpPort()); // nobody listens there
    const ConsoleRun tcp =
        RunConsole({"--tcp", "127.0.0.1:" + port, "--packet", "1,3,0,10", "--seconds", "3"});
    EXPECT_NE(tcp.exitCode, 0) << tcp.Text();
    EXPECT_TRUE(tcp.errors.contains(QString::fromUtf8("连接服务器失败!"))) << tcp.Text();
    EXPECT_FALSE(tcp.lines.join('\n').contains("Db_")) << tcp.Text();
}

// A console run in the background, its output read as it comes.
struct LiveConsole {
    explicit LiveConsole(const QStringList& arguments) {
        QObject::connect(&process, &QProcess::readyReadStandardOutput,
                         [this] { out += QString::fromUtf8(process.readAllStandardOutput()); });
        process.start(QStringLiteral(VANTOR_BINARY),
                      QStringList{"--console"} + arguments + QStringList{"--seconds", "30"});
    }
    ~LiveConsole() {
        process.kill();
        process.waitForFinished();
    }
    bool WaitFor(const QString& text, int ms = kPeerWaitMs) {
        return test::WaitUntil([&] { return out.contains(text); }, ms);
    }
    std::string Text() { return (out + process.readAllStandardError()).toStdString(); }
    QProcess process;
    QString out;
};

// A device that disappears and a server that dies end the run with the reason (or, with
// --reconnect, are opened again); a server that keeps the connection but stops answering is
// reported. (How soon: scripts/measure-link-loss.)
TEST_F(ConsolePeers, ALostOrSilentLinkIsSeenAndReported) {
    const QStringList packet{"--packet", "1,3,0,10", "--interval", "100"};
    {
        ASSERT_TRUE(socat.Start()) << socat.error();
        ASSERT_TRUE(test::StartModbusSlave(slave, {"--rtu", socat.a()})) << slave.error();
        LiveConsole console(QStringList{"--serial", socat.b()} + packet);
        ASSERT_TRUE(console.WaitFor(" Rx:")) << console.Text();
        socat.Stop();
        ASSERT_TRUE(console.process.waitForFinished(kPeerWaitMs)) << console.Text();
        EXPECT_TRUE(console.out.contains(QString::fromUtf8(" 串口连接已断开："))) << console.Text();
        slave.Stop();
    }
    {
        const quint16 port = test::FreeTcpPort();
        ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port)}))
            << slave.error();
        LiveConsole console(QStringList{"--tcp", "127.0.0.1:" + QString::number(port)} + packet);
        ASSERT_TRUE(console.WaitFor(" Rx:")) << console.Text();
        slave.Stop();
        ASSERT_TRUE(console.process.waitForFinished(kPeerWaitMs)) << console.Text();
        EXPECT_TRUE(QString::fromUtf8(console.process.readAllStandardError())
                        .contains(QString::fromUtf8("Modbus TCP/IP 连接已断开")))
            << console.Text();
    }
    {
        QTcpServer silent; // accepts and never answers
        ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
        LiveConsole console(
            QStringList{"--tcp", "127.0.0.1:" + QString::number(silent.serverPort())} + packet);
        ASSERT_TRUE(console.WaitFor(QString::fromUtf8(" 数据包 1 无应答"))) << console.Text();
    }
    {
        // --reconnect: a server that closes after each reply is connected again and polled.
        const quint16 port = test::FreeTcpPort();
        ASSERT_TRUE(test::StartModbusSlave(slave, {"--tcp", QString::number(port), "--close"}))
            << slave.error();
        LiveConsole console(
            QStringList{"--tcp", "127.0.0.1:" + QString::number(port), "--reconnect"} + packet);
        ASSERT_TRUE(test::WaitUntil([&] { return console.out.count(" Rx:") >= 2; }, kPeerWaitMs))
            << console.Text();
        EXPECT_TRUE(console.process.state() == QProcess::Running);
        EXPECT_TRUE(QString::fromUtf8(console.process.readAllStandardError())
                        .contains(QString::fromUtf8("已重新连接")))
            << console.Text();
    }
}

} // namespace
} // namespace vantor
