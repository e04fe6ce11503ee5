// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend chart: every view operation the trend panel uses, as C++ methods, over the plotting
// library. It draws a TrendData (the samples and the curves' looks live there, not here) and
// follows its changes: series 0 is the time base (hidden; its point n at X = n), series k >= 1
// draws curve slot k. The bottom axis is the sample index or, on a time axis, the samples' times;
// the left one Y, and five extra value axes: B, C and E on the left, A and D on the right. A blue
// marker line (draggable) and a red cursor line (following the mouse) stand on the bottom axis, and
// a green second cursor when two cursors are on. The legend lists the curves with check boxes that
// show and hide them. Every X this class takes or gives is a sample position, whichever axis is
// shown.
//
// The mouse: a click puts the marker there, a drag on the marker moves it, a drag elsewhere pans,
// a drag with the right button (or with Ctrl) zooms to its rectangle, the wheel over an axis
// zooms that axis (with Ctrl, over the plot, the bottom axis), a double-click shows everything,
// and a click with Shift puts the second cursor there. Panning and zooming change the view only.
//
// Changes never redraw at once: they mark the chart and one replot follows when the event loop
// runs again, at most about 30 a second. The marker and cursor lines have a layer of their own,
// so moving them redraws only that layer.
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
#include "trend/TimeKeys.h"
#include "trend/TrendData.h"

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

    // A chart of data of its own (the benchmarks, the tests), or of data that outlives it.
    explicit CTChart(QWidget* parent = nullptr);
    explicit CTChart(TrendData* data, QWidget* parent = nullptr);
    ~CTChart() override;

    TrendData& data() { return *m_data; }
    const TrendData& data() const { return *m_data; }

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
    // The data's series with their points, the title, the visible axis ranges, the marker and
    // which curves the legend hides. Cheap: the copy shares the point blocks (units are left
    // empty).
    ChartSnapshot snapshot() const;
    // Replaces all of that by a snapshot's contents (the data's series too).
    void load(const ChartSnapshot& chart);

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
    // How one series of the data is drawn and listed.
    struct Series {
        TrendCurve* curve = nullptr;
        bool hiddenByLegend = false;
        QListWidgetItem* legendItem = nullptr;
    };

    Series* at(int series);
    const Series* at(int series) const;
    QCPAxis* axis(TrendAxis axis) const;
    void attachData();
    void addView(int series);
    void removeLastView();
    void applyLooks(int series);
    void applyVisibility(int series);
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

    std::unique_ptr<TrendData> m_ownData; // when no data was given
    TrendData* m_data;
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
};

} // namespace vantor
