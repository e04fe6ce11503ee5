// SPDX-License-Identifier: GPL-3.0-or-later
// The drag from a grid label: its payload, the press-and-hold decision, and in the running demo
// window a label dragged onto the point list becoming a curve next to the demo's three.
#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

#include "app/GuiLauncher.h"
#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "curves/DropListCtrl.h"
#include "curves/PointListDlg.h"
#include "packets/DataGridPanel.h"
#include "packets/MSHFlexGrid.h"
#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"

using namespace vantor;
using namespace vantor::test;

namespace {

// Double-clicks a label cell of the page, which opens the label editor on it.
QLineEdit* OpenLabelEditor(CDataGridPanel& page, int row, int column) {
    CMSHFlexGrid* grid = page.grid();
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {},
                       grid->visualRect(grid->model()->index(row, column)).center());
    return page.labelEditor()->isVisible() ? page.labelEditor() : nullptr;
}

} // namespace

TEST(PointDrag, PayloadAndHoldDecision) {
    EXPECT_EQ(PointDragPayload("4x00001", 1, 1, 1), "4x00001 1-1-2");
    EXPECT_EQ(PointDragPayload("温度 A", 30, 10, 25), "温度 A 30-10-26");
    const QPoint at(10, 10);
    EXPECT_TRUE(IsPressAndHold(at, at, false, 250));
    EXPECT_FALSE(IsPressAndHold(at, at, true, 300));              // released: a click
    EXPECT_FALSE(IsPressAndHold(at, QPoint(11, 10), false, 300)); // moved
    EXPECT_FALSE(IsPressAndHold(at, at, false, 100));
}

TEST(PointDrag, OnlyAPressHeldStillStartsTheDrag) {
    RegisterStore store;
    CDataGridPanel page(2, &store);
    page.resize(800, 300);
    page.show();
    QStringList payloads;
    page.setDragStarter([&](QWidget*, const QString& payload) { payloads << payload; });
    QLineEdit* editor = OpenLabelEditor(page, 4, 3);
    ASSERT_NE(editor, nullptr);
    editor->setText("Flow");
    const QPoint at(4, 4);

    QTest::mouseClick(editor, Qt::LeftButton, {}, at);
    QTest::qWait(kPressHoldMs + 150);
    EXPECT_TRUE(payloads.isEmpty());

    QTest::mousePress(editor, Qt::LeftButton, {}, at);
    QMouseEvent move(QEvent::MouseMove, QPointF(at + QPoint(3, 0)),
                     QPointF(editor->mapToGlobal(at + QPoint(3, 0))), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(editor, &move);
    QTest::qWait(kPressHoldMs + 150);
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at);
    EXPECT_TRUE(payloads.isEmpty());

    QTest::mousePress(editor, Qt::LeftButton, {}, at);
    ASSERT_TRUE(WaitUntil([&] { return !payloads.isEmpty(); }));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, at);
    EXPECT_EQ(payloads, QStringList{"Flow 2-4-4"});
}

TEST(PointListWindow, DemoCurvesAndALabelDroppedFromTheGrid) {
    ConsoleOptions options;
    options.demo = true;
    GuiLauncher launcher(options);
    ASSERT_TRUE(launcher.Start(false));
    CMainFrame* frame = launcher.frame();
    CurveTable* curves = launcher.application()->workspace()->curves();
    RegisterStore* store = launcher.application()->workspace()->store();
    ASSERT_EQ(curves->rowCount(), 3);
    const struct {
        const char* source;
        const char* rate;
    } demo[] = {{"1-1-2", "0.0015"}, {"1-2-2", "0.5"}, {"1-4-2", "0.1"}};
    const auto cellText = [&](int i) {
        const QStringList ref = curves->row(i).source.split('-');
        return store->gridText(ref[0].toInt(), ref[1].toInt(), ref[2].toInt());
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(curves->row(i).source, demo[i].source);
        EXPECT_EQ(curves->row(i).rate, demo[i].rate);
    }
    // Polled values scaled by the rates stay within the Y axis' reach.
    ASSERT_TRUE(WaitUntil([&] {
        return !cellText(0).trimmed().isEmpty() && !cellText(1).trimmed().isEmpty() &&
               !cellText(2).trimmed().isEmpty();
    }));
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const double scaled = cellText(i).toDouble(&ok) * curves->row(i).rate.toDouble();
        EXPECT_TRUE(ok) << cellText(i).toStdString();
        EXPECT_LE(std::abs(scaled), 100.0) << i;
    }
    EXPECT_EQ(curves->row(0).name, store->gridText(1, 1, 1));

    CDataGridPanel* page = frame->gridPage(1);
    QStringList payloads;
    page->setDragStarter([&](QWidget*, const QString& payload) { payloads << payload; });
    QLineEdit* editor = OpenLabelEditor(*page, 3, 1);
    ASSERT_NE(editor, nullptr);
    QTest::mousePress(editor, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_TRUE(WaitUntil([&] { return !payloads.isEmpty(); }));
    QTest::mouseRelease(editor, Qt::LeftButton, {}, QPoint(3, 3));

    EXPECT_TRUE(frame->pointList()->list()->dropText(payloads.first()));
    ASSERT_EQ(curves->rowCount(), 4);
    EXPECT_EQ(curves->row(3).name, store->gridText(1, 3, 1));
    EXPECT_EQ(curves->row(3).source, "1-3-2");
    EXPECT_EQ(curves->row(3).number, "4");
    EXPECT_EQ(frame->pointList()->list()->model()->rowCount(), 4);

    // A sample puts the dropped cell's value times its rate on the new curve.
    CTrendPanelDlg* trend = frame->view()->trendPanel();
    const QString text = cellText(3);
    trend->OnSampleTick();
    const CTChart* chart = trend->chart();
    ASSERT_EQ(chart->data().pointCount(4), 1);
    EXPECT_DOUBLE_EQ(*chart->data().yValue(4, 0), text.toDouble() * 0.1) << text.toStdString();
}
