// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend panel's button pictures (":/icons/trend/…svg", drawn in the palette's colours).
#include <QIcon>

namespace vantor {

enum class TrendIconKind {
    RealTime,
    History,
    Pause,
    Move,
    Save,
    FastBack,
    FastForward,
    Legend, // two states: check boxes shown (on) / hidden (off)
    AxisReset,
    AxisZero,
    AutoSave, // two states
    TextBox,
};

QIcon TrendIcon(TrendIconKind kind);

} // namespace vantor
