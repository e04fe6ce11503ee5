// SPDX-License-Identifier: GPL-3.0-or-later
// The live read-out over sampled curves and the floating box the panel drives through its hooks.
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"
#include "support/Wait.h"

#include "curves/FloatBoxDlg.h"
#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"
#include "trend/TrendPanelHooks.h"
#include "trend/TrendReadout.h"

using namespace vantor;
using vantor::test::WaitUntil;

namespace {

class TrendReadout : public ::testing::Test {
protected:
    void SetUp() override {
        panel.sampler().setShareIniPath(dir.filePath(QStringLiteral("share.ini")));
        chart = panel.chart();
    }
    void tick(const QString& value) {
        ws.store()->setCellValue({PacketNo(2), 13}, value); // grid 2, row 4, column 4
        panel.sampleAt(now);
        now = now.addSecs(1);
    }
    std::optional<QString> at(double x) {
        return LiveReadout(panel.trendData(), panel.sampler(), *ws.curves(), x);
    }

    QTemporaryDir dir;
    Workspace ws;
    CTrendPanelDlg panel{&ws};
    TrendPanelHooks hooks{&panel, &ws};
    CTChart* chart = nullptr;
    QDateTime now{QDate(2026, 12, 6), QTime(21, 41, 7)};
};

} // namespace

TEST_F(TrendReadout, LinesFollowTheRowsAndACurveAddedLateHasNoValueBeforeItsFirstSample) {
    ws.curves()->drop(QStringLiteral("T1 2-4-4"));
    ws.curves()->setText(0, CurveColumn::Unit, QStringLiteral("℃"));
    tick(QStringLiteral("234.6")); // rate 0.1
    ws.curves()->drop(QStringLiteral("T2 2-4-4"));
    tick(QStringLiteral("100"));

    // The header is the time of the sample whose values the line shows.
    EXPECT_EQ(at(1.9), QStringLiteral("[Date＆Time] 2026/12/06 21:41:07\r\n"
                                      " T1: 23.5℃\r\n T2: ----\r\n"));
    EXPECT_EQ(at(2), QStringLiteral("[Date＆Time] 2026/12/06 21:41:08\r\n"
                                    " T1: 10.0℃\r\n T2: 10.0--\r\n"));
    // Outside the samples: no date, no label, no values; left of X = 0: no read-out at all.
    const QString none = QStringLiteral("[Date＆Time] \r\n T1: --℃\r\n T2: ----\r\n");
    EXPECT_EQ(at(-0.5), none);
    EXPECT_EQ(at(5), none);
    EXPECT_FALSE(at(-1));
    EXPECT_EQ(LiveToolTip(panel.trendData(), panel.sampler(), *ws.curves(), 1, 1), " T1: 23.5℃");
}

TEST_F(TrendReadout, TheBoxShowsTheMarkersReadoutOnlyWhileTheTextBoxIsChecked) {
    ws.curves()->drop(QStringLiteral("T1 2-4-4"));
    tick(QStringLiteral("5"));
    EXPECT_TRUE(hooks.floatBox()->readout().endsWith(" T1: 0.5--\r\n"));

    panel.findChild<QToolButton*>(QStringLiteral("textBoxButton"))->setChecked(false);
    tick(QStringLiteral("7"));
    EXPECT_TRUE(hooks.readout().endsWith(" T1: 0.7--\r\n"));
    EXPECT_TRUE(hooks.floatBox()->readout().endsWith(" T1: 0.5--\r\n"));
}

TEST_F(TrendReadout, TheBoxFollowsThePanelUntilClosedAndTheSliderBringsItBack) {
    panel.show(); // the box is placed and shown after the panel's first paint
    ASSERT_TRUE(WaitUntil([&] { return hooks.floatBox()->isVisible(); }));
    panel.hide();
    EXPECT_FALSE(hooks.floatBox()->isVisible());
    panel.show();
    hooks.floatBox()->hide(); // "关闭悬浮框"
    panel.hide();
    panel.show();
    EXPECT_FALSE(hooks.floatBox()->isVisible());
    emit panel.transparencyChanged(100);
    EXPECT_TRUE(hooks.floatBox()->isVisible());
    EXPECT_EQ(hooks.floatBox()->transparency(), 100);
}
