// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendReadout.h"

#include "curves/Readout.h"
#include "registers/CurveTable.h"
#include "trend/TChart.h"
#include "trend/TrendSampler.h"

namespace vantor {

namespace {

// A live curve's point at X = f was sampled with time-base point f - 1 (a curve point stands one
// X unit right of its time point), so the header names that sample's date and time.
QString HeaderAt(const CTChart& chart, int f) {
    return ReadoutHeader(chart.pointLabel(0, f - 1), chart.yValue(0, f - 1).value_or(0.0));
}

// The value series `slot` has at sample f, its points starting at the slot's first sample.
std::optional<double> ValueAt(const CTChart& chart, const TrendSampler& sampler, int slot, int f) {
    if (slot < 1 || slot >= chart.seriesCount())
        return std::nullopt;
    const auto index = CurvePointIndex(f, sampler.firstSample(slot), chart.pointCount(slot));
    return index ? chart.yValue(slot, *index) : std::nullopt;
}

ReadoutCurve CurveOfRow(const CTChart& chart, const TrendSampler& sampler, const CurveRow& row,
                        int f) {
    return {row.name, ValueAt(chart, sampler, row.number.toInt(), f), row.unit};
}

// A loaded file's curve at sample f: its point at X = f, as the live chart drew it.
ReadoutCurve StoredCurve(const CTChart& chart, int series, int f) {
    return {chart.seriesTitle(series), chart.yAtX(series, f), {}};
}

QList<ReadoutCurve> LiveCurves(const CTChart& chart, const TrendSampler& sampler,
                               const CurveTable& curves, int f) {
    QList<ReadoutCurve> lines;
    lines.reserve(curves.rowCount());
    for (const CurveRow& row : curves.rows())
        lines.append(CurveOfRow(chart, sampler, row, f));
    return lines;
}

QList<ReadoutCurve> StoredCurves(const CTChart& chart, int correction, int f) {
    const int last = static_cast<int>(std::min<qint64>(qint64(chart.seriesCount()) - correction - 1,
                                                       qint64(chart.seriesCount()) - 1));
    QList<ReadoutCurve> lines;
    for (int series = 1; series <= last; ++series)
        lines.append(StoredCurve(chart, series, f));
    return lines;
}

} // namespace

std::optional<QString> LiveReadout(const CTChart& chart, const TrendSampler& sampler,
                                   const CurveTable& curves, double x) {
    const auto f = ReadoutSample(x);
    if (!f)
        return std::nullopt;
    return BuildReadout(HeaderAt(chart, *f), LiveCurves(chart, sampler, curves, *f), true);
}

std::optional<QString> LiveToolTip(const CTChart& chart, const TrendSampler& sampler,
                                   const CurveTable& curves, int series, double cursorX) {
    const auto f = ReadoutSample(cursorX);
    if (!f || series < 1)
        return std::nullopt;
    const QList<int>& rows = curves.rowsOfSlot(series);
    const ReadoutCurve curve =
        rows.isEmpty()
            ? ReadoutCurve{chart.seriesTitle(series), ValueAt(chart, sampler, series, *f), {}}
            : CurveOfRow(chart, sampler, curves.row(rows.constFirst()), *f);
    return ReadoutToolTip(curve, true);
}

std::optional<QString> HistoryReadout(const CTChart& chart, int correction, double x) {
    const auto f = ReadoutSample(x);
    if (!f)
        return std::nullopt;
    return BuildReadout(HeaderAt(chart, *f), StoredCurves(chart, correction, *f), false);
}

std::optional<QString> HistoryToolTip(const CTChart& chart, int series, double cursorX) {
    const auto f = ReadoutSample(cursorX);
    if (!f || series < 1 || series >= chart.seriesCount())
        return std::nullopt;
    return ReadoutToolTip(StoredCurve(chart, series, *f), false);
}

std::optional<QString> TwoCursorReadout(const CTChart& chart, const TrendSampler* sampler,
                                        const CurveTable* curves, int correction, double x1,
                                        double x2) {
    const auto f1 = ReadoutSample(x1);
    const auto f2 = ReadoutSample(x2);
    if (!f1 || !f2)
        return std::nullopt;
    const bool live = sampler && curves;
    auto curvesAt = [&](int f) {
        return live ? LiveCurves(chart, *sampler, *curves, f) : StoredCurves(chart, correction, f);
    };
    const auto date1 = chart.yValue(0, *f1 - 1);
    const auto date2 = chart.yValue(0, *f2 - 1);
    const double seconds = date1 && date2 ? (*date2 - *date1) * 86400.0 : 0;
    return BuildDeltaReadout(HeaderAt(chart, *f1), HeaderAt(chart, *f2), seconds, curvesAt(*f1),
                             curvesAt(*f2), live);
}

} // namespace vantor
