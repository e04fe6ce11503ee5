// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TimeKeys.h"

#include <cmath>

namespace vantor {

namespace {
constexpr double kUnixEpochOle = 25569.0; // 1970-01-01 in OLE days
constexpr double kSecondsPerDay = 86400.0;
} // namespace

double SecondsOfOleDate(double oleDate) {
    return (oleDate - kUnixEpochOle) * kSecondsPerDay;
}

double OleDateOfSeconds(double seconds) {
    return seconds / kSecondsPerDay + kUnixEpochOle;
}

int TimeKeys::firstAtLeast(double key) const {
    return m_timeBase->firstYAtLeast(OleDateOfSeconds(key));
}

double TimeKeys::keyOfX(double x) const {
    const int n = m_timeBase->count();
    const double i = x - 1;
    if (n == 0)
        return m_origin + i * m_step;
    if (i <= 0)
        return keyAt(0) + i * m_step;
    if (i >= n - 1)
        return keyAt(n - 1) + (i - (n - 1)) * m_step;
    const int below = static_cast<int>(std::floor(i));
    const double a = keyAt(below);
    return a + (i - below) * (keyAt(below + 1) - a);
}

double TimeKeys::xOfKey(double key) const {
    const int n = m_timeBase->count();
    if (n == 0)
        return (key - m_origin) / m_step + 1;
    const double first = keyAt(0);
    const double last = keyAt(n - 1);
    if (key <= first)
        return (key - first) / m_step + 1;
    if (key >= last)
        return n - 1 + (key - last) / m_step + 1;
    const int above = firstAtLeast(key); // 1 .. n - 1
    const double a = keyAt(above - 1);
    const double b = keyAt(above);
    const double fraction = b > a ? (key - a) / (b - a) : 0;
    return above - 1 + fraction + 1;
}

} // namespace vantor
