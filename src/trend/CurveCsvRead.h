// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The other way round from CurveCsv.h: a CSV table the program wrote, read back as a chart to
// view as history, and a chart cut down to the samples between two X positions (what lies
// between the two cursors), for exporting a span.
#include <QByteArray>
#include <QString>
#include <optional>

#include "trend/ChartSnapshot.h"

namespace vantor {

struct CsvChart {
    std::optional<ChartSnapshot> chart;
    QString error; // names the file and the line; empty when chart holds the table
};

// The table written by WriteCurveCsv: the time column becomes the time base, each other column
// a curve ("name (unit)" split again, a formula guard's apostrophe dropped) with a point at
// every non-empty cell. A table whose first column is not "时间", a row with a time that does
// not read, or a cell that is not a number is refused naming the line.
CsvChart ReadCurveCsv(const QByteArray& bytes, const QString& name);
CsvChart LoadCurveCsv(const QString& path);

// The samples lo .. hi (sample X positions, the ends included) of every series, renumbered so
// that the first kept sample is the first of the copy; the title, the ranges and the settings
// stay.
ChartSnapshot SliceSnapshot(const ChartSnapshot& chart, double lo, double hi);

} // namespace vantor
