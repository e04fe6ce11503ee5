// SPDX-License-Identifier: GPL-3.0-or-later
// The curve file's reader. The chunks are found first; their checksums are then verified on a
// second thread while this one reads the payloads, copying the values into their blocks a block
// at a time. Every length and count is checked against the bytes that remain before anything
// is allocated, so a damaged file is refused instead of exhausting memory. A file is read as a
// row of saves, each ended by END: a save cut off at the end (a kill during an append) is left
// out, and the file opens with the saves before it and a warning. A windowed read (a long
// recording opened as history) keeps only the newest points of each curve in memory, checks
// each chunk's checksum as it reads it and lets the file's pages go behind it (TeeWindow.h).
#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <atomic>
#include <optional>
#include <thread>
#include <vector>

#include "TeeChunkRead.h"
#include "TeeWindow.h"
#include "trend/TeeFile.h"

namespace vantor {

namespace {

using namespace tee;

struct Frame {
    const char* at; // the tag
    quint64 length; // of the payload
    qint64 framed() const { return kChunkHeadSize + qint64(length); }
};

// The chunks lying whole in the bytes, in order; *rest is how many bytes follow the last one.
std::vector<Frame> Frames(const char* at, const char* end, qint64* rest) {
    std::vector<Frame> frames;
    while (end - at >= kChunkHeadSize + kChunkTailSize) {
        const auto length = At<std::uint64_t>(at + 4);
        if (length > quint64(end - at - kChunkHeadSize - kChunkTailSize))
            break;
        frames.push_back({at, length});
        at += frames.back().framed() + kChunkTailSize;
    }
    *rest = end - at;
    return frames;
}

// As Frames, the heads read from the file mapped at base.
std::vector<Frame> HeadFrames(QFile* file, const char* base, const char* at, const char* end,
                              qint64* rest) {
    std::vector<Frame> frames;
    char head[kChunkHeadSize];
    while (end - at >= kChunkHeadSize + kChunkTailSize) {
        if (!ReadAt(*file, at - base, head, kChunkHeadSize))
            break;
        const auto length = At<std::uint64_t>(head + 4);
        if (length > quint64(end - at - kChunkHeadSize - kChunkTailSize))
            break;
        frames.push_back({at, length});
        at += frames.back().framed() + kChunkTailSize;
    }
    *rest = end - at;
    return frames;
}

// Marks each frame whose CRC does not match. Large files share the work with a second thread.
class ChecksumCheck {
public:
    explicit ChecksumCheck(const std::vector<Frame>& frames) : m_frames(frames) {
        m_bad.assign(frames.size(), 0);
        qint64 bytes = 0;
        for (const Frame& f : frames)
            bytes += f.framed();
        if (bytes > (qint64(4) << 20) && frames.size() > 1)
            m_helper = std::thread([this] { work(); });
    }
    ~ChecksumCheck() {
        if (m_helper.joinable())
            m_helper.join();
    }
    // The first frame whose CRC does not match, or frames.size().
    std::size_t firstBad() {
        work();
        if (m_helper.joinable())
            m_helper.join();
        return std::size_t(std::find(m_bad.begin(), m_bad.end(), 1) - m_bad.begin());
    }

private:
    void work() {
        for (std::size_t i = m_next++; i < m_frames.size(); i = m_next++) {
            const Frame& f = m_frames[i];
            m_bad[i] = At<std::uint32_t>(f.at + f.framed()) !=
                       Crc32(0, f.at, static_cast<std::size_t>(f.framed()));
        }
    }

    const std::vector<Frame>& m_frames;
    std::vector<char> m_bad;
    std::atomic<std::size_t> m_next = 0;
    std::thread m_helper;
};

// Reads frames into a chart, save after save.
class Rounds {
public:
    explicit Rounds(ValueWindow window) : m_window(std::move(window)) {}

    // Reads frames [0, count); stops at the first that does not fit where it stands, or (when
    // told to verify) whose CRC does not match.
    void read(const std::vector<Frame>& frames, std::size_t count, bool verify = false) {
        for (m_at = 0; m_at < count; ++m_at) {
            const Frame& f = frames[m_at];
            if (verify && At<std::uint32_t>(f.at + f.framed()) !=
                              Crc32(0, f.at, static_cast<std::size_t>(f.framed()))) {
                m_badChecksum = true;
                return;
            }
            if (!take(f))
                return;
            m_window.release(f.at + f.framed() + kChunkTailSize);
        }
    }
    // Whether reading stopped at a CRC that does not match.
    bool badChecksum() const { return m_badChecksum; }
    ChartSnapshot& chart() {
        m_window.finish(m_chart);
        return m_chart;
    }
    std::size_t stoppedAt() const { return m_at; }
    // The index of the last END read (the end of the last whole save), if any.
    std::optional<std::size_t> lastEnd() const {
        return m_ends > 0 ? std::optional<std::size_t>(m_lastEnd) : std::nullopt;
    }

private:
    bool take(const Frame& f) {
        Fields payload(f.at + kChunkHeadSize, qint64(f.length));
        const bool first = m_ends == 0;
        if (std::memcmp(f.at, kEndTag, 4) == 0) {
            if (!m_haveChart)
                return false;
            m_lastEnd = m_at;
            ++m_ends;
        } else if (std::memcmp(f.at, kChartTag, 4) == 0) {
            // One in the first save; a later save's replaces the attributes before it.
            if ((first && m_haveChart) || !ReadChart(payload, m_chart))
                return false;
            m_haveChart = true;
        } else if (std::memcmp(f.at, kSeriesTag, 4) == 0) {
            const std::size_t index = m_chart.series.size();
            if (!first || index >= std::size_t(kMaxSeries) ||
                !ReadSeries(payload, m_chart.series.emplace_back(), m_window.onValues(), index))
                return false;
            m_window.trim(m_chart);
        } else if (std::memcmp(f.at, kSeriesAttributesTag, 4) == 0) {
            const auto index = payload.get<std::uint32_t>();
            if (!payload.ok() || index >= m_chart.series.size() ||
                !ReadAttributes(payload, m_chart.series[index]))
                return false;
        } else if (std::memcmp(f.at, kAppendTag, 4) == 0) {
            if (!ReadAppend(payload, m_chart, m_window.onValues()))
                return false;
            m_window.trim(m_chart);
        } // other tags come from later minor versions and are skipped
        return true;
    }

    ValueWindow m_window;
    ChartSnapshot m_chart;
    bool m_haveChart = false;
    bool m_badChecksum = false;
    std::size_t m_at = 0;
    std::size_t m_lastEnd = 0; // valid once an END was read
    std::size_t m_ends = 0;
};

enum class Fault { None, Truncated, Checksum, Corrupt };

QString Message(const QString& path, Fault fault) {
    switch (fault) {
    case Fault::Truncated:
        return QCoreApplication::translate(
                   "vantor::TeeFileRead",
                   "曲线文件 %1 不完整：文件在结尾之前中断（可能保存时被打断）。")
            .arg(path);
    case Fault::Checksum:
        return QCoreApplication::translate("vantor::TeeFileRead",
                                           "曲线文件 %1 已损坏：数据校验和不符。")
            .arg(path);
    default:
        return QCoreApplication::translate("vantor::TeeFileRead",
                                           "曲线文件 %1 已损坏：数据长度或内容不合理。")
            .arg(path);
    }
}

QString TailWarning(const QString& path, Fault fault) {
    const QString why = fault == Fault::Truncated
                            ? QCoreApplication::translate("vantor::TeeFileRead", "中断")
                        : fault == Fault::Checksum
                            ? QCoreApplication::translate("vantor::TeeFileRead", "校验和不符")
                            : QCoreApplication::translate("vantor::TeeFileRead", "内容不合理");
    return QCoreApplication::translate(
               "vantor::TeeFileRead",
               "曲线文件 %1 的最后一次保存不完整（%2，可能保存时程序被终止）："
               "已打开此前完整保存的数据。")
        .arg(path, why);
}

// A window of older points left in the file: a new one for each reading of the chunks.
struct Window {
    const char* base = nullptr;
    int keep = 0;
    bool mapped = false;
    QFile* file = nullptr; // the file mapped
    ValueWindow make(const QString& path) const { return ValueWindow(base, path, keep, mapped); }
};

TeeLoad ReadChunks(const QString& path, const char* at, const char* end, const Window& window) {
    qint64 rest = 0;
    // A windowed read of a mapped file reads the chunks' heads from the file rather than
    // touching their pages (the system would map the pages around each as well).
    const std::vector<Frame> frames = window.keep > 0 && window.mapped
                                          ? HeadFrames(window.file, window.base, at, end, &rest)
                                          : Frames(at, end, &rest);
    // A windowed read checks each chunk as it reads it, in one pass over the file (so that the
    // pages of a mapped file read are let go behind it); otherwise a second thread helps.
    std::optional<ChecksumCheck> checksums;
    if (window.keep <= 0)
        checksums.emplace(frames);
    Rounds rounds(window.make(path));
    rounds.read(frames, frames.size(), !checksums);
    const std::size_t badChecksum = checksums              ? checksums->firstBad()
                                    : rounds.badChecksum() ? rounds.stoppedAt()
                                                           : frames.size();

    // Where the file stops being sound, and why.
    std::size_t cut = frames.size();
    Fault fault = rest > 0 ? Fault::Truncated : Fault::None;
    if (rounds.stoppedAt() < cut) {
        cut = rounds.stoppedAt();
        fault = Fault::Corrupt;
    }
    if (badChecksum < frames.size() && badChecksum <= cut) {
        cut = badChecksum;
        fault = Fault::Checksum;
    }
    std::optional<std::size_t> lastEnd = rounds.lastEnd();
    if (lastEnd && *lastEnd >= cut)
        lastEnd.reset(); // read past the fault; found again below
    if (fault == Fault::None && (!lastEnd || *lastEnd + 1 != frames.size()))
        fault = Fault::Truncated; // chunks of a save that has no END
    if (fault == Fault::None)
        return {std::move(rounds.chart()), {}, {}};

    // The saves before the fault, read again without the part after them.
    Rounds sound(window.make(path));
    sound.read(frames, cut);
    if (!sound.lastEnd())
        return {{}, Message(path, fault), {}};
    Rounds kept(window.make(path));
    kept.read(frames, *sound.lastEnd() + 1);
    return {std::move(kept.chart()), {}, TailWarning(path, fault)};
}

TeeLoad Parse(const QString& path, const char* data, qint64 size, int keep = 0,
              QFile* mapped = nullptr) {
    const auto signature = qMin<qint64>(size, sizeof kSignature);
    if (size == 0)
        return {
            {},
            QCoreApplication::translate("vantor::TeeFileRead", "曲线文件 %1 是空文件。").arg(path),
            {}};
    if (std::memcmp(data, kSignature, std::size_t(signature)) != 0)
        return {{},
                QCoreApplication::translate("vantor::TeeFileRead",
                                            "%1 不是本程序的曲线文件（文件头不符）。")
                    .arg(path),
                {}};
    if (size < kHeaderSize)
        return {{}, Message(path, Fault::Truncated), {}};
    const auto major = At<std::uint16_t>(data + 8);
    const auto minor = At<std::uint16_t>(data + 10);
    if (major == 0)
        return {{}, Message(path, Fault::Corrupt), {}};
    if (major != kTeeMajor)
        return {
            {},
            QCoreApplication::translate("vantor::TeeFileRead",
                                        "曲线文件 %1 的格式版本为 %2.%3，本程序只能读取 %4.x 版本"
                                        "（请使用较新版本的程序打开）。")
                .arg(path)
                .arg(major)
                .arg(minor)
                .arg(kTeeMajor),
            {}};
    return ReadChunks(path, data + kHeaderSize, data + size,
                      Window{data, keep, mapped != nullptr, mapped});
}

} // namespace

TeeLoad LoadTeeFile(const QString& path, int keep) {
    QFile file(path);
    if (!file.exists())
        return {
            {},
            QCoreApplication::translate("vantor::TeeFileRead", "无法打开曲线文件 %1：文件不存在。")
                .arg(path),
            {}};
    if (!file.open(QIODevice::ReadOnly))
        return {{},
                QCoreApplication::translate("vantor::TeeFileRead", "无法打开曲线文件 %1：%2。")
                    .arg(path, file.errorString()),
                {}};
    const qint64 size = file.size();
    // Mapped when the file system allows it, so a large file is not copied once more.
    if (const uchar* mapped = size > 0 ? file.map(0, size) : nullptr)
        return Parse(path, reinterpret_cast<const char*>(mapped), size, keep, &file);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {{},
                QCoreApplication::translate("vantor::TeeFileRead", "无法读取曲线文件 %1：%2。")
                    .arg(path, file.errorString()),
                {}};
    return Parse(path, bytes.constData(), bytes.size(), keep);
}

TeeLoad ReadTeeBytes(const QByteArray& bytes, const QString& name) {
    return Parse(name, bytes.constData(), bytes.size());
}

} // namespace vantor
