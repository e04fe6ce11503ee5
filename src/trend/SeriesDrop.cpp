// SPDX-License-Identifier: GPL-3.0-or-later
// Older points leaving memory once a recording holds them in its file, and the spans read from
// the envelope alone where they reach those points.
#include "trend/SeriesData.h"

#include <algorithm>

namespace vantor {

void SeriesData::dropSaved(const SeriesSnapshot& saved, std::shared_ptr<const ValueSource> source,
                           int series, int keep) {
    if (!source || !m_regular || !m_labels.empty() || !saved.regular)
        return;
    constexpr int kShift = ValueBlocks::kShift;
    const int upTo = std::min(saved.count(), count() - keep);
    const int firstBlock = first() >> kShift;
    int blocks = firstBlock;
    // Only blocks this series still shares with the saved copy hold the values the file has.
    while (((blocks + 1) << kShift) <= upTo && m_y.sharesBlock(blocks, saved.ys))
        ++blocks;
    if (blocks == firstBlock) {
        // A file written whole again holds the dropped points too: read them from it, so that
        // the file replaced is let go.
        if (firstBlock > 0 && saved.ys.source() == m_y.source() && source.get() != m_y.source() &&
            saved.count() >= first())
            m_y.dropFront(first(), std::move(source), series);
        return;
    }
    for (int b = firstBlock; b < blocks; ++b) {
        const double* values = m_y.run(b << kShift);
        double total = 0;
        for (int k = 0; k < ValueBlocks::kSize; ++k)
            total += values[k];
        m_droppedSums.push_back(total);
    }
    m_y.dropFront(blocks << kShift, std::move(source), series);
}

std::optional<SeriesPoint> SeriesData::yRangeCoarse(int from, int to) const {
    from = std::max(from, 0);
    to = std::min(to, count());
    if (from >= to)
        return std::nullopt;
    return coarseSpan(from, to);
}

SeriesPoint SeriesData::coarseSpan(int from, int to) const {
    if (from >= first() || to - from < kBlock)
        return span(from, to);
    const Envelope& head = m_blocks[static_cast<std::size_t>(from / kBlock)];
    SeriesPoint range{head.min, head.max};
    for (int b = from / kBlock + 1; b < (to + kBlock - 1) / kBlock; ++b) {
        const Envelope& e = m_blocks[static_cast<std::size_t>(b)];
        range.x = std::min(range.x, e.min);
        range.y = std::max(range.y, e.max);
    }
    return range;
}

} // namespace vantor
