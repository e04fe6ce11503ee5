// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's view: the time axis, following the newest sample, the full view, fitting value
// axes to their curves, zooming and panning by the mouse, and the marker and cursor lines.
#include <QDateTime>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "trend/ChartFurniture.h"
#include "trend/TChart.h"
#include "trend/TrendCurve.h"

namespace vantor {

namespace {

constexpr int kGrabPixels = 4;  // how near a vertical line a press grabs it
constexpr int kHoverPixels = 3; // how near a curve the mouse counts as over it
constexpr int kClickPixels = 3; // a press that moves further is a drag
constexpr double kMargin = 0.05;
constexpr double kWheelStep = 0.85; // per notch: the plotting library's own zoom factor
constexpr double kMinGapSeconds = 2;

bool IsValueAxis(TrendAxis axis) {
    return axis != TrendAxis::X;
}

} // namespace

void CTChart::setupInteractions() {
    QCPAxisRect* rect = m_plot->axisRect();
    QList<QCPAxis*> values;
    for (int a = 0; a < kTrendAxisCount; ++a)
        if (IsValueAxis(static_cast<TrendAxis>(a)))
            values.append(m_axes[static_cast<std::size_t>(a)]);
    rect->setRangeDragAxes({m_plot->xAxis}, values);
    rect->setRangeZoomAxes({m_plot->xAxis}, values);
    m_plot->setInteractions(QCP::iRangeDrag); // the wheel is the chart's own (wheelZoom)
    m_plot->setSelectionRectMode(QCP::srmNone);
    connect(m_plot, &QCustomPlot::beforeReplot, this, &CTChart::applyAutoAxes);
    connect(m_plot->xAxis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this,
            &CTChart::viewChanged);
}

// ---- time axis ----

void CTChart::setTimeAxis(bool on, double stepSeconds) {
    const auto [lower, upper] = visibleX();
    const double marker = markerX();
    const double cursor = cursorX();
    const std::optional<double> second = secondCursorX();
    if (on) {
        const QDateTime now = QDateTime::currentDateTime();
        const double origin = double(now.toSecsSinceEpoch() + now.offsetFromUtc());
        m_timeKeys = std::make_unique<TimeKeys>(m_data->points(0), stepSeconds, origin);
        m_gapSeconds = std::max(3 * stepSeconds, kMinGapSeconds);
        m_plot->xAxis->setTicker(MakeTimeTicker(m_plot->xAxis));
    } else {
        m_timeKeys.reset();
        m_plot->xAxis->setTicker(MakeTimeBaseTicker(m_data->points(0), m_plot->xAxis));
    }
    for (Series& s : m_series)
        s.curve->setTimeKeys(m_timeKeys.get(), m_gapSeconds);
    m_plot->xAxis->setRange(keyOfX(lower), keyOfX(upper));
    setMarkerX(marker);
    setLineX(m_cursor, cursor);
    setSecondCursorX(second);
    scheduleReplot();
}

// ---- following, full view, fitting ----

double CTChart::scrollToNewest() {
    const double newest = m_data->newestX();
    const auto [lower, upper] = visibleX();
    if (newest <= upper && newest >= lower)
        return 0;
    const double offset = newest - upper;
    m_plot->xAxis->setRange(keyOfX(lower + offset), keyOfX(upper + offset));
    scheduleReplot();
    return offset;
}

void CTChart::showAll() {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -lo;
    for (int series = seriesCount() - 1; series >= 0; --series) {
        const Series& s = m_series[static_cast<std::size_t>(series)];
        const SeriesData& points = *m_data->points(series);
        if (points.count() == 0 || (series > 0 && !s.curve->visible()))
            continue;
        lo = std::min(lo, *points.x(0));
        hi = std::max(hi, *points.x(points.count() - 1));
        if (series == 1 && hi >= lo)
            break; // shown curves found: the time base does not widen the view
    }
    if (!(hi >= lo))
        return;
    if (hi == lo) {
        lo -= 1;
        hi += 1;
    }
    m_plot->xAxis->setRange(keyOfX(lo), keyOfX(hi));
    autoscaleAll();
}

void CTChart::autoscale(TrendAxis which) {
    if (fitAxis(which))
        scheduleReplot();
}

bool CTChart::fitAxis(TrendAxis which) {
    if (!IsValueAxis(which))
        return false;
    const auto [lo, hi] = visibleX();
    double min = std::numeric_limits<double>::infinity();
    double max = -min;
    for (int series = 1; series < seriesCount(); ++series) {
        const Series& s = m_series[static_cast<std::size_t>(series)];
        if (m_data->axis(series) != which || !s.curve->visible())
            continue;
        if (const auto range = m_data->points(series)->yRangeAround(lo, hi)) {
            min = std::min(min, range->x);
            max = std::max(max, range->y);
        }
    }
    if (!(max >= min))
        return false;
    const double span = max - min;
    const double margin = span > 0 ? span * kMargin : std::max(1.0, std::abs(max) * kMargin);
    axis(which)->setRange(min - margin, max + margin);
    return true;
}

void CTChart::autoscaleAll() {
    for (int a = 0; a < kTrendAxisCount; ++a)
        autoscale(static_cast<TrendAxis>(a));
}

void CTChart::setAxisAuto(TrendAxis which, bool on) {
    m_auto[static_cast<std::size_t>(which)] = on && IsValueAxis(which);
    if (on)
        autoscale(which);
}

// Before every full redraw: the axes that follow their curves fit them in the visible X range.
void CTChart::applyAutoAxes() {
    for (int a = 0; a < kTrendAxisCount; ++a)
        if (m_auto[static_cast<std::size_t>(a)])
            fitAxis(static_cast<TrendAxis>(a));
}

void CTChart::zoomAxis(TrendAxis which, double factor, double aroundPixel) {
    QCPAxis* zoomed = axis(which);
    m_auto[static_cast<std::size_t>(which)] = false;
    zoomed->scaleRange(factor, zoomed->pixelToCoord(aroundPixel));
    scheduleReplot();
}

bool CTChart::wheelZoom(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return false;
    const double factor = std::pow(kWheelStep, notches);
    const QPointF pos = event->position();
    for (int a = 0; a < kTrendAxisCount; ++a) {
        QCPAxis* over = m_axes[static_cast<std::size_t>(a)];
        if (!over->visible() || over->getPartAt(pos) == QCPAxis::spNone)
            continue;
        const bool horizontal = over->orientation() == Qt::Horizontal;
        zoomAxis(static_cast<TrendAxis>(a), factor, horizontal ? pos.x() : pos.y());
        emit viewChangedByUser();
        return true;
    }
    if (event->modifiers() & Qt::ControlModifier &&
        m_plot->axisRect()->rect().contains(pos.toPoint())) {
        zoomAxis(TrendAxis::X, factor, pos.x());
        emit viewChangedByUser();
        return true;
    }
    return false;
}

std::optional<VisibleStats> CTChart::visibleStats(int series) const {
    const SeriesData* points = m_data->points(series);
    if (!points)
        return std::nullopt;
    const auto [lo, hi] = visibleX();
    const int first = points->lowerBound(lo);
    const int last = points->upperBound(hi);
    const auto range = points->yRangeOf(first, last);
    if (!range)
        return std::nullopt;
    return VisibleStats{range->x, range->y, points->sum(first, last) / (last - first)};
}

std::vector<std::pair<int, int>> CTChart::outOfRange() const {
    std::vector<std::pair<int, int>> out;
    for (int series = 1; series < seriesCount(); ++series) {
        const TrendCurve* curve = m_series[static_cast<std::size_t>(series)].curve;
        if (!curve->visible())
            continue;
        if (const int direction = curve->outOfRange())
            out.emplace_back(series, direction);
    }
    return out;
}

// ---- marker and cursor ----

double CTChart::lineX(const QCPItemStraightLine* line) const {
    return xOfKey(line->point1->coords().x());
}

void CTChart::setLineX(QCPItemStraightLine* line, double x) {
    const double key = keyOfX(x);
    line->point1->setCoords(key, 0);
    line->point2->setCoords(key, 1);
    scheduleReplot(true);
}

double CTChart::markerX() const {
    return lineX(m_marker);
}

void CTChart::setMarkerX(double x) {
    setLineX(m_marker, x);
}

double CTChart::cursorX() const {
    return lineX(m_cursor);
}

std::optional<double> CTChart::secondCursorX() const {
    return m_second->visible() ? std::optional<double>(lineX(m_second)) : std::nullopt;
}

void CTChart::setSecondCursorX(std::optional<double> x) {
    m_second->setVisible(x.has_value());
    if (x)
        setLineX(m_second, *x);
    else
        scheduleReplot(true);
}

void CTChart::setPlotToolTip(const QString& text) {
    m_plot->setToolTip(text);
}

// ---- mouse ----

bool CTChart::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_plot) {
        switch (event->type()) {
        case QEvent::Enter:
            emit mouseEntered();
            break;
        case QEvent::Leave:
            emit mouseLeft();
            break;
        case QEvent::MouseMove:
            onMouseMove(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseButtonPress:
            onMousePress(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseButtonRelease:
            onMouseRelease(static_cast<QMouseEvent*>(event));
            break;
        case QEvent::MouseButtonDblClick:
            return onMouseDoubleClick(static_cast<QMouseEvent*>(event));
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CTChart::onMouseMove(QMouseEvent* event) {
    const QPointF pos = event->position();
    const double x = xOfKey(m_plot->xAxis->pixelToCoord(pos.x()));
    setLineX(m_cursor, x);
    if (event->buttons() != Qt::NoButton &&
        (pos - m_pressAt).manhattanLength() > kClickPixels)
        m_pressMoved = true;
    if (m_draggingMarker)
        setMarkerX(x);
    if (m_draggingSecond)
        setLineX(m_second, x);
    emit mouseMoved(m_plot->mapTo(this, pos.toPoint()).x());
    const int series = seriesUnder(pos);
    if (series > 0) {
        emit seriesHovered(series);
    } else if (!m_plot->toolTip().isEmpty()) {
        // Off every curve: the last hovered curve's value would stand for a place it is not.
        m_plot->setToolTip(QString());
        QToolTip::hideText();
    }
}

// A press decides what a drag does: move a line it grabs, zoom to a rectangle (right button or
// Ctrl), or pan (the plotting library's own drag).
void CTChart::onMousePress(QMouseEvent* event) {
    m_pressAt = event->position();
    m_pressMoved = false;
    m_draggingMarker = m_draggingSecond = false;
    const bool rectangle = event->button() == Qt::RightButton ||
                           (event->button() == Qt::LeftButton &&
                            event->modifiers() & Qt::ControlModifier);
    m_plot->setSelectionRectMode(rectangle ? QCP::srmZoom : QCP::srmNone);
    bool pan = false;
    if (event->button() == Qt::LeftButton && !rectangle) {
        auto near = [this, event](const QCPItemStraightLine* line) {
            const double pixel = m_plot->xAxis->coordToPixel(line->point1->coords().x());
            return std::abs(event->position().x() - pixel) <= kGrabPixels;
        };
        m_draggingSecond = m_second->visible() && near(m_second);
        m_draggingMarker = !m_draggingSecond && near(m_marker);
        pan = !m_draggingMarker && !m_draggingSecond &&
              !(event->modifiers() & Qt::ShiftModifier);
    }
    m_plot->axisRect()->setRangeDrag(pan ? Qt::Horizontal | Qt::Vertical : Qt::Orientations());
}

void CTChart::onMouseRelease(QMouseEvent* event) {
    const bool moved = m_pressMoved;
    const bool marker = std::exchange(m_draggingMarker, false);
    const bool second = std::exchange(m_draggingSecond, false);
    if (event->button() == Qt::RightButton || (event->modifiers() & Qt::ControlModifier)) {
        if (moved) {
            for (int a = 0; a < kTrendAxisCount; ++a)
                m_auto[static_cast<std::size_t>(a)] = false; // the user chose the ranges
            emit viewChangedByUser();
        }
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (marker && moved)
        emit markerMoved();
    else if (second && moved)
        emit secondCursorMoved();
    else if (moved)
        emit viewChangedByUser();
    else if (event->modifiers() & Qt::ShiftModifier) {
        setSecondCursorX(cursorX());
        emit secondCursorMoved();
    } else
        emit clicked();
}

bool CTChart::onMouseDoubleClick(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return false;
    showAll();
    emit viewChangedByUser();
    return true;
}

int CTChart::seriesUnder(QPointF pixel) const {
    QCPAxis* x = m_plot->xAxis;
    const double lo = xOfKey(x->pixelToCoord(pixel.x() - kHoverPixels));
    const double hi = xOfKey(x->pixelToCoord(pixel.x() + kHoverPixels));
    // The last drawn series lies on top.
    for (int series = seriesCount() - 1; series > 0; --series) {
        const Series& s = m_series[static_cast<std::size_t>(series)];
        if (!s.curve->visible())
            continue;
        const auto range =
            m_data->points(series)->yRangeAround(std::min(lo, hi), std::max(lo, hi));
        if (!range)
            continue;
        QCPAxis* values = s.curve->valueAxis();
        const double a = values->coordToPixel(range->x);
        const double b = values->coordToPixel(range->y);
        if (pixel.y() >= std::min(a, b) - kHoverPixels &&
            pixel.y() <= std::max(a, b) + kHoverPixels)
            return series;
    }
    return -1;
}

} // namespace vantor
