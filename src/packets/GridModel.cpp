#include "packets/GridModel.h"

#include <QBrush>

#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"

namespace vantor {

namespace {

bool InGrid(int row, int column) {
    return CellKind(row, column) != GridCellKind::Outside;
}

} // namespace

GridModel::GridModel(int packet, RegisterStore* store, QObject* parent)
    : QAbstractTableModel(parent), m_packet(packet), m_store(store) {
    for (int row = 0; row < kGridRows; ++row) {
        for (int column = 0; column < kGridColumns; ++column) {
            m_texts[Slot(row, column)] = FixedCellText(packet, row, column);
            if (CellKind(row, column) != GridCellKind::Fixed)
                m_texts[Slot(row, column)] = QString(); // null: read from the store
            m_colors[Slot(row, column)] = DefaultCellColors(row, column);
        }
    }
    if (m_store) {
        connect(m_store, &RegisterStore::packetChanged, this, &GridModel::onPacketChanged);
        connect(m_store, &RegisterStore::labelsRebuilt, this, &GridModel::onLabelsRebuilt);
    }
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
    const QString& local = m_texts[Slot(row, column)];
    if (!local.isNull() || !m_store)
        return local;
    const int cell = CellFromGrid(row, kind == GridCellKind::Label ? column + 1 : column);
    return kind == GridCellKind::Label ? m_store->labelText(m_packet - 1, cell)
                                       : m_store->valueText(m_packet - 1, cell);
}

void GridModel::setText(int row, int column, const QString& text) {
    const GridCellKind kind = CellKind(row, column);
    if (kind == GridCellKind::Outside)
        return;
    if (kind == GridCellKind::Value && m_store) {
        m_store->setCellValue(m_packet - 1, CellFromGrid(row, column), text);
        return; // shown when the store reports the packet changed
    }
    // A null text would mean "from the store": an empty label stays empty.
    m_texts[Slot(row, column)] = text.isNull() ? QStringLiteral("") : text;
    emitCellChanged(row, column, Qt::DisplayRole);
}

CellColors GridModel::colors(int row, int column) const {
    if (!InGrid(row, column))
        return DefaultCellColors(row, column);
    return m_colors[Slot(row, column)];
}

void GridModel::setBackColor(int row, int column, const QColor& color) {
    if (!InGrid(row, column) || !color.isValid())
        return;
    m_colors[Slot(row, column)].back = color;
    emitCellChanged(row, column, Qt::BackgroundRole);
}

void GridModel::setTextColor(int row, int column, const QColor& color) {
    if (!InGrid(row, column) || !color.isValid())
        return;
    m_colors[Slot(row, column)].text = color;
    emitCellChanged(row, column, Qt::ForegroundRole);
}

void GridModel::onPacketChanged(int packet0) {
    if (packet0 != m_packet - 1)
        return;
    emit dataChanged(index(1, 1), index(kGridRows - 1, kGridColumns - 1), {Qt::DisplayRole});
}

void GridModel::onLabelsRebuilt() {
    for (int row = 1; row < kGridRows; ++row)
        for (int column = 1; column < kGridColumns; column += 2)
            m_texts[Slot(row, column)] = QString();
    emit dataChanged(index(1, 1), index(kGridRows - 1, kGridColumns - 1), {Qt::DisplayRole});
}

void GridModel::emitCellChanged(int row, int column, int role) {
    const QModelIndex cell = index(row, column);
    emit dataChanged(cell, cell, {role});
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, column, column);
    if (column == 0)
        emit headerDataChanged(Qt::Vertical, row, row);
}

} // namespace vantor
