// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's view tools: zoom, pan, full view, following the newest sample, fitting axes, the
// out-of-range arrows, the two cursors' read-out and the time axis.
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <qcustomplot.h>

#include "curves/Readout.h"
#include "registers/CurveTable.h"
#include "registers/OleDate.h"
#include "registers/Workspace.h"
#include "trend/Overdraw.h"
#include "trend/TChart.h"
#include "trend/TimeKeys.h"
#include "trend/TrendPanelDlg.h"
#include "trend/TrendReadout.h"

using namespace vantor;

namespace {

// Sample i at 10:00:00 + i seconds (a 30-second pause after sample 9), curve 1 at 10 + i.
class ChartView : public ::testing::Test {
protected:
    void SetUp() override {
        chart.resize(800, 400);
        chart.show();
        chart.data().addSeries();
        const QDateTime start(QDate(2026, 12, 9), QTime(10, 0));
        for (int i = 0; i < 20; ++i) {
            const QDateTime at = start.addSecs(i < 10 ? i : i + 30);
            chart.data().appendIndexed(0, OleDateFromDateTime(at), at.toString("HH:mm:ss"));
            chart.data().append(1, i + 1, 10 + i);
        }
        chart.setAxisRange(TrendAxis::X, 0, 30);
        chart.setAxisRange(TrendAxis::Y, 0, 100);
        chart.replotNow();
    }
    std::vector<double> values() const {
        std::vector<double> out;
        for (int i = 0; i < chart.data().pointCount(1); ++i)
            out.push_back(*chart.data().yValue(1, i));
        return out;
    }
    CTChart chart;
};

} // namespace

TEST_F(ChartView, ZoomPanAndFullViewChangeOnlyTheView) {
    const std::vector<double> before = values();
    QSignalSpy byUser(&chart, &CTChart::viewChangedByUser);
    chart.zoomAxis(TrendAxis::X, 0.5, chart.plot()->xAxis->coordToPixel(10));
    EXPECT_EQ(chart.axisRange(TrendAxis::X), std::make_pair(5.0, 20.0));
    // A drag on the plot away from the marker pans.
    QWidget* plot = chart.plot();
    const QRect rect = chart.plot()->axisRect()->rect();
    QTest::mousePress(plot, Qt::LeftButton, {}, rect.center());
    QTest::mouseMove(plot, rect.center() + QPoint(100, 0));
    QTest::mouseRelease(plot, Qt::LeftButton, {}, rect.center() + QPoint(100, 0));
    EXPECT_LT(chart.axisRange(TrendAxis::X).first, 5.0);
    EXPECT_EQ(byUser.size(), 1);
    chart.showAll();
    EXPECT_EQ(chart.axisRange(TrendAxis::X), std::make_pair(1.0, 20.0));
    EXPECT_EQ(values(), before);
    EXPECT_EQ(chart.data().pointCount(0), 20);
    // A hovered curve's value is not left standing where no curve is (values 10..29 of 0..100).
    chart.setPlotToolTip(QStringLiteral(" T1: 12.0"));
    QTest::mouseMove(plot, rect.topLeft() + QPoint(rect.width() / 2, 5));
    EXPECT_TRUE(plot->toolTip().isEmpty());
}

TEST_F(ChartView, AutoscaleFitsTheVisiblePointsAndAnAutoAxisFollowsNewOnes) {
    chart.setAxisRange(TrendAxis::X, 1, 11); // values 10 .. 20, the line on to 21 at X 12
    chart.autoscale(TrendAxis::Y);
    EXPECT_EQ(chart.axisRange(TrendAxis::Y), std::make_pair(9.45, 21.55));
    chart.setAxisAuto(TrendAxis::Y, true);
    chart.data().append(1, 21, 1000);
    chart.setAxisRange(TrendAxis::X, 1, 21);
    chart.setAxisAuto(TrendAxis::Y, true); // the range set above ended it
    chart.data().append(1, 22, -1000);
    chart.setAxisRange(TrendAxis::A, 0, 1); // another axis's range keeps Y following
    chart.plot()->xAxis->setRange(1, 22);
    chart.replotNow();
    EXPECT_EQ(chart.axisRange(TrendAxis::Y), std::make_pair(-1100.0, 1100.0));
}

TEST_F(ChartView, StatisticsCoverTheVisiblePointsOnly) {
    chart.setAxisRange(TrendAxis::X, 1.5, 4); // points X 2, 3, 4: values 11, 12, 13
    const auto stats = chart.visibleStats(1);
    ASSERT_TRUE(stats);
    EXPECT_EQ(std::make_tuple(stats->min, stats->max, stats->mean), std::make_tuple(11.0, 13.0, 12.0));
    chart.setAxisRange(TrendAxis::X, 100, 200);
    EXPECT_FALSE(chart.visibleStats(1));
}

TEST_F(ChartView, ACurveOutsideItsAxisGetsAnArrowOnThatSide) {
    const struct {
        double value;
        std::vector<std::pair<int, int>> arrows;
    } cases[] = {{1170, {{1, 1}}}, {-5, {{1, -1}}}, {50, {}}};
    for (const auto& c : cases) {
        chart.data().append(1, chart.data().pointCount(1) + 1, c.value);
        chart.setAxisRange(TrendAxis::X, 0, chart.data().pointCount(1));
        EXPECT_EQ(chart.outOfRange(), c.arrows) << c.value;
    }
}

TEST_F(ChartView, FollowingJumpsToTheNewestSampleAndAPanStopsIt) {
    QTemporaryDir dir;
    Workspace ws;
    CTrendPanelDlg panel(&ws);
    panel.sampler().setShareIniPath(dir.filePath("share.ini"));
    panel.setMoving(false);
    for (int i = 0; i < 400; ++i)
        panel.sampleAt(QDateTime(QDate(2026, 12, 9), QTime(10, 0)).addSecs(i));
    EXPECT_EQ(panel.chart()->axisRange(TrendAxis::X), std::make_pair(0.0, 300.0));
    panel.setMoving(true);
    EXPECT_EQ(panel.chart()->axisRange(TrendAxis::X), std::make_pair(99.0, 399.0));
    emit panel.chart()->viewChangedByUser();
    EXPECT_FALSE(panel.moving());
}

TEST_F(ChartView, TwoCursorsReadBothValuesTheirDifferenceAndTheTimeBetween) {
    chart.setMarkerX(3);
    chart.setSecondCursorX(15); // across the pause: 12 samples and 30 s more
    const auto text = TwoCursorReadout(chart.data(), nullptr, nullptr, 0, chart.markerX(),
                                       *chart.secondCursorX());
    ASSERT_TRUE(text);
    EXPECT_TRUE(text->contains("Δt = 42.0 s")) << text->toStdString();
    EXPECT_TRUE(text->contains(": 12.0 → 24.0  Δ +12.0")) << text->toStdString();
    chart.setSecondCursorX(std::nullopt);
    EXPECT_FALSE(chart.secondCursorX());
}

TEST_F(ChartView, ATimeAxisKeepsSamplePositionsAndPlacesSamplesAtTheirTimes) {
    chart.setMarkerX(5);
    chart.setTimeAxis(true, 1);
    EXPECT_EQ(chart.axisRange(TrendAxis::X), std::make_pair(0.0, 30.0));
    EXPECT_DOUBLE_EQ(chart.markerX(), 5);
    const double ten = SecondsOfOleDate(OleDateFromDateTime(QDateTime(QDate(2026, 12, 9),
                                                                      QTime(10, 0))));
    // Sample X = f stands at the time of time-base point f - 1; the pause lies between X 10
    // and 11.
    QCPAxis* x = chart.plot()->xAxis;
    const double perSecond = x->coordToPixel(ten + 1) - x->coordToPixel(ten);
    EXPECT_NEAR(x->coordToPixel(ten + 40) - x->coordToPixel(ten + 9), 31 * perSecond, 1e-6);
    chart.setTimeAxis(false, 1);
    EXPECT_EQ(chart.axisRange(TrendAxis::X), std::make_pair(0.0, 30.0));
}

// A run keeps only what the cover leaves free, and joins the cover.
TEST(Overdraw, RunsKeepWhatNoLaterCurveCovers) {
    std::vector<std::vector<std::pair<int, int>>> cover(2);
    cover[0] = {{10, 20}, {30, 40}};
    std::vector<ColumnRun> free;
    UncoveredParts({{100, 5, 45}, {101, 0, 3}, {102, 0, 9}}, 100, cover, free);
    const std::vector<std::tuple<int, int, int>> expected{
        {100, 5, 9}, {100, 21, 29}, {100, 41, 45}, {101, 0, 3}}; // column 102 lies outside
    ASSERT_EQ(free.size(), expected.size());
    for (std::size_t i = 0; i < free.size(); ++i)
        EXPECT_EQ(std::make_tuple(free[i].x, free[i].top, free[i].bottom), expected[i]);
    EXPECT_EQ(cover[0], (std::vector<std::pair<int, int>>{{5, 45}}));
}

// Dense curves painted by the plan look as when every line is drawn whole: the same pixels but
// for a few at the joins between columns, and every curve's highest and lowest pixel there.
TEST(Overdraw, DenseCurvesLookTheSameAsWholeLines) {
    CTChart chart;
    chart.resize(900, 500);
    chart.show();
    for (int k = 1; k <= 3; ++k)
        chart.data().addSeries();
    for (int i = 0; i < 60000; ++i) {
        chart.data().appendIndexed(0, 46000 + i / 86400.0, QString());
        for (int k = 1; k <= 3; ++k)
            chart.data().append(k, i + 1, 50 + 40.0 / k * std::sin(i * 0.0003 * k * k) + i % 7);
    }
    chart.setAxisRange(TrendAxis::X, 0, 60000);
    chart.setAxisRange(TrendAxis::Y, 0, 100);
    auto picture = [&chart](bool skipping) {
        chart.setOverdrawSkipping(skipping);
        chart.replotNow();
        return chart.plot()->toPixmap().toImage();
    };
    const QImage whole = picture(false);
    const QImage planned = picture(true);
    ASSERT_EQ(whole.size(), planned.size());
    int differing = 0;
    for (int y = 0; y < whole.height(); ++y)
        for (int x = 0; x < whole.width(); ++x)
            differing += whole.pixel(x, y) != planned.pixel(x, y);
    EXPECT_LT(differing, whole.width() * whole.height() / 50);
    for (int k = 1; k <= 3; ++k) {
        const QRgb color = chart.data().color(k).rgb();
        auto rows = [color](const QImage& image) {
            int top = image.height(), bottom = -1;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    if (image.pixel(x, y) == color) {
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            return std::make_pair(top, bottom);
        };
        EXPECT_EQ(rows(planned), rows(whole)) << k;
    }
}

// The chart draws data that outlives it: built over data with points it lists them, it follows
// every later change of the data, and going leaves the data whole. The panel puts a curve's new
// name on its series when the curve table changes, without a sample.
TEST(ChartData, AChartFollowsDataThatOutlivesItAndTheTableSetsTheLooks) {
    TrendData data;
    data.addSeries();
    data.setTitle(1, QStringLiteral("T1"));
    data.appendIndexed(0, 46000.5, QStringLiteral("12:00:00"));
    data.append(1, 1, 5.0);
    {
        CTChart chart(&data);
        auto* legend = chart.findChild<QListWidget*>(QStringLiteral("trendLegend"));
        ASSERT_EQ(chart.seriesCount(), 2);
        ASSERT_EQ(legend->count(), 1);
        EXPECT_EQ(legend->item(0)->text(), QStringLiteral("T1"));
        EXPECT_FALSE(legend->item(0)->isHidden());
        data.setTitle(1, QStringLiteral("T1b"));
        data.setColor(1, Qt::magenta);
        EXPECT_EQ(legend->item(0)->text(), QStringLiteral("T1b"));
        EXPECT_EQ(legend->item(0)->foreground().color(), QColor(Qt::magenta));
        data.addSeries();
        EXPECT_EQ(chart.seriesCount(), 3);
        data.setActive(1, false);
        EXPECT_TRUE(legend->item(0)->isHidden());
        data.load(ChartSnapshot{});
        EXPECT_EQ(chart.seriesCount(), 1);
        EXPECT_EQ(legend->count(), 0);
        data.addSeries();
        data.append(1, 1, 7.0);
    }
    EXPECT_EQ(data.yValue(1, 0), 7.0);

    Workspace ws;
    TrendData shared;
    CTrendPanelDlg panel(&ws, &shared);
    ws.curves()->drop(QStringLiteral("T1 2-4-4"));
    EXPECT_EQ(shared.title(1), QStringLiteral("T1"));
    ws.curves()->setText(0, CurveColumn::Name, QStringLiteral("Flow"));
    EXPECT_EQ(shared.title(1), QStringLiteral("Flow"));
    EXPECT_EQ(shared.pointCount(1), 0);
    // A new table before any chart was built: the data holds the new table's curves only.
    ASSERT_FALSE(panel.chartBuilt());
    CurveRow level = ws.curves()->row(0);
    level.name = QStringLiteral("Level");
    level.number = QStringLiteral("2");
    ws.curves()->setRows({level});
    EXPECT_FALSE(shared.active(1));
    EXPECT_EQ(shared.title(2), QStringLiteral("Level"));
}
