// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/GridRules.h"

#include <QCoreApplication>

#include "registers/ValueFormat.h"

namespace vantor {

QColor ColorFromRef(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>((ref >> 8) & 0xFF),
                  static_cast<int>((ref >> 16) & 0xFF));
}

std::uint32_t ColorToRef(const QColor& color) {
    return static_cast<std::uint32_t>(color.red()) |
           (static_cast<std::uint32_t>(color.green()) << 8) |
           (static_cast<std::uint32_t>(color.blue()) << 16);
}

GridCellKind CellKind(int row, int column) {
    if (row < 0 || row >= kGridRows || column < 0 || column >= kGridColumns)
        return GridCellKind::Outside;
    if (row == 0 || column == 0)
        return GridCellKind::Fixed;
    return column % 2 == 1 ? GridCellKind::Label : GridCellKind::Value;
}

QString FixedCellText(int packet, int row, int column) {
    if (CellKind(row, column) != GridCellKind::Fixed)
        return {};
    if (row == 0 && column == 0)
        return QStringLiteral("Page%1").arg(packet, 2, 10, QLatin1Char('0'));
    if (row == 0)
        return column % 2 == 1 ? QCoreApplication::translate("vantor::GridRules", "第%1列")
                                     .arg((column + 1) / 2)
                               : QStringLiteral("Value");
    return QString::number(row - 1);
}

CellColors DefaultCellColors(int row, int column) {
    const QColor text = ColorFromRef(kTextRef);
    switch (CellKind(row, column)) {
    case GridCellKind::Label:
        return {ColorFromRef(kLabelBackRef), text};
    case GridCellKind::Value:
        return {ColorFromRef(kValueBackRef), text};
    case GridCellKind::Fixed:
    case GridCellKind::Outside:
        break;
    }
    return {ColorFromRef(kFixedBackRef), text};
}

std::optional<CellColors> RestoredColors(int row, int column) {
    const GridCellKind kind = CellKind(row, column);
    if (kind != GridCellKind::Label && kind != GridCellKind::Value)
        return std::nullopt;
    return DefaultCellColors(row, column);
}

CellColors HighlightColors() {
    return {ColorFromRef(kHighlightBackRef), ColorFromRef(kHighlightTextRef)};
}

std::vector<GridMenuEntry> GridMenuEntries() {
    std::vector<GridMenuEntry> entries{
        {GridMenuItem::BackColor, QCoreApplication::translate("vantor::GridRules", "背景颜色")},
        {GridMenuItem::TextColor, QCoreApplication::translate("vantor::GridRules", "字体颜色")},
        {GridMenuItem::Restore, QCoreApplication::translate("vantor::GridRules", "恢复")},
    };
    // The codes equal the menu positions: a separator wherever a code is unused (3, 6, 11).
    for (int position = 3; position <= 15; ++position) {
        const char* text = FormatMenuText(position);
        if (text == nullptr)
            entries.push_back({GridMenuItem::Separator, {}});
        else
            entries.push_back({GridMenuItem::Format, QString::fromLatin1(text), position});
    }
    return entries;
}

std::optional<int> CheckedFormatCode(int row, int column, int code) {
    if (CellKind(row, column) != GridCellKind::Value || FormatMenuText(code) == nullptr)
        return std::nullopt;
    return code;
}

FormatTarget FormatCommandTarget(int row, int column) {
    switch (CellKind(row, column)) {
    case GridCellKind::Value:
        return FormatTarget::Apply;
    case GridCellKind::Label:
        return FormatTarget::Invalid;
    case GridCellKind::Fixed:
    case GridCellKind::Outside:
        break;
    }
    return FormatTarget::Ignore;
}

DoubleClickAction DoubleClickActionFor(int row, int column) {
    switch (CellKind(row, column)) {
    case GridCellKind::Value:
        return DoubleClickAction::WriteValue;
    case GridCellKind::Label:
        return DoubleClickAction::EditLabel;
    case GridCellKind::Fixed:
    case GridCellKind::Outside:
        break;
    }
    return DoubleClickAction::None;
}

} // namespace vantor
