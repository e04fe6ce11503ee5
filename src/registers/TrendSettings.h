// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend's settings: the seven axis ranges, the fonts of the read-out and the legend, the
// legend's row spacing, the curves' line width, the sampling interval and whether the bottom
// axis shows sample numbers or times. All are 16-bit signed numbers, as a project file keeps
// them.
#include <array>
#include <cstdint>

namespace vantor {

// The seven axes: X is the bottom (sample index) axis, Y the left value axis, A..E the extra ones.
enum class TrendAxis { X, Y, A, B, C, D, E };
inline constexpr int kTrendAxisCount = 7;

struct AxisRange {
    std::int16_t min = 0;
    std::int16_t max = 0;
    bool operator==(const AxisRange&) const = default;
};

struct TrendSettings {
    // Indexed by TrendAxis.
    std::array<AxisRange, kTrendAxisCount> ranges{
        {{0, 300}, {0, 100}, {0, 60}, {0, 80}, {0, 110}, {0, 600}, {0, 2500}}};
    std::int16_t floatBoxFont = 9; // read-out font in points, also the floating box's row unit
    std::int16_t legendFont = 7;
    std::int16_t legendSpacing = -5;
    std::int16_t lineWidth = 0;   // pen width of every curve
    std::int16_t sampleMs = 1000; // milliseconds between samples
    std::int16_t timeAxis = 0;    // 1: the bottom axis shows the samples' times

    AxisRange& range(TrendAxis axis) { return ranges[static_cast<int>(axis)]; }
    const AxisRange& range(TrendAxis axis) const { return ranges[static_cast<int>(axis)]; }
    bool operator==(const TrendSettings&) const = default;
};

} // namespace vantor
