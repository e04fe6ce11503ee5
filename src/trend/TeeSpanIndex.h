// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where each series' Y values lie in a recording's curve file: per series the runs of points
// written together (the whole first save, then one run per appended round), each with its first
// point and the file offset of its values. The writer fills it as it writes; the chart reads
// points that left memory back through it, only the bytes it needs.
#include <QFile>
#include <QString>
#include <mutex>
#include <vector>

#include "trend/ChartSnapshot.h"

namespace vantor {

// bytes bytes of the file from offset on into out; false when they cannot all be read. Not for
// a file also read through its position on another thread.
bool ReadAt(QFile& file, qint64 offset, char* out, qint64 bytes);

class TeeSpanIndex final : public ValueSource {
public:
    // Opens the file for reading at once, so that a file later put in its place (a whole
    // rewrite) does not change what this index reads.
    explicit TeeSpanIndex(const QString& path);

    bool isOpen() const { return m_file.isOpen(); }
    // A run of count values of the series from point `first` (the series' points so far) on,
    // lying as raw f64 from `offset` in the file.
    void add(int series, qint64 first, qint64 count, qint64 offset);
    // How many points of the series the file holds.
    qint64 covered(int series) const;
    bool read(int series, qint64 from, int count, double* out) const override;

private:
    struct Run {
        qint64 first;
        qint64 offset;
    };
    struct Series {
        std::vector<Run> runs;
        qint64 covered = 0;
    };

    mutable std::mutex m_mutex; // the file's position and the runs, for readers on any thread
    mutable QFile m_file;
    std::vector<Series> m_series;
};

} // namespace vantor
