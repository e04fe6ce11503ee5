// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The read-out: the values of all curves at one sample, as the floating box shows them, and the
// one-curve text of the chart's tool tip. Plain text building, no window.
#include <QList>
#include <QString>
#include <optional>

namespace vantor {

// One curve of the read-out; no value when the curve has no point at the sample (before its
// first sample or after its last).
struct ReadoutCurve {
    QString name;
    std::optional<double> value;
    QString unit;
};

// The sample a read-out at chart position x shows: x truncated; none when that is below 0 (or
// too large to be a sample index).
std::optional<int> ReadoutSample(double x);
// The index into a curve's points for sample f, its first point being at sample first; none
// outside its points.
std::optional<int> CurvePointIndex(int f, int first, int pointCount);

// "[Date＆Time] " + "yyyy/MM/dd " (only for a non-empty label and a non-zero date) + the label
// + CRLF. The date is the time base's OLE date of the sample.
QString ReadoutHeader(const QString& timeLabel, double oleDate);
// " " + name + ": %0.1f" + the unit (live only) + CRLF. A curve without a value shows ": --"
// in place of the number, so the line keeps its name and its unit.
QString ReadoutLine(const ReadoutCurve& curve, bool live);
// The header followed by a line per curve.
QString BuildReadout(const QString& header, const QList<ReadoutCurve>& curves, bool live);
// Two cursors: both headers, "Δt = " the time between them (seconds, and h:mm:ss from a minute
// on), then per curve " name: v1 → v2  Δ d" + the unit (live only); a side without a value
// shows "--" and no Δ. The lists run in the same order.
QString BuildDeltaReadout(const QString& header1, const QString& header2, double seconds,
                          const QList<ReadoutCurve>& at1, const QList<ReadoutCurve>& at2,
                          bool live);
// The tool tip of one curve: its read-out line without the line break.
QString ReadoutToolTip(const ReadoutCurve& curve, bool live);

} // namespace vantor
