// SPDX-License-Identifier: GPL-3.0-or-later
// The headless command line: its defaults, the rows and formats it fills, and a clear message
// naming the fault for every wrong command line (the Chinese source texts: no translator here).
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "app/ConsoleOptions.h"
#include "app/QtOptions.h"
#include "app/Version.h"

using namespace vantor;

namespace {

ParsedOptions Parse(const QString& commandLine) {
    QStringList arguments{QStringLiteral("vantor")};
    arguments += commandLine.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    return ParseConsoleOptions(arguments);
}

// The options of a command line that must parse; an empty object (and a failure) otherwise.
ConsoleOptions Accepted(const QString& commandLine) {
    const ParsedOptions parsed = Parse(commandLine);
    EXPECT_TRUE(parsed.error.isEmpty())
        << commandLine.toStdString() << ": " << parsed.error.toStdString();
    EXPECT_TRUE(parsed.options.has_value()) << commandLine.toStdString();
    return parsed.options.value_or(ConsoleOptions{});
}

} // namespace

TEST(ConsoleOptions, DefaultsOfASerialRun) {
    const ConsoleOptions o = Accepted("--console --serial X --packet 1,3,0,10");
    EXPECT_TRUE(o.console);
    EXPECT_FALSE(o.demo);
    EXPECT_EQ(o.link, LinkKind::Serial);
    EXPECT_EQ(o.serial.portName, "X");
    EXPECT_EQ(o.serial.baudRate, 19200);
    EXPECT_EQ(o.serial.parity, 'N');
    EXPECT_EQ(o.serial.dataBits, 8);
    EXPECT_EQ(o.serial.stopBits, 2);
    EXPECT_EQ(o.intervalMs, 200);
    EXPECT_EQ(o.addressBase, 0);
    EXPECT_EQ(o.seconds, 0);
    EXPECT_EQ(o.tcp, TcpHeader{}); // over --tcp: each packet's own slave and function
    EXPECT_TRUE(o.formats.empty());
    ASSERT_EQ(o.packetCount, 1);
    EXPECT_EQ(o.rows[0].slave, "1");
    EXPECT_EQ(o.rows[0].function, "3");
    EXPECT_EQ(o.rows[0].address, "0");
    EXPECT_EQ(o.rows[0].count, "10");
    EXPECT_TRUE(o.rows[0].enabled);
    EXPECT_FALSE(o.rows[1].enabled);
}

TEST(ConsoleOptions, SerialSettingsAndNumbersAreTaken) {
    const ConsoleOptions o = Accepted("--console --serial /dev/pts/7 --baud 9600 --parity e "
                                      "--data-bits 7 --stop-bits 1 --interval 0 --base 1 "
                                      "--seconds 5 --timeout 250 --packet 1,3,0,10");
    EXPECT_EQ(o.serial.portName, "/dev/pts/7");
    EXPECT_EQ(o.serial.baudRate, 9600);
    EXPECT_EQ(o.serial.parity, 'E');
    EXPECT_EQ(o.serial.dataBits, 7);
    EXPECT_EQ(o.serial.stopBits, 1);
    EXPECT_EQ(o.intervalMs, 0);
    EXPECT_EQ(o.addressBase, 1);
    EXPECT_EQ(o.seconds, 5);
    EXPECT_EQ(o.replyTimeoutMs, 250);
}

TEST(ConsoleOptions, WrongCommandLinesNameTheirFault) {
    const QString ok = QStringLiteral(" --packet 1,3,0,10");
    QString tooMany = QStringLiteral("--console --serial X");
    for (int i = 0; i <= kPacketCount; ++i)
        tooMany += ok;
    const struct {
        QString commandLine;
        const char* named; // a part of the message that names the fault
    } cases[] = {
        {"--console" + ok, "请指定连接"},
        {"--console --serial X", "--packet"},
        {"--console --serial X --parity X" + ok, "--parity"},
        {"--console --serial X --parity NO" + ok, "--parity"},
        {"--console --serial X --data-bits 9" + ok, "--data-bits"},
        {"--console --serial X --data-bits 4" + ok, "--data-bits"},
        {"--console --serial X --stop-bits 3" + ok, "--stop-bits"},
        {"--console --serial X --baud 0" + ok, "--baud"},
        {"--console --serial X --baud fast" + ok, "--baud"},
        {"--console --tcp localhost" + ok, "--tcp"},
        {"--console --tcp :502" + ok, "--tcp"},
        {"--console --tcp localhost:0" + ok, "--tcp"},
        {"--console --tcp localhost:65536" + ok, "--tcp"},
        {"--console --tcp localhost:http" + ok, "--tcp"},
        {"--console --serial X --tcp localhost:502" + ok, "只能选其一"},
        {"--console --tcp a:1 --rtu-over-tcp b:2" + ok, "只能选其一"},
        {"--console --rtu-over-tcp localhost" + ok, "--rtu-over-tcp"},
        {"--console --rtu-over-tcp h:502 --packet 1,16,0,1", "功能码须为"},
        {"--console --tcp localhost:502 --unit 256" + ok, "--unit"},
        {"--console --tcp localhost:502 --function 7" + ok,
         "--function 须为 1, 2, 3, 4, 20, 23, 43 之一，实际为“7”"},
        {"--console --tcp localhost:502 --function 51" + ok, "--function 须为"},
        // A write sent at every poll would overwrite the device without a word.
        {"--console --tcp localhost:502 --function 6" + ok, "--function 6 是写入设备的功能码"},
        {"--console --tcp localhost:502 --function 22" + ok, "--function 22 是写入"},
        {"--console --tcp localhost:502 --function x" + ok, "--function"},
        {"--console --serial X --packet 1,3,0", "SLAVE,FUNCTION,ADDRESS,COUNT"},
        {"--console --serial X --packet 1,3,0,10,1", "SLAVE,FUNCTION,ADDRESS,COUNT"},
        {"--console --serial X --packet 256,3,0,10", "站号须为 0..255"},
        {"--console --serial X --packet 1,x,0,10", "功能码须为数字"},
        {"--console --serial X --packet 1,3,65536,10", "地址须为 0..65535"},
        {"--console --serial X --packet 1,3,-1,10", "地址须为 0..65535"},
        {"--console --serial X --packet 1,16,0,10", "功能码须为 1, 2, 3, 4, 50 或 51"},
        // Serial counts keep to configure's limits: the largest reply the receive assembly holds.
        {"--console --serial X --packet 1,3,0,0", "数量须为 1..132"},
        {"--console --serial X --packet 1,3,0,133", "数量须为 1..132"},
        {"--console --serial X --packet 1,4,0,133", "数量须为 1..132"},
        {"--console --serial X --packet 1,2,0,2121", "数量须为 1..2120"},
        {"--console --serial X --packet 1,51,0,27", "数量须为 1..26"},
        {"--console --serial X --packet 1,3,0,ten", "数量须为"},
        // Over --tcp the limit is Modbus TCP's for the function sent: the row's own, or
        // --function's.
        {"--console --tcp localhost:502 --packet 1,3,0,126", "数量须为 1..125"},
        {"--console --tcp localhost:502 --packet 1,1,0,2001", "数量须为 1..2000"},
        {"--console --tcp h:502 --function 3 --packet 1,1,0,126", "功能码 3 的数量须为 1..125"},
        {"--console --tcp localhost:502 --packet 1,50,0,1", "功能码须为 1, 2, 3 或 4"},
        {"--console --tcp localhost:502 --packet 1,16,0,1", "功能码须为 1, 2, 3 或 4"},
        {"--console --serial X --packet 1,3,0,10 --packet 1,3,0", "“1,3,0”"},
        {tooMany, "最多 30"},
        {"--console --serial X --format 1:0" + ok, "--format"},
        {"--console --serial X --format 1=4:0" + ok, "--format"},
        {"--console --serial X --format 0:0=4" + ok, "--format"},
        {"--console --serial X --format 31:0=4" + ok, "--format"},
        {"--console --serial X --format 1:130=4" + ok, "--format"},
        {"--console --serial X --format 1:0=6" + ok, "--format"},
        {"--console --serial X --format 1:0=11" + ok, "--format"},
        {"--console --serial X --format 1:0=16" + ok, "--format"},
        {"--console --serial X --format 1:x=4" + ok, "--format"},
        {"--console --serial X --base 2" + ok, "--base"},
        {"--console --serial X --interval -1" + ok, "--interval"},
        {"--console --serial X --timeout 9" + ok, "--timeout"},
        {"--console --serial X --seconds 2000001" + ok, "--seconds"},
        {"--console --serial X --bogus" + ok, "未知选项：bogus"},
        {"--console --serial X stray" + ok, "多余的参数“stray”"},
        {"--console --serial X" + ok + " --csv", "--csv"},
        {"--serial X --csv out.csv" + ok, "--console"},
        {"--serial X --quiet" + ok, "--console"},
        {"--console --serial X --publish http://h" + ok, "mqtt://"},
        {"--serial X --publish mqtt://h" + ok, "--console"},
        {"a.ini b.ini", "b.ini"}, // the window opens one project
    };
    for (const auto& c : cases) {
        const ParsedOptions parsed = Parse(c.commandLine);
        EXPECT_FALSE(parsed.options.has_value()) << c.commandLine.toStdString();
        EXPECT_TRUE(parsed.error.contains(QString::fromUtf8(c.named)))
            << c.commandLine.toStdString() << " gave: " << parsed.error.toStdString();
    }
}

TEST(ConsoleOptions, RepeatedPacketsFillRowsInOrder) {
    const ConsoleOptions o = Accepted("--console --serial X --packet 1,3,0,10 "
                                      "--packet 0,04,100,132 --packet 255,2,65535,2120 "
                                      "--packet 7,51,1,26 --packet 9,50,2,1000");
    ASSERT_EQ(o.packetCount, 5);
    const struct {
        const char *slave, *function, *address, *count;
    } rows[] = {{"1", "3", "0", "10"},
                {"0", "4", "100", "132"},
                {"255", "2", "65535", "2120"},
                {"7", "51", "1", "26"},
                {"9", "50", "2", "1000"}};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(o.rows[i].slave, rows[i].slave);
        EXPECT_EQ(o.rows[i].function, rows[i].function);
        EXPECT_EQ(o.rows[i].address, rows[i].address);
        EXPECT_EQ(o.rows[i].count, rows[i].count);
        EXPECT_TRUE(o.rows[i].enabled);
    }
    for (std::size_t i = std::size(rows); i < o.rows.size(); ++i)
        EXPECT_FALSE(o.rows[i].enabled) << i;

    // Function 50 reads one block whatever the count says.
    EXPECT_EQ(Accepted("--console --serial X --packet 1,50,0,65535").rows[0].count, "65535");
}

TEST(ConsoleOptions, FormatsAreTakenFromOneBased) {
    const ConsoleOptions o =
        Accepted("--console --serial X --packet 1,3,0,10 --format 1:0=7 --format 30:129=15 "
                 "--format 2:5=5 --format 3:9=12");
    ASSERT_EQ(o.formats.size(), 4u);
    const int expected[][3] = {{1, 0, 7}, {30, 129, 15}, {2, 5, 5}, {3, 9, 12}};
    for (std::size_t i = 0; i < o.formats.size(); ++i) {
        EXPECT_EQ(o.formats[i].point.packet.number, expected[i][0]) << i;
        EXPECT_EQ(o.formats[i].point.cell, expected[i][1]) << i;
        EXPECT_EQ(o.formats[i].code, expected[i][2]) << i;
    }
}

TEST(ConsoleOptions, DemoAndWindowNeedNoLinkOrPacket) {
    const ConsoleOptions demo = Accepted("--console --demo");
    EXPECT_TRUE(demo.demo);
    EXPECT_EQ(demo.packetCount, 0);
    EXPECT_TRUE(Accepted("--demo").demo);
    const ConsoleOptions window = Accepted("");
    EXPECT_FALSE(window.console);
    EXPECT_FALSE(window.demo);
    EXPECT_EQ(Accepted("site.ini").project, "site.ini");
    EXPECT_EQ(Accepted("--console --serial X --project p.ini").project, "p.ini"); // no --packet

    const ParsedOptions help = Parse("--help");
    EXPECT_TRUE(help.help);
    EXPECT_TRUE(help.helpText.contains("--packet"));
    EXPECT_TRUE(help.helpText.contains("--version"));
    EXPECT_TRUE(help.helpText.contains(QString::fromUtf8("不开窗口轮询"))); // --console's line
    EXPECT_FALSE(help.options.has_value());
    // A version request wins over the rest of the line, even a wrong rest.
    for (const char* line : {"--version", "-v --console"}) {
        const ParsedOptions version = Parse(QString::fromLatin1(line));
        EXPECT_TRUE(version.version) << line;
        EXPECT_EQ(version.versionText, QStringLiteral("Vantor %1\n").arg(kVersion)) << line;
        EXPECT_FALSE(version.options.has_value()) << line;
    }
}

TEST(ConsoleOptions, RtuOverTcpTakesAServerAndSerialRows) {
    const ConsoleOptions o = Accepted("--console --rtu-over-tcp gw.local:4001 --packet 7,4,0,3");
    EXPECT_EQ(o.link, LinkKind::RtuOverTcp);
    EXPECT_EQ(o.tcpHost, "gw.local");
    EXPECT_EQ(o.tcpPort, "4001");
    EXPECT_EQ(o.rows[0].slave, "7");
}

TEST(ConsoleOptions, TcpRunTakesAnyFunctionInItsRows) {
    // With --function the rows' own functions are not sent: they may be any.
    const ConsoleOptions o = Accepted("--console --tcp 127.0.0.1:1502 --unit 0 --function 4 "
                                      "--packet 1,16,0,10 --packet 1,50,0,125");
    EXPECT_EQ(o.link, LinkKind::Tcp);
    EXPECT_EQ(o.tcpHost, "127.0.0.1");
    EXPECT_EQ(o.tcpPort, "1502");
    EXPECT_EQ(o.tcp.unit, 0);
    EXPECT_TRUE(o.tcp.fixedUnit);
    EXPECT_EQ(o.tcp.functionIndex, 4);
    EXPECT_EQ(o.packetCount, 2);
    EXPECT_EQ(o.rows[0].function, "16");
    EXPECT_EQ(o.rows[1].count, "125");

    const struct {
        const char* value;
        int index;
    } functions[] = {{"1", 1}, {"3", 3}, {"23", 6}, {"43", 7}};
    for (const auto& f : functions)
        EXPECT_EQ(
            Accepted(QStringLiteral("--console --tcp h:502 --packet 1,3,0,1 --function ") + f.value)
                .tcp.functionIndex,
            f.index)
            << f.value;
}

// --unit and --function each fix their part for every packet; without them a packet goes out
// with its own slave as the unit and its own function.
TEST(ConsoleOptions, TcpUnitAndFunctionFixOnlyWhatIsGiven) {
    const struct {
        const char* options;
        std::uint8_t unit, function; // of the request of --packet 7,4,16,2
    } cases[] = {
        {"", 7, 4},
        {"--unit 9", 9, 4},
        {"--function 3", 7, 3},
        {"--unit 0 --function 1", 0, 1},
        {"--function 43", 7, 43},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options);
        const ConsoleOptions o = Accepted(QStringLiteral("--console --tcp 127.0.0.1:1502 ") +
                                          c.options + " --packet 7,4,16,2");
        const ConfigureResult result = Configure(o.rows, o.link, o.tcp);
        EXPECT_TRUE(result.errors.empty());
        EXPECT_EQ(
            result.images.packets[0].tcp,
            (std::array<std::uint8_t, 12>{0, 0, 0, 0, 0, 6, c.unit, c.function, 0, 16, 0, 2}));
    }
}

// Qt's options stay for QApplication (which removes them itself); the program's own options are
// checked before it, with a display or without.
TEST(ConsoleOptions, QtOptionsAreLeftToQt) {
    const struct {
        const char* given;
        const char* own;
    } cases[] = {
        {"-platform offscreen --demo", "--demo"},
        {"--platform offscreen FILE.ini", "FILE.ini"},
        {"-style=fusion -reverse --no-splash -stylesheet a.qss", "--no-splash"},
        {"-display :1 -geometry 800x600 -qmljsdebugger=port:1 --bogus", "--bogus"},
        {"--serial /dev/pts/3 -name x", "--serial /dev/pts/3"},
        {"-platform", "-platform"}, // no value: Qt does not take it either
    };
    for (const auto& c : cases) {
        QStringList given{QStringLiteral("vantor")};
        given += QString::fromLatin1(c.given).split(QLatin1Char(' '));
        QStringList own{QStringLiteral("vantor")};
        own += QString::fromLatin1(c.own).split(QLatin1Char(' '));
        EXPECT_EQ(WithoutQtOptions(given), own) << c.given;
    }
}
