// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend's rules, apart from any window: reading a curve row's reference, rate and axis, the
// orders in which the axis buttons apply ranges, the fast-scroll timer and the transparency
// slider's steps.
#include <QColor>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "registers/TrendSettings.h"

namespace vantor {

// A curve's "Obj_Id": grid g, row r, column c as "g-r-c".
struct SourceRef {
    int grid = 0;
    int row = 0;
    int column = 0;
    bool operator==(const SourceRef&) const = default;
};

// Splits at "-" into three decimal numbers; a part that is not a number reads as 0, so a
// malformed reference names no grid and reads as an empty text.
SourceRef ParseSourceRef(const QString& text);

// A decimal number read leniently: leading blanks, then the longest prefix that is a number
// ("12.5kPa" is 12.5); anything else is 0.
double LenientNumber(const QString& text);

// "Y轴", "A轴" .. "E轴" to their axis; any other text names none.
std::optional<TrendAxis> AxisOfName(const QString& name);

// "Y轴复位" applies the stored ranges in this order; "Y轴归零" sets these six to (0, max).
inline constexpr std::array<TrendAxis, 7> kAxisResetOrder{TrendAxis::B, TrendAxis::Y, TrendAxis::A,
                                                          TrendAxis::D, TrendAxis::E, TrendAxis::C,
                                                          TrendAxis::X};
inline constexpr std::array<TrendAxis, 6> kAxisZeroOrder{TrendAxis::B, TrendAxis::Y, TrendAxis::A,
                                                         TrendAxis::D, TrendAxis::E, TrendAxis::C};
// The order the panel applies the ranges at start-up.
inline constexpr std::array<TrendAxis, 7> kAxisStartOrder{TrendAxis::X, TrendAxis::Y, TrendAxis::B,
                                                          TrendAxis::C, TrendAxis::E, TrendAxis::D,
                                                          TrendAxis::A};

// A COLORREF (0x00BBGGRR) as the chart draws it, and back.
QColor ChartColorOfRef(std::uint32_t ref);
std::uint32_t RefOfChartColor(const QColor& color);

// Fast forward / fast back while a button is held. The panel runs a 50 ms timer while one is
// held; the first forward tick only waits (100 ms more), every later tick shifts the X axis by
// 100 units. Back shifts from the first tick on and keeps the range right of the first sample;
// forward stops once the newest sample is in view.
class FastScroll {
public:
    enum class Mode { None, Forward, Back };
    struct Step {
        double shift = 0;         // X units to shift by (0 = nothing to do)
        bool checkLimits = false; // keep the range right of the first sample
        bool wait = false;        // the first forward tick: wait kFirstWaitMs before the next
    };
    static constexpr int kPeriodMs = 50;
    static constexpr int kFirstWaitMs = 100;
    static constexpr double kShift = 100;

    void press(Mode mode);
    void release();
    Mode mode() const { return m_mode; }
    Step tick();

private:
    Mode m_mode = Mode::None;
    bool m_firstTick = false;
};

// The transparency slider's actions. The slider has already taken a line or page step when it
// reports it, and the same step is applied once more: an arrow key moves the transparency by 2,
// a page key by twice the page; dragging the thumb sets it exactly.
enum class SliderStep { LineLeft, LineRight, PageLeft, PageRight, Thumb, Other };
int TransparencyAfterStep(SliderStep step, int position, int min, int max, int page);

} // namespace vantor
