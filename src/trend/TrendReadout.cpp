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

} // namespace

std::optional<QString> LiveReadout(const CTChart& chart, const TrendSampler& sampler,
                                   const CurveTable& curves, double x) {
    const auto f = ReadoutSample(x);
    if (!f)
        return std::nullopt;
    QList<ReadoutCurve> lines;
    lines.reserve(curves.rowCount());
    for (const CurveRow& row : curves.rows())
        lines.append(CurveOfRow(chart, sampler, row, *f));
    return BuildReadout(HeaderAt(chart, *f), lines, true);
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
    const int last = static_cast<int>(std::min<qint64>(qint64(chart.seriesCount()) - correction - 1,
                                                       qint64(chart.seriesCount()) - 1));
    QList<ReadoutCurve> lines;
    for (int series = 1; series <= last; ++series)
        lines.append(StoredCurve(chart, series, *f));
    return BuildReadout(HeaderAt(chart, *f), lines, false);
}

std::optional<QString> HistoryToolTip(const CTChart& chart, int series, double cursorX) {
    const auto f = ReadoutSample(cursorX);
    if (!f || series < 1 || series >= chart.seriesCount())
        return std::nullopt;
    return ReadoutToolTip(StoredCurve(chart, series, *f), false);
}

} // namespace vantor
