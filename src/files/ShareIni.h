// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shared values file: while the trend samples, the raw text of each plotted cell is kept under
// the curve's number in section "MconfigInfo" of "share.ini" on the desktop, so that another
// program on the machine can read the live values. The file is written whole and atomically once a
// tick: a reader never sees half of it.
#include <QByteArray>
#include <QList>
#include <QString>
#include <utility>

namespace vantor {

using ShareEntries = QList<std::pair<QString, QString>>; // (curve number text, cell text)

// "share.ini" in the desktop folder; where there is none, in the current directory.
QString ShareIniPath();

// The file's bytes: the section, then one "key=value" line per entry, CRLF, in GBK.
QByteArray ShareIniContent(const ShareEntries& entries);

// Replaces the file with the entries. False (and the reason in *error) when it cannot be written.
bool WriteShareIni(const QString& path, const ShareEntries& entries, QString* error = nullptr);

} // namespace vantor
