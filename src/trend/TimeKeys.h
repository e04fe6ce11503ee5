// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sample positions and times on the chart's bottom axis. The chart places a curve's point at X =
// f (its sample) and the time base holds each sample's local date and time as OLE days at index
// f - 1. On a time axis the bottom axis counts seconds of local wall time (written as if it were
// UTC, so labels show the wall clock); these functions convert between the two, interpolating
// between samples and extending past the ends by the sampling interval.
#include "trend/SeriesData.h"

namespace vantor {

// OLE days (local) to seconds on the time axis, and back.
double SecondsOfOleDate(double oleDate);
double OleDateOfSeconds(double seconds);

class TimeKeys {
public:
    // origin: the time of X = 1 while there are no samples; step: the sampling interval in s.
    TimeKeys(const SeriesData* timeBase, double step, double origin)
        : m_timeBase(timeBase), m_step(step > 0 ? step : 1), m_origin(origin) {}

    double keyOfX(double x) const;   // X (sample) to seconds
    double xOfKey(double key) const; // seconds to X
    // The time of time-base point i, in seconds.
    double keyAt(int i) const { return SecondsOfOleDate(*m_timeBase->y(i)); }
    // The first time-base point whose time is at least key (the count when there is none).
    int firstAtLeast(double key) const;

private:
    const SeriesData* m_timeBase;
    double m_step;
    double m_origin;
};

} // namespace vantor
