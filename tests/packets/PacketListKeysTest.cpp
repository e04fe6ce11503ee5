// SPDX-License-Identifier: GPL-3.0-or-later
// The packet list's in-place editors close on Enter (the text goes into the cell) and on Escape
// (the cell keeps its text), in the edit box, in the function combo and in its drop-down list.
#include <QAbstractItemView>

#include "CommPanelFixture.h"

using namespace vantor::test;

namespace {

using PacketListKeys = CommPanelFixture;

struct KeyCase {
    int column;
    const char* typed; // nullptr: a key in the drop-down list, which opens with the editor
    Qt::Key key;
    const char* cell;
};

TEST_F(PacketListKeys, EnterCommitsAndEscapeRestores) {
    const KeyCase cases[] = {
        {3, "77", Qt::Key_Return, "77"},    {4, "12", Qt::Key_Enter, "12"},
        {1, "9", Qt::Key_Escape, "1"},      {2, "50", Qt::Key_Return, "50"},
        {2, "51", Qt::Key_Escape, "03"},    {2, nullptr, Qt::Key_Return, "04"},
        {2, nullptr, Qt::Key_Escape, "03"},
    };
    int row = 0;
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(row);
        QWidget* target = nullptr;
        if (c.typed) {
            TypeIntoCell(row, c.column, QString::fromLatin1(c.typed));
            target = QApplication::focusWidget();
        } else {
            ClickCell(row, c.column);
            auto* combo = qobject_cast<QComboBox*>(list->cellEditor());
            ASSERT_NE(combo, nullptr);
            target = combo->view();
            QTest::keyClick(target, Qt::Key_Down); // highlights "04"
        }
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, c.key);
        EXPECT_EQ(list->cellEditor(), nullptr);
        EXPECT_EQ(Cell(row, c.column), c.cell);
        ++row;
    }
    EXPECT_TRUE(list->hasFocus()); // the keyboard stays in the list
}

} // namespace
