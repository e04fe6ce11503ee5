// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend chart: every chart operation the trend panel uses, as C++ methods, over the plotting
// library. Series 0 is the time base (hidden; OLE date values with "%H:%M:%S" labels, its point
// n at X = n); series k >= 1 draws curve slot k. The bottom axis is the sample index or, on a
// time axis, the samples' times; the left one Y, and five extra value axes: B, C and E on the
// left, A and D on the right. A blue marker line (draggable) and a red cursor line (following
// the mouse) stand on the bottom axis, and a green second cursor when two cursors are on. The
// legend lists the curves with check boxes that show and hide them. Every X this class takes or
// gives is a sample position, whichever axis is shown.
//
// The mouse: a click puts the marker there, a drag on the marker moves it, a drag elsewhere pans,
// a drag with the right button (or with Ctrl) zooms to its rectangle, the wheel over an axis
// zooms that axis (with Ctrl, over the plot, the bottom axis), a double-click shows everything,
// and a click with Shift puts the second cursor there. Panning and zooming change the view only.
//
// Changes never redraw at once: they mark the chart and one replot follows when the event loop
// runs again, at most about 30 a second. The marker and cursor lines have a layer of their own,
// so moving them redraws only that layer.
#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "curves/VisibleStats.h"
#include "registers/TrendSettings.h"
#include "trend/ChartSnapshot.h"
#include "trend/Overdraw.h"
#include "trend/SeriesData.h"
#include "trend/TimeKeys.h"

class QCustomPlot;
class QCPAxis;
class QCPItemStraightLine;
class QListWidget;
class QListWidgetItem;
class QWheelEvent;

namespace vantor {

class TrendCurve;

class CTChart : public QWidget {
    Q_OBJECT
public:
    static constexpr int kReplotMs = 33;
    static constexpr int kLegendWidth = 120;

    explicit CTChart(QWidget* parent = nullptr);
    ~CTChart() override;

    // ---- axes ----
    void setAxisRange(TrendAxis axis, double min, double max);
    std::pair<double, double> axisRange(TrendAxis axis) const;
    // Shifts the bottom axis's visible range by `offset` X units. With checkLimits the range
    // does not move further left than X = 0 (the first sample), and moves right only while some
    // series has a point at or beyond its right edge; without, it always moves.
    void shiftX(double offset, bool checkLimits);
    double pixelToX(int pixel) const; // a horizontal pixel of this widget to its X value

    // ---- the view ----
    // The bottom axis in time (stepSeconds: the sampling interval, for the gaps and the ends).
    void setTimeAxis(bool on, double stepSeconds);
    bool timeAxis() const { return m_timeKeys != nullptr; }
    double newestX() const; // the X of the newest point of any series (0 when none)
    // The newest point at the right edge, the width kept; returns how far the view moved.
    double scrollToNewest();
    // Every point of every shown curve in view, the value axes fitted to their curves.
    void showAll();
    // A value axis fitted to the points of its shown curves in the visible X range, with a
    // margin of 5 %; an axis without such points keeps its range.
    void autoscale(TrendAxis axis);
    void autoscaleAll();
    // An axis that fits itself at every redraw; any range set on it ends that.
    void setAxisAuto(TrendAxis axis, bool on);
    bool axisAuto(TrendAxis axis) const { return m_auto[static_cast<std::size_t>(axis)]; }
    // Zooms an axis by factor (< 1 in) around the given plot pixel along it.
    void zoomAxis(TrendAxis axis, double factor, double aroundPixel);
    // The wheel over an axis (or with Ctrl over the plot) zooms; returns whether it did.
    bool wheelZoom(QWheelEvent* event);
    // Lowest, highest and mean value of a series' points in the visible X range.
    std::optional<VisibleStats> visibleStats(int series) const;
    // The shown curves whose last visible point lies above (1) or below (-1) their axis.
    std::vector<std::pair<int, int>> outOfRange() const;

    // ---- series ----
    int seriesCount() const { return static_cast<int>(m_series.size()); }
    int addSeries(); // the new series' index (= the old count); a curve of kind 0
    QString seriesTitle(int series) const;
    void setSeriesTitle(int series, const QString& title);
    QColor seriesColor(int series) const;
    void setSeriesColor(int series, const QColor& color);
    bool seriesActive(int series) const;
    void setSeriesActive(int series, bool active);
    TrendAxis seriesAxis(int series) const;         // TrendAxis::Y for the left axis
    void setSeriesAxis(int series, TrendAxis axis); // X is ignored
    int seriesLineWidth(int series) const;
    void setSeriesLineWidth(int series, int width);
    void clearSeries(int series);
    // A point whose X is its own index (the time base); returns that index.
    int appendIndexed(int series, double value, const QString& label);
    int appendPoint(int series, double x, double y, const QString& label = {});
    int pointCount(int series) const;
    QString pointLabel(int series, int index) const;
    std::optional<double> xValue(int series, int index) const;
    std::optional<double> yValue(int series, int index) const;
    // Y of the series' point at exactly this X; none where it has no point there.
    std::optional<double> yAtX(int series, double x) const;
    // Whether the user unticked the series in the legend (it stays hidden while active).
    bool seriesHiddenByLegend(int series) const;

    // ---- title, legend ----
    QString title() const;
    void setTitle(const QString& text);
    void setLegendCheckBoxes(bool shown);
    bool legendCheckBoxes() const { return m_checkBoxes; }
    void setLegendFontSize(int points);
    void setLegendSpacing(int pixels);

    // ---- marker and cursor lines ----
    double markerX() const;
    void setMarkerX(double x);
    double cursorX() const;
    std::optional<double> secondCursorX() const;
    void setSecondCursorX(std::optional<double> x); // none hides it

    // ---- the whole chart as data ----
    // Every series with its points, the title, the visible axis ranges and the marker. Cheap:
    // the copy shares the point blocks with the chart (units are left empty).
    ChartSnapshot snapshot() const;
    // Replaces all of that by a snapshot's contents; series are added or removed to match its
    // count (at least the time base stays).
    void load(const ChartSnapshot& chart);
    // A recording saved `saved` (a snapshot of this chart) to the file `source` reads: the
    // points of it older than the newest keptPoints() of each curve leave memory (see
    // SeriesData::dropSaved); views read them from the file again.
    void dropSaved(const ChartSnapshot& saved, const std::shared_ptr<const ValueSource>& source);
    int keptPoints() const { return m_keptPoints; }
    void setKeptPoints(int points) { m_keptPoints = points; }

    // The plot's tooltip text (the per-curve read-out).
    void setPlotToolTip(const QString& text);

    // ---- drawing ----
    void replotNow(); // draws at once (the benchmarks, the screenshots)
    // Dense curves paint only what no later curve covers (on by default; off draws every line
    // whole, for comparing).
    void setOverdrawSkipping(bool on);
    bool replotPending() const { return m_replotTimer.isActive(); }
    int replotCount() const { return m_replots; }
    QCustomPlot* plot() const { return m_plot; }

signals:
    void clicked(); // marker to the cursor's X
    void mouseEntered();
    void mouseLeft();
    void mouseMoved(int pixelX);    // a horizontal pixel of this widget
    void seriesHovered(int series); // the mouse is over this curve
    void markerMoved();             // the user dragged the marker line
    void secondCursorMoved();       // the user placed or dragged the second cursor
    void viewChangedByUser();       // a pan, a zoom or the full view by the mouse
    void viewChanged();             // the visible X range moved, by any means

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Series {
        std::unique_ptr<SeriesData> data;
        TrendCurve* curve = nullptr;
        QString title;
        QColor color;
        TrendAxis axis = TrendAxis::Y;
        bool active = true;
        bool hiddenByLegend = false;
        QListWidgetItem* legendItem = nullptr;
    };

    Series* at(int series);
    const Series* at(int series) const;
    QCPAxis* axis(TrendAxis axis) const;
    void applyVisibility(int series);
    void removeLastSeries();
    void refreshLegendItem(int series);
    void scheduleReplot(bool overlayOnly = false);
    void replot();
    void onMouseMove(QMouseEvent* event);
    void onMousePress(QMouseEvent* event);
    void onMouseRelease(QMouseEvent* event);
    int seriesUnder(QPointF pixel) const;
    void setupInteractions();
    bool onMouseDoubleClick(QMouseEvent* event);
    void applyAutoAxes();
    bool fitAxis(TrendAxis axis); // autoscale without a redraw; whether the range was set
    std::pair<double, double> visibleX() const; // the bottom axis's range as X
    double keyOfX(double x) const { return m_timeKeys ? m_timeKeys->keyOfX(x) : x; }
    double xOfKey(double key) const { return m_timeKeys ? m_timeKeys->xOfKey(key) : key; }
    void setLineX(QCPItemStraightLine* line, double x);
    double lineX(const QCPItemStraightLine* line) const;

    QCustomPlot* m_plot;
    QListWidget* m_legend;
    std::array<QCPAxis*, kTrendAxisCount> m_axes{};
    QCPItemStraightLine* m_marker;
    QCPItemStraightLine* m_cursor;
    QCPItemStraightLine* m_second;
    std::unique_ptr<TimeKeys> m_timeKeys;
    std::unique_ptr<OverdrawPlan> m_overdraw;
    double m_gapSeconds = 0;
    std::array<bool, kTrendAxisCount> m_auto{};
    QPointF m_pressAt;
    bool m_draggingSecond = false;
    std::vector<Series> m_series;
    QTimer m_replotTimer;
    QElapsedTimer m_sinceReplot;
    bool m_fullReplot = false;
    int m_replots = 0;
    bool m_checkBoxes = true;
    int m_legendFont = 7;
    int m_legendSpacing = -5;
    bool m_draggingMarker = false;
    bool m_pressMoved = false;
    int m_keptPoints = SeriesData::kKeptPoints;
};

} // namespace vantor
