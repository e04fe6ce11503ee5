// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TeeSpanIndex.h"

#include <QCoreApplication>
#include <QDebug>
#include <algorithm>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace vantor {

// One system call where the system has it (no seek before the read).
bool ReadAt(QFile& file, qint64 offset, char* out, qint64 bytes) {
#ifndef Q_OS_WIN
    while (bytes > 0) {
        const ssize_t n = ::pread(file.handle(), out, std::size_t(bytes), off_t(offset));
        if (n <= 0)
            return false;
        out += n;
        offset += n;
        bytes -= n;
    }
    return true;
#else
    return file.seek(offset) && file.read(out, bytes) == bytes;
#endif
}

TeeSpanIndex::TeeSpanIndex(const QString& path) : m_file(path) {
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        qWarning().noquote() << QCoreApplication::translate("vantor::TeeSpanIndex",
                                                            "无法打开曲线文件 %1 读回数据（%2）")
                                    .arg(path, m_file.errorString());
}

void TeeSpanIndex::add(int series, qint64 first, qint64 count, qint64 offset) {
    if (series < 0 || count <= 0)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_series.size() <= std::size_t(series))
        m_series.resize(std::size_t(series) + 1);
    Series& s = m_series[std::size_t(series)];
    if (first != s.covered)
        return; // not the next run: the index never holds gaps or overlaps
    // A run that continues the last one in the file too adds nothing to the index.
    if (s.runs.empty() || s.runs.back().offset + (first - s.runs.back().first) * 8 != offset)
        s.runs.push_back({first, offset});
    s.covered = first + count;
}

qint64 TeeSpanIndex::covered(int series) const {
    const std::lock_guard lock(m_mutex);
    return series >= 0 && std::size_t(series) < m_series.size()
               ? m_series[std::size_t(series)].covered
               : 0;
}

bool TeeSpanIndex::read(int series, qint64 from, int count, double* out) const {
    const std::lock_guard lock(m_mutex);
    if (!m_file.isOpen() || series < 0 || std::size_t(series) >= m_series.size() || from < 0)
        return false;
    const Series& s = m_series[std::size_t(series)];
    // A block at the end may reach past the points written; the rest is never asked for.
    const qint64 end = std::min(from + count, s.covered);
    auto run = std::upper_bound(s.runs.begin(), s.runs.end(), from,
                                [](qint64 at, const Run& r) { return at < r.first; });
    if (run == s.runs.begin())
        return false;
    --run;
    for (qint64 at = from; at < end; ++run) {
        const qint64 runEnd = std::next(run) == s.runs.end() ? s.covered : std::next(run)->first;
        const qint64 n = std::min(end, runEnd) - at;
        const qint64 bytes = n * qint64(sizeof(double));
        if (!ReadAt(m_file, run->offset + (at - run->first) * qint64(sizeof(double)),
                    reinterpret_cast<char*>(out + (at - from)), bytes)) {
            qWarning().noquote() << QCoreApplication::translate("vantor::TeeSpanIndex",
                                                                "读回曲线文件 %1 的数据出错（%2）")
                                        .arg(m_file.fileName(), m_file.errorString());
            return false;
        }
        at += n;
    }
    return end > from || count == 0;
}

} // namespace vantor
