// SPDX-License-Identifier: GPL-3.0-or-later
// The grid page's layout, its cells as the register store fills them, and the rules behind the
// menu and the double click.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include "packets/GridModel.h"
#include "packets/GridRules.h"
#include "packets/MSHFlexGrid.h"
#include "registers/RegisterStore.h"
#include "support/Wait.h"

using namespace vantor;

namespace {

// A store whose packet `packet` (1..30) reads `count` registers from address 0 with `function`.
void ConfigurePacket(RegisterStore& store, int packet, int count, int function = 3) {
    CommandImages images;
    PacketImage& image = images.packets[static_cast<std::size_t>(packet - 1)];
    image.function = function;
    image.start = 0;
    image.count = count;
    store.setImages(images);
    store.rebuildPointLabels();
}

// Label and value texts of every data cell, indexed by cell number.
struct PageTexts {
    std::vector<QString> labels, values;
};

PageTexts ReadPage(const CMSHFlexGrid& grid) {
    PageTexts page;
    for (int cell = 0; cell < kCellsPerPacket; ++cell) {
        page.labels.push_back(grid.textMatrix(CellRow(cell), CellValueColumn(cell) - 1));
        page.values.push_back(grid.textMatrix(CellRow(cell), CellValueColumn(cell)));
    }
    return page;
}

} // namespace

TEST(GridLayout, FixedRowAndColumnTexts) {
    RegisterStore store;
    GridModel model(5, &store);
    EXPECT_EQ(model.rowCount(), 11);
    EXPECT_EQ(model.columnCount(), 27);
    EXPECT_EQ(model.text(0, 0), "Page05");
    EXPECT_EQ(model.text(0, 1), "第1列");
    EXPECT_EQ(model.text(0, 2), "Value");
    EXPECT_EQ(model.text(0, 25), "第13列");
    EXPECT_EQ(model.text(0, 26), "Value");
    EXPECT_EQ(model.text(1, 0), "0");
    EXPECT_EQ(model.text(10, 0), "9");
    EXPECT_EQ(FixedCellText(30, 0, 0), "Page30");
    EXPECT_EQ(FixedCellText(1, 1, 1), ""); // not a fixed cell
    // Fixed cells are painted like headers and can never become the current cell.
    EXPECT_EQ(model.flags(model.index(0, 4)), Qt::NoItemFlags);
    EXPECT_EQ(model.flags(model.index(3, 0)), Qt::NoItemFlags);
    EXPECT_TRUE(model.flags(model.index(3, 3)) & Qt::ItemIsEnabled);
    EXPECT_EQ(model.index(0, 3).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
    // The view's headers show the same texts, centred.
    EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "第1列");
    EXPECT_EQ(model.headerData(26, Qt::Horizontal).toString(), "Value");
    EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Page05");
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "0");
    EXPECT_EQ(model.headerData(10, Qt::Vertical).toString(), "9");
    EXPECT_EQ(model.headerData(11, Qt::Vertical).toString(), "");
    EXPECT_EQ(model.headerData(5, Qt::Vertical, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignCenter));
}

TEST(GridLayout, CellKindsAndStartingColours) {
    EXPECT_EQ(CellKind(0, 5), GridCellKind::Fixed);
    EXPECT_EQ(CellKind(7, 0), GridCellKind::Fixed);
    EXPECT_EQ(CellKind(1, 25), GridCellKind::Label);
    EXPECT_EQ(CellKind(10, 26), GridCellKind::Value);
    EXPECT_EQ(CellKind(11, 2), GridCellKind::Outside);
    EXPECT_EQ(CellKind(1, 27), GridCellKind::Outside);
    EXPECT_EQ(CellKind(-1, 2), GridCellKind::Outside);

    // Colours are kept as the grid reports them in files: COLORREF numbers, blue in the top byte.
    EXPECT_EQ(ColorFromRef(0xFF9933), QColor(0x33, 0x99, 0xFF));
    EXPECT_EQ(ColorToRef(QColor(0x33, 0x99, 0xFF)), 0xFF9933u);
    EXPECT_EQ(ColorToRef(ColorFromRef(13948116)), 13948116u);

    RegisterStore store;
    GridModel model(1, &store);
    EXPECT_EQ(model.colors(4, 7), (CellColors{QColor(0xD4, 0xD4, 0xD4), Qt::black}));
    EXPECT_EQ(model.colors(4, 8), (CellColors{Qt::white, Qt::black}));
    EXPECT_EQ(model.index(4, 7).data(Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xD4, 0xD4, 0xD4));
    EXPECT_NE(model.colors(0, 8).back, Qt::white); // header grey
}

TEST(GridLayout, ColumnsShowLabelsAndValuesUncut) {
    RegisterStore store;
    GridModel model(1, &store);
    CMSHFlexGrid grid(&model);
    grid.setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 9));
    grid.setTextMatrix(1, 1, QStringLiteral("4x00001"));
    grid.setTextMatrix(0, 3, QStringLiteral("第13列"));
    grid.setTextMatrix(0, 0, QStringLiteral("Page30"));
    store.setCellValue({PacketNo(1), 10}, QStringLiteral("-12345.678"));
    store.setCellValue({PacketNo(1), 20}, QStringLiteral("-2147483648"));
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const int twips740 = 740 * grid.logicalDpiX() / 1440;
    const QAbstractItemView& view = grid; // the size hints are public there
    for (int column : {1, 3, 4, 6}) {
        SCOPED_TRACE(column);
        EXPECT_GE(grid.columnWidth(column), view.sizeHintForColumn(column));
        EXPECT_GE(grid.columnWidth(column), grid.horizontalHeader()->sectionSizeHint(column));
        EXPECT_GE(grid.columnWidth(column), twips740);
    }
    EXPECT_GE(grid.rowHeight(1), view.sizeHintForRow(1));
    // Column 0 is the vertical header, its top the corner with the page name.
    const QLabel* corner = grid.findChild<QLabel*>(QStringLiteral("gridCorner"));
    ASSERT_NE(corner, nullptr);
    EXPECT_EQ(corner->text(), "Page30");
    EXPECT_GE(corner->width(), corner->sizeHint().width());
    EXPECT_GE(corner->height(), corner->sizeHint().height());
    EXPECT_GE(grid.verticalHeader()->width(), twips740);
    EXPECT_EQ(grid.horizontalHeader()->height(), grid.rowHeight(1));
}

TEST(GridLabels, PointNumberRebuildForCounts) {
    RegisterStore store;
    GridModel model(7, &store);
    CMSHFlexGrid grid(&model);
    store.setCellValue({PacketNo(7), 3},
                       QStringLiteral("99")); // a rebuild blanks the values as well

    ConfigurePacket(store, 7, 25);
    PageTexts page = ReadPage(grid);
    for (int cell = 0; cell < kCellsPerPacket; ++cell) {
        SCOPED_TRACE(cell);
        EXPECT_EQ(page.values[cell], " ");
        EXPECT_EQ(page.labels[cell], cell < 25 ? QStringLiteral("4x%1").arg(cell, 5, 10, QChar('0'))
                                               : QStringLiteral(" "));
    }
    // 25 cells: label columns 1 and 3 full, rows 1..5 of column 5 (beside value column 6).
    EXPECT_EQ(grid.textMatrix(10, 3), "4x00019");
    EXPECT_EQ(grid.textMatrix(5, 5), "4x00024");
    EXPECT_EQ(grid.textMatrix(6, 5), " ");
    EXPECT_EQ(grid.textMatrix(1, 7), " ");
    EXPECT_EQ(grid.textMatrix(3, 0), "2"); // row numbers stay

    ConfigurePacket(store, 7, 0);
    page = ReadPage(grid);
    EXPECT_EQ(page.labels, std::vector<QString>(kCellsPerPacket, QStringLiteral(" ")));
    EXPECT_EQ(page.values, std::vector<QString>(kCellsPerPacket, QStringLiteral(" ")));

    ConfigurePacket(store, 7, 130, 4);
    store.setAddressBase(1);
    page = ReadPage(grid);
    EXPECT_EQ(page.labels.front(), "3x00001");
    EXPECT_EQ(page.labels.back(), "3x00130");
    EXPECT_EQ(std::count(page.labels.begin(), page.labels.end(), QStringLiteral(" ")), 0);
    EXPECT_EQ(grid.textMatrix(10, 25), "3x00130");
}

TEST(GridLabels, LabelsSetOnTheGridLastUntilTheNextRebuild) {
    RegisterStore store;
    GridModel model(2, &store);
    CMSHFlexGrid grid(&model);
    ConfigurePacket(store, 2, 5);
    grid.setRow(2);
    grid.setCol(1);
    grid.setText(QStringLiteral("Pump speed"));
    EXPECT_EQ(grid.text(), "Pump speed");
    EXPECT_EQ(store.labelText({PacketNo(2), 1}), "Pump speed"); // the store holds user labels
    grid.setTextMatrix(3, 1, QString());                        // an empty label stays empty
    EXPECT_EQ(grid.textMatrix(3, 1), "");
    store.rebuildPointLabels();
    EXPECT_EQ(grid.textMatrix(2, 1), "4x00001");
    EXPECT_EQ(grid.textMatrix(3, 1), "4x00002");

    QSignalSpy headers(&model, &QAbstractItemModel::headerDataChanged);
    grid.setColumnHeader(4, QStringLiteral("Flow"));
    EXPECT_EQ(grid.textMatrix(0, 4), "Flow");
    EXPECT_EQ(grid.horizontalHeader()->model()->headerData(4, Qt::Horizontal).toString(), "Flow");
    grid.setTextMatrix(3, 0, QStringLiteral("R2"));
    EXPECT_EQ(model.headerData(3, Qt::Vertical).toString(), "R2");
    ASSERT_EQ(headers.count(), 2); // the headers repaint
    EXPECT_EQ(headers[0], (QVariantList{QVariant::fromValue(Qt::Horizontal), 4, 4}));
    EXPECT_EQ(headers[1], (QVariantList{QVariant::fromValue(Qt::Vertical), 3, 3}));
    // Value cells written through the grid land in the register image.
    grid.setTextMatrix(4, 2, QStringLiteral("12"));
    EXPECT_EQ(store.valueText({PacketNo(2), 3}), "12");
    // Positions outside the grid are ignored.
    grid.setRow(11);
    grid.setCol(-1);
    EXPECT_EQ(grid.row(), 2);
    EXPECT_EQ(grid.col(), 1);
    grid.setTextMatrix(11, 2, QStringLiteral("x"));
    EXPECT_EQ(grid.textMatrix(11, 2), "");
    EXPECT_EQ(grid.rows(), 11);
}

TEST(GridValues, RepliesShowAfterOneCoalescedChange) {
    RegisterStore store;
    GridModel model(3, &store);
    GridModel other(4, &store);
    ConfigurePacket(store, 3, 4);
    QSignalSpy rebuilt(&store, &RegisterStore::packetChanged);
    ASSERT_TRUE(test::WaitUntil([&] { return rebuilt.count() == kPacketCount; })); // settled
    store.formats().SetCellFormat({PacketNo(3), 2}, 7);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QSignalSpy otherChanged(&other, &QAbstractItemModel::dataChanged);

    const QByteArray data("\xFF\xFE\x00\x05\x3F\xC0\x00\x00", 8);
    for (int i = 0; i < 3; ++i)
        store.onRegisterReply(3, data, 4);
    EXPECT_EQ(changed.count(), 0); // nothing repaints before the store's timer runs
    ASSERT_TRUE(test::WaitUntil([&] { return changed.count() > 0; }));
    QTest::qWait(4 * RegisterStore::kRefreshMs);
    EXPECT_EQ(changed.count(), 1); // three replies, one repaint
    EXPECT_EQ(otherChanged.count(), 0);

    EXPECT_EQ(model.index(1, 2).data().toString(), "-2");
    EXPECT_EQ(model.index(2, 2).data().toString(), "5");
    EXPECT_EQ(model.index(3, 2).data().toString(), "1.500");
    EXPECT_EQ(model.index(4, 2).data().toString(), "--");
    EXPECT_EQ(model.index(5, 2).data().toString(), " ");
}

TEST(GridRules, MenuEntriesByPosition) {
    const std::vector<GridMenuEntry> entries = GridMenuEntries();
    ASSERT_EQ(entries.size(), 16u);
    QStringList texts;
    for (const GridMenuEntry& entry : entries)
        texts << (entry.item == GridMenuItem::Separator ? QStringLiteral("-") : entry.text);
    EXPECT_EQ(texts.join('|'), "背景颜色|字体颜色|恢复|-|16 Bit Signed|16 Bit Unsigned|-|"
                               "Float AB CD|Float CD AB|Float BA DC|Float DC BA|-|"
                               "Long AB CD|Long CD AB|Long BA DC|Long DC BA");
    // A format's code is its position in the menu.
    for (std::size_t position = 0; position < entries.size(); ++position) {
        if (entries[position].item == GridMenuItem::Format) {
            EXPECT_EQ(entries[position].code, static_cast<int>(position));
        }
    }
}

TEST(GridRules, MenuDecisionsByCell) {
    EXPECT_EQ(CheckedFormatCode(1, 2, 7), 7);
    EXPECT_EQ(CheckedFormatCode(1, 2, 16), std::nullopt); // continuation: no check
    EXPECT_EQ(CheckedFormatCode(1, 2, 6), std::nullopt);
    EXPECT_EQ(CheckedFormatCode(1, 3, 4), std::nullopt); // label column
    EXPECT_EQ(CheckedFormatCode(0, 2, 4), std::nullopt);

    EXPECT_EQ(FormatCommandTarget(5, 26), FormatTarget::Apply);
    EXPECT_EQ(FormatCommandTarget(5, 25), FormatTarget::Invalid);
    EXPECT_EQ(FormatCommandTarget(0, 2), FormatTarget::Ignore);
    EXPECT_EQ(FormatCommandTarget(3, 0), FormatTarget::Ignore);

    EXPECT_EQ(RestoredColors(2, 2), (CellColors{Qt::white, Qt::black}));
    EXPECT_EQ(RestoredColors(2, 1), (CellColors{QColor(0xD4, 0xD4, 0xD4), Qt::black}));
    EXPECT_EQ(RestoredColors(0, 2), std::nullopt);
    EXPECT_EQ(RestoredColors(11, 2), std::nullopt);
    EXPECT_EQ(HighlightColors(), (CellColors{ColorFromRef(16750899), Qt::white}));

    EXPECT_EQ(DoubleClickActionFor(0, 3), DoubleClickAction::None);
    EXPECT_EQ(DoubleClickActionFor(4, 0), DoubleClickAction::None);
    EXPECT_EQ(DoubleClickActionFor(11, 3), DoubleClickAction::None);
    EXPECT_EQ(DoubleClickActionFor(4, 3), DoubleClickAction::EditLabel);
    EXPECT_EQ(DoubleClickActionFor(4, 4), DoubleClickAction::WriteValue);
}

TEST(GridValues, StalePacketValuesAreGreyedWithoutLosingTheirColours) {
    RegisterStore store;
    GridModel model(3, &store);
    const QVariant before = model.index(1, 2).data(Qt::ForegroundRole);
    const QVariant label = model.index(1, 1).data(Qt::ForegroundRole);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    store.onNoReply(3);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.index(1, 2).data(Qt::ForegroundRole).value<QBrush>().color(), QColor(Qt::gray));
    EXPECT_EQ(model.index(1, 1).data(Qt::ForegroundRole), label); // labels keep theirs
    store.onRegisterReply(3, QByteArray::fromHex("0001"), 1);
    EXPECT_EQ(model.index(1, 2).data(Qt::ForegroundRole), before);
}

TEST(GridLayout, CutValuesShowWholeInATooltipAndColumnsWiden) {
    RegisterStore store;
    GridModel model(1, &store);
    CMSHFlexGrid grid(&model);
    const QString longText = QStringLiteral("-1234567890.123456789");
    store.setCellValue({PacketNo(1), 0}, longText);
    store.setCellValue({PacketNo(1), 1}, QStringLiteral("12"));
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    const QFontMetrics metrics = grid.viewport()->fontMetrics();
    const int wide = metrics.horizontalAdvance(longText) + 40;
    EXPECT_EQ(CutTextToolTip(metrics, longText, grid.columnWidth(2)), longText);
    EXPECT_EQ(CutTextToolTip(metrics, longText, wide), "");
    EXPECT_EQ(CutTextToolTip(metrics, QStringLiteral(" "), 1), "");

    // The view asks the rule for the cell under the pointer.
    const QRect cell = grid.visualRect(model.index(1, 2));
    QHelpEvent help(QEvent::ToolTip, cell.center(), grid.viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(grid.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), longText);

    // Dragging the header's edge widens a value column; then the value fits.
    QHeaderView* header = grid.horizontalHeader();
    const int edge = header->sectionViewportPosition(2) + header->sectionSize(2) - 1;
    const int y = header->height() / 2;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, y));
    QTest::mouseMove(header->viewport(), QPoint(edge + wide, y));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + wide, y));
    EXPECT_GE(grid.columnWidth(2), wide);
    EXPECT_EQ(CutTextToolTip(metrics, longText, grid.columnWidth(2)), "");
}
