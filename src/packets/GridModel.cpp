// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/GridModel.h"

#include <QBrush>
#include <QRect>

#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"

namespace vantor {

namespace {

bool IsPoint(GridCellKind kind) {
    return kind == GridCellKind::Label || kind == GridCellKind::Value;
}

CellPart PartOf(GridCellKind kind) {
    return kind == GridCellKind::Label ? CellPart::Label : CellPart::Value;
}

// A label column's cell belongs to the point of the value column to its right.
int CellOf(int row, int column, GridCellKind kind) {
    return CellFromGrid(row, kind == GridCellKind::Label ? column + 1 : column);
}

// The text colour of the values of a packet whose replies stopped: they are old.
constexpr Qt::GlobalColor kStaleText = Qt::gray;

} // namespace

GridModel::GridModel(int packet, RegisterStore* store, QObject* parent)
    : QAbstractTableModel(parent), m_packet(packet), m_store(store) {
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            m_fixed[Slot(row, column)] = FixedCellText(packet, row, column);
            m_fixedColors[Slot(row, column)] = DefaultCellColors(row, column);
            m_shown[Slot(row, column)] = text(row, column);
        }
    }
    connect(m_store, &RegisterStore::packetChanged, this, &GridModel::onPacketChanged);
    connect(m_store, &RegisterStore::colorsChanged, this, &GridModel::onColorsChanged);
    connect(m_store, &RegisterStore::staleChanged, this, [this](int packet) {
        if (packet == m_packet)
            emit dataChanged(index(1, 1), index(kGridRows - 1, kGridColumns - 1),
                             {Qt::ForegroundRole});
    });
}

int GridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridRows;
}

int GridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kGridColumns;
}

QVariant GridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    const int row = index.row();
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
        return text(row, column);
    case Qt::BackgroundRole:
        return QBrush(colors(row, column).back);
    case Qt::ForegroundRole:
        // Stale values are greyed; the stored colours stay for when replies come back.
        if (CellKind(row, column) == GridCellKind::Value && m_store->isStale(PacketNo(m_packet)))
            return QBrush(kStaleText);
        return QBrush(colors(row, column).text);
    case Qt::TextAlignmentRole:
        if (CellKind(row, column) == GridCellKind::Fixed)
            return int(Qt::AlignCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

Qt::ItemFlags GridModel::flags(const QModelIndex& index) const {
    // Fixed cells can never become the current cell, as in a grid with a fixed row and column.
    if (!index.isValid() || CellKind(index.row(), index.column()) == GridCellKind::Fixed)
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    switch (role) {
    case Qt::DisplayRole:
        return orientation == Qt::Horizontal ? text(0, section) : text(section, 0);
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QString GridModel::text(int row, int column) const {
    const GridCellKind kind = CellKind(row, column);
    if (kind == GridCellKind::Outside)
        return {};
    if (!IsPoint(kind))
        return m_fixed[Slot(row, column)];
    const PointRef point{PacketNo(m_packet), CellOf(row, column, kind)};
    return kind == GridCellKind::Label ? m_store->labelText(point) : m_store->valueText(point);
}

// Header texts belong to the page; labels and values go to the store and show when it reports
// the packet changed.
void GridModel::setText(int row, int column, const QString& text) {
    const GridCellKind kind = CellKind(row, column);
    if (kind == GridCellKind::Outside)
        return;
    if (kind == GridCellKind::Fixed) {
        m_fixed[Slot(row, column)] = text;
        emit dataChanged(index(row, column), index(row, column), {Qt::DisplayRole});
        if (row == 0)
            emit headerDataChanged(Qt::Horizontal, column, column);
        if (column == 0)
            emit headerDataChanged(Qt::Vertical, row, row);
        return;
    }
    const PointRef point{PacketNo(m_packet), CellOf(row, column, kind)};
    if (kind == GridCellKind::Value)
        m_store->setCellValue(point, text);
    else
        m_store->setCellLabel(point, text.isNull() ? QStringLiteral("") : text);
}

CellColors GridModel::colors(int row, int column) const {
    const GridCellKind kind = CellKind(row, column);
    if (kind == GridCellKind::Fixed)
        return m_fixedColors[Slot(row, column)];
    if (kind == GridCellKind::Outside)
        return DefaultCellColors(row, column);
    const ColorRefs refs =
        m_store->colors({PacketNo(m_packet), CellOf(row, column, kind)}, PartOf(kind));
    return {ColorFromRef(refs.back), ColorFromRef(refs.text)};
}

void GridModel::setBackColor(int row, int column, const QColor& color) {
    setColors(row, column, color, std::nullopt);
}

void GridModel::setTextColor(int row, int column, const QColor& color) {
    setColors(row, column, std::nullopt, color);
}

void GridModel::setColors(int row, int column, std::optional<QColor> back,
                          std::optional<QColor> text) {
    const GridCellKind kind = CellKind(row, column);
    if (kind == GridCellKind::Outside || (back && !back->isValid()) || (text && !text->isValid()))
        return;
    if (kind == GridCellKind::Fixed) {
        CellColors& kept = m_fixedColors[Slot(row, column)];
        kept = {back.value_or(kept.back), text.value_or(kept.text)};
        emit dataChanged(index(row, column), index(row, column),
                         {Qt::BackgroundRole, Qt::ForegroundRole});
        return;
    }
    const PointRef point{PacketNo(m_packet), CellOf(row, column, kind)};
    ColorRefs refs = m_store->colors(point, PartOf(kind));
    if (back)
        refs.back = ColorToRef(*back);
    if (text)
        refs.text = ColorToRef(*text);
    m_store->setColors(point, PartOf(kind), refs);
}

// Only the block of cells whose text changed is reported, so a view repaints those and not the
// whole page at every refresh.
void GridModel::onPacketChanged(int packet) {
    if (packet != m_packet)
        return;
    QRect changed;
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 1; column < kGridColumns; ++column)
            if (QString now = text(row, column); now != m_shown[Slot(row, column)]) {
                m_shown[Slot(row, column)] = std::move(now);
                changed |= QRect(column, row, 1, 1);
            }
    if (!changed.isNull())
        emit dataChanged(index(changed.top(), changed.left()),
                         index(changed.bottom(), changed.right()), {Qt::DisplayRole});
}

void GridModel::onColorsChanged(PointRef point, CellPart part) {
    if (point.packet.number != m_packet)
        return;
    const int row = CellRow(point.cell);
    const int column = CellValueColumn(point.cell) - (part == CellPart::Label ? 1 : 0);
    emit dataChanged(index(row, column), index(row, column),
                     {Qt::BackgroundRole, Qt::ForegroundRole});
}

} // namespace vantor
