// SPDX-License-Identifier: GPL-3.0-or-later
#include "TeeChunkRead.h"

#include <limits>

namespace vantor::tee {

namespace {

constexpr quint64 kMaxPoints = quint64(std::numeric_limits<int>::max());

// count points (X for an irregular series, then Y) appended to s.
bool ReadPoints(Fields& f, SeriesSnapshot& s, quint64 count, const ValuesRead& onValues,
                std::size_t index) {
    const quint64 perPoint = sizeof(double) * (s.regular ? 1 : 2);
    if (!f.ok() || count > kMaxPoints - quint64(s.count()) ||
        count > quint64(f.remaining()) / perPoint)
        return false;
    if (!s.regular)
        f.values(count, s.xs);
    const char* at = f.position();
    f.values(count, s.ys);
    if (f.ok() && onValues)
        onValues(index, s, s.count() - qint64(count), qint64(count), at);
    return f.ok();
}

} // namespace

bool ReadChart(Fields f, ChartSnapshot& chart) {
    chart.title = f.text<std::uint32_t>();
    for (ViewRange& range : chart.ranges) {
        range.min = f.get<double>();
        range.max = f.get<double>();
    }
    chart.lineWidth = f.optional<std::int32_t>(0); // since 1.1
    chart.markerX = f.optional<double>(0);         // since 1.1
    return f.ok();
}

bool ReadAttributes(Fields& f, SeriesSnapshot& s, bool takeRegular) {
    QString title = f.text<std::uint32_t>();
    QString unit = f.text<std::uint32_t>();
    const auto color = f.get<std::uint32_t>();
    const auto axis = f.get<std::uint8_t>();
    const auto flags = f.get<std::uint8_t>();
    const auto lineWidth = f.get<std::int32_t>();
    if (!f.ok() || axis >= kTrendAxisCount)
        return false;
    s.title = std::move(title);
    s.unit = std::move(unit);
    s.color = color;
    s.axis = static_cast<TrendAxis>(axis);
    s.active = flags & kActive;
    s.hiddenByLegend = flags & kHiddenByLegend;
    if (takeRegular)
        s.regular = flags & kRegular;
    s.lineWidth = lineWidth;
    return true;
}

bool ReadSeries(Fields f, SeriesSnapshot& s, const ValuesRead& onValues, std::size_t index) {
    if (!ReadAttributes(f, s, true))
        return false;
    const auto count = f.get<std::uint64_t>();
    if (s.regular)
        s.x0 = f.get<double>();
    if (!ReadPoints(f, s, count, onValues, index))
        return false;
    f.labels(f.get<std::uint32_t>(), s.labels);
    return f.ok();
}

// Each series' new points from the index it has reached, and its new labels likewise.
bool ReadAppend(Fields f, ChartSnapshot& chart, const ValuesRead& onValues) {
    if (f.get<std::uint32_t>() != chart.series.size() || !f.ok())
        return false;
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        SeriesSnapshot& s = chart.series[i];
        if (f.get<std::uint64_t>() != quint64(s.count()) ||
            !ReadPoints(f, s, f.get<std::uint64_t>(), onValues, i))
            return false;
        if (f.get<std::uint64_t>() != quint64(s.labels.size()))
            return false;
        const auto labels = f.get<std::uint32_t>();
        if (labels > kMaxPoints - quint64(s.labels.size()))
            return false;
        f.labels(labels, s.labels);
        if (!f.ok())
            return false;
    }
    return true;
}

} // namespace vantor::tee
