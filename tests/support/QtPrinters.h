// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Readable QString values in failure messages. Every source of a test executable that compares
// QStrings includes this, so that all of them print QString the same way.
#include <QString>
#include <ostream>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
