// SPDX-License-Identifier: GPL-3.0-or-later
// Project files: a whole set-up written and read back, the keys' order and form, and what a
// damaged or hostile file cannot do.
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include "files/GbkText.h"
#include "project/ProfileFile.h"
#include "project/ProjectFile.h"
#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"

using namespace vantor;

namespace {

const QString kSectionName = QStringLiteral("MconfigInfo");

ProjectCounts Configure(Workspace& ws) {
    ws.configure();
    ProjectCounts counts{};
    for (int i = 0; i < kPacketCount; ++i)
        counts[static_cast<std::size_t>(i)] =
            ws.store()->images().packets[static_cast<std::size_t>(i)].count;
    return counts;
}

void Prepare(Workspace& ws) {
    PacketRows rows{};
    rows[0] = {"1", "03", "0", "10", true};
    rows[1] = {"2", "04", "100", "4", false};
    ws.setRows(rows);
    ws.setSendIntervalText(QStringLiteral("350"));
    TcpSettings tcp = ws.tcp();
    tcp.host = QStringLiteral("192.0.2.7");
    ws.setTcp(tcp);
    ws.setLinkKind(LinkKind::RtuOverTcp);
    ws.serial()->setBaudIndex(3);
    ws.serial()->setParityIndex(2);
    ws.serial()->setStopBitsIndex(0);
    ws.store()->setDataFormat(2);
    ws.store()->setAddressBase(1);
    TrendSettings trend;
    trend.range(TrendAxis::E) = {-10, 3000};
    trend.range(TrendAxis::X) = {0, 600};
    trend.lineWidth = 2;
    trend.sampleMs = 500;
    ws.setTrendSettings(trend);
    ws.curves()->drop(QStringLiteral("温度 1-1-2"));
    ws.curves()->drop(QStringLiteral("压力 2-3-2"));
    ws.curves()->setText(1, CurveColumn::Axis, QStringLiteral("E轴"));
    ws.curves()->setText(1, CurveColumn::Unit, QStringLiteral("kPa"));
    ws.curves()->setText(1, CurveColumn::Rate, QStringLiteral("0.5"));
    ws.curves()->setColor(1, 0x00FF8040);
    ws.monitors()->setCaption(MonitorKind::Switch, 3, QStringLiteral("泵 1-3-2"));
    ws.monitors()->setCaption(MonitorKind::Analogue, 9, QStringLiteral("液位 2-1-2"));
    ws.monitors()->setUnit(9, QStringLiteral("m"));
    ws.monitors()->setRate(9, 0.25);
}

} // namespace

TEST(ProjectFile, ASavedSetUpReopensAsItWas) {
    Workspace a;
    Prepare(a);
    const ProjectCounts counts = Configure(a);
    a.store()->setCellLabel({PacketNo(1), 2}, QStringLiteral("出口温度"));
    a.store()->setCellValue({PacketNo(1), 2}, QStringLiteral("42"));
    a.store()->setCellFormat({PacketNo(2), 0}, 7);
    ProfileFile profile;
    profile.setValue(QStringLiteral("Other"), QStringLiteral("kept"), QStringLiteral("1"));
    WriteProject(a, counts, profile);
    const ProfileFile reread = ProfileFile::FromBytes(profile.toBytes());
    EXPECT_EQ(reread.value(QStringLiteral("Other"), QStringLiteral("kept")), "1");

    Workspace b;
    ReadProject(reread, b);
    const ProjectCounts countsB = Configure(b);
    EXPECT_EQ(countsB, counts);
    ReadProjectCells(reread, countsB, b);

    EXPECT_EQ(b.rows()[0].enabled, true);
    EXPECT_EQ(b.rows()[1].enabled, false);
    EXPECT_EQ(b.rows()[1].function, "04");
    EXPECT_EQ(b.rows()[1].address, "100");
    EXPECT_EQ(b.sendIntervalText(), "350");
    EXPECT_EQ(b.linkKind(), LinkKind::RtuOverTcp);
    EXPECT_EQ(b.tcp().host, "192.0.2.7");
    EXPECT_EQ(b.serial()->baudIndex(), 3);
    EXPECT_EQ(b.serial()->parityIndex(), 2);
    EXPECT_EQ(b.serial()->stopBitsIndex(), 0);
    EXPECT_EQ(b.store()->dataFormat(), 2);
    EXPECT_EQ(b.store()->addressBase(), 1);
    EXPECT_EQ(b.trendSettings(), a.trendSettings());
    ASSERT_EQ(b.curves()->rowCount(), 2);
    EXPECT_EQ(b.curves()->row(1).name, "压力");
    EXPECT_EQ(b.curves()->row(1).axis, "E轴");
    EXPECT_EQ(b.curves()->row(1).unit, "kPa");
    EXPECT_EQ(b.curves()->row(1).rate, "0.5");
    EXPECT_EQ(b.curves()->row(1).color, 0x00FF8040u);
    EXPECT_EQ(b.curves()->row(1).number, "2");
    EXPECT_EQ(b.monitors()->caption(MonitorKind::Switch, 3), "泵 1-3-2");
    EXPECT_EQ(b.monitors()->caption(MonitorKind::Lamp, 0), "DO 0-0-0");
    EXPECT_EQ(b.monitors()->caption(MonitorKind::Analogue, 9), "液位 2-1-2");
    EXPECT_EQ(b.monitors()->unit(9), "m");
    EXPECT_DOUBLE_EQ(b.monitors()->rate(9), 0.25);
    EXPECT_EQ(b.store()->labelText({PacketNo(1), 2}), "出口温度");
    EXPECT_EQ(b.store()->valueText({PacketNo(1), 2}), "42");
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(b.store()->formatCode({PacketNo(2), i}), a.store()->formatCode({PacketNo(2), i}));
    EXPECT_TRUE(b.userNames());
}

TEST(ProjectFile, KeysComeInTheirOrderAndPagesWithoutCountWriteNoCells) {
    Workspace ws;
    Prepare(ws);
    ProfileFile profile;
    profile.setValue(kSectionName, QStringLiteral("Page9_Index0"), QStringLiteral("old"));
    WriteProject(ws, ProjectCounts{}, profile); // every count 0
    const QStringList keys = profile.keys(kSectionName);
    EXPECT_FALSE(keys.join(' ').contains("Page")) << keys.join(' ').toStdString();
    const QStringList head{"服务器地址", "串口号", "波特率", "校验位", "数据位", "停止位",
                           "发包间隔",   "曲线数", "0b",     "1b",     "2b"};
    EXPECT_EQ(keys.mid(0, head.size()), head);
    EXPECT_EQ(keys.indexOf("8b"), keys.indexOf("7b") + 1); // n counts on across rows
    EXPECT_EQ(profile.value(kSectionName, "12b"), "2");    // "No." is the row from 1
    EXPECT_LT(keys.indexOf("SeriesWidth"), keys.indexOf("1096Static"));
    EXPECT_EQ(keys.indexOf("1Rate") - keys.indexOf("1125Static"), 11);
    EXPECT_EQ(keys.last(), "207c"); // row 29's count
    EXPECT_EQ(profile.value(kSectionName, "10Rate"), "0.250000");
    EXPECT_EQ(profile.value(kSectionName, "3d"), "0");
}

TEST(ProjectFile, IndexesOutsideTheirTablesAreSkippedAndTheRestLoads) {
    ProfileFile p; // the section's name in another case: found all the same
    for (auto [key, value] : {std::pair{"波特率", "40"},
                              {"校验位", "-1"},
                              {"Radio1", "9"},
                              {"Radio2", "5"},
                              {"曲线数", "500"},
                              {"0b", "T"},
                              {"数据包个", "99"},
                              {"0d", "1"},
                              {"4c", "12"},
                              {"发包间隔", "250"},
                              {"1105Static", "A 1-1-2"}})
        p.setValue(QStringLiteral("mconfiginfo"), QString::fromUtf8(key), QString::fromUtf8(value));
    p.setValue(QStringLiteral("Connection"), QStringLiteral("连接方式"), QStringLiteral("7"));
    Workspace ws;
    ws.setLinkKind(LinkKind::Tcp);
    ReadProject(p, ws);
    EXPECT_EQ(ws.linkKind(), LinkKind::Serial); // a mode this reader does not know
    EXPECT_EQ(ws.serial()->baudIndex(), 6);     // unchanged
    EXPECT_EQ(ws.serial()->parityIndex(), 0);
    EXPECT_EQ(ws.store()->dataFormat(), 0);
    EXPECT_EQ(ws.store()->addressBase(), 0);
    EXPECT_EQ(ws.curves()->rowCount(), CurveTable::kMaxCurves);
    EXPECT_EQ(ws.curves()->row(0).name, "T");
    EXPECT_TRUE(ws.rows()[0].enabled);
    EXPECT_EQ(ws.rows()[0].count, "12");
    EXPECT_EQ(ws.sendIntervalText(), "250");
    EXPECT_EQ(ws.monitors()->caption(MonitorKind::Analogue, 9), "A 1-1-2");
}

TEST(ProjectFile, AMissingFileIsRefusedAndAFailedSaveLeavesTheOldFile) {
    QTemporaryDir dir;
    const ProjectOpen missing = ReadProjectFile(dir.filePath("none.ini"));
    EXPECT_FALSE(missing.profile);
    EXPECT_TRUE(missing.error.contains("none.ini"));
    Workspace ws;
    EXPECT_NE(SaveProject(dir.filePath("no/such/p.ini"), ws, ProjectCounts{}), std::nullopt);
    ASSERT_EQ(SaveProject(dir.filePath("p.ini"), ws, ProjectCounts{}), std::nullopt);
    EXPECT_TRUE(ReadProjectFile(dir.filePath("p.ini")).profile.has_value());
}

TEST(ProjectFile, NamesComeFromTheCountsTheFileHolds) {
    ProfileFile p;
    for (auto [key, value] : {std::pair{"4c", "2"},
                              {"Page1_Index0", "进口"},
                              {"Page1_Index0_val", "7"},
                              {"Page1_Index1", "出口"},
                              {"Page1_Index2", "beyond the count"}})
        p.setValue(kSectionName, QString::fromUtf8(key), QString::fromUtf8(value));
    Workspace ws;
    ws.store()->setCellLabel({PacketNo(1), 2}, QStringLiteral("kept"));
    ReadProjectNames(p, ws);
    EXPECT_EQ(ws.store()->labelText({PacketNo(1), 0}), "进口");
    EXPECT_EQ(ws.store()->valueText({PacketNo(1), 0}), "7");
    EXPECT_EQ(ws.store()->labelText({PacketNo(1), 1}), "出口");
    EXPECT_EQ(ws.store()->labelText({PacketNo(1), 2}), "kept");
}

namespace {

QByteArray Gbk(const char* utf8) {
    return gbk::encode(QString::fromUtf8(utf8));
}

} // namespace

// A file that is no project is refused, naming the file, before anything reads it as one.
TEST(ProjectFile, FilesThatAreNoProjectAreRefused) {
    QTemporaryDir dir;
    const QByteArray head = "[MconfigInfo]\r\n" + Gbk("发包间隔") + "=200\r\n";
    const QByteArray cut = head + Gbk("服务器地址") + "=" + Gbk("温").left(1); // cut in a char
    struct Case {
        const char* name;
        QByteArray bytes;
    };
    for (const Case& c : {Case{"binary.ini", QByteArray("\x7F" "ELF\x02\x01\x00\x00\xFF\xFE", 10)},
                          Case{"empty.ini", {}},
                          Case{"cut.ini", cut},
                          Case{"nul.ini", head + QByteArray(4, '\0')},
                          Case{"other.ini", "[Other]\r\nkey=1\r\n"},
                          Case{"unknown.ini", "[MconfigInfo]\r\nkey=1\r\n"}}) {
        QFile file(dir.filePath(c.name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.bytes);
        file.close();
        const ProjectOpen open = ReadProjectFile(file.fileName());
        EXPECT_FALSE(open.profile) << c.name;
        EXPECT_TRUE(open.error.contains(c.name)) << open.error.toStdString();
    }
    // A pipe would block the open and a device never ends: both refused at once.
    const QString fifo = dir.filePath("fifo.ini");
    ASSERT_EQ(mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    for (const QString& path : {fifo, QStringLiteral("/dev/zero")}) {
        const ProjectOpen open = ReadProjectFile(path);
        EXPECT_FALSE(open.profile);
        EXPECT_TRUE(open.error.contains(path)) << open.error.toStdString();
    }
    QFile big(dir.filePath("big.ini")); // sparse: no disk space taken
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(head);
    ASSERT_TRUE(big.resize(ProfileFile::kMaxFileBytes + 1));
    big.close();
    EXPECT_FALSE(ReadProjectFile(big.fileName()).profile);
}

// UTF-8 as an editor leaves it, with or without a mark, reads as UTF-8 and is saved in GBK.
TEST(ProjectFile, Utf8ProjectsReadAsUtf8AndSaveInGbk) {
    QTemporaryDir dir;
    const QByteArray text = QStringLiteral("[MconfigInfo]\r\n1096Static=温度 1-1-2\r\n").toUtf8();
    for (const QByteArray& bytes : {text, QByteArray("\xEF\xBB\xBF") + text}) {
        const QString path = dir.filePath("u.ini");
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        const ProjectOpen open = ReadProjectFile(path);
        ASSERT_TRUE(open.profile) << open.error.toStdString();
        Workspace ws;
        ReadProject(*open.profile, ws);
        EXPECT_EQ(ws.monitors()->caption(MonitorKind::Analogue, 0), "温度 1-1-2");
        ASSERT_EQ(SaveProject(path, ws, ProjectCounts{}), std::nullopt);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(file.readAll().contains("1096Static=" + Gbk("温度 1-1-2")));
        file.close();
    }
}

// Trend settings that are missing or that the settings dialog refuses take the defaults.
TEST(ProjectFile, TrendSettingsOutOfRangeFallBackToTheDefaults) {
    const TrendSettings defaults;
    struct Case {
        const char* key;
        const char* value;
        std::int16_t TrendSettings::*field;
        std::int16_t want;
    };
    for (const Case& c : {Case{"Sample", "0", &TrendSettings::sampleMs, defaults.sampleMs},
                          Case{"Sample", "250", &TrendSettings::sampleMs, 250},
                          Case{"Sample", "70000", &TrendSettings::sampleMs, defaults.sampleMs},
                          Case{"AnnoFont", "0", &TrendSettings::floatBoxFont, defaults.floatBoxFont},
                          Case{"AnnoFont", "12", &TrendSettings::floatBoxFont, 12},
                          Case{"LegendFont", "x", &TrendSettings::legendFont, defaults.legendFont},
                          Case{"SeriesWidth", "-1", &TrendSettings::lineWidth, defaults.lineWidth},
                          Case{"LineSpace", "-8", &TrendSettings::legendSpacing, -8}}) {
        ProfileFile p;
        p.setValue(kSectionName, QString::fromUtf8(c.key), QString::fromUtf8(c.value));
        Workspace ws;
        ReadProject(p, ws);
        EXPECT_EQ(ws.trendSettings().*c.field, c.want) << c.key << "=" << c.value;
    }
    ProfileFile p;
    p.setValue(kSectionName, "MaxHz", "50");
    p.setValue(kSectionName, "MinHz", "50"); // an empty range
    p.setValue(kSectionName, "MaxC", "90");
    p.setValue(kSectionName, "MinC", "-10");
    Workspace ws;
    ReadProject(p, ws);
    EXPECT_EQ(ws.trendSettings().range(TrendAxis::Y), defaults.range(TrendAxis::Y));
    EXPECT_EQ(ws.trendSettings().range(TrendAxis::B), (AxisRange{-10, 90}));
    EXPECT_EQ(ws.trendSettings().range(TrendAxis::E), defaults.range(TrendAxis::E)); // missing
}

// The server address is kept in serial mode too; what the settings section cannot hold comes
// back from the extra section, and invalid values there change nothing.
TEST(ProjectFile, LinkEndPointsComeBackInAnyMode) {
    Workspace a;
    TcpSettings tcp;
    tcp.host = QStringLiteral("192.168.1.20");
    tcp.port = QStringLiteral("1502");
    tcp.header = WithFunctionEntry(tcp.header, 3);
    tcp.header.unit = 17;
    a.setTcp(tcp);
    a.serial()->setTypedPort(QStringLiteral("/dev/pts/4"));
    ProfileFile p;
    WriteProject(a, ProjectCounts{}, p);
    Workspace b;
    ReadProject(p, b);
    ReadProjectLink(p, b);
    EXPECT_EQ(b.linkKind(), LinkKind::Serial);
    EXPECT_EQ(b.tcp(), tcp);
    EXPECT_EQ(b.serial()->portText(), "/dev/pts/4");

    for (const char* key : {"TcpPort", "UnitId", "TcpFunction", "FixedUnit"})
        p.setValue(QStringLiteral("Vantor"), QString::fromUtf8(key), QStringLiteral("99999"));
    Workspace c;
    ReadProjectLink(p, c);
    EXPECT_EQ(c.tcp().port, "502");
    EXPECT_EQ(c.tcp().header, TcpHeader{});
}

// Whatever a save writes, an open reads back: a set-up written, read into a fresh workspace and
// written again gives the same keys with the same values.
TEST(ProjectFile, EveryKeyWrittenIsReadBack) {
    Workspace a;
    Prepare(a);
    TcpSettings tcp = a.tcp();
    tcp.port = QStringLiteral("1502");
    tcp.header = WithFunctionEntry(tcp.header, 2);
    tcp.header.unit = 9;
    a.setTcp(tcp);
    a.serial()->setDataBitsIndex(1);
    a.serial()->setTypedPort(QStringLiteral("/dev/pts/4"));
    const ProjectCounts counts = Configure(a);
    a.store()->setCellLabel({PacketNo(1), 2}, QStringLiteral("出口温度"));
    a.store()->setCellValue({PacketNo(1), 2}, QStringLiteral("42"));
    a.store()->setCellFormat({PacketNo(2), 1}, 7);
    ProfileFile first;
    WriteProject(a, counts, first);

    Workspace b;
    ReadProject(first, b);
    ReadProjectLink(first, b);
    ASSERT_EQ(Configure(b), counts);
    ReadProjectCells(first, counts, b);
    ProfileFile second;
    WriteProject(b, counts, second);
    auto lines = [](const ProfileFile& p) {
        QStringList lines;
        for (const char* section : {"MconfigInfo", "Connection", "Vantor"})
            for (const QString& key : p.keys(QString::fromLatin1(section)))
                lines << key + '=' + p.fullValue(QString::fromLatin1(section), key);
        return lines;
    };
    EXPECT_EQ(lines(second), lines(first));
}
