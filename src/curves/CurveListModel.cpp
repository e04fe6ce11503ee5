// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/CurveListModel.h"

#include "registers/CurveTable.h"

namespace vantor {

QColor CurveColor(std::uint32_t ref) {
    return QColor(static_cast<int>(ref & 0xFF), static_cast<int>(ref >> 8 & 0xFF),
                  static_cast<int>(ref >> 16 & 0xFF));
}

std::uint32_t CurveColorRef(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | static_cast<std::uint32_t>(c.green()) << 8 |
           static_cast<std::uint32_t>(c.blue()) << 16;
}

CurveListModel::CurveListModel(CurveTable* curves, QObject* parent)
    : QAbstractTableModel(parent), m_curves(curves) {
    // The table has already changed when it reports; a row is only ever appended, so the insert
    // can be announced afterwards. A removal or a new table resets the view.
    connect(curves, &CurveTable::curveAdded, this, [this](int row) {
        beginInsertRows({}, row, row);
        endInsertRows();
    });
    connect(curves, &CurveTable::curveRemoved, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(curves, &CurveTable::rowsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(curves, &CurveTable::rowEdited, this, [this](int row) {
        emit dataChanged(index(row, 0), index(row, kCurveColumnCount - 1));
    });
}

void CurveListModel::setStatsSource(StatsSource source) {
    m_statsSource = std::move(source);
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(kRefreshMs);
    connect(&m_refresh, &QTimer::timeout, this, &CurveListModel::readStatsNow,
            Qt::UniqueConnection);
    refreshStats();
}

void CurveListModel::refreshStats() {
    if (m_statsSource && !m_refresh.isActive())
        m_refresh.start();
}

void CurveListModel::readStatsNow() {
    if (!m_statsSource)
        return;
    m_stats.assign(CurveTable::kMaxCurves + 1, std::nullopt);
    for (int slot = 1; slot <= CurveTable::kMaxCurves; ++slot)
        if (!m_curves->slotFree(slot))
            m_stats[static_cast<std::size_t>(slot)] = m_statsSource(slot);
    if (rowCount() > 0)
        emit dataChanged(index(0, kCurveColumnCount), index(rowCount() - 1, columnCount() - 1),
                         {Qt::DisplayRole});
}

int CurveListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_curves->rowCount();
}

int CurveListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kCurveColumnCount + kStatsColumns;
}

QVariant CurveListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_curves->rowCount())
        return {};
    const CurveRow& row = m_curves->row(index.row());
    if (index.column() >= kCurveColumnCount) {
        if (role != Qt::DisplayRole)
            return {};
        const auto slot = static_cast<std::size_t>(row.number.toInt());
        const std::optional<VisibleStats> stats =
            slot < m_stats.size() ? m_stats[slot] : std::nullopt;
        if (!stats)
            return {};
        const double values[kStatsColumns] = {stats->min, stats->max, stats->mean};
        return QString::number(values[index.column() - kCurveColumnCount], 'g', 6);
    }
    const auto column = static_cast<CurveColumn>(index.column());
    if (role == Qt::DisplayRole)
        return row.text(column);
    if (role == Qt::BackgroundRole && column == CurveColumn::Color)
        return CurveColor(row.color);
    return {};
}

QVariant CurveListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[kCurveColumnCount] = {"Datapoint", "Obj_Id", "Color", "Yaxis",
                                                            "No.",       "Rate",   "Unit",  "Addr"};
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section >= kCurveColumnCount)
        return tr("曲线图当前可见范围内的数值");
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole &&
        section >= kCurveColumnCount && section < kCurveColumnCount + kStatsColumns) {
        static const char* const kStats[kStatsColumns] = {
            QT_TR_NOOP("可见最小"), QT_TR_NOOP("可见最大"), QT_TR_NOOP("可见平均")};
        return tr(kStats[section - kCurveColumnCount]);
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kCurveColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromLatin1(kHeaders[section]);
}

} // namespace vantor
