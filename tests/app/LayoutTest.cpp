// SPDX-License-Identifier: GPL-3.0-or-later
// The communication panel in the main window at its working size: on common screens every
// control is in sight without scrolling; on a small one the panel scrolls but keeps its whole
// layout, and moving the focus through it does not scroll it sideways.
#include <QApplication>
#include <QDockWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "packets/CommLog.h"
#include "packets/CommPanelDlg.h"
#include "packets/DataGridPanel.h"
#include "packets/MSHFlexGrid.h"
#include "packets/PacketListWidget.h"
#include "project/ProfileFile.h"
#include "registers/Workspace.h"

using namespace vantor;

namespace {

struct ScreenCase {
    QSize screen;
    LinkKind link;
    bool fits; // every control in sight without scrolling
};

QString Name(const QWidget* w) {
    return QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                       w->objectName());
}

TEST(Layout, CommPanelAtTheWorkingSize) {
    const ScreenCase cases[] = {{{1920, 1080}, LinkKind::Serial, true},
                                {{1366, 768}, LinkKind::Serial, true},
                                {{1366, 768}, LinkKind::Tcp, true},
                                {{800, 600}, LinkKind::Serial, false}};
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(c.screen.width() + static_cast<int>(c.link));
        Application app;
        app.workspace()->setLinkKind(c.link);
        CMainFrame frame{&app};
        frame.view()->showPanel(CZelvoView::kCommTab);
        frame.ShowAtWorkingSize(QRect(QPoint(), c.screen), QRect(QPoint(), c.screen));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        QTest::qWait(50); // the bars are fitted after the window's first layout

        auto* scroll = frame.findChild<QScrollArea*>(QStringLiteral("commScroll"));
        ASSERT_NE(scroll, nullptr);
        QWidget* panel = frame.view()->commPanel();
        EXPECT_GE(panel->width(), panel->minimumSizeHint().width());
        EXPECT_GE(panel->height(), panel->minimumSizeHint().height());
        const QRect shown = c.fits
                                ? scroll->viewport()->rect()
                                : QRect(panel->mapTo(scroll->viewport(), QPoint()), panel->size());
        for (QWidget* w : panel->findChildren<QWidget*>()) {
            if (w->isWindow() || !w->isVisibleTo(panel))
                continue;
            const QRect rect(w->mapTo(scroll->viewport(), QPoint()), w->size());
            EXPECT_TRUE(shown.contains(rect)) << Name(w).toStdString();
        }
        if (c.fits) {
            EXPECT_EQ(scroll->horizontalScrollBar()->maximum(), 0);
            EXPECT_EQ(scroll->verticalScrollBar()->maximum(), 0);
            const QTableWidget* list = frame.view()->commPanel()->packetList();
            EXPECT_GE(list->viewport()->height(), 5 * list->rowHeight(0));
            continue;
        }
        // Moving the focus through the panel scrolls it only up and down.
        panel->findChild<QWidget*>(QStringLiteral("configureButton"))->setFocus();
        for (int k = 0; k < 40; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            EXPECT_EQ(scroll->horizontalScrollBar()->value(), 0);
        }
    }
}

// A window grown to a whole 1366 x 768 screen gives the room to the grid and the log: eight rows
// and eight lines each.
TEST(Layout, GrownWindowShowsEightGridRowsAndLogLines) {
    Application app;
    CMainFrame frame{&app};
    frame.view()->showPanel(CZelvoView::kCommTab);
    frame.ShowAtWorkingSize(QRect(0, 0, 1366, 768), QRect(0, 0, 1366, 768));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QTest::qWait(50);
    frame.resize(1366, 768);
    QTest::qWait(50);
    const CommLog* log = frame.view()->commPanel()->commLog();
    EXPECT_GE(log->viewport()->height(), 8 * log->fontMetrics().lineSpacing());
    const CMSHFlexGrid* grid = frame.gridPage(1)->grid();
    EXPECT_GE(grid->viewport()->height(), 8 * grid->rowHeight(1));
}

} // namespace

namespace {

// The window's size, place, state and bars come back at the next start as they were at close.
TEST(Layout, TheWindowComesBackAsItWasClosed) {
    ProfileFile settings;
    QByteArray geometry, state;
    {
        Application app;
        CMainFrame frame{&app};
        frame.ShowAtWorkingSize(QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
        frame.resize(1500, 900);
        frame.resizeDocks({frame.dataBar()}, {333}, Qt::Vertical);
        QTest::qWait(50);
        geometry = frame.saveGeometry();
        state = frame.saveState(1);
        WriteWindowMemory(settings, {geometry, state});
    }
    const WindowMemory memory = ReadWindowMemory(ProfileFile::FromBytes(settings.toBytes()));
    EXPECT_EQ(memory.geometry, geometry);
    EXPECT_EQ(memory.state, state);
    Application app;
    CMainFrame frame{&app};
    ASSERT_TRUE(frame.restoreGeometry(memory.geometry));
    ASSERT_TRUE(frame.restoreState(memory.state, 1));
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    EXPECT_EQ(frame.size(), QSize(1500, 900));
    EXPECT_EQ(frame.dataBar()->height(), 333);
}

} // namespace
