// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A communication panel on the test thread with its workspace and link controller (the session
// on the test thread, no port open), shown and active so that clicks move the focus as they do for
// a user.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "modbus/CommSession.h"
#include "modbus/LinkController.h"
#include "packets/CommLog.h"
#include "packets/CommPanelDlg.h"
#include "packets/PacketListWidget.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"
#include "support/Wait.h"
#include "widgets/MessageBox.h"

namespace vantor::test {

class CommPanelFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ConnectWorkspaceToLink(&workspace, &link); // as the application does
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        panel.resize(panel.sizeHint());
        panel.show();
        panel.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&panel));
        list = panel.packetList();
        ASSERT_NE(list, nullptr);
    }

    void TearDown() override { SetMessageSink({}); }

    template <class T> T* Find(const char* name) {
        T* child = panel.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    void Click(const char* button) { QTest::mouseClick(Find<QPushButton>(button), Qt::LeftButton); }

    // Radios react to clicks on their indicator and caption, not on the rest of their row.
    void ClickRadio(const char* name) {
        auto* radio = Find<QRadioButton>(name);
        QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(6, radio->height() / 2));
    }

    // A click on the list's viewport at the centre of a cell, whatever lies on top of it.
    void ClickCell(int row, int column) {
        list->scrollToItem(list->item(row, column));
        const QRect rect = list->visualItemRect(list->item(row, column));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
    }

    // Opens the cell's editor with a click and types over its selected text.
    void TypeIntoCell(int row, int column, const QString& text) {
        ClickCell(row, column);
        QWidget* editor = list->cellEditor();
        ASSERT_NE(editor, nullptr);
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            // Close the drop-down list, select the text and type over it.
            combo->hidePopup();
            QTest::keyClick(combo, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(combo, text);
        } else {
            QTest::keyClicks(editor, text);
        }
    }

    // Toggles a row's check box from the keyboard, as space on the current row does.
    void ToggleCheck(int row) {
        ClickCell(row, 0);
        QTest::keyClick(list, Qt::Key_Space);
    }

    QString Cell(int row, int column) const { return list->item(row, column)->text(); }

    QStringList LogLines() const {
        CommLog* log = panel.commLog();
        log->flush(); // the lines still queued for the next batch
        return log->lineCount() == 0 ? QStringList() : log->toPlainText().split(QLatin1Char('\n'));
    }

    void Spin() { QTest::qWait(20); } // lets the queued calls to the session run

    Workspace workspace;
    LinkController link{LinkController::Placement::CallerThread};
    CommSession& session = *link.sessionForTests();
    RegisterStore& store = *workspace.store();
    SerialSelection& selection = *workspace.serial();
    CCommPanelDlg panel{&workspace, &link};
    PacketListWidget* list = nullptr;
    QStringList messages;
};

} // namespace vantor::test
