#include "trend/TrendCurve.h"

#include <algorithm>

namespace vantor {

namespace {
// Far outside any screen, but small enough for the raster engine.
constexpr double kPixelLimit = 1e6;
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
    return {*m_data->x(0), *m_data->x(m_data->count() - 1)};
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
    const double origin = keys->coordToPixel(0);
    const SeriesData::PixelMap map{origin, keys->coordToPixel(1) - origin};
    const QCPRange range = keys->range();
    m_data->visibleLine(range.lower, range.upper, map, keys->axisRect()->width(), m_scratch);
    out.reserve(static_cast<qsizetype>(m_scratch.size()));
    for (const SeriesPoint& p : m_scratch)
        out.append(QPointF(std::clamp(p.x, -kPixelLimit, kPixelLimit),
                           std::clamp(values->coordToPixel(p.y), -kPixelLimit, kPixelLimit)));
}

void TrendCurve::draw(QCPPainter* painter) {
    QPolygonF line;
    pixelLine(line);
    if (line.size() < 1)
        return;
    painter->setAntialiasing(false);
    QPen pen(mPen.color(), 0);
    pen.setCosmetic(true);
    painter->setPen(pen);
    painter->setBrush(Qt::NoBrush);
    if (line.size() == 1) {
        painter->drawPoint(line.front());
        return;
    }
    // Width w: w passes shifted down and w - 1 shifted right, centred on the line.
    const int passes = std::max(1, m_width);
    const int start = -(passes - 1) / 2;
    for (int k = 0; k < passes; ++k) {
        painter->drawPolyline(line.translated(0, start + k));
        if (k > 0)
            painter->drawPolyline(line.translated(start + k, 0));
    }
}

void TrendCurve::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const {
    painter->setPen(QPen(mPen.color(), 0));
    painter->drawLine(QLineF(rect.left(), rect.center().y(), rect.right(), rect.center().y()));
}

} // namespace vantor
