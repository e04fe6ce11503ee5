// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include "TeeTestData.h"
#include "support/QtPrinters.h"
#include "trend/TeeFile.h"

using namespace vantor;

namespace {

using namespace teetest;

class TeeFileTest : public ::testing::Test {
protected:
    QString path(const QString& name = QStringLiteral("chart.tee")) const {
        return m_dir.filePath(name);
    }
    void write(const QByteArray& bytes) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray saved(const ChartSnapshot& chart) const {
        EXPECT_EQ(SaveTeeFile(path(), chart), std::nullopt);
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
};

TEST_F(TeeFileTest, EveryFieldSurvivesASaveAndALoad) {
    const ChartSnapshot chart = Sample();
    std::vector<int> steps;
    ASSERT_EQ(SaveTeeFile(path(), chart, [&](int percent) { steps.push_back(percent); }),
              std::nullopt);
    ASSERT_GE(steps.size(), 5u);
    EXPECT_EQ(steps.front(), 0);
    EXPECT_EQ(steps.back(), 100);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));

    const TeeLoad load = LoadTeeFile(path());
    ASSERT_TRUE(load.chart) << load.error.toStdString();
    ExpectSame(*load.chart, chart);
}

TEST_F(TeeFileTest, OlderAndNewerMinorVersionsOpen) {
    // 1.0: the chart chunk ends after the ranges; line width and marker take 0.
    write(Header(1, 0) + Chunk("CHRT", Chart10().data) + Chunk("SERI", Series(3, 3)) + kEnd);
    TeeLoad load = LoadTeeFile(path());
    ASSERT_TRUE(load.chart) << load.error.toStdString();
    EXPECT_EQ(load.chart->title, QStringLiteral("旧图"));
    EXPECT_EQ(load.chart->ranges[6], (ViewRange{6, 16}));
    EXPECT_EQ(load.chart->lineWidth, 0);
    EXPECT_EQ(load.chart->markerX, 0);
    ASSERT_EQ(load.chart->series.size(), 1u);
    const SeriesSnapshot& s = load.chart->series[0];
    EXPECT_EQ(std::tie(s.title, s.unit, s.color, s.axis, s.lineWidth, s.x0),
              std::make_tuple(QStringLiteral("c"), QStringLiteral("V"), 0xFF00FF00u, TrendAxis::Y,
                              1, 10.0));
    EXPECT_EQ(List(s.ys), (std::vector<double>{0.5, 1.5, 2.5}));

    // 1.9: fields appended to the chart chunk and an unknown chunk between series are skipped.
    const QByteArray chart = Chart10().put<qint32>(4).put<double>(88).put<double>(-1).data;
    write(Header(1, 9) + Chunk("CHRT", chart) + Chunk("SERI", Series(1, 1)) +
          Chunk("ZZZZ", QByteArray(40, 'z')) + Chunk("SERI", Series(2, 2)) + kEnd);
    load = LoadTeeFile(path());
    ASSERT_TRUE(load.chart) << load.error.toStdString();
    EXPECT_EQ(load.chart->lineWidth, 4);
    EXPECT_EQ(load.chart->markerX, 88);
    ASSERT_EQ(load.chart->series.size(), 2u);
    EXPECT_EQ(load.chart->series[1].count(), 2);
}

TEST_F(TeeFileTest, DamagedAndForeignFilesAreRefusedNamingTheFile) {
    const QByteArray good = saved(Sample());
    const QByteArray head = Header(1, 1) + Chunk("CHRT", Chart10().data);
    QByteArray flipped = good;
    flipped[good.size() - 40] ^= 0x10; // inside the last series' payload
    QByteArray textMode = good;
    textMode.replace("\n", "\r\n");
    struct Case {
        const char* name;
        std::optional<QByteArray> bytes; // none: no file at all
        const char* says;
    };
    const Case cases[] = {
        {"missing", std::nullopt, "不存在"},
        {"empty", QByteArray(), "空文件"},
        {"png", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "不是本程序的曲线文件"},
        {"text", QByteArray("title,value\n1,2\n"), "不是本程序的曲线文件"},
        {"text mode", textMode, "不是本程序的曲线文件"},
        {"in signature", good.left(5), "不完整"},
        {"in header", good.left(10), "不完整"},
        {"in a chunk", good.left(good.size() / 2), "不完整"},
        {"before end", good.left(good.size() - kEnd.size()), "不完整"},
        {"flipped byte", flipped, "校验和"},
        {"huge count", head + Chunk("SERI", Series(quint64(1) << 40, 2)) + kEnd, "已损坏"},
        {"count past payload", head + Chunk("SERI", Series(100'000'000, 2)) + kEnd, "已损坏"},
        {"huge title", Header(1, 1) + Chunk("CHRT", Bytes{}.put<quint32>(~0u).data) + kEnd,
         "已损坏"},
        {"no chart", Header(1, 1) + kEnd, "已损坏"},
        {"major 2", Header(2, 3) + Chunk("CHRT", Chart10().data) + kEnd, "2.3"},
    };
    for (const Case& c : cases) {
        QFile::remove(path());
        if (c.bytes)
            write(*c.bytes);
        const TeeLoad load = LoadTeeFile(path());
        EXPECT_FALSE(load.chart) << c.name;
        EXPECT_TRUE(load.error.contains(path())) << c.name << ": " << load.error.toStdString();
        EXPECT_TRUE(load.error.contains(QString::fromUtf8(c.says)))
            << c.name << ": " << load.error.toStdString();
    }
    EXPECT_TRUE(LoadTeeFile(path()).error.contains(QStringLiteral("1.x")));
}

TEST_F(TeeFileTest, AFailedSaveNamesTheFileAndLeavesTheOldOneWhole) {
    ChartSnapshot bad = Sample();
    bad.series[1].xs.push_back(1); // one X more than Y
    saved(Sample());
    const std::optional<QString> error = SaveTeeFile(path(), bad);
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->startsWith(QStringLiteral("曲线文件 %1 保存失败：").arg(path())));
    const TeeLoad load = LoadTeeFile(path());
    ASSERT_TRUE(load.chart);
    ExpectSame(*load.chart, Sample());

    const QString nowhere = path(QStringLiteral("no such folder/chart.tee"));
    EXPECT_TRUE(SaveTeeFile(nowhere, Sample()).value_or(QString()).contains(nowhere));
}

// A child saves two charts A and B by turns to one path without end; killed at any moment, it
// leaves a file that loads and is A or B entirely.
TEST_F(TeeFileTest, AKilledSaveLeavesTheOldOrTheNewFile) {
    QRandomGenerator random(20240611);
    for (int round = 0; round < 20; ++round) {
        QProcess child;
        child.start(QStringLiteral(TEE_SAVE_CHILD), {path()});
        ASSERT_TRUE(child.waitForStarted(10000));
        if (round == 0) {
            ASSERT_TRUE(child.waitForReadyRead(30000)); // the first save is in place
        }
        QThread::msleep(random.bounded(5, 150));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().data();

        const TeeLoad load = LoadTeeFile(path());
        ASSERT_TRUE(load.chart) << round << ": " << load.error.toStdString();
        const ChartSnapshot& c = *load.chart;
        const int which = c.title == QStringLiteral("A") ? 1 : 2;
        EXPECT_EQ(c.markerX, which) << round;
        ASSERT_EQ(c.series.size(), 20u) << round;
        for (int s = 0; s < 20; ++s) {
            const ValueBlocks& ys = c.series[std::size_t(s)].ys;
            ASSERT_EQ(ys.size(), 20000) << round;
            EXPECT_EQ(ys[19999], which * 1e6 + s * 1e3 + 19999) << round << " " << s;
        }
    }
    const QStringList left = QDir(m_dir.path()).entryList(QDir::Files);
    std::cout << "files in the folder after the kills: " << left.join(' ').toStdString() << '\n';
}

} // namespace
