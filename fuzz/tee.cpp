// SPDX-License-Identifier: GPL-3.0-or-later
// Curve files: the reader on the input bytes, and again with every chunk's CRC-32 made right so
// that changed payloads reach the field readers (appended saves included). A file it accepts is
// saved again and must read back to the same chart, value for value (compared bit for bit, so
// NaN equals NaN): saved whole, and saved as a recording run does, its first half whole and the
// rest appended.
#include <QFile>
#include <QTemporaryDir>
#include <cstring>
#include <zlib.h>

#include "FuzzSupport.h"
#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

bool Same(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool SameValues(const ValueBlocks& a, const ValueBlocks& b) {
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i)
        if (!Same(a[i], b[i]))
            return false;
    return true;
}

bool SameSeries(const SeriesSnapshot& a, const SeriesSnapshot& b) {
    return a.title == b.title && a.unit == b.unit && a.color == b.color && a.axis == b.axis &&
           a.active == b.active && a.hiddenByLegend == b.hiddenByLegend &&
           a.lineWidth == b.lineWidth && a.regular == b.regular &&
           (!a.regular || Same(a.x0, b.x0)) && SameValues(a.xs, b.xs) && SameValues(a.ys, b.ys) &&
           a.labels == b.labels;
}

bool SameChart(const ChartSnapshot& a, const ChartSnapshot& b) {
    if (a.title != b.title || a.lineWidth != b.lineWidth || !Same(a.markerX, b.markerX) ||
        a.series.size() != b.series.size())
        return false;
    for (std::size_t i = 0; i < a.ranges.size(); ++i)
        if (!Same(a.ranges[i].min, b.ranges[i].min) || !Same(a.ranges[i].max, b.ranges[i].max))
            return false;
    for (std::size_t i = 0; i < a.series.size(); ++i)
        if (!SameSeries(a.series[i], b.series[i]))
            return false;
    return true;
}

// The bytes with the CRC-32 after each whole chunk recomputed (12-byte file header; a chunk is a
// 4-byte tag, a u64 length, the payload and the CRC of all three before it).
QByteArray WithGoodChecksums(QByteArray bytes) {
    constexpr qsizetype kHead = 12;
    constexpr qsizetype kTail = 4;
    qsizetype at = 12;
    while (bytes.size() - at >= kHead + kTail) {
        quint64 length;
        std::memcpy(&length, bytes.constData() + at + 4, sizeof length);
        if (length > quint64(bytes.size() - at - kHead - kTail))
            break;
        const qsizetype framed = kHead + qsizetype(length);
        const auto crc = static_cast<quint32>(
            crc32(0, reinterpret_cast<const Bytef*>(bytes.constData() + at), uInt(framed)));
        std::memcpy(bytes.data() + at + framed, &crc, sizeof crc);
        at += framed + kTail;
    }
    return bytes;
}

// The chart with each series' points and labels cut to the first half.
ChartSnapshot FirstHalf(ChartSnapshot chart) {
    for (SeriesSnapshot& s : chart.series) {
        const int half = s.count() / 2;
        if (!s.regular)
            s.xs.truncate(half);
        s.ys.truncate(half);
        s.labels.resize(std::min(s.labels.size(), half));
    }
    chart.title += QStringLiteral("-");
    return chart;
}

void Check(const QByteArray& bytes) {
    static QTemporaryDir folder;
    const TeeLoad load = ReadTeeBytes(bytes, QStringLiteral("input.tee"));
    FUZZ_CHECK(load.chart.has_value() == load.error.isEmpty(), "neither a chart nor an error");
    if (!load.chart)
        return;
    const QString path = folder.filePath(QStringLiteral("again.tee"));
    const std::optional<QString> saved = SaveTeeFile(path, *load.chart);
    FUZZ_CHECK(!saved, "an accepted chart cannot be saved");
    const TeeLoad again = LoadTeeFile(path);
    FUZZ_CHECK(again.chart.has_value(), "a saved chart does not read back");
    FUZZ_CHECK(SameChart(*load.chart, *again.chart), "a saved chart reads back different");
    FUZZ_CHECK(again.warning.isEmpty(), "a saved chart reads back with a warning");

    const QString run = folder.filePath(QStringLiteral("run.tee"));
    QFile::remove(run);
    TeeRunWriter writer(run);
    FUZZ_CHECK(!writer.save(FirstHalf(*load.chart)), "the first half cannot be saved");
    FUZZ_CHECK(!writer.save(*load.chart), "the rest cannot be appended");
    FUZZ_CHECK(writer.lastSave() == TeeRunWriter::Save::Append, "the rest was not appended");
    const TeeLoad appended = LoadTeeFile(run);
    FUZZ_CHECK(appended.chart.has_value() && appended.warning.isEmpty(),
               "an appended chart does not read back");
    FUZZ_CHECK(SameChart(*load.chart, *appended.chart), "an appended chart reads back different");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Check(bytes);
    if (const QByteArray fixed = WithGoodChecksums(bytes); fixed != bytes)
        Check(fixed);
    return 0;
}
