// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line's options and their help, in the user's language.
class QCommandLineParser;

namespace vantor {

// Adds the program's options (with --help and --version) and their descriptions to `parser`.
// The descriptions are translated now: call it once the translators are installed.
void AddConsoleOptions(QCommandLineParser& parser);

// Prints the help with Qt's generic options as well and ends the process with status 0. Qt's
// options are those of the running QApplication, which must exist.
[[noreturn]] void PrintHelpWithQtOptions();

} // namespace vantor
