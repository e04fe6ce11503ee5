// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The read-outs over the trend data. Live: the time base's date and label of one sample, then a
// line per point-list row with the value its curve has at that sample; and the tool tip of one
// hovered curve. Built from the trend data, the sampler's first-sample table and the curve table.
#include <QString>
#include <optional>

namespace vantor {

class TrendData;
class CurveTable;
class TrendSampler;

// The read-out at chart position x; none when x names no sample (left of the first one).
std::optional<QString> LiveReadout(const TrendData& data, const TrendSampler& sampler,
                                   const CurveTable& curves, double x);
// The tool tip of the curve that series draws, at the cursor's X; none left of the first sample.
std::optional<QString> LiveToolTip(const TrendData& data, const TrendSampler& sampler,
                                   const CurveTable& curves, int series, double cursorX);

// The read-out of a loaded curve file: the header of the sample, then series 1 .. (series count
// - correction - 1), never past the last, each with its stored title and its value there.
std::optional<QString> HistoryReadout(const TrendData& data, int correction, double x);
std::optional<QString> HistoryToolTip(const TrendData& data, int series, double cursorX);

// The read-out of the marker (x1) and the second cursor (x2): both samples, the time between
// them and each curve's two values and their difference. Live with a sampler and the curve
// table, else as a loaded file's with its correction. None when either X names no sample.
std::optional<QString> TwoCursorReadout(const TrendData& data, const TrendSampler* sampler,
                                        const CurveTable* curves, int correction, double x1,
                                        double x2);

} // namespace vantor
