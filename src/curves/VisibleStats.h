// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A curve's lowest, highest and mean value over the trend chart's visible range: what the chart
// works out and the point list shows.

namespace vantor {

struct VisibleStats {
    double min = 0;
    double max = 0;
    double mean = 0;
};

} // namespace vantor
