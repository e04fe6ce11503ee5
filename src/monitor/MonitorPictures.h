// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of the monitoring panel: switches, lamps, analogue plates and the panel's
// background, drawn in code so that they stay sharp at any device pixel ratio.
#include <QPixmap>
#include <QSize>

namespace vantor {

enum class MonitorPicture {
    SwitchOn,
    SwitchOff,
    LampOn,
    LampOff,
    AnalogueUnbound,
    AnalogueBound,
    Background
};

// The picture's size in logical pixels.
QSize MonitorPictureSize(MonitorPicture picture);

// The picture drawn at the given device pixel ratio (the pixmap carries that ratio, so its
// device size is the logical size times the ratio). Switches, lamps and plates have a
// transparent surrounding. Drawn once per (picture, ratio) and then taken from a cache.
QPixmap MonitorPixmap(MonitorPicture picture, qreal devicePixelRatio = 1.0);

} // namespace vantor
