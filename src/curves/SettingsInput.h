// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the trend's two settings dialogs accept: texts that are 16-bit signed integers, and a
// sampling interval of at least 1 ms. A refusal comes with the message the dialog shows.
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

#include "registers/TrendSettings.h"

namespace vantor {

// A decimal integer in -32768..32767 (blanks around it allowed); none otherwise.
std::optional<std::int16_t> ParseInt16(const QString& text);

// The dialog caption of an axis: "X轴范围调节" .. "E轴范围调节".
QString AxisRangeCaption(TrendAxis axis);

struct AxisRangeInput {
    std::optional<AxisRange> range;
    QString error; // set when refused
};
AxisRangeInput ReadAxisRange(const QString& maxText, const QString& minText);

// The five edits of the interface settings, in their order on the dialog.
enum class UiField { FloatBoxFont, LegendFont, LegendSpacing, LineWidth, SampleMs };
inline constexpr int kUiFieldCount = 5;
QString UiFieldCaption(UiField field);
std::int16_t UiFieldValue(const TrendSettings& settings, UiField field);

struct UiSettingsInput {
    std::optional<TrendSettings> settings;
    QString error; // set when refused
};
// The settings with the five texts put in; the axis ranges stay as in base.
UiSettingsInput ReadUiSettings(const TrendSettings& base,
                               const std::array<QString, kUiFieldCount>& texts);

} // namespace vantor
