// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curve file's chunks as bytes, shared by the whole save and the run's appends (not offered
// to other libraries).
#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

#include "TeeFormat.h"
#include "trend/ChartSnapshot.h"

namespace vantor::tee {

inline constexpr qint64 kChunkFrame = kChunkHeadSize + kChunkTailSize;

QByteArray ChartPayload(const ChartSnapshot& chart);
// A series' title, unit, colour, axis, flags and line width: the head of its SERI chunk and,
// after its index, a SMET chunk's payload.
QByteArray SeriesAttributes(const SeriesSnapshot& s);
// The labels from `from` on: a u32 count and each label as text16.
QByteArray LabelBytes(const LabelBlocks& labels, int from);
// A whole chunk: tag, length, payload, CRC.
void AppendChunk(QByteArray& out, const char (&tag)[4], const QByteArray& payload);
// Refuses a chart the file cannot hold; the reason, or nothing.
std::optional<QString> Unsaveable(const ChartSnapshot& chart);
QString SaveError(const QString& path, const QString& reason);

// The whole file, written atomically; *size is its size once in place, (*yOffsets)[i] where
// series i's Y values begin in it.
std::optional<QString> WriteWhole(const QString& path, const ChartSnapshot& chart,
                                  const std::function<void(int)>& progress, qint64* size,
                                  std::vector<qint64>* yOffsets);

} // namespace vantor::tee
