// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading a long curve file with only the newest points of each curve kept in memory (not
// offered to other libraries): each run of values read is noted in a span index of the file and
// summed up (envelope, block sums); after each chunk the older whole value blocks of each curve
// are dropped, to be read from the file again when a view needs them.
#include <QString>
#include <memory>
#include <vector>

#include "TeeChunkRead.h"
#include "trend/TeeSpanIndex.h"

namespace vantor::tee {

// The pages of a mapped file (mapped from base) that lie wholly in [from, to) leave the
// process's memory; touched again, they are read from the file again.
void ReleaseMapped(const char* base, const char* from, const char* to);

class ValueWindow {
public:
    // base: where the file's bytes begin in memory; keep: points kept per curve (0: all, and
    // nothing is noted); mapped: the bytes are the file mapped into memory.
    ValueWindow(const char* base, const QString& path, int keep, bool mapped);

    bool active() const { return m_keep > 0; }
    ValuesRead onValues();
    // Drops what lies beyond the window (the time base, labelled or irregular series keep all).
    void trim(ChartSnapshot& chart);
    // A mapped file's pages before `upTo`, read, leave the process's memory again (a windowed
    // read only; they are read from the file again if touched once more).
    void release(const char* upTo);
    // Hands each series its summary.
    void finish(ChartSnapshot& chart);

private:
    const char* m_base;
    int m_keep;
    bool m_mapped;
    qint64 m_released = 0; // bytes from base let go
    std::shared_ptr<TeeSpanIndex> m_spans;
    std::vector<std::shared_ptr<ValueSummary>> m_summaries;
};

} // namespace vantor::tee
