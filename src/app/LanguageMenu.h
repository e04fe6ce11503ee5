// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "语言 / Language" menu: the system's language, Chinese or English, kept in Config.ini and
// taken at the next start (the window is built once, in one language).
class QMenuBar;
class QWidget;

namespace vantor {

class AppSettings;

void AddLanguageMenu(QMenuBar* bar, AppSettings* settings, QWidget* parent);

} // namespace vantor
