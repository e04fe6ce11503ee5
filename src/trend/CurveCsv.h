// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The trend chart as a CSV table for reports: one row per time-base sample, one column per curve.
#include <QString>
#include <optional>

#include "trend/ChartSnapshot.h"

class QIODevice;

namespace vantor {

// A CSV field: quoted (inner quotes doubled) when it holds a comma, a quote or a line break.
QString CsvField(const QString& text);

// The UTF-8 byte order mark that lets spreadsheets on Windows read the Chinese names.
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Writes the table to out: the byte order mark, a header row ("时间", then "name (unit)" per
// active curve, "name" alone when the unit is empty, " #2" … after a name already used, an
// apostrophe before one a spreadsheet would take for a formula), then one row per time-base
// sample: its local date and time "yyyy-MM-dd HH:mm:ss.zzz", then each active curve's value at that sample (the
// shortest text that reads back as the same double, "." as decimal point), empty where the
// curve has no point there. Lines end in CRLF. False when the device refuses a write.
bool WriteCurveCsv(QIODevice& out, const ChartSnapshot& chart);

// Writes the table to path atomically. The error text (names the file) or nothing.
std::optional<QString> SaveCurveCsv(const QString& path, const ChartSnapshot& chart);

} // namespace vantor
