// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One chart series as the plotting library draws it. The points stay in the trend data's
// SeriesData; each replot draws only what the visible pixel columns need, with a cosmetic pen
// (width 0 or 1) and no antialiasing. A wider line is drawn as that many 1-pixel passes side by
// side and above each other, which looks the same at a fraction of the cost of a wide pen.
#include <qcustomplot.h>

#include "trend/Overdraw.h"
#include "trend/SeriesData.h"
#include "trend/TimeKeys.h"
#include "trend/TrendData.h"

namespace vantor {

class TrendCurve : public QCPAbstractPlottable {
public:
    static constexpr int kMaxWidth = TrendData::kMaxLineWidth;

    TrendCurve(const SeriesData* data, QCPAxis* keyAxis, QCPAxis* valueAxis);

    void setLineWidth(int width) { m_width = std::clamp(width, 0, kMaxWidth); }
    void setSlot(int slot) { m_slot = slot; } // places its out-of-range arrow
    // The chart's plan of what each dense curve still has to paint (see Overdraw.h).
    void setOverdrawPlan(OverdrawPlan* plan) { m_plan = plan; }
    // The drawn line as column runs (one pixel wide curves with many points per column).
    bool denseRuns(std::vector<ColumnRun>& runs, QPolygonF& longSegments) const;
    // On a time axis the points stand at their samples' times and the line breaks where two
    // samples lie more than gapSeconds apart; without keys the bottom axis is the sample X.
    void setTimeKeys(const TimeKeys* keys, double gapSeconds) {
        m_keys = keys;
        m_gap = gapSeconds;
    }
    // Where the curve's last visible point lies against its value axis's range: 1 above it, -1
    // below it, 0 inside (or no point visible). An arrow at the edge shows it.
    int outOfRange() const;
    int lineWidth() const { return m_width; }

    double selectTest(const QPointF& pos, bool onlySelectable,
                      QVariant* details = nullptr) const override;
    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange& inKeyRange) const override;

    // The visible line in pixels, as drawn (also used to find the curve under the mouse).
    void pixelLine(QPolygonF& out) const;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    void timeLine(QPolygonF& out) const;
    std::optional<double> lastVisibleY() const;
    void drawArrow(QCPPainter* painter, int direction) const;

    const SeriesData* m_data;
    const TimeKeys* m_keys = nullptr;
    double m_gap = 0;
    int m_width = 0;
    int m_slot = 0;
    OverdrawPlan* m_plan = nullptr;
    mutable std::vector<SeriesPoint> m_scratch;
};

} // namespace vantor
