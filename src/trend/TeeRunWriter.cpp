// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TeeRunWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "TeeChunks.h"

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace vantor {

namespace {

using namespace tee;

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

bool Sync(QFile& file) {
#ifdef Q_OS_WIN
    return _commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// count values from `from` on, as they lie in their blocks.
void AppendValues(QByteArray& out, const ValueBlocks& values, int from) {
    for (int i = from; i < values.size(); i += values.runLength(i))
        out.append(reinterpret_cast<const char*>(values.run(i)),
                   qsizetype(values.runLength(i)) * qsizetype(sizeof(double)));
}

} // namespace

std::optional<QString> TeeRunWriter::save(const ChartSnapshot& chart,
                                          const std::function<void(int)>& progress) {
    if (const auto reason = Unsaveable(chart))
        return SaveError(m_path, *reason);
    if (!m_started || !extends(chart))
        return writeWhole(chart, progress);
    // The file as this writer left it; longer only by a round of its own cut off by a failure.
    const Identity now = identity();
    if (now.device != m_identity.device || now.inode != m_identity.inode || now.size < m_size ||
        (now.size == m_size && now.modified != m_identity.modified))
        return writeWhole(chart, progress);
    if (progress)
        progress(0);
    std::vector<qint64> yAt;
    const QByteArray bytes = round(chart, &yAt);
    if (bytes.isEmpty() && now.size == m_size) {
        m_last = Save::Unchanged;
    } else if (const auto error = append(chart, bytes, yAt)) {
        return error;
    }
    if (progress)
        progress(100);
    return std::nullopt;
}

bool TeeRunWriter::extends(const ChartSnapshot& chart) const {
    if (chart.series.size() != m_series.size())
        return false;
    for (std::size_t i = 0; i < m_series.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        const Written& w = m_series[i];
        if (s.regular != w.regular || (s.regular && !SameBits(s.x0, w.x0)) || s.count() < w.count ||
            s.labels.size() < w.labels)
            return false;
        if (w.count > 0 && (!SameBits(s.ys[w.count - 1], w.lastY) ||
                            (!s.regular && !SameBits(s.xs[w.count - 1], w.lastX))))
            return false;
    }
    return true;
}

std::optional<QString> TeeRunWriter::writeWhole(const ChartSnapshot& chart,
                                                const std::function<void(int)>& progress) {
    qint64 size = 0;
    std::vector<qint64> yOffsets;
    // On failure the file on disk is the one before, which the state still describes.
    if (auto error = WriteWhole(m_path, chart, progress, &size, &yOffsets))
        return error;
    m_spans = std::make_shared<TeeSpanIndex>(m_path);
    for (std::size_t i = 0; i < chart.series.size(); ++i)
        m_spans->add(int(i), 0, chart.series[i].count(), yOffsets[i]);
    m_started = true;
    m_size = size;
    remember(chart);
    m_identity = identity();
    m_last = Save::Whole;
    return std::nullopt;
}

// A round: the chart's attributes when they changed, each changed series' attributes, the new
// points, END. Empty when nothing changed.
QByteArray TeeRunWriter::round(const ChartSnapshot& chart, std::vector<qint64>* yAt) const {
    QByteArray out;
    yAt->assign(m_series.size(), -1);
    if (const QByteArray payload = ChartPayload(chart); payload != m_chart)
        AppendChunk(out, kChartTag, payload);
    bool added = false;
    for (std::size_t i = 0; i < m_series.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        if (QByteArray attributes = SeriesAttributes(s); attributes != m_series[i].attributes) {
            QByteArray payload;
            Append<std::uint32_t>(payload, static_cast<std::uint32_t>(i));
            AppendChunk(out, kSeriesAttributesTag, payload + attributes);
        }
        added = added || s.count() > m_series[i].count || s.labels.size() > m_series[i].labels;
    }
    if (added) {
        QByteArray payload;
        Append<std::uint32_t>(payload, static_cast<std::uint32_t>(m_series.size()));
        for (std::size_t i = 0; i < m_series.size(); ++i) {
            const SeriesSnapshot& s = chart.series[i];
            const Written& w = m_series[i];
            Append<std::uint64_t>(payload, static_cast<std::uint64_t>(w.count));
            Append<std::uint64_t>(payload, static_cast<std::uint64_t>(s.count() - w.count));
            if (!s.regular)
                AppendValues(payload, s.xs, w.count);
            (*yAt)[i] = payload.size();
            AppendValues(payload, s.ys, w.count);
            Append<std::uint64_t>(payload, static_cast<std::uint64_t>(w.labels));
            payload.append(LabelBytes(s.labels, w.labels));
        }
        for (qint64& at : *yAt)
            at += out.size() + kChunkHeadSize;
        AppendChunk(out, kAppendTag, payload);
    }
    if (!out.isEmpty())
        AppendChunk(out, kEndTag, {});
    return out;
}

std::optional<QString> TeeRunWriter::append(const ChartSnapshot& chart, const QByteArray& round,
                                            const std::vector<qint64>& yAt) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered | QIODevice::ExistingOnly))
        return SaveError(m_path, QCoreApplication::translate("vantor::TeeRunWriter",
                                                             "无法打开文件追加数据（%1）")
                                     .arg(file.errorString()));
    if (file.size() < m_size) {
        // Gone or cut short since it was looked at: the next round writes it whole.
        m_started = false;
        return SaveError(m_path,
                         QCoreApplication::translate("vantor::TeeRunWriter",
                                                     "文件已被其他程序改动，下次将整体重写"));
    }
    // A round cut off before goes first: the file ends with the last whole save again.
    bool ok = (file.size() == m_size || file.resize(m_size)) && file.seek(m_size) &&
              file.write(round) == round.size();
    QString reason = file.errorString();
    if (ok && !Sync(file)) {
        ok = false;
        reason = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!ok) {
        // Cut the part round off again; what stays is the file up to the last whole save.
        file.resize(m_size);
        return SaveError(m_path,
                         QCoreApplication::translate("vantor::TeeRunWriter",
                                                     "追加数据出错，文件保留上次保存的内容（%1）")
                             .arg(reason));
    }
    file.close();
    // The new points' values, where they now lie in the file.
    for (std::size_t i = 0; m_spans && i < yAt.size(); ++i)
        if (yAt[i] >= 0)
            m_spans->add(int(i), m_series[i].count, chart.series[i].count() - m_series[i].count,
                         m_size + yAt[i]);
    m_size += round.size();
    remember(chart);
    m_identity = identity();
    m_last = Save::Append;
    return std::nullopt;
}

void TeeRunWriter::remember(const ChartSnapshot& chart) {
    m_chart = ChartPayload(chart);
    m_series.resize(chart.series.size());
    for (std::size_t i = 0; i < chart.series.size(); ++i) {
        const SeriesSnapshot& s = chart.series[i];
        Written& w = m_series[i];
        w.attributes = SeriesAttributes(s);
        w.count = s.count();
        w.labels = s.labels.size();
        w.regular = s.regular;
        w.x0 = s.x0;
        w.lastY = w.count > 0 ? s.ys[w.count - 1] : 0;
        w.lastX = w.count > 0 && !s.regular ? s.xs[w.count - 1] : 0;
    }
}

TeeRunWriter::Identity TeeRunWriter::identity() const {
    Identity id;
#ifdef Q_OS_WIN
    const QFileInfo info(m_path);
    if (info.exists()) {
        id.size = info.size();
        id.modified = info.lastModified().toMSecsSinceEpoch();
    }
#else
    struct stat st {};
    if (::stat(QFile::encodeName(m_path).constData(), &st) == 0) {
        id.size = st.st_size;
        id.modified = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
        id.device = st.st_dev;
        id.inode = st.st_ino;
    }
#endif
    return id;
}

} // namespace vantor
