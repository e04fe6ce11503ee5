// SPDX-License-Identifier: GPL-3.0-or-later
#include "TeeWindow.h"

#ifndef Q_OS_WIN
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace vantor::tee {

ValueWindow::ValueWindow(const char* base, const QString& path, int keep, bool mapped)
    : m_base(base), m_keep(keep), m_mapped(mapped) {
    if (m_keep > 0)
        m_spans = std::make_shared<TeeSpanIndex>(path);
    if (m_spans && !m_spans->isOpen())
        m_keep = 0; // nothing can be read back: all stays in memory
}

ValuesRead ValueWindow::onValues() {
    if (!active())
        return {};
    return [this](std::size_t index, SeriesSnapshot& s, qint64 first, qint64 count,
                  const char* at) {
        m_spans->add(int(index), first, count, at - m_base);
        if (m_summaries.size() <= index)
            m_summaries.resize(index + 1);
        auto& summary = m_summaries[index];
        if (!summary)
            summary = std::make_shared<ValueSummary>();
        for (int i = int(first); i < s.ys.size(); i += s.ys.runLength(i))
            summary->add(s.ys.run(i), s.ys.runLength(i));
    };
}

void ValueWindow::trim(ChartSnapshot& chart) {
    if (!active())
        return;
    for (std::size_t i = 1; i < chart.series.size(); ++i) {
        SeriesSnapshot& s = chart.series[i];
        if (s.regular && s.labels.empty() &&
            (s.count() - m_keep) >> ValueBlocks::kShift > s.ys.firstHeld() >> ValueBlocks::kShift)
            s.ys.dropFront(s.count() - m_keep, m_spans, int(i));
    }
}

void ReleaseMapped(const char* base, const char* from, const char* to) {
#ifndef Q_OS_WIN
    static const qint64 page = ::sysconf(_SC_PAGESIZE);
    // The mapping starts at a page: whole pages from there.
    const qint64 first = (from - base + page - 1) / page * page;
    const qint64 end = (to - base) / page * page;
    if (end > first)
        ::madvise(const_cast<char*>(base) + first, std::size_t(end - first), MADV_DONTNEED);
#else
    Q_UNUSED(base);
    Q_UNUSED(from);
    Q_UNUSED(to);
#endif
}

void ValueWindow::release(const char* upTo) {
    // A few megabytes at a time.
    if (!active() || !m_mapped || (upTo - m_base) - m_released < (qint64(4) << 20))
        return;
    ReleaseMapped(m_base, m_base + m_released, upTo);
    m_released = upTo - m_base;
}

void ValueWindow::finish(ChartSnapshot& chart) {
    for (std::size_t i = 0; i < chart.series.size() && i < m_summaries.size(); ++i) {
        if (!m_summaries[i])
            continue;
        m_summaries[i]->dropped = chart.series[i].ys.firstHeld();
        chart.series[i].summary = std::move(m_summaries[i]);
    }
}

} // namespace vantor::tee
