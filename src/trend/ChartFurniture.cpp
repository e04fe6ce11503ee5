// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/ChartFurniture.h"

#include <cmath>

#include "trend/SeriesData.h"

namespace vantor {

namespace {

// Bottom axis labels: the time base's label of the sample at a tick, where it has one.
// Ticks stand far enough apart for a time label each, and on whole samples.
class TimeBaseTicker : public QCPAxisTicker {
public:
    TimeBaseTicker(const SeriesData* timeBase, const QCPAxis* axis)
        : m_timeBase(timeBase), m_axis(axis) {}

protected:
    double getTickStep(const QCPRange& range) override {
        const QFontMetrics metrics(m_axis->tickLabelFont());
        const int labelRoom = metrics.horizontalAdvance(QStringLiteral("00:00:00 ")) * 3 / 2;
        setTickCount(std::max(1, m_axis->axisRect()->width() / std::max(labelRoom, 1)));
        return std::max(1.0, QCPAxisTicker::getTickStep(range));
    }

    QString getTickLabel(double tick, const QLocale& locale, QChar formatChar,
                         int precision) override {
        if (tick >= 0 && tick == std::floor(tick)) {
            const QString label = m_timeBase->label(static_cast<int>(tick));
            if (!label.isEmpty())
                return label;
        }
        return QCPAxisTicker::getTickLabel(tick, locale, formatChar, precision);
    }

private:
    const SeriesData* m_timeBase;
    const QCPAxis* m_axis;
};

class WallClockTicker : public QCPAxisTickerDateTime {
public:
    explicit WallClockTicker(const QCPAxis* axis) : m_axis(axis) {
        setDateTimeSpec(Qt::UTC); // the keys are wall-clock seconds written as UTC
    }

protected:
    double getTickStep(const QCPRange& range) override {
        const bool days = range.size() > 86400;
        const QString format = days ? QStringLiteral("MM-dd HH:mm") : QStringLiteral("HH:mm:ss");
        setDateTimeFormat(format);
        const QFontMetrics metrics(m_axis->tickLabelFont());
        const int labelRoom = metrics.horizontalAdvance(format + QStringLiteral("  ")) * 3 / 2;
        setTickCount(std::max(1, m_axis->axisRect()->width() / std::max(labelRoom, 1)));
        return QCPAxisTickerDateTime::getTickStep(range);
    }

private:
    const QCPAxis* m_axis;
};

struct ExtraAxis {
    TrendAxis axis;
    QCPAxis::AxisType side;
    QColor color;
};

// The stored order of the extra axes (0 B, 1 C, 2 E, 3 A, 4 D) with their sides and colours.
const std::array<ExtraAxis, 5> kExtraAxes{{
    {TrendAxis::B, QCPAxis::atLeft, QColor(0, 255, 255)},
    {TrendAxis::C, QCPAxis::atLeft, QColor(255, 0, 255)},
    {TrendAxis::E, QCPAxis::atLeft, QColor(0, 255, 0)},
    {TrendAxis::A, QCPAxis::atRight, QColor(128, 0, 255)},
    {TrendAxis::D, QCPAxis::atRight, QColor(255, 128, 64)},
}};

} // namespace

QCPItemStraightLine* MakeVerticalLine(QCustomPlot* plot, const QColor& color,
                                      const QString& layer) {
    auto* line = new QCPItemStraightLine(plot);
    line->setLayer(layer);
    line->setPen(QPen(color, 2));
    line->setSelectable(false);
    for (QCPItemPosition* end : {line->point1, line->point2}) {
        end->setAxes(plot->xAxis, plot->yAxis);
        end->setTypeX(QCPItemPosition::ptPlotCoords);
        end->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    line->point1->setCoords(0, 0);
    line->point2->setCoords(0, 1);
    return line;
}

void AddExtraAxes(QCustomPlot* plot, std::array<QCPAxis*, kTrendAxisCount>& axes) {
    for (const ExtraAxis& extra : kExtraAxes) {
        QCPAxis* added = plot->axisRect()->addAxis(extra.side);
        added->setBasePen(QPen(extra.color, 3));
        added->setTickPen(QPen(extra.color, 1));
        added->setSubTickPen(QPen(extra.color, 1));
        added->grid()->setVisible(false);
        axes[static_cast<int>(extra.axis)] = added;
    }
}

QSharedPointer<QCPAxisTicker> MakeTimeBaseTicker(const SeriesData* timeBase, const QCPAxis* axis) {
    return QSharedPointer<QCPAxisTicker>(new TimeBaseTicker(timeBase, axis));
}

QSharedPointer<QCPAxisTicker> MakeTimeTicker(const QCPAxis* axis) {
    return QSharedPointer<QCPAxisTicker>(new WallClockTicker(axis));
}

} // namespace vantor
