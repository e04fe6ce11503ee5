// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fixed parts of the trend chart's plot: the five extra value axes in their places and
// colours, the vertical marker and cursor lines, and the bottom axis's ticker that labels
// samples with their times.
#include <array>
#include <qcustomplot.h>

#include "registers/TrendSettings.h"

namespace vantor {

class SeriesData;

// Adds B, C and E on the left and A and D on the right (width 3, no grid), into axes.
void AddExtraAxes(QCustomPlot* plot, std::array<QCPAxis*, kTrendAxisCount>& axes);
// A vertical line of width 2 across the axis rect on layer, at X = 0 of the bottom axis.
QCPItemStraightLine* MakeVerticalLine(QCustomPlot* plot, const QColor& color, const QString& layer);
// Ticks far enough apart for a time label each, on whole samples, labelled with the time
// base's label of that sample where it has one.
QSharedPointer<QCPAxisTicker> MakeTimeBaseTicker(const SeriesData* timeBase, const QCPAxis* axis);
// Ticks at round times (seconds of wall-clock time), as many as fit side by side without
// overlapping, with the date where the range spans more than a day.
QSharedPointer<QCPAxisTicker> MakeTimeTicker(const QCPAxis* axis);

} // namespace vantor
