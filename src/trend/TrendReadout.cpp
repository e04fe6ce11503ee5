// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendReadout.h"

#include "curves/Readout.h"
#include "registers/CurveTable.h"
#include "trend/TrendData.h"
#include "trend/TrendSampler.h"

namespace vantor {

namespace {

// A live curve's point at X = f was sampled with time-base point f - 1 (a curve point stands one
// X unit right of its time point), so the header names that sample's date and time.
QString HeaderAt(const TrendData& data, int f) {
    return ReadoutHeader(data.pointLabel(0, f - 1), data.yValue(0, f - 1).value_or(0.0));
}

// The value series `slot` has at sample f, its points starting at the slot's first sample.
std::optional<double> ValueAt(const TrendData& data, const TrendSampler& sampler, int slot, int f) {
    if (slot < 1 || slot >= data.seriesCount())
        return std::nullopt;
    const auto index = CurvePointIndex(f, sampler.firstSample(slot), data.pointCount(slot));
    return index ? data.yValue(slot, *index) : std::nullopt;
}

ReadoutCurve CurveOfRow(const TrendData& data, const TrendSampler& sampler, const CurveRow& row,
                        int f) {
    return {row.name, ValueAt(data, sampler, row.number.toInt(), f), row.unit};
}

// A loaded file's curve at sample f: its point at X = f, as the chart draws it.
ReadoutCurve StoredCurve(const TrendData& data, int series, int f) {
    return {data.title(series), data.yAtX(series, f), {}};
}

QList<ReadoutCurve> LiveCurves(const TrendData& data, const TrendSampler& sampler,
                               const CurveTable& curves, int f) {
    QList<ReadoutCurve> lines;
    lines.reserve(curves.rowCount());
    for (const CurveRow& row : curves.rows())
        lines.append(CurveOfRow(data, sampler, row, f));
    return lines;
}

QList<ReadoutCurve> StoredCurves(const TrendData& data, int correction, int f) {
    const int last = static_cast<int>(std::min<qint64>(qint64(data.seriesCount()) - correction - 1,
                                                       qint64(data.seriesCount()) - 1));
    QList<ReadoutCurve> lines;
    for (int series = 1; series <= last; ++series)
        lines.append(StoredCurve(data, series, f));
    return lines;
}

} // namespace

std::optional<QString> LiveReadout(const TrendData& data, const TrendSampler& sampler,
                                   const CurveTable& curves, double x) {
    const auto f = ReadoutSample(x);
    if (!f)
        return std::nullopt;
    return BuildReadout(HeaderAt(data, *f), LiveCurves(data, sampler, curves, *f), true);
}

std::optional<QString> LiveToolTip(const TrendData& data, const TrendSampler& sampler,
                                   const CurveTable& curves, int series, double cursorX) {
    const auto f = ReadoutSample(cursorX);
    if (!f || series < 1)
        return std::nullopt;
    const QList<int>& rows = curves.rowsOfSlot(series);
    const ReadoutCurve curve =
        rows.isEmpty()
            ? ReadoutCurve{data.title(series), ValueAt(data, sampler, series, *f), {}}
            : CurveOfRow(data, sampler, curves.row(rows.constFirst()), *f);
    return ReadoutToolTip(curve, true);
}

std::optional<QString> HistoryReadout(const TrendData& data, int correction, double x) {
    const auto f = ReadoutSample(x);
    if (!f)
        return std::nullopt;
    return BuildReadout(HeaderAt(data, *f), StoredCurves(data, correction, *f), false);
}

std::optional<QString> HistoryToolTip(const TrendData& data, int series, double cursorX) {
    const auto f = ReadoutSample(cursorX);
    if (!f || series < 1 || series >= data.seriesCount())
        return std::nullopt;
    return ReadoutToolTip(StoredCurve(data, series, *f), false);
}

std::optional<QString> TwoCursorReadout(const TrendData& data, const TrendSampler* sampler,
                                        const CurveTable* curves, int correction, double x1,
                                        double x2) {
    const auto f1 = ReadoutSample(x1);
    const auto f2 = ReadoutSample(x2);
    if (!f1 || !f2)
        return std::nullopt;
    const bool live = sampler && curves;
    auto curvesAt = [&](int f) {
        return live ? LiveCurves(data, *sampler, *curves, f) : StoredCurves(data, correction, f);
    };
    const auto date1 = data.yValue(0, *f1 - 1);
    const auto date2 = data.yValue(0, *f2 - 1);
    const double seconds = date1 && date2 ? (*date2 - *date1) * 86400.0 : 0;
    return BuildDeltaReadout(HeaderAt(data, *f1), HeaderAt(data, *f2), seconds, curvesAt(*f1),
                             curvesAt(*f2), live);
}

} // namespace vantor
