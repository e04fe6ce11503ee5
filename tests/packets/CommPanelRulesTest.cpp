// SPDX-License-Identifier: GPL-3.0-or-later
// The rules behind the communication panel's buttons, the packet list's editors and the log.
#include <gtest/gtest.h>

#include "support/QtPrinters.h"

#include "modbus/LogFormat.h"
#include "packets/CommPanelRules.h"

using namespace vantor;

TEST(CommPanelRules, SelectAllChecksOnTheFirstPressAndUnchecksOnTheSecond) {
    const SelectAllStep first = NextSelectAll(true); // the state at start-up
    EXPECT_FALSE(first.state);
    EXPECT_TRUE(first.checkAll);
    EXPECT_STREQ(first.caption, "取消");

    const SelectAllStep second = NextSelectAll(first.state);
    EXPECT_TRUE(second.state);
    EXPECT_FALSE(second.checkAll);
    EXPECT_STREQ(second.caption, "全选");

    EXPECT_STREQ(PauseButtonCaption(true), "暂停数据滚动");
    EXPECT_STREQ(PauseButtonCaption(false), "继续数据滚动");
}

TEST(CommPanelRules, EachColumnHasItsEditor) {
    EXPECT_EQ(EditorForColumn(0), CellEditor::None);
    EXPECT_EQ(EditorForColumn(1), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(2), CellEditor::Combo);
    EXPECT_EQ(EditorForColumn(3), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(4), CellEditor::Edit);
    EXPECT_EQ(EditorForColumn(-1), CellEditor::None);
    EXPECT_EQ(EditorForColumn(5), CellEditor::None);
}

TEST(CommPanelRules, ClickPlans) {
    struct Case {
        int row, column, openRow, openColumn;
        ClickAction expected;
    };
    const Case cases[] = {
        {0, 1, -1, -1, ClickAction::CommitAndOpen}, // nothing open: open
        {0, 2, -1, -1, ClickAction::CommitAndOpen},
        {3, 4, 3, 4, ClickAction::Refocus},       // the open editor's own cell
        {3, 3, 3, 4, ClickAction::CommitAndOpen}, // same row, other column
        {4, 4, 3, 4, ClickAction::CommitAndOpen}, // same column, other row
        {3, 0, 3, 4, ClickAction::Commit},        // the packet number and its check box
        {-1, -1, 3, 4, ClickAction::Commit},      // below the last row
        {-1, 1, -1, -1, ClickAction::Commit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.row << "," << c.column << " open " << c.openRow << "," << c.openColumn);
        EXPECT_EQ(PlanClick(c.row, c.column, c.openRow, c.openColumn), c.expected);
    }
}

TEST(CommPanelRules, PauseHoldsBackOnlyTxAndRxLines) {
    EXPECT_TRUE(ShowLine(LogKind::Tx, false));
    EXPECT_TRUE(ShowLine(LogKind::Rx, false));
    EXPECT_FALSE(ShowLine(LogKind::Tx, true));
    EXPECT_FALSE(ShowLine(LogKind::Rx, true));
    EXPECT_TRUE(ShowLine(LogKind::Notice, true));
}

TEST(CommPanelRules, HousekeepingStartsAboveTwoHundredLines) {
    EXPECT_EQ(HousekeepingFor(0, LinkKind::Serial), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(200, LinkKind::Serial), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(200, LinkKind::Tcp), LogHousekeeping::None);
    EXPECT_EQ(HousekeepingFor(201, LinkKind::Serial), LogHousekeeping::ReplaceWithNotice);
    EXPECT_EQ(HousekeepingFor(201, LinkKind::Tcp), LogHousekeeping::Empty);
    EXPECT_EQ(HousekeepingFor(5000, LinkKind::Tcp), LogHousekeeping::Empty);
}
