// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a piece of work once, right after the first paint cycle of a widget, so that a window
// appears before the parts of it that can come a moment later are built.
#include <QObject>
#include <functional>

class QWidget;

namespace vantor {

// The work runs at most once, from the event loop after the widget's first paint; the watcher
// is a child of the widget and goes with it.
void AfterFirstPaint(QWidget* widget, std::function<void()> work);

} // namespace vantor
