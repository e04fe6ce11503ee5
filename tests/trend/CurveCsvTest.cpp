// SPDX-License-Identifier: GPL-3.0-or-later
// The chart as a CSV table: header with units, one row per time-base sample, empty cells where a
// curve has no point, quoting, inactive curves left out, and the atomic save.
#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "registers/OleDate.h"
#include "trend/CurveCsv.h"
#include "trend/CurveCsvRead.h"

namespace vantor {
namespace {

SeriesSnapshot Curve(const QString& title, const QString& unit, std::vector<double> ys,
                     double x0 = 1, std::vector<double> xs = {}) {
    SeriesSnapshot s;
    s.title = title;
    s.unit = unit;
    s.x0 = x0;
    s.regular = xs.empty();
    for (double x : xs)
        s.xs.push_back(x);
    for (double y : ys)
        s.ys.push_back(y);
    return s;
}

// Four samples a second apart across midnight; curves that start late, jump and are inactive.
ChartSnapshot Chart() {
    ChartSnapshot chart;
    std::vector<double> times;
    const QDateTime first(QDate(2024, 3, 5), QTime(23, 59, 58));
    for (int n = 0; n < 4; ++n)
        times.push_back(OleDateFromDateTime(first.addSecs(n)));
    chart.series.push_back(Curve({}, {}, times, 0));
    chart.series.push_back(
        Curve(QStringLiteral("温度"), QStringLiteral("°C"), {1.5, 20.22 * 0.1, 0.1, 1e5}));
    chart.series.push_back(Curve(QStringLiteral("压力, \"高\""), {}, {7, 8}, 3));
    SeriesSnapshot removed = Curve(QStringLiteral("旧"), {}, {9, 9, 9, 9});
    removed.active = false;
    chart.series.push_back(removed);
    chart.series.push_back(
        Curve(QStringLiteral("跳"), QStringLiteral("V"), {-2.5, 1e300, 5}, 0, {1, 4, 5}));
    return chart;
}

const QByteArray kExpected = "\xEF\xBB\xBF"
                             "时间,温度 (°C),\"压力, \"\"高\"\"\",跳 (V)\r\n"
                             "2024-03-05 23:59:58.000,1.5,,-2.5\r\n"
                             "2024-03-05 23:59:59.000,2.022,,\r\n"
                             "2024-03-06 00:00:00.000,0.1,7,\r\n"
                             "2024-03-06 00:00:01.000,100000,8,1e+300\r\n";

TEST(CurveCsv, RowsFollowTheTimeBaseWithEmptyCellsWhereACurveHasNoPoint) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteCurveCsv(buffer, Chart()));
    EXPECT_EQ(buffer.data().toStdString(), kExpected.toStdString());
}

// Samples closer than a second apart keep their milliseconds; two curves of one name stay two
// columns; a name a spreadsheet would run as a formula stays text.
TEST(CurveCsv, TimesToTheMillisecondAndColumnsTheirOwnNames) {
    ChartSnapshot chart;
    const QDateTime first(QDate(2024, 3, 5), QTime(8, 0, 0, 250));
    chart.series.push_back(Curve({}, {}, {OleDateFromDateTime(first)}, 0));
    for (const char* title : {"3x00000", "3x00000", "=1+1"})
        chart.series.push_back(Curve(QString::fromUtf8(title), QStringLiteral("--"), {1}));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteCurveCsv(buffer, chart));
    EXPECT_EQ(buffer.data().mid(3).toStdString(),
              "时间,3x00000 (--),3x00000 (--) #2,'=1+1 (--)\r\n"
              "2024-03-05 08:00:00.250,1,1,1\r\n");
}

TEST(CurveCsv, FieldsAreQuotedOnlyWhenTheyMustBe) {
    const struct {
        const char* text;
        const char* field;
    } cases[] = {{"plain 值", "plain 值"},
                 {"a,b", "\"a,b\""},
                 {"say \"hi\"", "\"say \"\"hi\"\"\""},
                 {"two\r\nlines", "\"two\r\nlines\""}};
    for (const auto& c : cases)
        EXPECT_EQ(CsvField(QString::fromUtf8(c.text)), QString::fromUtf8(c.field)) << c.text;
}

TEST(CurveCsv, SaveWritesTheWholeFileOrNamesTheOneItCouldNotWrite) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("趋势.csv"));
    EXPECT_EQ(SaveCurveCsv(path, Chart()), std::nullopt);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().toStdString(), kExpected.toStdString());

    const QString missing = dir.filePath(QStringLiteral("无此目录/趋势.csv"));
    const auto error = SaveCurveCsv(missing, Chart());
    ASSERT_TRUE(error.has_value());
    EXPECT_TRUE(error->contains(missing)) << error->toStdString();
}

} // namespace
} // namespace vantor

namespace vantor {

// What the program wrote reads back as the same samples: names and units apart again, each
// curve's points at the samples they were taken with, the times to the millisecond.
TEST(CurveCsv, ATableWrittenReadsBackAsHistory) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(WriteCurveCsv(buffer, Chart()));
    const CsvChart read = ReadCurveCsv(buffer.data(), QStringLiteral("run.csv"));
    ASSERT_TRUE(read.chart) << read.error.toStdString();
    const ChartSnapshot& chart = *read.chart;
    ASSERT_EQ(chart.series.size(), 4u); // the inactive curve was not written
    EXPECT_EQ(chart.series[1].title, "温度");
    EXPECT_EQ(chart.series[1].unit, "°C");
    EXPECT_EQ(chart.series[2].title, "压力, \"高\"");
    EXPECT_EQ(chart.series[3].ys[1], 1e300);
    EXPECT_EQ(chart.series[3].x(1), 4);
    EXPECT_EQ(chart.series[2].x(0), 3);
    EXPECT_NEAR(chart.series[0].ys[3], Chart().series[0].ys[3], 1e-8);
    EXPECT_EQ(chart.series[0].labels[3], "00:00:01");

    for (const QByteArray& bad : {QByteArray("time,a\r\n"), QByteArray("时间,a\r\nyesterday,1\r\n"),
                                  QByteArray("时间,a\r\n2024-03-05 23:59:58.000,x\r\n")}) {
        const CsvChart refused = ReadCurveCsv(bad, QStringLiteral("bad.csv"));
        EXPECT_FALSE(refused.chart);
        EXPECT_TRUE(refused.error.startsWith("无法打开 CSV 文件 bad.csv")) << bad.toStdString();
    }
}

// The span between the cursors: samples 2 .. 3, renumbered from the first, each curve's points
// still beside their time-base points.
TEST(CurveCsv, ASliceKeepsTheSamplesBetweenTheCursors) {
    const ChartSnapshot slice = SliceSnapshot(Chart(), 3.7, 2);
    ASSERT_EQ(slice.series[0].count(), 2);
    EXPECT_EQ(slice.series[0].ys[0], Chart().series[0].ys[1]);
    EXPECT_EQ(slice.series[1].count(), 2);
    EXPECT_EQ(slice.series[1].x(0), 1);
    EXPECT_EQ(slice.series[1].ys[1], 0.1);
    EXPECT_EQ(slice.series[2].count(), 1);
    EXPECT_EQ(slice.series[2].x(0), 2);
    EXPECT_EQ(slice.series[4].count(), 0);
}

} // namespace vantor
