// SPDX-License-Identifier: GPL-3.0-or-later
// The main window driven from the keyboard alone: the menu commands' keys, polling on F5 and
// Shift+F5, saving on Ctrl+S, and a name for every control a screen reader can reach.
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/ConsoleOptions.h"
#include "app/DemoPackets.h"
#include "app/GuiLauncher.h"
#include "app/MainFrame.h"
#include "app/SimulatedDevice.h"
#include "app/ZelvoView.h"
#include "curves/PointListDlg.h"
#include "packets/CommPanelDlg.h"
#include "registers/Workspace.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "trend/TrendPanelDlg.h"
#include "widgets/MessageBox.h"

using namespace vantor;
using namespace vantor::test;

namespace {

class KeyboardTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { m_messages << text; });
        m_frame.ShowAtWorkingSize(QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
        m_frame.activateWindow();
        m_frame.view()->commPanel();
    }
    void TearDown() override { SetMessageSink({}); }

    // Presses the key and returns the title of the modal dialog it opened (closed at once).
    QString modalTitleAfter(const QKeySequence& key) {
        m_frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&m_frame));
        QString title = QStringLiteral("<none>");
        QTimer::singleShot(200, [&title] {
            if (QWidget* modal = QApplication::activeModalWidget()) {
                title = modal->windowTitle();
                modal->close();
            }
        });
        QTest::keySequence(&m_frame, key);
        QTest::qWait(300);
        return title;
    }

    Application m_app;
    CMainFrame m_frame{&m_app};
    QStringList m_messages;
};

TEST_F(KeyboardTest, MenuCommandsHaveTheirKeys) {
    EXPECT_EQ(modalTitleAfter(kAboutKey), "关于 Vantor 2.8.2");
    EXPECT_EQ(modalTitleAfter(kOpenKey), "打开工程");
    EXPECT_EQ(modalTitleAfter(kSaveAsKey), "保存工程");
    // Ctrl+S asks for a file only while the set-up has none.
    EXPECT_EQ(modalTitleAfter(QKeySequence(Qt::CTRL | Qt::Key_S)), "保存工程");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keys.ini"));
    ASSERT_TRUE(m_frame.SaveProject(path));
    QFile::remove(path);
    EXPECT_EQ(modalTitleAfter(QKeySequence(Qt::CTRL | Qt::Key_S)), "<none>");
    EXPECT_TRUE(QFile::exists(path));
    m_frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_frame));
    QTest::keySequence(&m_frame, kQuitKey);
    EXPECT_FALSE(m_frame.isVisible());
}

// F5 and Shift+F5 press the start and stop of the link kind chosen, from either tab.
TEST_F(KeyboardTest, F5StartsAndShiftF5StopsPolling) {
    ConsoleOptions options;
    options.demo = true;
    SimulatedDevice device;
    ASSERT_TRUE(StartDemoDevice(device, options));
    ApplyOptionsToWindow(m_app, m_frame, options);
    const auto polling = [this] { return m_app.link()->state().polling; };
    ASSERT_TRUE(WaitUntil(polling));
    m_frame.view()->showPanel(CZelvoView::kTrendTab);
    QTest::keyClick(&m_frame, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_TRUE(WaitUntil([&] { return !polling(); }));
    QTest::keyClick(&m_frame, Qt::Key_F5);
    EXPECT_TRUE(WaitUntil(polling));
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();

    m_app.workspace()->setLinkKind(LinkKind::Tcp); // closes the port
    QTest::keyClick(&m_frame, Qt::Key_F5);         // "开始" without a server asks for one
    EXPECT_EQ(m_messages.size(), 1);
}

// A field is named by a label whose buddy it is or by a name of its own (not by its group's
// title or its value, which is what the accessibility layer falls back to); anything else may
// also be named by its own text.
bool Named(QWidget* w) {
    if (!w->accessibleName().trimmed().isEmpty())
        return true;
    const bool field = qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                       qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPlainTextEdit*>(w);
    if (field) {
        for (const QLabel* label : w->window()->findChildren<QLabel*>())
            if (label->buddy() == w && !label->text().trimmed().isEmpty())
                return true;
        return false;
    }
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    return !face || !face->text(QAccessible::Name).trimmed().isEmpty();
}

// Every control the keyboard reaches has a name, outside the trend panel and the point list.
TEST_F(KeyboardTest, EveryFocusableControlHasAName) {
    m_frame.gridPage(1);
    m_frame.view()->showPanel(CZelvoView::kCommTab);
    const auto elsewhere = [this](QWidget* w) {
        return m_frame.view()->trendPanel()->isAncestorOf(w) ||
               m_frame.pointList()->isAncestorOf(w);
    };
    QStringList nameless;
    const auto check = [&] {
        for (QWidget* w : m_frame.findChildren<QWidget*>()) {
            if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&m_frame) || elsewhere(w) ||
                w->focusProxy())
                continue;
            if (!Named(w))
                nameless << QStringLiteral("%1 %2").arg(QLatin1String(w->metaObject()->className()),
                                                        w->objectName());
        }
    };
    auto* functionTabs = m_frame.findChild<QTabWidget*>(QStringLiteral("functionTabs"));
    for (int tab = 0; tab < functionTabs->count(); ++tab) {
        functionTabs->setCurrentIndex(tab);
        check();
    }
    m_app.workspace()->setLinkKind(LinkKind::Tcp); // the TCP group shows
    check();
    nameless.removeDuplicates();
    EXPECT_TRUE(nameless.isEmpty()) << nameless.join(QLatin1Char('\n')).toStdString();
}

} // namespace

namespace {

// A curve file named on the command line (a double click on a .tee) opens as history on the
// trend tab; it is not read as a project.
TEST(FileArgument, ACurveFileOpensAsHistory) {
    QStringList messages;
    SetMessageSink([&messages](QWidget*, const QString& text, MessageKind) { messages << text; });
    ConsoleOptions options;
    options.project = QStringLiteral(CURVE_FILE);
    GuiLauncher launcher(options);
    ASSERT_TRUE(launcher.Start(false));
    CZelvoView* view = launcher.frame()->view();
    EXPECT_TRUE(WaitUntil([view] { return view->trendPanel()->history(); }));
    EXPECT_EQ(view->tabs()->currentIndex(), CZelvoView::kTrendTab);
    EXPECT_TRUE(messages.isEmpty()) << messages.join('|').toStdString();
    SetMessageSink({});
}

} // namespace
