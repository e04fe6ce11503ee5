// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Qt's own command-line options (-platform, -style, -display ...). The program checks its own
// options before QApplication opens the window system, so these are taken aside first and left
// for QApplication, which removes them itself.
#include <QStringList>

namespace vantor {

// The arguments (program name first) without Qt's options and their values.
QStringList WithoutQtOptions(const QStringList& arguments);

} // namespace vantor
