// SPDX-License-Identifier: GPL-3.0-or-later
// A recording's older points leaving memory: what the views and the saves see afterwards.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <vector>

#include "trend/CurveRecorder.h"
#include "trend/SeriesData.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

using namespace vantor;

namespace {

constexpr int kKeep = ValueBlocks::kSize;

double Value(int series, int i) {
    if (series == 1 && i == 1234)
        return 1e6; // a lone spike, far back
    if (series == 1 && i == 2345)
        return -1e6;
    return std::sin(i * 0.01 * series) * 100 + series;
}

// A chart's series fed and saved as the recorder does (the time base labelled, so kept whole),
// its older points dropped after each save.
class SeriesDrop : public ::testing::Test {
protected:
    SeriesDrop() : m_data(3), m_writer(m_dir.filePath(QStringLiteral("run.tee"))) {}

    void grow(int n) {
        for (int k = 0; k < n; ++k, ++m_count) {
            m_data[0].append(m_count + 1, 46000 + m_count / 86400.0, QStringLiteral("t"));
            for (std::size_t s = 1; s < m_data.size(); ++s)
                m_data[s].append(m_count + 1, Value(int(s), m_count));
        }
    }
    ChartSnapshot snapshot() const {
        ChartSnapshot chart;
        chart.series.resize(m_data.size());
        for (std::size_t s = 0; s < m_data.size(); ++s)
            m_data[s].copyTo(chart.series[s]);
        return chart;
    }
    void save() {
        const ChartSnapshot chart = snapshot();
        const auto error = m_writer.save(chart);
        ASSERT_FALSE(error) << error->toStdString();
        for (std::size_t s = 0; s < m_data.size(); ++s)
            m_data[s].dropSaved(chart.series[s], m_writer.spans(), int(s), kKeep);
    }
    void expectFileHoldsEverySampleOnce() const {
        const TeeLoad load = LoadTeeFile(m_writer.path());
        ASSERT_TRUE(load.chart) << load.error.toStdString();
        ASSERT_EQ(load.chart->series.size(), m_data.size());
        for (std::size_t s = 1; s < m_data.size(); ++s) {
            const ValueBlocks& ys = load.chart->series[s].ys;
            ASSERT_EQ(ys.size(), m_count);
            for (int i = 0; i < m_count; ++i)
                ASSERT_EQ(ys[i], Value(int(s), i)) << "series " << s << " point " << i;
        }
    }

    QTemporaryDir m_dir;
    std::vector<SeriesData> m_data;
    TeeRunWriter m_writer;
    int m_count = 0;
};

TEST_F(SeriesDrop, OldPointsLeaveMemoryAndReadBackAsAppended) {
    grow(3000); // the first save writes the file whole, the later ones append
    save();
    for (int round = 0; round < 12; ++round) {
        grow(1000 + round);
        save();
    }
    EXPECT_EQ(m_data[0].first(), 0) << "the time base stays whole";
    EXPECT_GE(m_data[1].first(), 2 * ValueBlocks::kSize);
    EXPECT_GE(m_data[1].count() - m_data[1].first(), kKeep);

    // A zoom into the old part draws the very points appended; sums and ranges see them too.
    std::vector<SeriesPoint> line;
    m_data[2].visibleLine(5001, 5100, {0, 10}, 2000, line);
    ASSERT_EQ(line.size(), 102u);
    for (std::size_t k = 0; k < line.size(); ++k)
        EXPECT_EQ(line[k].y, Value(2, 4999 + int(k)));
    double sum = 0;
    for (int i = 100; i < 9000; ++i)
        sum += Value(2, i);
    EXPECT_NEAR(m_data[2].sum(100, 9000), sum, 1e-6);
    EXPECT_EQ(m_data[1].yRangeOf(1000, 3000)->x, -1e6);

    // The whole run on a few columns: the spikes stay, from the envelope alone.
    m_data[1].visibleLine(1, m_count, {0, 300.0 / m_count}, 300, line);
    double lo = 0, hi = 0;
    for (const SeriesPoint& p : line) {
        lo = std::min(lo, p.y);
        hi = std::max(hi, p.y);
    }
    EXPECT_EQ(lo, -1e6);
    EXPECT_EQ(hi, 1e6);
    EXPECT_EQ(m_data[1].yRangeCoarse(1, m_count)->y, 1e6);
    EXPECT_EQ(*m_data[1].y(1234), 1e6);

    expectFileHoldsEverySampleOnce();
}

TEST_F(SeriesDrop, AWholeRewriteCopiesThePointsNoLongerInMemory) {
    grow(20000);
    save();
    grow(500);
    save();
    ASSERT_GT(m_data[1].first(), 0);
    // A curve more: the writer writes the file whole again, reading the old points back.
    m_data.emplace_back();
    save();
    ASSERT_EQ(m_writer.lastSave(), TeeRunWriter::Save::Whole);
    m_data.pop_back(); // and whole again, with the points read from that file
    save();
    ASSERT_EQ(m_writer.lastSave(), TeeRunWriter::Save::Whole);
    grow(700);
    save();
    EXPECT_EQ(m_writer.lastSave(), TeeRunWriter::Save::Append);
    expectFileHoldsEverySampleOnce();
    // The chart now reads its older points from the file written last.
    for (int i = 0; i < m_count; ++i)
        ASSERT_EQ(*m_data[2].y(i), Value(2, i)) << i;
}

TEST_F(SeriesDrop, NothingLeavesMemoryThatTheFileDoesNotHoldOrThatWasReplaced) {
    grow(20000);
    const ChartSnapshot before = snapshot();
    ASSERT_FALSE(m_writer.save(before));
    // The series refilled since the save: its blocks are no longer the ones saved.
    m_data[1].clear();
    for (int i = 0; i < 20000; ++i)
        m_data[1].append(i + 1, Value(1, i));
    m_data[1].dropSaved(before.series[1], m_writer.spans(), 1, kKeep);
    EXPECT_EQ(m_data[1].first(), 0);
    // Points newer than the save stay too.
    grow(20000);
    m_data[2].dropSaved(before.series[2], m_writer.spans(), 2, kKeep);
    EXPECT_EQ(m_data[2].first(), 20000 / ValueBlocks::kSize * ValueBlocks::kSize);
    EXPECT_EQ(*m_data[2].y(100), Value(2, 100));
}

TEST_F(SeriesDrop, AFileLongerThanTheWindowOpensWithItsOlderPointsLeftInIt) {
    grow(9000);
    save();
    for (int round = 0; round < 8; ++round) {
        grow(1500);
        save();
    }
    // A save cut off at the end (a kill in the middle of an append) is left out.
    QFile file(m_writer.path());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(QByteArray("APND\x40\0\0\0\0\0\0\0", 12) + QByteArray(20, 'x'));
    file.close();
    const TeeLoad load = LoadTeeFile(m_writer.path(), kKeep);
    ASSERT_TRUE(load.chart) << load.error.toStdString();
    EXPECT_FALSE(load.warning.isEmpty());
    for (std::size_t s = 0; s < m_data.size(); ++s) {
        SeriesData opened;
        opened.assign(load.chart->series[s]);
        ASSERT_EQ(opened.count(), m_count);
        EXPECT_EQ(opened.first() > 0, s > 0) << "only curves leave memory, series " << s;
        if (s == 0)
            continue;
        EXPECT_GE(opened.count() - opened.first(), kKeep);
        for (int i = 0; i < m_count; ++i)
            ASSERT_EQ(*opened.y(i), Value(int(s), i)) << "series " << s << " point " << i;
        // The envelope and the sums came with the file's reading, as a chart fed live has them.
        EXPECT_EQ(opened.yRange()->x, m_data[s].yRange()->x);
        EXPECT_EQ(opened.yRange()->y, m_data[s].yRange()->y);
        EXPECT_NEAR(opened.sum(0, m_count), m_data[s].sum(0, m_count), 1e-6);
    }
}

// The live path: the recorder's round saves the chart's snapshot and hands it back with the
// file's index; the chart then lets the saved older points go and still shows every value.
TEST(RecordedChart, LetsItsSavedOlderPointsGoAndStillShowsThem) {
    QTemporaryDir dir;
    CTChart chart;
    chart.data().setKeptPoints(kKeep);
    chart.data().addSeries();
    for (int i = 0; i < 20000; ++i) {
        chart.data().appendIndexed(0, 46000 + i / 86400.0, QStringLiteral("t"));
        chart.data().append(1, i + 1, Value(1, i));
    }
    CurveRecorder recorder([&chart] { return chart.snapshot(); });
    recorder.setProjectPath(dir.filePath(QStringLiteral("p.ini")));
    QObject::connect(&recorder, &CurveRecorder::recorded, &chart.data(), &TrendData::dropSaved);
    recorder.start();
    recorder.stop();
    recorder.waitForWrites();
    const ChartSnapshot after = chart.snapshot();
    EXPECT_EQ(after.series[0].ys.firstHeld(), 0);
    EXPECT_EQ(after.series[1].ys.firstHeld(), 3 * ValueBlocks::kSize);
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(*chart.data().yValue(1, i), Value(1, i)) << i;
    chart.setAxisRange(TrendAxis::X, 1, 20000);
    EXPECT_EQ(chart.visibleStats(1)->max, 1e6);
    EXPECT_EQ(chart.visibleStats(1)->min, -1e6);
}

} // namespace
