// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/SeriesData.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace vantor {

static_assert(ValueBlocks::kSize % SeriesData::kBlock == 0,
              "an envelope block never spans two value blocks");

void SeriesData::append(double x, double y, const QString& label) {
    const int index = m_y.size();
    if (m_regular && index == 0)
        m_x0 = x;
    else if (m_regular && x != m_x0 + static_cast<double>(index)) {
        m_regular = false;
        m_x.reserveBlocks(index + 1);
        for (int i = 0; i < index; ++i)
            m_x.push_back(m_x0 + static_cast<double>(i));
    }
    if (!m_regular)
        m_x.push_back(x);
    m_y.push_back(y);
    if (!label.isEmpty()) {
        m_labels.resize(index);
        m_labels.push_back(label);
    }
    addToEnvelope(index, y);
}

void SeriesData::addToEnvelope(int index, double y) {
    if (index % kBlock == 0)
        m_blocks.push_back({y, y});
    else {
        Envelope& block = m_blocks.back();
        block.min = std::min(block.min, y);
        block.max = std::max(block.max, y);
    }
}

void SeriesData::clear() {
    // Give the memory back: a cleared curve may stay empty for a long time.
    m_x.clear();
    m_y.clear();
    m_labels.clear();
    std::vector<Envelope>().swap(m_blocks);
    m_droppedSums.clear();
    m_regular = true;
}

void SeriesData::copyTo(SeriesSnapshot& out) const {
    out.regular = m_regular;
    out.x0 = m_x0;
    out.xs = m_regular ? ValueBlocks() : m_x;
    out.ys = m_y;
    out.labels = m_labels;
}

void SeriesData::assign(const SeriesSnapshot& from) {
    clear();
    m_regular = from.regular || from.count() == 0;
    m_x0 = from.x0;
    if (!m_regular)
        m_x = from.xs;
    m_y = from.ys;
    m_labels = from.labels;
    if (m_labels.size() > m_y.size())
        m_labels.resize(m_y.size());
    if (const ValueSummary* summary = from.summary.get();
        summary && summary->count == m_y.size() && summary->dropped == first() &&
        summary->envelope.size() == std::size_t((m_y.size() + kBlock - 1) / kBlock)) {
        // Summed up as the file was read: nothing is read again.
        m_blocks = summary->envelope;
        m_droppedSums.assign(summary->blockSums.begin(),
                             summary->blockSums.begin() + (first() >> ValueBlocks::kShift));
        return;
    }
    m_blocks.reserve(static_cast<std::size_t>((m_y.size() + kBlock - 1) / kBlock));
    // A value block at a time: one read back from a file (dropped) is read once.
    for (int i = 0; i < m_y.size(); i += m_y.runLength(i)) {
        const double* values = m_y.run(i);
        double total = 0;
        for (int k = 0; k < m_y.runLength(i); ++k) {
            addToEnvelope(i + k, values[k]);
            total += values[k];
        }
        if (i < first())
            m_droppedSums.push_back(total);
    }
}

std::optional<double> SeriesData::x(int index) const {
    if (index < 0 || index >= count())
        return std::nullopt;
    return xAt(index);
}

std::optional<double> SeriesData::y(int index) const {
    if (index < 0 || index >= count())
        return std::nullopt;
    return m_y[index];
}

QString SeriesData::label(int index) const {
    if (index < 0 || index >= m_labels.size())
        return {};
    return m_labels[index];
}

int SeriesData::lowerBound(double key) const {
    if (m_regular)
        return static_cast<int>(std::clamp(std::ceil(key - m_x0), 0.0, double(count())));
    return firstXAtLeast(0, count(), key);
}

int SeriesData::upperBound(double key) const {
    if (m_regular)
        return static_cast<int>(std::clamp(std::floor(key - m_x0) + 1, 0.0, double(count())));
    // The first X above key: the first at least key's successor.
    return firstXAtLeast(0, count(), std::nextafter(key, std::numeric_limits<double>::infinity()));
}

namespace {

// The first index in [from, to) whose value is at least key, in values that never fall.
int FirstAtLeast(const ValueBlocks& values, int from, int to, double key) {
    while (from < to) {
        const int middle = from + (to - from) / 2;
        if (values[middle] < key)
            from = middle + 1;
        else
            to = middle;
    }
    return from;
}

} // namespace

int SeriesData::firstXAtLeast(int from, int to, double key) const {
    return FirstAtLeast(m_x, from, to, key);
}

int SeriesData::firstYAtLeast(double value) const {
    return FirstAtLeast(m_y, 0, count(), value);
}

double SeriesData::sum(int from, int to) const {
    double total = 0;
    for (int i = std::max(from, 0); i < std::min(to, count());) {
        // Whole blocks that left memory count by their sums, not read back.
        if (i < first() && i % ValueBlocks::kSize == 0 && i + ValueBlocks::kSize <= to) {
            total += m_droppedSums[static_cast<std::size_t>(i >> ValueBlocks::kShift)];
            i += ValueBlocks::kSize;
            continue;
        }
        const int run = std::min(m_y.runLength(i), std::min(to, count()) - i);
        const double* values = m_y.run(i);
        for (int k = 0; k < run; ++k)
            total += values[k];
        i += run;
    }
    return total;
}

std::optional<SeriesPoint> SeriesData::yRangeOf(int from, int to) const {
    from = std::max(from, 0);
    to = std::min(to, count());
    if (from >= to)
        return std::nullopt;
    return span(from, to);
}

std::optional<SeriesPoint> SeriesData::yRange() const {
    if (m_blocks.empty())
        return std::nullopt;
    SeriesPoint range{m_blocks.front().min, m_blocks.front().max};
    for (const Envelope& block : m_blocks) {
        range.x = std::min(range.x, block.min);
        range.y = std::max(range.y, block.max);
    }
    return range;
}

std::optional<SeriesPoint> SeriesData::yRangeAround(double lo, double hi) const {
    const int first = std::max(0, lowerBound(lo) - 1);
    const int last = std::min(count(), upperBound(hi) + 1);
    if (first >= last)
        return std::nullopt;
    return span(first, last);
}

namespace {

// Lowest and highest of y[from, to) into lo and hi, on two independent pairs of accumulators so
// that the comparisons do not wait on each other.
void ScanRange(const double* y, int from, int to, double& lo, double& hi) {
    double lo2 = lo, hi2 = hi;
    int i = from;
    for (; i + 1 < to; i += 2) {
        lo = std::min(lo, y[i]);
        hi = std::max(hi, y[i]);
        lo2 = std::min(lo2, y[i + 1]);
        hi2 = std::max(hi2, y[i + 1]);
    }
    if (i < to) {
        lo = std::min(lo, y[i]);
        hi = std::max(hi, y[i]);
    }
    lo = std::min(lo, lo2);
    hi = std::max(hi, hi2);
}

} // namespace

// The head and tail scans stay inside one envelope block, and so inside one value block.
SeriesPoint SeriesData::span(int from, int to) const {
    double lo = m_y[from], hi = lo;
    const int headEnd = std::min(to, (from + kBlock - 1) / kBlock * kBlock);
    const int blocksEnd = std::max(headEnd, to / kBlock * kBlock);
    if (from < headEnd)
        ScanRange(m_y.run(from), 0, headEnd - from, lo, hi);
    for (int b = headEnd / kBlock; b < blocksEnd / kBlock; ++b) {
        const Envelope& e = m_blocks[static_cast<std::size_t>(b)];
        lo = std::min(lo, e.min);
        hi = std::max(hi, e.max);
    }
    if (blocksEnd < to)
        ScanRange(m_y.run(blocksEnd), 0, to - blocksEnd, lo, hi);
    return {lo, hi};
}

void SeriesData::visibleLine(double lo, double hi, PixelMap map, int columns,
                             std::vector<SeriesPoint>& out) const {
    out.clear();
    const int n = count();
    if (n == 0 || columns <= 0 || !(map.scale > 0))
        return;
    const int first = std::max(0, lowerBound(lo) - 1);
    const int last = std::min(n, upperBound(hi) + 1);
    auto point = [this, &map](int i) {
        return SeriesPoint{map.offset + map.scale * xAt(i), m_y[i]};
    };
    if (last - first <= 2 * columns) {
        out.reserve(static_cast<std::size_t>(last - first));
        for (int i = first; i < last; ++i)
            out.push_back(point(i));
        return;
    }
    // Many points per column: the first point, then per pixel column its lowest and highest Y,
    // then the last point. The join between two columns stays inside what the data covers.
    // Where a column holds several whole blocks, it ends at a block's edge: the block that
    // straddles two columns goes to the one it starts in (less than a pixel away), so that
    // the columns are read from the envelope alone, not from the points.
    out.reserve(static_cast<std::size_t>(2 * columns + 4));
    out.push_back(point(first));
    int i = first + 1;
    const int end = last - 1;
    const bool blockEdges = m_regular && (last - first) >= 4 * kBlock * columns;
    while (i < end) {
        const double column = std::floor(map.offset + map.scale * xAt(i));
        const double columnEnd = (column + 1 - map.offset) / map.scale;
        int next;
        if (m_regular)
            next = std::clamp(lowerBound(columnEnd), i + 1, end);
        else
            next = firstXAtLeast(i + 1, end, columnEnd);
        if (blockEdges)
            next = std::min((next + kBlock - 1) / kBlock * kBlock, end);
        const SeriesPoint range = coarseSpan(i, next);
        // Start each column at the end nearer the previous point: short joins between columns.
        const double previous = out.back().y;
        const bool downward = std::abs(previous - range.y) < std::abs(previous - range.x);
        out.push_back({column, downward ? range.y : range.x});
        if (range.y != range.x)
            out.push_back({column, downward ? range.x : range.y});
        i = next;
    }
    out.push_back(point(end));
}

} // namespace vantor
