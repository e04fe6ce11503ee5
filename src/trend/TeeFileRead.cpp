// The curve file's reader. Every length and count is checked against the bytes that remain
// before anything is allocated, so a damaged file is refused instead of exhausting memory.
#include <QFile>
#include <cstring>
#include <limits>
#include <zlib.h>

#include "TeeFormat.h"
#include "trend/TeeFile.h"

namespace vantor {

namespace {

using namespace tee;

// Reads fields from one chunk's payload; a field that runs past the end clears ok.
class Fields {
public:
    Fields(const char* data, qint64 size) : m_at(data), m_end(data + size) {}

    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }
    qint64 remaining() const { return m_end - m_at; }

    template <typename T> T get() {
        T value{};
        if (take(sizeof value))
            std::memcpy(&value, m_at - sizeof value, sizeof value);
        return value;
    }
    // A field added by a later minor version: its default when the payload ends before it.
    template <typename T> T optional(T fallback) { return atEnd() ? fallback : get<T>(); }
    template <typename Length> QString text() {
        const auto size = get<Length>();
        return take(size) ? QString::fromUtf8(m_at - size, qsizetype(size)) : QString();
    }
    // count doubles into values; refused when they cannot be in the payload.
    void values(quint64 count, ValueBlocks& values) {
        if (!take(count * sizeof(double)))
            return;
        const char* at = m_at - count * sizeof(double);
        values.reserveBlocks(static_cast<int>(count));
        for (quint64 i = 0; i < count; ++i, at += sizeof(double)) {
            double value;
            std::memcpy(&value, at, sizeof value);
            values.push_back(value);
        }
    }

private:
    bool take(quint64 size) {
        if (!m_ok || size > quint64(remaining()))
            return m_ok = false;
        m_at += size;
        return true;
    }

    const char* m_at;
    const char* m_end;
    bool m_ok = true;
};

enum class Fault { None, Truncated, Checksum, Corrupt };

bool ReadChart(Fields f, ChartSnapshot& chart) {
    chart.title = f.text<std::uint32_t>();
    for (ViewRange& range : chart.ranges) {
        range.min = f.get<double>();
        range.max = f.get<double>();
    }
    chart.lineWidth = f.optional<std::int32_t>(0); // since 1.1
    chart.markerX = f.optional<double>(0);         // since 1.1
    return f.ok();
}

bool ReadSeries(Fields f, SeriesSnapshot& s) {
    s.title = f.text<std::uint32_t>();
    s.unit = f.text<std::uint32_t>();
    s.color = f.get<std::uint32_t>();
    const auto axis = f.get<std::uint8_t>();
    if (axis >= kTrendAxisCount)
        return false;
    s.axis = static_cast<TrendAxis>(axis);
    const auto flags = f.get<std::uint8_t>();
    s.active = flags & kActive;
    s.hiddenByLegend = flags & kHiddenByLegend;
    s.regular = flags & kRegular;
    s.lineWidth = f.get<std::int32_t>();
    const auto count = f.get<std::uint64_t>();
    if (!f.ok() || count > quint64(std::numeric_limits<int>::max()) ||
        count > quint64(f.remaining()) / sizeof(double))
        return false;
    if (s.regular)
        s.x0 = f.get<double>();
    else
        f.values(count, s.xs);
    f.values(count, s.ys);
    const auto labels = f.get<std::uint32_t>();
    if (!f.ok() || labels > f.remaining() / sizeof(std::uint16_t))
        return false;
    s.labels.reserve(labels);
    for (std::uint32_t i = 0; i < labels && f.ok(); ++i)
        s.labels.push_back(f.text<std::uint16_t>());
    return f.ok();
}

template <typename T> T At(const char* data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    return value;
}

// Reads the chunks after the header into chart; Fault::None once the end chunk is met.
Fault ReadChunks(const char* at, const char* end, ChartSnapshot& chart) {
    bool haveChart = false;
    while (end - at >= kChunkHeadSize + kChunkTailSize) {
        const auto length = At<std::uint64_t>(at + 4);
        if (length > quint64(end - at - kChunkHeadSize - kChunkTailSize))
            return Fault::Truncated;
        const qint64 framed = kChunkHeadSize + qint64(length);
        const auto crc = crc32_z(crc32(0, nullptr, 0), reinterpret_cast<const Bytef*>(at),
                                 static_cast<z_size_t>(framed));
        if (At<std::uint32_t>(at + framed) != static_cast<std::uint32_t>(crc))
            return Fault::Checksum;
        const Fields payload(at + kChunkHeadSize, qint64(length));
        if (std::memcmp(at, kEndTag, 4) == 0)
            return haveChart ? Fault::None : Fault::Corrupt;
        if (std::memcmp(at, kChartTag, 4) == 0) {
            if (haveChart || !ReadChart(payload, chart))
                return Fault::Corrupt;
            haveChart = true;
        } else if (std::memcmp(at, kSeriesTag, 4) == 0) {
            if (chart.series.size() >= std::size_t(kMaxSeries) ||
                !ReadSeries(payload, chart.series.emplace_back()))
                return Fault::Corrupt;
        } // other tags come from later minor versions and are skipped
        at += framed + kChunkTailSize;
    }
    return Fault::Truncated;
}

QString Message(const QString& path, Fault fault) {
    switch (fault) {
    case Fault::Truncated:
        return QStringLiteral("曲线文件 %1 不完整：文件在结尾之前中断（可能保存时被打断）。")
            .arg(path);
    case Fault::Checksum:
        return QStringLiteral("曲线文件 %1 已损坏：数据校验和不符。").arg(path);
    default:
        return QStringLiteral("曲线文件 %1 已损坏：数据长度或内容不合理。").arg(path);
    }
}

TeeLoad Parse(const QString& path, const char* data, qint64 size) {
    const auto signature = qMin<qint64>(size, sizeof kSignature);
    if (size == 0)
        return {{}, QStringLiteral("曲线文件 %1 是空文件。").arg(path)};
    if (std::memcmp(data, kSignature, std::size_t(signature)) != 0)
        return {{}, QStringLiteral("%1 不是本程序的曲线文件（文件头不符）。").arg(path)};
    if (size < kHeaderSize)
        return {{}, Message(path, Fault::Truncated)};
    const auto major = At<std::uint16_t>(data + 8);
    const auto minor = At<std::uint16_t>(data + 10);
    if (major == 0)
        return {{}, Message(path, Fault::Corrupt)};
    if (major != kTeeMajor)
        return {{},
                QStringLiteral("曲线文件 %1 的格式版本为 %2.%3，本程序只能读取 %4.x 版本"
                               "（请使用较新版本的程序打开）。")
                    .arg(path)
                    .arg(major)
                    .arg(minor)
                    .arg(kTeeMajor)};
    ChartSnapshot chart;
    const Fault fault = ReadChunks(data + kHeaderSize, data + size, chart);
    if (fault != Fault::None)
        return {{}, Message(path, fault)};
    return {std::move(chart), {}};
}

} // namespace

TeeLoad LoadTeeFile(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {{}, QStringLiteral("无法打开曲线文件 %1：文件不存在。").arg(path)};
    if (!file.open(QIODevice::ReadOnly))
        return {{}, QStringLiteral("无法打开曲线文件 %1：%2。").arg(path, file.errorString())};
    const qint64 size = file.size();
    // Mapped when the file system allows it, so a large file is not copied once more.
    if (const uchar* mapped = size > 0 ? file.map(0, size) : nullptr)
        return ReadTeeBytes(QByteArray::fromRawData(reinterpret_cast<const char*>(mapped), size),
                            path);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{}, QStringLiteral("无法读取曲线文件 %1：%2。").arg(path, file.errorString())};
    return ReadTeeBytes(bytes, path);
}

TeeLoad ReadTeeBytes(const QByteArray& bytes, const QString& name) {
    return Parse(name, bytes.constData(), bytes.size());
}

} // namespace vantor
