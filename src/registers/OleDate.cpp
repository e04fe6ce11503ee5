// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/OleDate.h"

#include <cmath>

namespace vantor {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

double OleDateFromDateTime(const QDateTime& local) {
    const double days = static_cast<double>(kEpoch.daysTo(local.date()));
    return days + local.time().msecsSinceStartOfDay() / kMsPerDay;
}

QDateTime DateTimeFromOleDate(double days) {
    const double whole = std::floor(days);
    const auto ms = static_cast<qint64>(std::llround((days - whole) * kMsPerDay));
    return QDateTime(kEpoch.addDays(static_cast<qint64>(whole)), QTime(0, 0)).addMSecs(ms);
}

} // namespace vantor
