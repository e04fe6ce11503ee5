// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendCurve.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor {

namespace {
// Far outside any screen, but small enough for the raster engine.
constexpr double kPixelLimit = 1e6;
constexpr double kArrowSize = 5;
constexpr double kArrowStagger = 11; // curves' arrows stand side by side, not on each other
const QPointF kBreak(std::numeric_limits<double>::quiet_NaN(), 0);

bool IsBreak(const QPointF& p) {
    return std::isnan(p.x());
}

} // namespace

TrendCurve::TrendCurve(const SeriesData* data, QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPAbstractPlottable(keyAxis, valueAxis), m_data(data) {
    setAntialiased(false);
}

double TrendCurve::selectTest(const QPointF&, bool, QVariant*) const {
    return -1; // the chart finds the curve under the mouse itself
}

QCPRange TrendCurve::getKeyRange(bool& foundRange, QCP::SignDomain) const {
    foundRange = m_data->count() > 0;
    if (!foundRange)
        return {};
    const double first = *m_data->x(0);
    const double last = *m_data->x(m_data->count() - 1);
    if (m_keys)
        return {m_keys->keyOfX(first), m_keys->keyOfX(last)};
    return {first, last};
}

QCPRange TrendCurve::getValueRange(bool& foundRange, QCP::SignDomain, const QCPRange&) const {
    const auto range = m_data->yRange();
    foundRange = range.has_value();
    return range ? QCPRange(range->x, range->y) : QCPRange();
}

void TrendCurve::pixelLine(QPolygonF& out) const {
    out.clear();
    QCPAxis* keys = keyAxis();
    QCPAxis* values = valueAxis();
    if (!keys || !values)
        return;
    if (m_keys) {
        timeLine(out);
        return;
    }
    const double origin = keys->coordToPixel(0);
    const SeriesData::PixelMap map{origin, keys->coordToPixel(1) - origin};
    const QCPRange range = keys->range();
    m_data->visibleLine(range.lower, range.upper, map, keys->axisRect()->width(), m_scratch);
    out.reserve(static_cast<qsizetype>(m_scratch.size()));
    for (const SeriesPoint& p : m_scratch)
        out.append(QPointF(std::clamp(p.x, -kPixelLimit, kPixelLimit),
                           std::clamp(values->coordToPixel(p.y), -kPixelLimit, kPixelLimit)));
}

// The line on a time axis. A point's sample X - 1 is its time-base index. Where there are more
// than two points per pixel column, each column gives its lowest and highest value (the points
// of a column found by the time base's times); a column without points past the gap breaks the
// line, so a pause or a lost link shows as a gap.
void TrendCurve::timeLine(QPolygonF& out) const {
    QCPAxis* keys = keyAxis();
    QCPAxis* values = valueAxis();
    const QCPRange range = keys->range();
    const int columns = keys->axisRect()->width();
    const int left = keys->axisRect()->left();
    const int samples = m_data->count();
    if (samples == 0 || columns <= 0)
        return;
    auto pixelY = [values](double y) {
        return std::clamp(values->coordToPixel(y), -kPixelLimit, kPixelLimit);
    };
    // The curve's points whose time-base index lies in [a, b): the visible ones and one beyond
    // each end.
    const int a = std::max(0, m_keys->firstAtLeast(range.lower) - 1);
    const int b = m_keys->firstAtLeast(range.upper) + 1;
    const int first = m_data->lowerBound(a + 1);
    const int last = std::min(samples, m_data->lowerBound(b + 1));
    double previousKey = std::numeric_limits<double>::quiet_NaN();
    auto keyOf = [this](int point) { return m_keys->keyOfX(*m_data->x(point)); };
    auto breakBefore = [&](double key) {
        if (!out.isEmpty() && key - previousKey > m_gap)
            out.append(kBreak);
    };
    if (last - first <= 2 * columns) {
        for (int j = first; j < last; ++j) {
            const double key = keyOf(j);
            breakBefore(key);
            out.append(QPointF(std::clamp(keys->coordToPixel(key), -kPixelLimit, kPixelLimit),
                               pixelY(*m_data->y(j))));
            previousKey = key;
        }
        return;
    }
    int from = first;
    for (int column = 0; column < columns && from < last; ++column) {
        const double columnEnd = keys->pixelToCoord(left + column + 1);
        const int to = std::clamp(m_data->lowerBound(m_keys->firstAtLeast(columnEnd) + 1), from,
                                  last);
        if (to == from)
            continue;
        breakBefore(keyOf(from));
        const SeriesPoint span = *m_data->yRangeCoarse(from, to);
        out.append(QPointF(left + column, pixelY(span.y)));
        if (span.x != span.y)
            out.append(QPointF(left + column, pixelY(span.x)));
        previousKey = keyOf(to - 1);
        from = to;
    }
}

std::optional<double> TrendCurve::lastVisibleY() const {
    QCPAxis* keys = keyAxis();
    if (!keys || m_data->count() == 0)
        return std::nullopt;
    const QCPRange range = keys->range();
    double lo = range.lower, hi = range.upper;
    if (m_keys) {
        lo = m_keys->xOfKey(lo);
        hi = m_keys->xOfKey(hi);
    }
    const int last = m_data->upperBound(hi) - 1;
    if (last < 0 || last < m_data->lowerBound(lo))
        return std::nullopt;
    return m_data->y(last);
}

int TrendCurve::outOfRange() const {
    const auto y = lastVisibleY();
    if (!y || !valueAxis())
        return 0;
    const QCPRange range = valueAxis()->range();
    return *y > range.upper ? 1 : *y < range.lower ? -1 : 0;
}

void TrendCurve::drawArrow(QCPPainter* painter, int direction) const {
    const QRect rect = keyAxis()->axisRect()->rect();
    const double slot = std::max(0, m_slot) % 20;
    const double x = rect.right() - kArrowSize - 2 - slot * kArrowStagger;
    const double tip = direction > 0 ? rect.top() + 1 : rect.bottom() - 1;
    const double base = tip + direction * 2 * kArrowSize;
    const QPointF arrow[3] = {{x, tip}, {x - kArrowSize, base}, {x + kArrowSize, base}};
    painter->setPen(QPen(mPen.color(), 1));
    painter->setBrush(mPen.color());
    painter->drawPolygon(arrow, 3);
}

bool TrendCurve::denseRuns(std::vector<ColumnRun>& runs, QPolygonF& longSegments) const {
    if (m_width > 1)
        return false;
    QPolygonF line;
    pixelLine(line);
    return ColumnRuns(line, runs, longSegments);
}

void TrendCurve::draw(QCPPainter* painter) {
    painter->setAntialiasing(false);
    if (const OverdrawPlan::Plan* plan = m_plan ? m_plan->planOf(this) : nullptr) {
        const QColor color = mPen.color();
        for (const ColumnRun& run : plan->runs)
            painter->fillRect(QRect(run.x, run.top, 1, run.bottom - run.top + 1), color);
        QPen pen(color, 0);
        pen.setCosmetic(true);
        painter->setPen(pen);
        for (qsizetype i = 0; i + 1 < plan->lines.size(); i += 2)
            painter->drawLine(plan->lines[i], plan->lines[i + 1]);
        if (const int direction = outOfRange())
            drawArrow(painter, direction);
        return;
    }
    QPolygonF line;
    pixelLine(line);
    QPen pen(mPen.color(), 0);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    // Width w: w passes shifted down and w - 1 shifted right, centred on the line.
    const int passes = std::max(1, m_width);
    const int start = -(passes - 1) / 2;
    auto drawPiece = [&](const QPolygonF& piece) {
        if (piece.size() == 1)
            painter->drawPoint(piece.front());
        for (int k = 0; piece.size() > 1 && k < passes; ++k) {
            painter->drawPolyline(piece.translated(0, start + k));
            if (k > 0)
                painter->drawPolyline(piece.translated(start + k, 0));
        }
    };
    if (!m_keys) {
        drawPiece(line); // only a time axis breaks the line
    } else {
        for (qsizetype begin = 0; begin < line.size();) {
            qsizetype end = begin;
            while (end < line.size() && !IsBreak(line[end]))
                ++end;
            drawPiece(line.mid(begin, end - begin));
            begin = end + 1;
        }
    }
    if (const int direction = outOfRange())
        drawArrow(painter, direction);
}

void TrendCurve::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    painter->setPen(QPen(mPen.color(), 0));
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

} // namespace vantor
