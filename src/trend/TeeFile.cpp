// SPDX-License-Identifier: GPL-3.0-or-later
// The curve file's writer. The point values go from their blocks to the file in runs, with the
// CRC-32 computed as they pass, so a save never copies the values.
#include "trend/TeeFile.h"

#include <QCoreApplication>
#include <QSaveFile>
#include <libdeflate.h>
#include <vector>

#include "TeeChunks.h"
#include "files/SaveWhole.h"

namespace vantor {

namespace tee {

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
    return libdeflate_crc32(crc, data, size);
}

} // namespace tee

namespace {

using namespace tee;

// Writes chunks to the file, keeping each chunk's CRC and the progress of the whole save.
class ChunkWriter {
public:
    ChunkWriter(QSaveFile& file, qint64 total, const std::function<void(int)>& progress)
        : m_file(file), m_total(std::max<qint64>(total, 1)), m_progress(progress) {
        if (m_progress)
            m_progress(0);
    }

    bool begin(const char (&tag)[4], quint64 length) {
        m_crc = 0;
        return put(tag, 4) && put(&length, sizeof length);
    }
    bool put(const void* data, qint64 size) {
        m_crc = Crc32(m_crc, data, static_cast<std::size_t>(size));
        return raw(data, size);
    }
    bool put(const QByteArray& bytes) { return put(bytes.constData(), bytes.size()); }
    bool putValues(const ValueBlocks& values) {
        for (int i = 0; i < values.size(); i += values.runLength(i)) {
            if (!put(values.run(i), qint64(values.runLength(i)) * qint64(sizeof(double))))
                return false;
        }
        return true;
    }
    bool end() { return raw(&m_crc, sizeof m_crc); }

private:
    bool raw(const void* data, qint64 size) {
        if (m_file.write(static_cast<const char*>(data), size) != size)
            return false;
        m_written += size;
        // The tenths up to 90; 100 comes once the file is in place.
        const int tenth = static_cast<int>(std::min<qint64>(m_written * 10 / m_total, 9));
        for (; m_progress && m_reported < tenth;)
            m_progress(++m_reported * 10);
        return true;
    }

    QSaveFile& m_file;
    qint64 m_total;
    const std::function<void(int)>& m_progress;
    std::uint32_t m_crc = 0;
    qint64 m_written = 0;
    int m_reported = 0;
};

// A series chunk is its head, the X values of an irregular series, the Y values, its labels.
struct SeriesParts {
    QByteArray head;
    QByteArray labels;
    qint64 values = 0; // bytes of X and Y values
    qint64 payload() const { return head.size() + values + labels.size(); }
};

SeriesParts SplitSeries(const SeriesSnapshot& s) {
    SeriesParts parts;
    parts.head = SeriesAttributes(s);
    Append<std::uint64_t>(parts.head, static_cast<std::uint64_t>(s.count()));
    if (s.regular)
        Append(parts.head, s.x0);
    parts.values = qint64(s.count()) * qint64(sizeof(double)) * (s.regular ? 1 : 2);
    parts.labels = LabelBytes(s.labels, 0);
    return parts;
}

QString FileReason(const QString& what, const QSaveFile& file) {
    return QCoreApplication::translate("vantor::TeeFile", "%1（%2）").arg(what, file.errorString());
}

} // namespace

namespace tee {

QByteArray ChartPayload(const ChartSnapshot& chart) {
    QByteArray out;
    AppendText32(out, chart.title);
    for (const ViewRange& range : chart.ranges) {
        Append(out, range.min);
        Append(out, range.max);
    }
    // Since 1.1.
    Append<std::int32_t>(out, chart.lineWidth);
    Append(out, chart.markerX);
    return out;
}

QByteArray SeriesAttributes(const SeriesSnapshot& s) {
    QByteArray out;
    AppendText32(out, s.title);
    AppendText32(out, s.unit);
    Append<std::uint32_t>(out, s.color);
    Append<std::uint8_t>(out, static_cast<std::uint8_t>(s.axis));
    Append<std::uint8_t>(out, (s.active ? kActive : 0) | (s.hiddenByLegend ? kHiddenByLegend : 0) |
                                  (s.regular ? kRegular : 0));
    Append<std::int32_t>(out, s.lineWidth);
    return out;
}

QByteArray LabelBytes(const LabelBlocks& labels, int from) {
    QByteArray out;
    const int count = std::max(0, labels.size() - from);
    out.reserve(4 + count * 10);
    Append<std::uint32_t>(out, static_cast<std::uint32_t>(count));
    for (int i = from; i < labels.size(); ++i) {
        // A label is a short text ("HH:mm:ss"); one longer than a u16 count keeps its start.
        const QByteArrayView utf8 =
            labels.utf8(i).first(std::min<qsizetype>(labels.utf8(i).size(), 0xFFFF));
        Append<std::uint16_t>(out, static_cast<std::uint16_t>(utf8.size()));
        out.append(utf8);
    }
    return out;
}

void AppendChunk(QByteArray& out, const char (&tag)[4], const QByteArray& payload) {
    const qsizetype at = out.size();
    out.append(tag, 4);
    Append<std::uint64_t>(out, static_cast<std::uint64_t>(payload.size()));
    out.append(payload);
    Append<std::uint32_t>(out, Crc32(0, out.constData() + at, std::size_t(out.size() - at)));
}

QString SaveError(const QString& path, const QString& reason) {
    return QCoreApplication::translate("vantor::TeeFile", "曲线文件 %1 保存失败：%2")
        .arg(path, reason);
}

std::optional<QString> Unsaveable(const ChartSnapshot& chart) {
    if (chart.series.size() > std::size_t(kMaxSeries))
        return QCoreApplication::translate("vantor::TeeFile", "曲线超过 %1 条").arg(kMaxSeries);
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        if (!s.regular && s.xs.size() != s.ys.size())
            return QCoreApplication::translate("vantor::TeeFile", "第 %1 条曲线的 X 值与点数不符")
                .arg(i);
    }
    return std::nullopt;
}

std::optional<QString> WriteWhole(const QString& path, const ChartSnapshot& chart,
                                  const std::function<void(int)>& progress, qint64* size,
                                  std::vector<qint64>* yOffsets) {
    if (const auto reason = Unsaveable(chart))
        return SaveError(path, *reason);

    const QByteArray chartPayload = ChartPayload(chart);
    std::vector<SeriesParts> parts;
    parts.reserve(chart.series.size());
    qint64 total = kHeaderSize + kChunkFrame + chartPayload.size() + kChunkFrame;
    std::vector<qint64> offsets;
    for (const SeriesSnapshot& s : chart.series) {
        parts.push_back(SplitSeries(s));
        const qint64 xBytes = s.regular ? 0 : qint64(s.count()) * qint64(sizeof(double));
        offsets.push_back(total - kChunkFrame + kChunkHeadSize + parts.back().head.size() + xBytes);
        total += kChunkFrame + parts.back().payload();
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SaveError(path, FileReason(QCoreApplication::translate("vantor::TeeFile",
                                                                      "无法在所在文件夹建立文件"),
                                          file));
    ChunkWriter out(file, total, progress);
    QByteArray header(kSignature, sizeof kSignature);
    Append<std::uint16_t>(header, kTeeMajor);
    Append<std::uint16_t>(header, kTeeMinor);
    bool ok = out.put(header);
    ok = ok && out.begin(kChartTag, chartPayload.size()) && out.put(chartPayload) && out.end();
    for (std::size_t i = 0; ok && i < parts.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        ok = out.begin(kSeriesTag, parts[i].payload()) && out.put(parts[i].head) &&
             (s.regular || out.putValues(s.xs)) && out.putValues(s.ys) &&
             out.put(parts[i].labels) && out.end();
    }
    ok = ok && out.begin(kEndTag, 0) && out.end();
    // Values that left memory are read back from the file they were saved to; one that could
    // not be read must not go into the new file.
    bool lost = false;
    for (const SeriesSnapshot& s : chart.series)
        lost = lost || s.ys.readFailed() || s.xs.readFailed();
    if (ok && lost) {
        file.cancelWriting();
        return SaveError(path, QCoreApplication::translate(
                                   "vantor::TeeFile", "无法读回已转存的曲线数据，原文件未改动"));
    }
    if (!ok) {
        const QString reason = FileReason(
            QCoreApplication::translate("vantor::TeeFile", "写入出错，原文件未改动"), file);
        file.cancelWriting();
        return SaveError(path, reason);
    }
    if (QString reason; !CommitWhole(file, &reason))
        return SaveError(
            path, QCoreApplication::translate("vantor::TeeFile", "写入出错，原文件未改动（%1）")
                      .arg(reason));
    if (progress)
        progress(100);
    if (size)
        *size = total;
    if (yOffsets)
        *yOffsets = std::move(offsets);
    return std::nullopt;
}

} // namespace tee

std::optional<QString> SaveTeeFile(const QString& path, const ChartSnapshot& chart,
                                   const std::function<void(int)>& progress) {
    return WriteWhole(path, chart, progress, nullptr, nullptr);
}

} // namespace vantor
