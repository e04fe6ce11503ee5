// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The points of one trend series, kept by the trend data (the plotting library holds no copy):
// X and Y values (X kept only where it is not the first X plus the index), optional labels, and a
// min/max envelope over fixed blocks of points that is kept up to date as points arrive. Drawing a
// wide X range reduces the points to the lowest and highest value of each horizontal pixel column
// through the envelope instead of every point.
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "trend/ChartSnapshot.h"

namespace vantor {

struct SeriesPoint {
    double x = 0;
    double y = 0;
};

class SeriesData {
public:
    static constexpr int kBlock = ValueSummary::kBlock; // points per envelope block

    // Points kept in memory from a recording on: the newest ones in full, older ones as their
    // envelope, read from the curve file when a view needs them.
    static constexpr int kKeptPoints = 1 << 16; // 18 hours at 1 s

    int count() const { return m_y.size(); }
    // The first point held in memory; those before it are read from the recording's file.
    int first() const { return m_y.firstHeld(); }
    void append(double x, double y, const QString& label = {});
    // Drops from memory the points of `saved` (a snapshot of this series written to a file whose
    // values `source` reads as its series `series`) that lie more than `keep` points before the
    // newest, in whole value blocks, as long as this series still holds those very blocks (not
    // cleared or reloaded since). A series with irregular X or labels keeps all its points.
    void dropSaved(const SeriesSnapshot& saved, std::shared_ptr<const ValueSource> source,
                   int series, int keep = kKeptPoints);
    void clear();

    // The points as a snapshot (sharing the value blocks), and all points replaced by those of a
    // snapshot (the envelope is rebuilt).
    void copyTo(SeriesSnapshot& out) const;
    void assign(const SeriesSnapshot& from);

    std::optional<double> x(int index) const;
    std::optional<double> y(int index) const;
    QString label(int index) const; // empty where none or out of range

    // The first index whose X is >= key, and the first whose X is > key (X values are appended
    // in non-decreasing order).
    int lowerBound(double key) const;
    int upperBound(double key) const;
    // The first index whose Y is >= value, for a series whose Y never falls (the time base).
    int firstYAtLeast(double value) const;
    std::optional<SeriesPoint> yRange() const; // lowest and highest Y of all points (x = min)
    double sum(int from, int to) const; // of the Y of the points [from, to)
    // Lowest (x) and highest (y) Y of the points [from, to); nothing for an empty span.
    std::optional<SeriesPoint> yRangeOf(int from, int to) const;
    // yRangeOf for a span of many points that may reach points no longer in memory: there the
    // span is widened to whole envelope blocks (less than a pixel further when the span is a
    // pixel column), so that no point is read from the file.
    std::optional<SeriesPoint> yRangeCoarse(int from, int to) const;
    // Lowest and highest Y of the line where X lies in [lo, hi], with the points just outside
    // (the line runs through them); nothing when no point is that near.
    std::optional<SeriesPoint> yRangeAround(double lo, double hi) const;

    // The line to draw for X in [lo, hi] on `columns` pixel columns, X mapped linearly to
    // pixels (points come out as (pixel, Y)). One point beyond each end is kept so that the
    // line runs to the edge. Where there are more than two points per column, each column gives
    // its lowest and highest Y instead (as (column pixel, Y) pairs).
    struct PixelMap {
        double offset = 0; // pixel = offset + scale * x
        double scale = 1;
    };
    void visibleLine(double lo, double hi, PixelMap map, int columns,
                     std::vector<SeriesPoint>& out) const;

private:
    SeriesPoint span(int from, int to) const; // lowest (x) and highest (y) Y of [from, to)
    SeriesPoint coarseSpan(int from, int to) const; // as yRangeCoarse, for a non-empty span
    void addToEnvelope(int index, double y);
    int firstXAtLeast(int from, int to, double key) const; // irregular X: a search in [from, to)

    using Envelope = ValueSummary::MinMax;
    double xAt(int index) const { return m_regular ? m_x0 + index : m_x[index]; }

    // While every point's X is the first one's plus its index (as sampling gives), no X is
    // stored: half the memory, and a pixel column's points are found by arithmetic.
    bool m_regular = true;
    double m_x0 = 0;
    ValueBlocks m_x; // only once the points are not regular
    ValueBlocks m_y;
    LabelBlocks m_labels; // as long as the last labelled point; shared with snapshots
    std::vector<Envelope> m_blocks;
    std::vector<double> m_droppedSums; // the sum of each value block no longer in memory
};

} // namespace vantor
