// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules of a data grid page that need no window: the fixed layout texts, the cell kinds,
// the colours a cell starts with or gets back, and the decisions of the popup menu and of a
// double click.
#include <QColor>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

#include "registers/CellColors.h"

namespace vantor {

inline constexpr int kGridRows = 11;    // row 0 is the header, rows 1..10 hold data
inline constexpr int kGridColumns = 27; // column 0 row numbers, then (label, value) pairs

QColor ColorFromRef(std::uint32_t ref);
std::uint32_t ColorToRef(const QColor& color);

enum class GridCellKind { Fixed, Label, Value, Outside };

// Row 0 and column 0 are fixed; odd columns hold labels, even columns values.
GridCellKind CellKind(int row, int column);

// Text of a fixed cell of packet 1..30: "Page05", "第1列", "Value", "0".."9"; empty elsewhere.
QString FixedCellText(int packet, int row, int column);

struct CellColors {
    QColor back;
    QColor text;
    bool operator==(const CellColors&) const = default;
};

// The colours a cell has when the page is created.
CellColors DefaultCellColors(int row, int column);
// "恢复": white on a value column, grey on a label column, black text; nothing on fixed cells.
std::optional<CellColors> RestoredColors(int row, int column);
// The colours of the selected cell.
CellColors HighlightColors();

// Commands of the popup menu, by position; formats carry their value format code.
enum class GridMenuItem { BackColor, TextColor, Restore, Separator, Format };
struct GridMenuEntry {
    GridMenuItem item;
    QString text;
    int code = 0; // value format code of a Format entry
};
std::vector<GridMenuEntry> GridMenuEntries();

// The format item shown checked for a cell with this code: only on value cells and only for a
// code of the menu (a continuation cell shows none).
std::optional<int> CheckedFormatCode(int row, int column, int code);

// A source text, shown through QCoreApplication::translate("vantor::GridRules", …).
inline constexpr const char* kInvalidCellMessage =
    QT_TRANSLATE_NOOP("vantor::GridRules", "单元格设置无效！");

enum class FormatTarget { Apply, Invalid, Ignore };
// Invalid on a label column ("单元格设置无效！"); Ignore on fixed cells.
FormatTarget FormatCommandTarget(int row, int column);

enum class DoubleClickAction { None, WriteValue, EditLabel };
DoubleClickAction DoubleClickActionFor(int row, int column);

} // namespace vantor
