// SPDX-License-Identifier: GPL-3.0-or-later
// The writes as a user makes them in the window: a double-click on a value cell, typing in the
// write dialog and "写入"; the coil question of a packet that reads bits; the fn 16 edit mode
// through its two button presses. No port is open,
// so every frame the session would send comes back as a refusal that names its command text.
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "packets/DataGridPanel.h"
#include "packets/MSHFlexGrid.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "support/QtPrinters.h"
#include "support/Wait.h"
#include "widgets/MessageBox.h"
#include "writes/CustomSendDlg.h"
#include "writes/WriteControls.h"
#include "writes/WriteRegDlg.h"

using namespace vantor;
using test::WaitUntil;

namespace {

class WriteWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        PacketRows rows{};
        rows[0] = {"1", "03", "100", "10", true};
        m_app.workspace()->setRows(rows);
        m_app.configure();
        m_frame.ShowAtWorkingSize(); // the data bar as tall as a grid page, as in the program
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_frame));
    }

    // Double-clicks the value cell and, once the write dialog is up, runs `use` on it.
    void editCell(int cell, const std::function<void(CWriteRegDlg*)>& use) {
        bool used = false;
        QTimer::singleShot(0, [&] {
            ASSERT_TRUE(WaitUntil([&] { return m_frame.findChild<CWriteRegDlg*>() != nullptr; }));
            use(m_frame.findChild<CWriteRegDlg*>());
            used = true;
        });
        doubleClick(cell);
        EXPECT_TRUE(used);
    }
    void doubleClick(int cell) {
        CMSHFlexGrid* grid = m_frame.gridPage(1)->grid();
        const QPoint centre = grid->cellRect(CellRow(cell), CellValueColumn(cell)).center();
        QWidget* target = grid->childAt(centre);
        ASSERT_NE(target, nullptr);
        QTest::mouseDClick(target, Qt::LeftButton, {}, target->mapFrom(grid, centre));
    }
    static void type(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    }
    QPushButton* button(const char* name) {
        return m_frame.view()->commPanel()->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    QString status() { return m_frame.statusBar()->currentMessage(); }

    Application m_app{LinkController::Placement::CallerThread};
    CMainFrame m_frame{&m_app};
    QSignalSpy m_refused{m_app.link(), &LinkController::commandRefused};
};

TEST_F(WriteWindowTest, DoubleClickTypeAndWrite) {
    editCell(5, [](CWriteRegDlg* dialog) {
        type(dialog->unsignedEdit(), QStringLiteral("70000"));
        dialog->writeButton()->click();
        EXPECT_TRUE(dialog->refusal().contains(QStringLiteral("70000")))
            << dialog->refusal().toStdString();
        EXPECT_TRUE(dialog->isVisible());
        type(dialog->unsignedEdit(), QStringLiteral("65535"));
        EXPECT_EQ(dialog->decimalEdit()->text(), QStringLiteral("-1"));
        EXPECT_TRUE(dialog->bitBox(15)->isChecked());
        dialog->writeButton()->click();
    });
    EXPECT_EQ(m_app.workspace()->store()->valueText({PacketNo(1), 5}), QStringLiteral("-1"));
    ASSERT_TRUE(WaitUntil([&] { return m_refused.count() == 1; }));
    EXPECT_TRUE(m_refused[0][0].toString().endsWith(QStringLiteral("01060069FFFF")))
        << m_refused[0][0].toString().toStdString();
}

TEST_F(WriteWindowTest, Fn16EditModeWritesThePageWhenLeft) {
    QPushButton* fn16 = button("fn16Button");
    ASSERT_TRUE(fn16->isEnabled());
    fn16->click();
    EXPECT_EQ(status(), QStringLiteral("16号命令编辑中……"));
    EXPECT_EQ(fn16->text(), QStringLiteral("16号命令发送"));
    EXPECT_FALSE(m_app.workspace()->isChecked(PacketNo(1)));
    editCell(0, [](CWriteRegDlg* dialog) {
        type(dialog->decimalEdit(), QStringLiteral("258"));
        dialog->writeButton()->click();
    });
    QTest::qWait(300);
    EXPECT_EQ(m_refused.count(), 0); // the cell only changed

    fn16->click();
    EXPECT_EQ(status(), QStringLiteral("16号命令退出编辑并成功发送..."));
    EXPECT_EQ(fn16->text(), QStringLiteral("16号命令编辑"));
    EXPECT_TRUE(m_app.workspace()->isChecked(PacketNo(1)));
    ASSERT_TRUE(WaitUntil([&] { return m_refused.count() == 1; }));
    EXPECT_TRUE(m_refused[0][0].toString().endsWith(QStringLiteral("01100064000A14") +
                                                    QStringLiteral("0102") +
                                                    QStringLiteral("0000").repeated(9)))
        << m_refused[0][0].toString().toStdString();
}

// A function 1 packet: the double-click asks on or off; with no link open the write is refused
// with a message and the cell stays.
TEST_F(WriteWindowTest, DoubleClickOnACoilAsksOnOrOff) {
    m_app.workspace()->setRow(PacketNo(1), {"1", "01", "100", "10", true});
    m_app.configure();
    QStringList asked, messages;
    m_frame.writeControls()->setCoilAsker([&](QWidget*, const QString& text) {
        asked << text;
        return std::optional<bool>(true);
    });
    SetMessageSink([&](QWidget*, const QString& text, MessageKind) { messages << text; });
    doubleClick(3);
    SetMessageSink({});
    EXPECT_EQ(asked, QStringList{"线圈 103 当前为 --，写入："});
    EXPECT_EQ(messages, QStringList{"通信未打开：请先打开串口或连接服务器，线圈未写入"});
    EXPECT_EQ(m_app.workspace()->store()->valueText({PacketNo(1), 3}), QStringLiteral(" "));
}

TEST_F(WriteWindowTest, CustomSendRefusesBadTextInThePanel) {
    auto* panel = m_frame.findChild<CCustomSendDlg*>();
    ASSERT_NE(panel, nullptr);
    panel->textEdit()->setPlainText(QStringLiteral("01 03 00 0"));
    panel->sendButton()->click();
    EXPECT_TRUE(panel->message().contains(QStringLiteral("奇数")))
        << panel->message().toStdString();
    panel->textEdit()->setPlainText(QStringLiteral("01 03 00 00 00 0A"));
    panel->sendButton()->click();
    EXPECT_TRUE(panel->message().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return m_refused.count() == 1; }));
    EXPECT_TRUE(m_refused[0][0].toString().endsWith(QStringLiteral("01030000000A")));
}

} // namespace
