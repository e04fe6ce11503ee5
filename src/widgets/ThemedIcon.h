// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Icons drawn from the program's SVG pictures in the palette's colours: whatever a picture draws
// in "currentColor" takes the palette's button text colour when it is shown, so a monochrome
// picture stays readable under a light or a dark palette, and it is drawn at the screen's pixel
// ratio, sharp at any scale.
#include <QColor>
#include <QIcon>
#include <QString>

namespace vantor {

// The icon of a resource picture (":/icons/…svg"); `onPath` gives a second picture for the
// checked state of a two-state button.
QIcon ThemedIcon(const QString& path, const QString& onPath = {});

// The colour "currentColor" takes for an icon in this mode, from the application's palette.
QColor IconInk(QIcon::Mode mode);

} // namespace vantor
