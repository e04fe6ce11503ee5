// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates as the trend's time base and its curve files keep them: days since 30 December 1899 as a
// double, the fraction being the time of day (local time).
#include <QDateTime>

namespace vantor {

double OleDateFromDateTime(const QDateTime& local);
QDateTime DateTimeFromOleDate(double days); // local time, to the millisecond

} // namespace vantor
