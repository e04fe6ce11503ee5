// SPDX-License-Identifier: GPL-3.0-or-later
// The point list: drops up to the limit, slot reuse after a removal, text from anywhere, the
// in-place editors and the colour choice.
#include <QAction>
#include <QComboBox>
#include <QDropEvent>
#include <QLineEdit>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMimeData>
#include <QTest>
#include <gtest/gtest.h>

#include "curves/DropListCtrl.h"
#include "curves/PointListDlg.h"
#include "registers/CurveTable.h"
#include "support/QtPrinters.h"
#include "widgets/MessageBox.h"

using namespace vantor;

namespace {

struct PointListTest : ::testing::Test {
    PointListTest() {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
        page.show();
        page.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&page));
    }
    ~PointListTest() override { SetMessageSink({}); }

    QPoint cellCenter(int row, int column) {
        return list()->visualRect(list()->model()->index(row, column)).center();
    }
    void click(int row, int column) {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, cellCenter(row, column));
    }
    CDropListCtrl* list() { return page.list(); }

    CurveTable curves;
    CPointListDlg page{&curves};
    QStringList messages;
};

} // namespace

TEST_F(PointListTest, The99thDropSucceedsAndThe100thShowsTheLimit) {
    for (int i = 1; i <= 98; ++i)
        curves.drop(QStringLiteral("P%1 1-1-2").arg(i));
    EXPECT_TRUE(list()->dropText("P99 1-1-2"));
    EXPECT_TRUE(messages.isEmpty());
    EXPECT_FALSE(list()->dropText("P100 1-1-2"));
    EXPECT_EQ(messages, QStringList{"曲线数达到最大限制"});
    EXPECT_EQ(curves.rowCount(), 99);
    EXPECT_EQ(list()->model()->rowCount(), 99);
}

TEST_F(PointListTest, TextFromElsewhereIsDroppedAndOtherDataRefused) {
    const struct {
        QString text; // empty: the data has no text at all
        bool accepted;
    } cases[] = {{"4x00007 2-7-4", true},
                 {"no-blank", true},
                 {QString(2000, 'x') + " 9-9-9 z", true},
                 {QString(), false}};
    int rows = 0;
    for (const auto& c : cases) {
        QMimeData data;
        if (!c.text.isNull())
            data.setText(c.text);
        else
            data.setData("application/octet-stream", "\x01\x02");
        const QPoint at = list()->viewport()->rect().center();
        const std::string name = c.text.left(20).toStdString();
        // The enter chooses the target; the move and the drop go only to a target that took it.
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &enter);
        EXPECT_EQ(enter.isAccepted(), c.accepted) << name;
        QDragMoveEvent over(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &over);
        EXPECT_EQ(over.isAccepted() && over.dropAction() == Qt::CopyAction, c.accepted) << name;
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(list()->viewport(), &drop);
        rows += c.accepted;
        EXPECT_EQ(curves.rowCount(), rows) << name;
    }
    EXPECT_EQ(curves.row(0).source, "2-7-4");
    EXPECT_EQ(curves.row(1).name, "no-blank");
    EXPECT_EQ(curves.row(1).source, ""); // no reference: the curve plots 0
    EXPECT_EQ(curves.row(2).source, "9-9-9");
}

TEST_F(PointListTest, RemovingSlot3ThenDroppingReusesIt) {
    for (int i = 1; i <= 5; ++i)
        list()->dropText(QStringLiteral("P%1 1-%1-2").arg(i));
    list()->setColorPicker([](QWidget*, const QColor& initial) {
        EXPECT_EQ(initial, QColor(Qt::black));
        return QColor(255, 0, 0);
    });
    // The double click on the colour cell picks the colour and chooses the row for the menu.
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, cellCenter(2, 2));
    EXPECT_EQ(curves.row(2).color, 0x0000FFu);
    auto menu = list()->createPopupMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "移除曲线");
    menu->actions()[0]->trigger();
    ASSERT_EQ(curves.rowCount(), 4);
    EXPECT_TRUE(curves.slotFree(3));
    list()->dropText("P6 1-6-2");
    EXPECT_EQ(curves.row(4).number, "3");
    while (curves.rowCount() > 2)
        menu->actions()[0]->trigger();
    menu->actions()[0]->trigger(); // row 2 no longer exists: nothing happens
    EXPECT_EQ(curves.rowCount(), 2);
}

TEST_F(PointListTest, EditorsStayOneAndCommitWhenLeft) {
    list()->dropText("T1 1-1-2");
    click(0, 3);
    QComboBox* combo = list()->axisEditor();
    ASSERT_NE(combo, nullptr);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    EXPECT_EQ(items, (QStringList{"B轴", "C轴", "E轴", "Y轴", "A轴", "D轴"}));
    EXPECT_EQ(combo->currentText(), "Y轴");
    click(0, 3);
    EXPECT_EQ(list()->axisEditor(), combo);
    combo->setEditText("A轴");
    click(0, 5); // the rate: the combo commits, an edit box opens
    EXPECT_EQ(curves.row(0).axis, "A轴");
    QLineEdit* edit = list()->textEditor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), "0.1");
    click(0, 5);
    EXPECT_EQ(list()->textEditor(), edit);
    edit->setText("0.25");
    click(0, 1); // a column without an editor: nothing changes
    EXPECT_EQ(list()->textEditor(), edit);
    QTest::qWait(0);
    QLineEdit elsewhere(&page);
    elsewhere.show();
    elsewhere.setFocus();
    EXPECT_EQ(curves.row(0).rate, "0.25");
    EXPECT_EQ(list()->textEditor(), nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(list()->viewport()->findChildren<QComboBox*>().isEmpty());
    EXPECT_TRUE(list()->viewport()->findChildren<QLineEdit*>().isEmpty());
}

// The Menu key opens the menu for the current row, over it.
TEST_F(PointListTest, TheMenuKeyOpensTheMenuForTheCurrentRow) {
    for (int i = 1; i <= 3; ++i)
        list()->dropText(QStringLiteral("P%1 1-%1-2").arg(i));
    list()->setCurrentIndex(list()->model()->index(1, 0));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), list()->mapToGlobal(QPoint()));
    QApplication::sendEvent(list()->viewport(), &key);
    auto* menu = list()->findChild<QMenu*>();
    ASSERT_TRUE(menu);
    menu->actions()[0]->trigger();
    menu->close();
    ASSERT_EQ(curves.rowCount(), 2);
    EXPECT_EQ(curves.row(1).name, "P3");
}
