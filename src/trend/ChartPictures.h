// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pictures of the trend chart for reports: PNG as the chart is shown (plot and legend), PDF with
// the plot drawn as vector graphics and the legend's curve names beside it.
#include <QString>
#include <optional>

namespace vantor {

class CTChart;

// By the path's suffix ("png" or "pdf"); written atomically. Returns the error text (naming the
// file), or nothing on success.
std::optional<QString> SaveChartPicture(CTChart& chart, const QString& path);

} // namespace vantor
