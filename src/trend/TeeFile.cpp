// The curve file's writer. The point values go from their blocks to the file in runs, with the
// CRC-32 computed as they pass, so a save never copies the values.
#include "trend/TeeFile.h"

#include <QSaveFile>

#include "files/SaveWhole.h"
#include <vector>
#include <zlib.h>

#include "TeeFormat.h"

namespace vantor {

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
        m_crc = crc32(0, nullptr, 0);
        return put(tag, 4) && put(&length, sizeof length);
    }
    bool put(const void* data, qint64 size) {
        m_crc = crc32_z(m_crc, static_cast<const Bytef*>(data), static_cast<z_size_t>(size));
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
    bool end() {
        const auto crc = static_cast<std::uint32_t>(m_crc);
        return raw(&crc, sizeof crc);
    }

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
    uLong m_crc = 0;
    qint64 m_written = 0;
    int m_reported = 0;
};

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

// A series chunk is its head, the X values of an irregular series, the Y values, its labels.
struct SeriesParts {
    QByteArray head;
    QByteArray labels;
    qint64 values = 0; // bytes of X and Y values
    qint64 payload() const { return head.size() + values + labels.size(); }
};

SeriesParts SplitSeries(const SeriesSnapshot& s) {
    SeriesParts parts;
    AppendText32(parts.head, s.title);
    AppendText32(parts.head, s.unit);
    Append<std::uint32_t>(parts.head, s.color);
    Append<std::uint8_t>(parts.head, static_cast<std::uint8_t>(s.axis));
    Append<std::uint8_t>(parts.head, (s.active ? kActive : 0) |
                                         (s.hiddenByLegend ? kHiddenByLegend : 0) |
                                         (s.regular ? kRegular : 0));
    Append<std::int32_t>(parts.head, s.lineWidth);
    Append<std::uint64_t>(parts.head, static_cast<std::uint64_t>(s.count()));
    if (s.regular)
        Append(parts.head, s.x0);
    parts.values = qint64(s.count()) * qint64(sizeof(double)) * (s.regular ? 1 : 2);

    Append<std::uint32_t>(parts.labels, static_cast<std::uint32_t>(s.labels.size()));
    for (const QString& label : s.labels) {
        // A label is a short text ("HH:mm:ss"); one longer than a u16 count keeps its start.
        const QByteArray utf8 = label.toUtf8().left(0xFFFF);
        Append<std::uint16_t>(parts.labels, static_cast<std::uint16_t>(utf8.size()));
        parts.labels.append(utf8);
    }
    return parts;
}

constexpr qint64 kChunkFrame = kChunkHeadSize + kChunkTailSize;

QString SaveError(const QString& path, const QString& reason) {
    return QStringLiteral("曲线文件 %1 保存失败：%2").arg(path, reason);
}

QString FileReason(const QString& what, const QSaveFile& file) {
    return QStringLiteral("%1（%2）").arg(what, file.errorString());
}

} // namespace

std::optional<QString> SaveTeeFile(const QString& path, const ChartSnapshot& chart,
                                   const std::function<void(int)>& progress) {
    if (chart.series.size() > std::size_t(kMaxSeries))
        return SaveError(path, QStringLiteral("曲线超过 %1 条").arg(kMaxSeries));
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        if (!s.regular && s.xs.size() != s.ys.size())
            return SaveError(path, QStringLiteral("第 %1 条曲线的 X 值与点数不符").arg(i));
    }

    const QByteArray chartPayload = ChartPayload(chart);
    std::vector<SeriesParts> parts;
    parts.reserve(chart.series.size());
    qint64 total = kHeaderSize + kChunkFrame + chartPayload.size() + kChunkFrame;
    for (const SeriesSnapshot& s : chart.series) {
        parts.push_back(SplitSeries(s));
        total += kChunkFrame + parts.back().payload();
    }

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return SaveError(path, FileReason(QStringLiteral("无法在所在文件夹建立文件"), file));
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
    if (!ok) {
        const QString reason = FileReason(QStringLiteral("写入出错，原文件未改动"), file);
        file.cancelWriting();
        return SaveError(path, reason);
    }
    if (QString reason; !CommitWhole(file, &reason))
        return SaveError(path, QStringLiteral("写入出错，原文件未改动（%1）").arg(reason));
    if (progress)
        progress(100);
    return std::nullopt;
}

} // namespace vantor
