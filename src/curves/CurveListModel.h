// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point list's table model: a view of the workspace's curve table, never a copy of it. The
// "Color" cell carries the row's colour as its background. Three more columns show the lowest,
// highest and mean value of each curve over the trend chart's visible range, from a source the
// window sets, refreshed at most a few times a second.
#include <QAbstractTableModel>
#include <QColor>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "curves/VisibleStats.h"

namespace vantor {

class CurveTable;

QColor CurveColor(std::uint32_t ref);         // 0x00BBGGRR
std::uint32_t CurveColorRef(const QColor& c); // the reverse

class CurveListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CurveListModel(CurveTable* curves, QObject* parent = nullptr);

    static constexpr int kStatsColumns = 3;
    static constexpr int kRefreshMs = 300;
    using StatsSource = std::function<std::optional<VisibleStats>(int slot)>;

    CurveTable* curves() const { return m_curves; }
    void setStatsSource(StatsSource source);
    // The visible data changed: the statistics are read again soon (several asks, one read).
    void refreshStats();
    void readStatsNow();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CurveTable* m_curves;
    StatsSource m_statsSource;
    std::vector<std::optional<VisibleStats>> m_stats; // by slot
    QTimer m_refresh;
};

} // namespace vantor
