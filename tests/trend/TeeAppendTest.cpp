// SPDX-License-Identifier: GPL-3.0-or-later
// A recording run's file: saves that append, a save cut off at the end, and a kill in the middle
// of the appends.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

#include "TeeTestData.h"
#include "support/QtPrinters.h"
#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

using namespace vantor;

namespace {

using namespace teetest;
using Save = TeeRunWriter::Save;

// Adds n points to every series of the chart (labels to those that have them).
void Grow(ChartSnapshot& chart, int n) {
    for (SeriesSnapshot& s : chart.series) {
        const bool labelled = !s.labels.empty();
        for (int i = 0; i < n; ++i) {
            const int at = s.count();
            if (!s.regular)
                s.xs.push_back(at * 0.5 - 7);
            s.ys.push_back(at % 11 + 0.25);
            if (labelled)
                s.labels.push_back(QStringLiteral("%1").arg(at));
        }
    }
}

class TeeAppend : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("run.tee")); }
    QByteArray bytes() const {
        QFile file(path());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void add(const QByteArray& tail) const {
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::Append));
        file.write(tail);
    }
    void expectFileIs(const ChartSnapshot& chart) const {
        const TeeLoad load = LoadTeeFile(path());
        ASSERT_TRUE(load.chart) << load.error.toStdString();
        EXPECT_TRUE(load.warning.isEmpty()) << load.warning.toStdString();
        ExpectSame(*load.chart, chart);
    }

    QTemporaryDir m_dir;
};

// Each save after the first appends what changed, and the file reads back as the chart every
// time; whatever the file cannot extend is written whole again.
TEST_F(TeeAppend, EachSaveAppendsWhatIsNewAndTheFileIsTheChart) {
    const struct Step {
        const char* name;
        std::function<void(ChartSnapshot&)> change;
        Save save;
    } steps[] = {
        {"first", [](ChartSnapshot&) {}, Save::Whole},
        {"points", [](ChartSnapshot& c) { Grow(c, 70); }, Save::Append},
        {"a block's worth", [](ChartSnapshot& c) { Grow(c, ValueBlocks::kSize + 3); },
         Save::Append},
        {"nothing", [](ChartSnapshot&) {}, Save::Unchanged},
        {"attributes",
         [](ChartSnapshot& c) {
             c.title = QStringLiteral("新标题");
             c.markerX = 77;
             c.ranges[2] = {-5, 5};
             c.series[1].color = 0xFF0000FFu;
             c.series[2].hiddenByLegend = false;
             c.series[2].axis = TrendAxis::B;
             c.series[3].active = false;
         },
         Save::Append},
        {"attributes and points",
         [](ChartSnapshot& c) {
             c.series[1].title = QStringLiteral("温度2");
             Grow(c, 1);
         },
         Save::Append},
        {"a series cleared", [](ChartSnapshot& c) { c.series[3].ys.clear(); }, Save::Whole},
        {"refilled past the end",
         [](ChartSnapshot& c) {
             const int count = c.series[2].count();
             c.series[2].ys.clear();
             for (int i = 0; i < count + 5; ++i)
                 c.series[2].ys.push_back(-i);
         },
         Save::Whole},
        {"a series more", [](ChartSnapshot& c) { c.series.emplace_back(); }, Save::Whole},
        {"X no longer regular",
         [](ChartSnapshot& c) {
             SeriesSnapshot& s = c.series[2];
             s.regular = false;
             for (int i = 0; i < s.count(); ++i)
                 s.xs.push_back(s.x0 + i);
             s.x0 = 0; // not kept for an irregular series
         },
         Save::Whole},
        {"more points", [](ChartSnapshot& c) { Grow(c, 9); }, Save::Append},
    };
    ChartSnapshot chart = Sample();
    TeeRunWriter writer(path());
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        step.change(chart);
        const qint64 before = writer.size();
        ASSERT_EQ(writer.save(chart), std::nullopt);
        EXPECT_EQ(writer.lastSave(), step.save);
        EXPECT_EQ(writer.size(), bytes().size());
        if (step.save == Save::Unchanged) {
            EXPECT_EQ(writer.size(), before);
        }
        expectFileIs(chart);
    }
    // Appending costs the new points and a little: the file is hardly larger than the chart
    // saved whole.
    const qint64 appended = writer.size();
    ASSERT_EQ(SaveTeeFile(path(), chart), std::nullopt);
    EXPECT_LT(appended - bytes().size(), 2000);
}

// The file no longer being the one the writer left, it is written whole.
TEST_F(TeeAppend, AFileReplacedOrShortenedIsWrittenWholeAgain) {
    const std::function<void(const QString&)> meddle[] = {
        [](const QString& p) { ASSERT_EQ(SaveTeeFile(p, Sample()), std::nullopt); },
        [](const QString& p) { ASSERT_TRUE(QFile::resize(p, 100)); },
        [](const QString& p) { ASSERT_TRUE(QFile::remove(p)); },
    };
    for (std::size_t i = 0; i < std::size(meddle); ++i) {
        SCOPED_TRACE(i);
        ChartSnapshot chart = Sample();
        TeeRunWriter writer(path());
        ASSERT_EQ(writer.save(chart), std::nullopt);
        Grow(chart, 5);
        meddle[i](path());
        ASSERT_EQ(writer.save(chart), std::nullopt);
        EXPECT_EQ(writer.lastSave(), Save::Whole);
        expectFileIs(chart);
    }
}

// The layout as documented, written by the test's own writer: later saves replace the chart's
// and a series' attributes and append points and labels; a cut-off last save is left out.
TEST_F(TeeAppend, LaterSavesResolveInOrderAndACutOffLastSaveIsLeftOut) {
    Bytes attributes; // series 0 after the second save: title "d", unit "W", axis C, hidden
    attributes.put<quint32>(0).text("d").text("W").put<quint32>(0xFF112233).put<quint8>(4);
    attributes.put<quint8>(2).put<qint32>(5);
    Bytes append; // series 0 (regular, values i + 0.5) gets 2 points and 1 label
    append.put<quint32>(1).put<quint64>(3).put<quint64>(2).put<double>(3.5).put<double>(4.5);
    append.put<quint64>(0).put<quint32>(1).put<quint16>(2).data.append("ab");
    const QByteArray saves = Header(1, 2) + Chunk("CHRT", Chart10().data) +
                             Chunk("SERI", Series(3, 3)) + kEnd + Chunk("SMET", attributes.data) +
                             Chunk("APND", append.data) + kEnd +
                             Chunk("CHRT", Chart10().put<qint32>(3).put<double>(9).data) + kEnd;
    QByteArray badChecksum = Chunk("APND", append.data) + kEnd;
    badChecksum[20] = 'x';
    const struct {
        const char* name;
        QByteArray tail;
    } tails[] = {
        {"none", {}},
        {"a chunk's head", Chunk("APND", append.data).left(7)},
        {"in a chunk", Chunk("APND", append.data).left(30)},
        {"no END", Chunk("APND", append.data)},
        {"bad checksum", badChecksum},
        {"wrong first index", Chunk("APND", append.data) + Chunk("APND", append.data) + kEnd},
    };
    for (const auto& t : tails) {
        SCOPED_TRACE(t.name);
        QFile file(path());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(saves + t.tail);
        file.close();
        const TeeLoad load = LoadTeeFile(path());
        ASSERT_TRUE(load.chart) << load.error.toStdString();
        EXPECT_EQ(load.warning.isEmpty(), t.tail.isEmpty()) << load.warning.toStdString();
        if (!t.tail.isEmpty()) {
            EXPECT_TRUE(load.warning.contains(path()));
        }
        const ChartSnapshot& c = *load.chart;
        EXPECT_EQ(std::tie(c.lineWidth, c.markerX), std::make_tuple(3, 9.0));
        const SeriesSnapshot& s = c.series.at(0);
        EXPECT_EQ(std::tie(s.title, s.unit, s.color, s.axis, s.active, s.hiddenByLegend, s.regular,
                           s.lineWidth),
                  std::make_tuple(QStringLiteral("d"), QStringLiteral("W"), 0xFF112233u,
                                  TrendAxis::C, false, true, true, 5));
        EXPECT_EQ(List(s.ys), (std::vector<double>{0.5, 1.5, 2.5, 3.5, 4.5}));
        EXPECT_EQ(s.labels, LabelBlocks(std::vector<QString>{QStringLiteral("ab")}));
    }
}

// A round cut off by a kill or a failure stays at the end of the file; the next save of the
// run cuts it off and appends, and the file is sound again.
TEST_F(TeeAppend, AfterACutOffRoundTheNextSaveLeavesASoundFile) {
    const QByteArray rounds[] = {Chunk("APND", QByteArray(300, 'a')).left(100),
                                 Chunk("APND", Bytes{}.put<quint32>(4).data), kEnd.left(5)};
    for (const QByteArray& torn : rounds) {
        ChartSnapshot chart = Sample();
        TeeRunWriter writer(path());
        ASSERT_EQ(writer.save(chart), std::nullopt);
        Grow(chart, 10);
        ASSERT_EQ(writer.save(chart), std::nullopt);
        const ChartSnapshot saved = chart;
        add(torn);
        const TeeLoad load = LoadTeeFile(path());
        ASSERT_TRUE(load.chart) << load.error.toStdString();
        EXPECT_FALSE(load.warning.isEmpty());
        ExpectSame(*load.chart, saved);

        Grow(chart, 3);
        ASSERT_EQ(writer.save(chart), std::nullopt);
        EXPECT_EQ(writer.lastSave(), Save::Append);
        expectFileIs(chart);
    }
}

// A child appends rounds without end and is killed at varying moments: the file opens with
// every round whose save had returned, each point once and in place.
TEST_F(TeeAppend, AKillDuringTheAppendsKeepsEverySavedRound) {
    QRandomGenerator random(20261209);
    constexpr int kRound = 20000; // the child's points per round and curve
    int cutOff = 0;
    for (int kill = 0; kill < 8; ++kill) {
        SCOPED_TRACE(kill);
        QFile::remove(path());
        QProcess child;
        child.start(QStringLiteral(TEE_SAVE_CHILD), {QStringLiteral("--append"), path()});
        ASSERT_TRUE(child.waitForStarted(10000));
        ASSERT_TRUE(child.waitForReadyRead(30000)); // the first save is in place
        QThread::msleep(random.bounded(1, 120));
        child.kill();
        ASSERT_TRUE(child.waitForFinished(10000));
        ASSERT_EQ(child.exitStatus(), QProcess::CrashExit) << child.readAllStandardError().data();
        const QList<QByteArray> lines = child.readAllStandardOutput().trimmed().split('\n');
        const int reported = lines.last().toInt();
        ASSERT_GT(reported, 0);

        const TeeLoad load = LoadTeeFile(path());
        ASSERT_TRUE(load.chart) << load.error.toStdString();
        cutOff += !load.warning.isEmpty();
        const ChartSnapshot& c = *load.chart;
        const int rounds = c.title.toInt();
        // The round after the last one reported may have been saved before the kill.
        EXPECT_TRUE(rounds == reported || rounds == reported + 1) << rounds << " " << reported;
        EXPECT_EQ(c.markerX, rounds);
        ASSERT_EQ(c.series.size(), 20u);
        for (int s = 0; s < 20; ++s) {
            const ValueBlocks& ys = c.series[std::size_t(s)].ys;
            ASSERT_EQ(ys.size(), rounds * kRound);
            for (int i = 0; i < ys.size(); i += 97)
                ASSERT_EQ(ys[i], s * 1e6 + i);
            EXPECT_EQ(ys[ys.size() - 1], s * 1e6 + ys.size() - 1);
        }
    }
    std::cout << "kills that left a cut-off last save: " << cutOff << " of 8\n";
}

} // namespace

namespace {

// Labels of every kind read back as given; a copy keeps its labels while the original grows,
// shrinks and grows again across a block's edge.
TEST(LabelBlocksTest, LabelsReadBackAndACopyNeverChanges) {
    const std::vector<QString> kinds = {QStringLiteral("12:00:00"), QString(),
                                        QStringLiteral("温度 °C"), QString(40, QLatin1Char('x'))};
    LabelBlocks labels;
    std::vector<QString> want;
    for (int i = 0; i < LabelBlocks::kSize + 10; ++i) {
        want.push_back(kinds[std::size_t(i) % kinds.size()] + QString::number(i % 3));
        labels.push_back(want.back());
    }
    const LabelBlocks copy = labels;
    labels.resize(LabelBlocks::kSize - 2);
    labels.push_back(QStringLiteral("新"));
    labels.resize(LabelBlocks::kSize + 3);
    EXPECT_EQ(std::vector<QString>(copy), want);
    want.resize(LabelBlocks::kSize - 2);
    want.push_back(QStringLiteral("新"));
    want.resize(LabelBlocks::kSize + 3);
    EXPECT_EQ(std::vector<QString>(labels), want);
}

} // namespace
