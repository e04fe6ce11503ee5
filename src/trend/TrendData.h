// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend's samples and the looks of its curves, apart from any window: series 0 is the time
// base (OLE dates with "HH:mm:ss" labels, hidden), series k >= 1 holds curve slot k. The sampler
// appends to it, the chart draws it, and the recorder, the exports and the read-out take their
// values from it; the program keeps it beside the workspace, whether a chart shows it or not.
//
// Every change is announced (a series added or removed, its looks, its points), so that a chart
// over it follows without being told by whoever made the change. A series' points never move in
// memory while the series exists, so a drawing can keep a pointer to them.
#include <QColor>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "registers/TrendSettings.h"
#include "trend/ChartSnapshot.h"
#include "trend/SeriesData.h"

namespace vantor {

class TrendData : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxLineWidth = 8;

    explicit TrendData(QObject* parent = nullptr);
    ~TrendData() override;

    int seriesCount() const { return static_cast<int>(m_series.size()); }
    // The series' points (null outside the series).
    const SeriesData* points(int series) const;
    int addSeries(); // the new series' index (= the old count), empty, in its slot's colour

    // ---- looks ----
    QString title(int series) const;
    void setTitle(int series, const QString& title);
    QColor color(int series) const;
    void setColor(int series, const QColor& color);
    // Whether the series is in use (an inactive one is not drawn and not in the legend).
    bool active(int series) const;
    void setActive(int series, bool active);
    TrendAxis axis(int series) const;         // TrendAxis::Y for the left axis
    void setAxis(int series, TrendAxis axis); // X is ignored
    int lineWidth(int series) const;
    void setLineWidth(int series, int width); // 0 .. kMaxLineWidth

    // ---- points ----
    // Appends a point; returns its index (-1 outside the series).
    int append(int series, double x, double y, const QString& label = {});
    // A point whose X is its own index (the time base); returns that index.
    int appendIndexed(int series, double value, const QString& label);
    void clear(int series);
    int pointCount(int series) const;
    QString pointLabel(int series, int index) const;
    std::optional<double> xValue(int series, int index) const;
    std::optional<double> yValue(int series, int index) const;
    // Y of the series' point at exactly this X; none where it has no point there.
    std::optional<double> yAtX(int series, double x) const;
    double newestX() const; // the X of the newest point of any series (0 when none)

    // ---- as a whole ----
    // Every series with its looks and points into `out.series` (sharing the point blocks; the
    // units, the title, the ranges and the marker are left as they are).
    void copyTo(ChartSnapshot& out) const;
    // Every series replaced by those of a snapshot; series are added or removed to match its
    // count (at least the time base stays).
    void load(const ChartSnapshot& chart);
    // A recording saved `saved` (a snapshot of this data) to the file `source` reads: the points
    // of it older than the newest keptPoints() of each series leave memory (see
    // SeriesData::dropSaved); whoever reads them later gets them from the file.
    void dropSaved(const ChartSnapshot& saved, const std::shared_ptr<const ValueSource>& source);
    int keptPoints() const { return m_keptPoints; }
    void setKeptPoints(int points) { m_keptPoints = points; }

signals:
    void seriesAdded(int series);
    void seriesRemoved(int series); // always the last one
    void looksChanged(int series);
    // Points were appended (count: the new count) or the series was emptied (count 0) or
    // replaced.
    void pointsChanged(int series, int count);

private:
    struct Series {
        SeriesData points;
        QString title;
        QColor color;
        TrendAxis axis = TrendAxis::Y;
        bool active = true;
        int lineWidth = 0;
    };
    Series* at(int series);
    const Series* at(int series) const;
    template <typename T>
    T look(int series, T Series::*field, T none) const;
    template <typename T>
    void setLook(int series, T Series::*field, T value);
    void removeLastSeries();

    std::vector<std::unique_ptr<Series>> m_series;
    int m_keptPoints = SeriesData::kKeptPoints;
};

} // namespace vantor
