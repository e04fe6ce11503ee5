// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing many dense curves quickly. Where a curve has more points than pixel columns, its line
// is a vertical run per column (lowest to highest value, joined to the column before). Curves
// drawn later cover earlier ones, so a pixel that a later curve's run covers is never painted by
// an earlier one: once per redraw the runs of all such curves are found, from the top-most curve
// down, and each curve fills only the parts of its runs that nothing above it covers. What is
// seen is the same as drawing every line whole; the cost no longer grows with the overdraw.
#include <QPolygonF>
#include <QRect>
#include <functional>
#include <utility>
#include <vector>

namespace vantor {

class TrendCurve;

struct ColumnRun {
    int x = 0;      // pixel column
    int top = 0;    // pixel rows, top <= bottom
    int bottom = 0;
};

// A drawn line as column runs: every segment at most a pixel wide goes into the column it ends
// in; the few longer ones (the ends running off the plot) are kept as lines. False when the line
// is not dense (it has more long segments than that): it is drawn as a line.
bool ColumnRuns(const QPolygonF& line, std::vector<ColumnRun>& runs, QPolygonF& longSegments);

// The parts of the runs that the covered intervals per column leave free, added to the cover.
// Columns are pixels left .. left + cover.size() - 1; runs outside them are dropped.
void UncoveredParts(const std::vector<ColumnRun>& runs, int left,
                    std::vector<std::vector<std::pair<int, int>>>& cover,
                    std::vector<ColumnRun>& out);

class OverdrawPlan {
public:
    // The chart's curves in drawing order (bottom first).
    using CurveList = std::function<void(std::vector<TrendCurve*>&)>;
    explicit OverdrawPlan(CurveList curves) : m_curves(std::move(curves)) {}

    struct Plan {
        const TrendCurve* curve = nullptr;
        std::vector<ColumnRun> runs; // the parts no later curve covers
        QPolygonF lines;             // pairs of end points, drawn as lines
    };

    void newFrame() { ++m_frame; } // before each redraw
    // What this curve draws in this redraw, or none: draw it as a line. The plan is made at the
    // first ask of a redraw (the plot laid out by then) and again when the plot's size changed
    // (a picture drawn at another size).
    const Plan* planOf(const TrendCurve* curve);

private:
    void build();

    CurveList m_curves;
    unsigned m_frame = 0;
    unsigned m_built = ~0u;
    QRect m_builtRect;
    std::vector<Plan> m_plans;
};

} // namespace vantor
