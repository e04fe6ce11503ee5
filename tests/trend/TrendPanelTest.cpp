// SPDX-License-Identifier: GPL-3.0-or-later
// The trend panel's sampling, axis buttons and fast scroll, driven directly (no timers waited).
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "registers/CurveTable.h"
#include "registers/OleDate.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"

using namespace vantor;

namespace {

class TrendPanel : public ::testing::Test {
protected:
    void SetUp() override {
        panel.sampler().setShareIniPath(dir.filePath(QStringLiteral("share.ini")));
        chart = panel.chart();
    }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i)
            panel.sampleAt(now.addSecs(i));
    }
    QString marker() const { return panel.markerEdit()->text(); }
    std::pair<double, double> x() const { return chart->axisRange(TrendAxis::X); }

    QTemporaryDir dir;
    Workspace ws;
    CTrendPanelDlg panel{&ws};
    CTChart* chart = nullptr;
    QDateTime now{QDate(2026, 12, 6), QTime(21, 41, 7, 250)};
};

} // namespace

TEST_F(TrendPanel, ATickWithoutRowsAddsATimePointScrollsAndAdvancesTheMarker) {
    EXPECT_EQ(marker(), "300");
    tick();
    EXPECT_EQ(chart->data().pointCount(0), 1);
    EXPECT_EQ(chart->data().pointLabel(0, 0), "21:41:07");
    EXPECT_DOUBLE_EQ(*chart->data().yValue(0, 0),
                     QString::number(OleDateFromDateTime(now), 'f', 6).toDouble());
    EXPECT_FALSE(chart->data().active(0));
    EXPECT_EQ(x(), std::make_pair(0.0, 300.0)); // scrolls once the newest point leaves the page
    EXPECT_EQ(marker(), "1");
    EXPECT_EQ(chart->title(), "通讯点位实时曲线");
}

TEST_F(TrendPanel, AFullPageScrollsByOnePerSampleAndPausingFreezesItAndTheMarker) {
    TrendSettings settings;
    settings.range(TrendAxis::X) = {0, 1};
    ws.setTrendSettings(settings);
    tick(2);
    EXPECT_EQ(x(), std::make_pair(0.0, 1.0)); // the newest time point is at X = 1
    tick(2);
    EXPECT_EQ(x(), std::make_pair(2.0, 3.0));
    panel.setMoving(false);
    tick(3);
    EXPECT_EQ(marker(), "4");
    EXPECT_EQ(x(), std::make_pair(2.0, 3.0));
    EXPECT_EQ(chart->data().pointCount(0), 7);
    // Moving again jumps to the newest sample (X 6), the marker keeping its place in the view.
    panel.setMoving(true);
    EXPECT_EQ(x(), std::make_pair(5.0, 6.0));
    EXPECT_EQ(marker(), "7");
    tick();
    EXPECT_EQ(marker(), "8");
    EXPECT_EQ(x(), std::make_pair(6.0, 7.0));
}

TEST_F(TrendPanel, CurvesPlotTheGridTextTimesTheRateAndABadReferencePlotsZero) {
    ws.store()->setCellValue({PacketNo(2), 13}, QStringLiteral("42")); // grid 2, row 4, column 4
    CurveTable* curves = ws.curves();
    curves->drop(QStringLiteral("T1 2-4-4"));
    curves->drop(QStringLiteral("T2 99-1-1"));
    curves->drop(QStringLiteral("T3"));
    curves->setText(0, CurveColumn::Axis, QStringLiteral("E轴"));
    curves->setText(2, CurveColumn::Axis, QStringLiteral("Z轴"));
    ASSERT_EQ(chart->seriesCount(), 4);
    tick();
    EXPECT_DOUBLE_EQ(*chart->data().yValue(1, 0), 4.2);
    EXPECT_EQ(*chart->data().xValue(1, 0), 1); // one more than the time point's index
    EXPECT_EQ(*chart->data().yValue(2, 0), 0);
    EXPECT_EQ(*chart->data().yValue(3, 0), 0);
    EXPECT_EQ(chart->data().title(1), "T1");
    EXPECT_EQ(chart->data().axis(1), TrendAxis::E);
    EXPECT_EQ(chart->data().axis(3), TrendAxis::Y); // an unknown axis name leaves it
    EXPECT_TRUE(chart->data().active(1));
    QFile share(panel.sampler().shareIniPath());
    ASSERT_TRUE(share.open(QIODevice::ReadOnly));
    EXPECT_EQ(share.readAll(), QByteArray("[MconfigInfo]\r\n1=42\r\n2=\r\n3=\r\n"));
}

TEST_F(TrendPanel, ARowNamingNoUsedSlotIsNotPlottedAndARemovedCurveStops) {
    CurveTable* curves = ws.curves();
    curves->drop(QStringLiteral("T1 2-4-4"));
    curves->drop(QStringLiteral("T2 2-4-4"));
    curves->setText(0, CurveColumn::Number, QStringLiteral("7"));
    tick();
    EXPECT_EQ(chart->data().pointCount(1), 0);
    EXPECT_EQ(chart->data().pointCount(2), 1);
    curves->removeRow(1);
    EXPECT_EQ(chart->data().pointCount(2), 0);
    EXPECT_FALSE(chart->data().active(2));
    EXPECT_EQ(panel.sampler().firstSample(2), 0);
    tick();
    EXPECT_EQ(chart->data().pointCount(2), 0);
    EXPECT_LE(chart->seriesCount(), 3);
}

TEST_F(TrendPanel, ACurveAddedWhileSamplingStartsAtTheTimeBaseCount) {
    TrendSettings settings;
    settings.range(TrendAxis::X) = {0, 1};
    ws.setTrendSettings(settings);
    tick(3);
    const int slot = ws.curves()->drop(QStringLiteral("T1 2-4-4")).slot;
    tick();
    EXPECT_EQ(panel.sampler().firstSample(slot), 4);
    EXPECT_EQ(*chart->data().xValue(slot, 0), 4);
    panel.startRealTime(); // the series restart at X = 0, the X range stays
    EXPECT_EQ(chart->data().pointCount(0), 0);
    EXPECT_EQ(panel.sampler().firstSample(slot), 0);
    EXPECT_EQ(x(), std::make_pair(2.0, 3.0));
    EXPECT_TRUE(panel.sampling());
    panel.stopSampling();
}

TEST_F(TrendPanel, AxisZeroLeavesXAndAxisResetRestoresAllSeven) {
    TrendSettings settings;
    for (auto& range : settings.ranges)
        range.min = -10;
    ws.setTrendSettings(settings);
    tick(2);
    panel.zeroAxes();
    EXPECT_EQ(x(), std::make_pair(-10.0, 300.0));
    for (TrendAxis axis : kAxisZeroOrder)
        EXPECT_EQ(chart->axisRange(axis),
                  std::make_pair(0.0, static_cast<double>(settings.range(axis).max)));
    panel.resetAxes();
    for (TrendAxis axis : kAxisResetOrder)
        EXPECT_EQ(chart->axisRange(axis), std::make_pair(-10.0, double(settings.range(axis).max)));
}

TEST_F(TrendPanel, FastForwardStopsAtTheNewestSampleAndBackAtTheFirst) {
    panel.setMoving(false);
    tick(350); // the newest time point at X 349
    panel.fastPress(FastScroll::Mode::Forward);
    panel.fastTick();
    EXPECT_EQ(x(), std::make_pair(0.0, 300.0));
    panel.fastTick();
    EXPECT_EQ(x(), std::make_pair(50.0, 350.0));
    panel.fastTick();
    EXPECT_EQ(x(), std::make_pair(50.0, 350.0)); // never into empty space
    panel.fastRelease();
    panel.fastPress(FastScroll::Mode::Back);
    panel.fastTick();
    EXPECT_EQ(x(), std::make_pair(0.0, 300.0));
    panel.fastTick();
    EXPECT_EQ(x(), std::make_pair(0.0, 300.0));
    panel.fastRelease();
}

TEST_F(TrendPanel, ANewIntervalRestartsTheTimerAndAFailedShareWriteIsReportedOnce) {
    panel.startSamplingIfStopped();
    TrendSettings settings = ws.trendSettings();
    settings.sampleMs = 250;
    ws.setTrendSettings(settings);
    EXPECT_EQ(panel.sampleInterval(), 250);
    panel.stopSampling();

    QSignalSpy status(&panel, &CTrendPanelDlg::statusMessage);
    panel.sampler().setShareIniPath(dir.filePath(QStringLiteral("missing/share.ini")));
    ws.curves()->drop(QStringLiteral("T1 2-4-4"));
    tick(3);
    ASSERT_EQ(status.size(), 1);
    EXPECT_TRUE(status[0][0].toString().startsWith("无法写入共享数值文件"));
}
