// SPDX-License-Identifier: GPL-3.0-or-later
// A data grid page driven as a user drives it: selecting cells, the popup menu's formats and
// colours, and double clicks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "packets/DataGridPanel.h"
#include "packets/GridModel.h"
#include "packets/MSHFlexGrid.h"
#include "registers/RegisterStore.h"
#include "widgets/ContextMenuKey.h"
#include "widgets/MessageBox.h"

using namespace vantor;

namespace {

constexpr int kPacket = 5;
const QColor kLabelGrey(0xD4, 0xD4, 0xD4);

class GridPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        CommandImages images;
        images.packets[kPacket - 1].count = 40;
        m_store.setImages(images);
        m_store.setAddressBase(1);
        m_panel.resize(700, 300);
        m_panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_panel));
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { m_messages << text; });
        m_panel.setColorPicker([this](QWidget*, const QColor&) { return m_pickedColor; });
    }
    void TearDown() override { SetMessageSink({}); }

    CMSHFlexGrid* grid() { return m_panel.grid(); }
    // The widget showing a grid position (the cells' viewport, a header or the corner) and the
    // position's centre in it, scrolled into view first.
    std::pair<QWidget*, QPoint> target(int row, int column) {
        grid()->scrollTo(grid()->gridModel()->index(std::max(row, 1), std::max(column, 1)));
        const QPoint center = grid()->cellRect(row, column).center();
        QWidget* widget = grid()->childAt(center);
        EXPECT_NE(widget, nullptr) << row << "," << column;
        return {widget ? widget : grid(), widget ? widget->mapFrom(grid(), center) : center};
    }
    void click(int row, int column, Qt::MouseButton button = Qt::LeftButton) {
        const auto [widget, point] = target(row, column);
        if (button != Qt::RightButton) {
            QTest::mouseClick(widget, button, {}, point);
            return;
        }
        // As the window system delivers a right click: the press, the context menu, the release.
        QTest::mousePress(widget, button, {}, point);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, point, widget->mapToGlobal(point));
        QApplication::sendEvent(widget, &menu);
        QTest::mouseRelease(widget, button, {}, point);
    }
    void doubleClick(int row, int column) {
        const auto [widget, point] = target(row, column);
        QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
    }
    QLabel* corner() { return grid()->findChild<QLabel*>(QStringLiteral("gridCorner")); }
    // The menu opened by a right click, if any, is closed; returns its checked item.
    QString closePopup() {
        auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!popup)
            return QStringLiteral("<no menu>");
        QString checked;
        for (QAction* action : popup->actions())
            if (action->isChecked())
                checked += action->text();
        popup->close();
        return checked;
    }
    CellColors colors(int row, int column) { return grid()->gridModel()->colors(row, column); }
    int formatAt(int cell) { return m_store.formats().Get({PacketNo(kPacket), cell}); }

    // Opens the menu for the current cell, returns the checked item's text ("" for none) and
    // triggers `command` if given.
    QString menu(const QString& command = {}) {
        std::unique_ptr<QMenu> popup = m_panel.createPopupMenu();
        QString checked;
        QAction* target = nullptr;
        for (QAction* action : popup->actions()) {
            if (action->isChecked())
                checked += action->text();
            if (!command.isEmpty() && action->text() == command)
                target = action;
        }
        if (!command.isEmpty()) {
            EXPECT_NE(target, nullptr) << command.toStdString();
            if (target)
                target->trigger();
        }
        return checked;
    }

    RegisterStore m_store;
    CDataGridPanel m_panel{kPacket, &m_store};
    QStringList m_messages;
    QColor m_pickedColor;
};

} // namespace

TEST_F(GridPanelTest, GridFillsThePageBelowATopMargin) {
    EXPECT_EQ(grid()->geometry(), m_panel.rect().adjusted(0, 3, 0, 0));
    EXPECT_EQ(grid()->textMatrix(0, 0), "Page05");
    // Row 0 and column 0 are shown by the headers and the corner, not as cells.
    EXPECT_TRUE(grid()->horizontalHeader()->isVisible());
    EXPECT_TRUE(grid()->verticalHeader()->isVisible());
    EXPECT_TRUE(grid()->isRowHidden(0));
    EXPECT_TRUE(grid()->isColumnHidden(0));
    ASSERT_NE(corner(), nullptr);
    EXPECT_TRUE(corner()->isVisible());
    EXPECT_EQ(corner()->text(), "Page05");
    EXPECT_EQ(corner()->geometry(), grid()->cellRect(0, 0));
    EXPECT_EQ(grid()->childAt(corner()->geometry().center()), corner()); // above the button
    grid()->setTextMatrix(0, 0, QStringLiteral("Page30"));
    EXPECT_EQ(corner()->text(), "Page30");
    EXPECT_FALSE(m_panel.labelEditor()->isVisible());
}

TEST_F(GridPanelTest, RowNumbersAndPageNameStayInSightWhenScrolledRight) {
    m_panel.resize(700, 400); // room for all ten rows
    QHeaderView* side = grid()->verticalHeader();
    QHeaderView* top = grid()->horizontalHeader();
    ASSERT_NE(corner(), nullptr);
    const QRect cornerBefore = corner()->geometry();
    QScrollBar* bar = grid()->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0); // the page shows only part of the 27 columns

    click(1, 2);
    QTest::keyClick(grid(), Qt::Key_End); // to the last column of the row
    EXPECT_EQ(grid()->col(), 26);
    EXPECT_EQ(bar->value(), bar->maximum());
    EXPECT_GT(grid()->columnAt(0), 2); // the first columns have scrolled out

    // The vertical header shows the row numbers left of the cells.
    EXPECT_TRUE(side->isVisible());
    EXPECT_LE(side->geometry().right(), grid()->viewport()->geometry().left());
    QStringList numbers;
    for (int row = 1; row < kGridRows; ++row) {
        const int y = side->sectionViewportPosition(row);
        if (!side->isSectionHidden(row) && y >= 0 && y + side->sectionSize(row) <= side->height())
            numbers << side->model()->headerData(row, Qt::Vertical).toString();
    }
    EXPECT_EQ(numbers, QStringList({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"}));

    // The corner keeps the page name in place; the top header follows the columns.
    EXPECT_TRUE(corner()->isVisible());
    EXPECT_EQ(corner()->text(), "Page05");
    EXPECT_EQ(corner()->geometry(), cornerBefore);
    EXPECT_EQ(grid()->childAt(cornerBefore.center()), corner());
    const auto headerAt = [&](int column) {
        const int x = grid()->cellRect(1, column).center().x() - top->x();
        return top->model()->headerData(top->logicalIndexAt(x), Qt::Horizontal).toString();
    };
    EXPECT_EQ(headerAt(25), "第13列");
    EXPECT_EQ(headerAt(26), "Value");
    EXPECT_EQ(grid()->cellRect(0, 25).left(),
              grid()->cellRect(1, 25).left()); // header over its column
}

TEST_F(GridPanelTest, FormatMenuOnValueColumnsChecksTheCurrentCode) {
    click(1, 2); // cell 0
    EXPECT_EQ(menu(), "16 Bit Signed");
    EXPECT_EQ(menu("Float AB CD"), "16 Bit Signed");
    EXPECT_EQ(formatAt(0), 7);
    EXPECT_EQ(formatAt(1), 16);
    EXPECT_EQ(menu(), "Float AB CD");

    click(2, 2); // cell 1, the continuation: no item checked
    EXPECT_EQ(menu(), "");
    EXPECT_EQ(menu("16 Bit Unsigned"), "");
    EXPECT_EQ(formatAt(1), 5);
    EXPECT_EQ(formatAt(0), 7);

    // The last row of a column continues at the top of the next value column.
    click(10, 4); // cell 19
    EXPECT_EQ(menu("Long DC BA"), "16 Bit Signed");
    EXPECT_EQ(formatAt(19), 15);
    EXPECT_EQ(formatAt(20), 16);
    click(1, 6);
    EXPECT_EQ(menu(), "");
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(GridPanelTest, RightClickOpensTheMenuOfTheCellUnderTheMouse) {
    m_store.setCellFormat({PacketNo(kPacket), 30}, 9);
    click(1, 8, Qt::RightButton);
    EXPECT_EQ(closePopup(), "Float BA DC");
    click(2, 8, Qt::RightButton);
    EXPECT_EQ(closePopup(), "");
    click(0, 8, Qt::RightButton); // no menu over the fixed row
    EXPECT_EQ(closePopup(), "<no menu>");
    EXPECT_EQ(grid()->row(), 2);
}

// The Menu key (a keyboard context menu, as the platform sends it) and Shift+F10 open the menu
// of the current cell; Enter on a value cell asks to write it, as a double click does.
TEST_F(GridPanelTest, KeyboardOpensTheMenuAndTheWriteDialog) {
    m_store.setCellFormat({PacketNo(kPacket), 30}, 9);
    m_store.setCellValue({PacketNo(kPacket), 31}, QStringLiteral("7"));
    click(1, 8);
    m_panel.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_panel));
    grid()->setFocus();
    QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(), grid()->mapToGlobal(QPoint()));
    QApplication::sendEvent(grid(), &menuKey);
    EXPECT_EQ(closePopup(), "Float BA DC");
    ContextMenuKey shiftF10;
    QTest::keyClick(grid(), Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(closePopup(), "Float BA DC");
    QTest::keyClick(grid(), Qt::Key_F10); // F10 alone is no menu key
    EXPECT_EQ(closePopup(), "<no menu>");

    QSignalSpy values(&m_panel, &CDataGridPanel::valueCellDoubleClicked);
    QTest::keyClick(grid(), Qt::Key_Down);
    QTest::keyClick(grid(), Qt::Key_Return);
    ASSERT_EQ(values.count(), 1);
    EXPECT_EQ(values[0], (QVariantList{kPacket, 31, QStringLiteral("7")}));
    QTest::keyClick(grid(), Qt::Key_Left); // a label cell: its editor, no write
    QTest::keyClick(grid(), Qt::Key_Enter);
    EXPECT_EQ(values.count(), 1);
    EXPECT_TRUE(m_panel.labelEditor()->isVisible());
}

TEST_F(GridPanelTest, FormatMenuOnLabelColumnsChangesNothing) {
    click(3, 3);
    EXPECT_EQ(menu(), ""); // labels have no format
    menu("Float CD AB");
    menu("16 Bit Unsigned");
    EXPECT_EQ(m_messages, QStringList({"单元格设置无效！", "单元格设置无效！"}));
    for (int cell = 0; cell < kCellsPerPacket; ++cell)
        ASSERT_EQ(formatAt(cell), 4) << cell;
}

// Only label cells offer "重命名点位"; the name goes to the point of the value beside it.
TEST_F(GridPanelTest, ALabelCellRenamesItsPoint) {
    auto offers = [this] {
        const std::unique_ptr<QMenu> popup = m_panel.createPopupMenu();
        for (QAction* action : popup->actions())
            if (action->text() == QStringLiteral("重命名点位"))
                return true;
        return false;
    };
    click(3, 4);
    EXPECT_FALSE(offers());
    click(3, 3);
    EXPECT_TRUE(offers());
    m_panel.renamePoint(3, 3, QStringLiteral(" 出口压力 "));
    EXPECT_EQ(m_store.labelText({PacketNo(kPacket), CellFromGrid(3, 4)}), "出口压力");
}

TEST_F(GridPanelTest, SelectedCellIsHighlightedAndRestoredWhenLeft) {
    const CellColors highlight{QColor(0x33, 0x99, 0xFF), Qt::white};
    click(2, 2);
    EXPECT_EQ(colors(2, 2), highlight);
    EXPECT_EQ(grid()->row(), 2);
    EXPECT_EQ(grid()->col(), 2);
    click(2, 3);
    EXPECT_EQ(colors(2, 2), (CellColors{Qt::white, Qt::black}));
    EXPECT_EQ(colors(2, 3), highlight);
    click(5, 8, Qt::RightButton); // a right press selects too
    closePopup();
    EXPECT_EQ(colors(2, 3), (CellColors{kLabelGrey, Qt::black}));
    EXPECT_EQ(colors(5, 8), highlight);
    click(0, 8); // a fixed cell: the selection stays
    EXPECT_EQ(colors(5, 8), highlight);
    EXPECT_EQ(colors(0, 8), DefaultCellColors(0, 8));
    EXPECT_EQ(grid()->row(), 5);
}

TEST_F(GridPanelTest, ChosenColoursStayAfterTheSelectionMoves) {
    click(4, 4);
    m_pickedColor = Qt::red;
    menu("背景颜色");
    EXPECT_EQ(colors(4, 4).back, Qt::red); // shown at once
    m_pickedColor = Qt::yellow;
    menu("字体颜色");
    m_pickedColor = QColor(); // a cancelled dialog changes nothing
    menu("背景颜色");
    menu("字体颜色");
    EXPECT_EQ(colors(4, 4), (CellColors{Qt::red, Qt::yellow}));
    click(4, 5);
    EXPECT_EQ(colors(4, 4), (CellColors{Qt::red, Qt::yellow}));

    // A cancelled dialog on a selected cell keeps the highlight, and the old colours come back.
    m_pickedColor = QColor();
    menu("背景颜色");
    EXPECT_EQ(colors(4, 5), HighlightColors());
    click(4, 6);
    EXPECT_EQ(colors(4, 5), (CellColors{kLabelGrey, Qt::black}));
}

TEST_F(GridPanelTest, RestoreGivesTheColumnsColours) {
    m_pickedColor = Qt::green;
    for (int column : {3, 4}) {
        click(6, column);
        menu("背景颜色");
        menu("字体颜色");
    }
    click(1, 1);
    EXPECT_EQ(colors(6, 3), (CellColors{Qt::green, Qt::green}));

    click(6, 3);
    menu("恢复");
    EXPECT_EQ(colors(6, 3), (CellColors{kLabelGrey, Qt::black}));
    click(6, 4);
    menu("恢复");
    click(1, 1);
    EXPECT_EQ(colors(6, 3), (CellColors{kLabelGrey, Qt::black}));
    EXPECT_EQ(colors(6, 4), (CellColors{Qt::white, Qt::black}));

    // Nothing on the fixed row or column, even when the grid's cursor is put there.
    grid()->setRow(0);
    grid()->setCol(4);
    grid()->setCellBackColor(Qt::green);
    menu("恢复");
    EXPECT_EQ(colors(0, 4).back, Qt::green);
}

TEST_F(GridPanelTest, DoubleClicks) {
    QSignalSpy values(&m_panel, &CDataGridPanel::valueCellDoubleClicked);
    QLineEdit* editor = m_panel.findChild<QLineEdit*>("labelEditor");
    ASSERT_EQ(editor, m_panel.labelEditor());

    doubleClick(0, 4); // on the headers and the corner
    doubleClick(3, 0);
    doubleClick(0, 0);
    EXPECT_EQ(values.count(), 0);
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(m_panel.clickedRow(), 0);

    m_store.setCellValue({PacketNo(kPacket), 12}, QStringLiteral("123"));
    doubleClick(3, 4);
    ASSERT_EQ(values.count(), 1);
    EXPECT_EQ(values[0], (QVariantList{kPacket, 12, QStringLiteral("123")}));
    EXPECT_FALSE(editor->isVisible());

    doubleClick(3, 5);
    EXPECT_EQ(values.count(), 1);
    EXPECT_EQ(m_panel.clickedRow(), 3);
    EXPECT_EQ(m_panel.clickedColumn(), 5);
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->text(), "4x00023");
    EXPECT_EQ(editor->selectedText(), "4x00023");
    EXPECT_EQ(m_panel.focusWidget(), editor);
    const QRect cell = grid()->cellRect(3, 5);
    EXPECT_EQ(editor->geometry(), QRect(grid()->mapTo(&m_panel, cell.topLeft()), cell.size()));
    // The editor covers exactly the cell the view paints, right of and below the headers.
    const QRect painted = grid()->visualRect(grid()->gridModel()->index(3, 5));
    EXPECT_EQ(editor->geometry(),
              QRect(grid()->viewport()->mapTo(&m_panel, painted.topLeft()), painted.size()));
    EXPECT_EQ(m_panel.childAt(editor->geometry().center()), editor);

    // Typing in the editor never reaches the grid.
    editor->setText(QStringLiteral("Tank level"));
    emit editor->editingFinished();
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(grid()->textMatrix(3, 5), "4x00023");
}

TEST_F(GridPanelTest, LabelEditorFollowsACellScrolledIntoView) {
    doubleClick(10, 25);
    ASSERT_TRUE(m_panel.labelEditor()->isVisible());
    EXPECT_EQ(m_panel.labelEditor()->text(), " "); // beyond the packet's 40 cells
    EXPECT_TRUE(m_panel.rect().contains(m_panel.labelEditor()->geometry()));
    grid()->horizontalScrollBar()->setValue(0);
    EXPECT_FALSE(m_panel.labelEditor()->isVisible());
}
