// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/CurveTable.h"
#include "registers/OleDate.h"

#include <gtest/gtest.h>

using namespace vantor;

TEST(CurveTable, DropFillsTheRowAndTheNinetyNinthIsTheLast) {
    CurveTable table;
    const CurveDrop first = table.drop(QStringLiteral("4x00001 1-1-2"));
    ASSERT_EQ(first.result, CurveDrop::Added);
    const CurveRow& row = table.row(0);
    EXPECT_EQ(row,
              (CurveRow{QStringLiteral("4x00001"), QStringLiteral("1-1-2"), DefaultCurveColor(1),
                        QStringLiteral("Y轴"), QStringLiteral("1"), QStringLiteral("0.1"),
                        QStringLiteral("--"), QStringLiteral("4x00001")}));
    for (int i = 2; i <= 99; ++i)
        EXPECT_EQ(table.drop(QStringLiteral("p %1-1-2").arg(i)).slot, i);
    EXPECT_EQ(table.drop(QStringLiteral("p 1-1-2")).result, CurveDrop::LimitReached);
    EXPECT_EQ(table.rowCount(), 99);
}

TEST(CurveTable, RemovedSlotIsReusedAndTheIndexFollowsTheRows) {
    CurveTable table;
    for (int i = 1; i <= 5; ++i)
        table.drop(QStringLiteral("p%1 1-1-2").arg(i));
    table.removeRow(2); // slot 3
    EXPECT_TRUE(table.slotFree(3));
    EXPECT_EQ(table.rowsOfSlot(4), QList<int>{2});
    const CurveDrop again = table.drop(QStringLiteral("nospace"));
    EXPECT_EQ(again.slot, 3);
    EXPECT_EQ(table.row(again.row).source, QString());
    EXPECT_EQ(table.rowsOfSlot(3), QList<int>{4});
}

TEST(CurveTable, LoadedRowsRebuildTheSlotsFromTheirNumbers) {
    CurveTable table;
    CurveRow a;
    a.number = QStringLiteral("7");
    CurveRow b;
    b.number = QStringLiteral("x");
    table.setRows({a, b, a});
    EXPECT_FALSE(table.slotFree(7));
    EXPECT_EQ(table.rowsOfSlot(7), (QList<int>{0, 2}));
    EXPECT_EQ(table.drop(QStringLiteral("n r")).slot, 1);
    table.removeRow(1); // names no slot: frees nothing
    EXPECT_FALSE(table.slotFree(7));
    EXPECT_TRUE(table.rowsOfSlot(100).isEmpty());
}

TEST(OleDate, KnownDaysAndRoundTrip) {
    const QDateTime t(QDate(2026, 12, 6), QTime(21, 41, 7));
    const double days = OleDateFromDateTime(t);
    EXPECT_DOUBLE_EQ(OleDateFromDateTime(QDateTime(QDate(1899, 12, 30), QTime(12, 0))), 0.5);
    EXPECT_DOUBLE_EQ(OleDateFromDateTime(QDateTime(QDate(1900, 1, 1), QTime(0, 0))), 2.0);
    EXPECT_EQ(DateTimeFromOleDate(days), t);
}
