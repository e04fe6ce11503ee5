// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curve file (.tee): the chart with its data, saved while recording and reopened as
// history. The layout is described in docs/tee-format.md.
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

#include "trend/ChartSnapshot.h"

namespace vantor {

inline constexpr int kTeeMajor = 1;
inline constexpr int kTeeMinor = 2;

// Writes atomically: a temporary file in the target's folder, then a rename, so a failure (or a
// killed process) leaves the old file whole. Returns the error text (naming the file and the
// reason) or nothing on success. progress, when given, is called on the writing thread with
// 0..100 as the write advances (about every 10 %).
std::optional<QString> SaveTeeFile(const QString& path, const ChartSnapshot& chart,
                                   const std::function<void(int)>& progress = {});

struct TeeLoad {
    std::optional<ChartSnapshot> chart;
    QString error; // names the file and the reason; empty when chart holds the file's contents
    // Set when the file ends in a save that was cut off (the program ended in the middle of an
    // append): chart holds everything up to the last whole save, and this says so.
    QString warning;
};
// keep > 0: of each curve only the newest `keep` points (and a few thousand more) stay in
// memory; older ones are summed up and read from the file again when needed (a week-long
// recording opened as history).
TeeLoad LoadTeeFile(const QString& path, int keep = 0);
// The contents of a curve file already in memory; the error texts name the file as `name`.
TeeLoad ReadTeeBytes(const QByteArray& bytes, const QString& name = {});

} // namespace vantor
