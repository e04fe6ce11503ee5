// SPDX-License-Identifier: GPL-3.0-or-later
// The main window as a user meets it: its bars and pages, the tree and tab switching, the
// splash, and the menu item that only works while the port is closed.
#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/ConsoleOptions.h"
#include "app/DemoPackets.h"
#include "app/GuiLauncher.h"
#include "app/MainFrame.h"
#include "app/SimulatedDevice.h"
#include "app/StartupSplash.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "packets/DataGridPanel.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "widgets/QtTranslations.h"

using namespace vantor;
using namespace vantor::test;

namespace {

QStringList TabTitles(const QTabWidget* tabs) {
    QStringList titles;
    for (int i = 0; i < tabs->count(); ++i)
        titles << tabs->tabText(i);
    return titles;
}

QAction* MenuAction(QMainWindow& window, const QString& text) {
    for (QAction* menu : window.menuBar()->actions())
        for (QAction* action : menu->menu()->actions())
            if (action->text() == text)
                return action;
    return nullptr;
}

} // namespace

TEST(MainFrame, HoldsTheBarsPagesAndMenus) {
    Application app;
    CMainFrame frame{&app};
    EXPECT_EQ(frame.windowTitle(), "Vantor 2.8.2");
    EXPECT_EQ(frame.functionBar()->windowTitle(), "我的控制条");
    EXPECT_EQ(frame.dataBar()->windowTitle(), "我的控制条2");
    EXPECT_EQ(frame.dockWidgetArea(frame.functionBar()), Qt::LeftDockWidgetArea);
    EXPECT_EQ(frame.dockWidgetArea(frame.dataBar()), Qt::BottomDockWidgetArea);
    auto* functionTabs = frame.findChild<QTabWidget*>("functionTabs");
    ASSERT_NE(functionTabs, nullptr);
    EXPECT_EQ(TabTitles(functionTabs),
              (QStringList{"功能选择", "监控对象", "曲线点位", "发送命令"}));
    const QStringList pages = TabTitles(frame.dataPages());
    ASSERT_EQ(pages.size(), 30);
    EXPECT_EQ(pages.first(), "Db_01");
    EXPECT_EQ(pages.last(), "Db_30");
    EXPECT_EQ(TabTitles(frame.view()->tabs()), (QStringList{"通信状态", "趋势曲线"}));
    EXPECT_EQ(frame.view()->tabs()->currentIndex(), CZelvoView::kTrendTab);

    QStringList menus;
    for (QAction* menu : frame.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus,
              (QStringList{"文件(&F)", "通信(&E)", "查看(&V)", "语言 / Language", "帮助(&H)"}));
    EXPECT_NE(MenuAction(frame, "关于 Vantor 2.8.2(&A)..."), nullptr);
    auto* ready = frame.findChild<QLabel*>("messagePane");
    ASSERT_NE(ready, nullptr);
    EXPECT_EQ(ready->text(), "就绪");
    auto* clock = frame.findChild<QLabel*>("clockPane");
    ASSERT_NE(clock, nullptr);
    EXPECT_TRUE(QTime::fromString(clock->text(), "HH:mm:ss").isValid());
}

TEST(MainFrame, ToolBarButtonsShowAndHideTheBars) {
    Application app;
    CMainFrame frame{&app};
    frame.ShowAtWorkingSize();
    auto* toolBar = frame.findChild<QToolBar*>("toolBar");
    ASSERT_NE(toolBar, nullptr);
    ASSERT_EQ(toolBar->actions().size(), 2);
    QAction* control = toolBar->actions()[0];
    QAction* edit = toolBar->actions()[1];
    EXPECT_EQ(control->text(), " 控制 ");
    EXPECT_EQ(edit->text(), " 编辑 ");
    EXPECT_TRUE(control->isChecked());
    control->trigger();
    EXPECT_FALSE(frame.functionBar()->isVisible());
    EXPECT_FALSE(control->isChecked());
    edit->trigger();
    EXPECT_FALSE(frame.dataBar()->isVisible());
    control->trigger();
    EXPECT_TRUE(frame.functionBar()->isVisible());
    EXPECT_TRUE(control->isChecked());
}

TEST(MainFrame, TreeAndViewTabsSwitchThePanels) {
    Application app;
    CMainFrame frame{&app};
    frame.ShowAtWorkingSize();
    QTreeWidget* tree = frame.functionTree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    ASSERT_EQ(root->text(0), "功能界面");
    ASSERT_EQ(root->childCount(), 2);
    QTabWidget* tabs = frame.view()->tabs();
    EXPECT_EQ(tree->currentItem(), root->child(1)); // the view starts on 趋势曲线

    tree->setCurrentItem(root->child(0)); // 通信状态
    EXPECT_EQ(tabs->currentIndex(), CZelvoView::kCommTab);
    tree->setCurrentItem(root); // the root leaves the panel as it is
    EXPECT_EQ(tabs->currentIndex(), CZelvoView::kCommTab);
    tree->setCurrentItem(root->child(1)); // 趋势曲线
    EXPECT_EQ(tabs->currentIndex(), CZelvoView::kTrendTab);
    EXPECT_TRUE(frame.view()->trendPanel()->isVisible());

    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(0).center());
    EXPECT_EQ(tabs->currentIndex(), CZelvoView::kCommTab);
    EXPECT_FALSE(frame.view()->trendPanel()->isVisible());
    EXPECT_EQ(tree->currentItem(), root->child(0)); // the tree follows the tab

    EXPECT_EQ(TabOfTreeItem("通信状态"), CZelvoView::kCommTab);
    EXPECT_EQ(TabOfTreeItem("功能界面"), std::nullopt);
}

TEST(MainFrame, CommSettingsOnlyWhileThePortIsClosed) {
    Application app;
    CMainFrame frame{&app};
    QAction* settings = MenuAction(frame, "通信设置(&T)");
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->isEnabled());
    frame.view()->serialSelection()->setPortOpen(true);
    EXPECT_FALSE(settings->isEnabled());
    frame.view()->serialSelection()->setPortOpen(false);
    EXPECT_TRUE(settings->isEnabled());
}

TEST(MainFrame, WorkingSizeIsAShareOfTheScreen) {
    EXPECT_EQ(WorkingSize(QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1040)), QSize(1248, 832));
    EXPECT_EQ(WorkingSize(QRect(0, 0, 1000, 800), QRect(0, 30, 1000, 770)), QSize(650, 640));
}

TEST(MainFrame, QtsOwnButtonsAreInChinese) {
    const std::unique_ptr<QTranslator> chinese = LoadQtChinese();
    ASSERT_NE(chinese, nullptr);
    QCoreApplication::installTranslator(chinese.get());
    QMessageBox box(QMessageBox::Warning, "Vantor", "x", QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), "取消");
    QCoreApplication::removeTranslator(chinese.get());
}

TEST(StartupSplash, AKeyEndsItAndGoesNoFurther) {
    QWidget target;
    target.show();
    target.setFocus();
    auto* splash = new CStartupSplash;
    QSignalSpy finished(splash, &CStartupSplash::finished);
    splash->Start();
    QSignalSpy destroyed(splash, &QObject::destroyed);

    struct KeyCounter : QObject {
        int keys = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            keys += e->type() == QEvent::KeyPress;
            return false;
        }
    } counter;
    target.installEventFilter(&counter);
    QTest::keyClick(&target, Qt::Key_A);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(counter.keys, 0);
    EXPECT_TRUE(WaitUntil([&] { return destroyed.count() == 1; }));
    QTest::keyClick(&target, Qt::Key_B); // the splash is gone: keys arrive again
    EXPECT_EQ(counter.keys, 1);
}

TEST(StartupSplash, EndsByItselfAfterThreeSeconds) {
    auto* splash = new CStartupSplash;
    QSignalSpy finished(splash, &CStartupSplash::finished);
    splash->Start();
    EXPECT_TRUE(finished.wait(CStartupSplash::kShowMs + 5000));
}

TEST(MainFrame, GridPagesAreBuiltWhenFirstShownOrAskedFor) {
    Application app;
    CMainFrame frame{&app};
    EXPECT_TRUE(frame.findChildren<CDataGridPanel*>().isEmpty());
    frame.show(); // Db_01, the page in view, follows the first paint
    ASSERT_TRUE(WaitUntil([&] { return frame.findChildren<CDataGridPanel*>().size() == 1; }));
    frame.dataPages()->setCurrentIndex(4);
    ASSERT_EQ(frame.findChildren<CDataGridPanel*>().size(), 2);
    CDataGridPanel* page = frame.gridPage(5);
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->packet(), 5);
    EXPECT_TRUE(frame.dataPages()->widget(4)->isAncestorOf(page));
    EXPECT_EQ(frame.gridPage(30)->packet(), 30); // before its tab was ever shown
    EXPECT_EQ(frame.gridPage(31), nullptr);
}

// The communication panel waits for the window's first paint; the demo, which needs it at once,
// builds it and polls the simulated device from the window as from the console.
TEST(MainFrame, CommPanelComesAfterTheFirstPaintAndTheDemoPollsThroughIt) {
    Application app;
    CMainFrame frame{&app};
    EXPECT_TRUE(frame.findChildren<CCommPanelDlg*>().isEmpty());
    frame.show();
    ASSERT_TRUE(WaitUntil([&] { return !frame.findChildren<CCommPanelDlg*>().isEmpty(); }));

    ConsoleOptions options;
    options.demo = true;
    SimulatedDevice device;
    ASSERT_TRUE(StartDemoDevice(device, options));
    Application demo;
    CMainFrame window{&demo};
    ApplyOptionsToWindow(demo, window, options);
    EXPECT_TRUE(WaitUntil([&] {
        return !demo.workspace()->store()->valueText({PacketNo(1), 0}).trimmed().isEmpty();
    }));
}
