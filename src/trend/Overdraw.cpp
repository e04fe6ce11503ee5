// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/Overdraw.h"

#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

#include "trend/TrendCurve.h"

namespace vantor {

namespace {

constexpr double kShortSegment = 1.01; // pixels across: within one column step
constexpr int kMaxLongSegments = 4;    // the two ends and a little more

int Pixel(double v) {
    return static_cast<int>(std::floor(v));
}

// Adds [top, bottom] to a column's sorted, disjoint intervals, merging what touches it.
void Cover(std::vector<std::pair<int, int>>& column, int top, int bottom) {
    auto first = std::lower_bound(column.begin(), column.end(), top - 1,
                                  [](const std::pair<int, int>& c, int y) { return c.second < y; });
    auto last = first;
    int lo = top, hi = bottom;
    while (last != column.end() && last->first <= bottom + 1) {
        lo = std::min(lo, last->first);
        hi = std::max(hi, last->second);
        ++last;
    }
    first = column.erase(first, last);
    column.insert(first, {lo, hi});
}

} // namespace

bool ColumnRuns(const QPolygonF& line, std::vector<ColumnRun>& runs, QPolygonF& longSegments) {
    runs.clear();
    longSegments.clear();
    int longCount = 0;
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1];
        const QPointF b = line[i];
        if (std::isnan(a.x()) || std::isnan(b.x()))
            continue; // a break in the line
        if (std::abs(b.x() - a.x()) <= kShortSegment) {
            // The rows an aliased one-pixel line between the two covers; a step to the next
            // column goes half in each.
            auto add = [&runs](int x, double y0, double y1) {
                runs.push_back({x, Pixel(std::min(y0, y1)), Pixel(std::max(y0, y1) + 0.5)});
            };
            const int from = Pixel(a.x());
            const int to = Pixel(b.x());
            if (from == to) {
                add(to, a.y(), b.y());
            } else {
                const double middle = (a.y() + b.y()) / 2;
                add(from, a.y(), middle);
                add(to, middle, b.y());
            }
        } else {
            if (++longCount > kMaxLongSegments)
                return false;
            longSegments << a << b;
        }
    }
    return !runs.empty();
}

void UncoveredParts(const std::vector<ColumnRun>& runs, int left,
                    std::vector<std::vector<std::pair<int, int>>>& cover,
                    std::vector<ColumnRun>& out) {
    for (const ColumnRun& run : runs) {
        const int column = run.x - left;
        if (column < 0 || column >= static_cast<int>(cover.size()))
            continue;
        std::vector<std::pair<int, int>>& covered = cover[static_cast<std::size_t>(column)];
        auto it = std::lower_bound(
            covered.begin(), covered.end(), run.top,
            [](const std::pair<int, int>& c, int y) { return c.second < y; });
        int y = run.top;
        while (y <= run.bottom) {
            if (it != covered.end() && it->first <= y) {
                y = it->second + 1;
                ++it;
                continue;
            }
            const int end = it != covered.end() ? std::min(run.bottom, it->first - 1) : run.bottom;
            out.push_back({run.x, y, end});
            y = end + 1;
        }
        Cover(covered, run.top, run.bottom);
    }
}

const OverdrawPlan::Plan* OverdrawPlan::planOf(const TrendCurve* curve) {
    const QCPAxis* keys = curve->keyAxis();
    if (!keys)
        return nullptr;
    const QRect rect = keys->axisRect()->rect();
    if (m_built != m_frame || rect != m_builtRect) {
        m_built = m_frame;
        m_builtRect = rect;
        build();
    }
    for (const Plan& plan : m_plans)
        if (plan.curve == curve)
            return &plan;
    return nullptr;
}

void OverdrawPlan::build() {
    m_plans.clear();
    std::vector<TrendCurve*> curves;
    m_curves(curves);
    std::vector<Plan> dense;
    for (const TrendCurve* curve : curves) {
        Plan plan;
        plan.curve = curve;
        if (curve->visible() && curve->denseRuns(plan.runs, plan.lines))
            dense.push_back(std::move(plan));
    }
    if (dense.empty())
        return;
    // From the top-most curve down, each keeps what the ones above leave free.
    const int left = m_builtRect.left();
    std::vector<std::vector<std::pair<int, int>>> cover(
        static_cast<std::size_t>(std::max(0, m_builtRect.width())));
    std::vector<ColumnRun> free;
    for (auto plan = dense.rbegin(); plan != dense.rend(); ++plan) {
        free.clear();
        UncoveredParts(plan->runs, left, cover, free);
        plan->runs.swap(free);
        m_plans.push_back(std::move(*plan));
    }
}

} // namespace vantor
