// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The chart's contents as plain data: taken on the GUI thread and written to a curve file on a
// worker, or read from a file on a worker and handed to the chart on the GUI thread. The point
// values live in fixed blocks that the chart and its copies share, so that a copy of 99 curves
// of 100,000 points costs a pointer per block, not a copy of the values.
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "registers/TrendSettings.h"
#include "trend/LabelBlocks.h"

namespace vantor {

// Where values that left memory are read again (the curve file a recording writes). read() may
// be called from several threads at once.
class ValueSource {
public:
    virtual ~ValueSource() = default;
    // count values of the series from index `from` on into out; false when they cannot be read.
    virtual bool read(int series, qint64 from, int count, double* out) const = 0;
};

// A growing row of doubles kept in blocks of kSize that never move once made. Copies share the
// blocks. Before it writes into a block that a copy also holds (the last, partly filled one),
// an object takes a block of its own, so a copy never sees a value change and a copy handed to
// another thread is never written to.
// Whole blocks at the front may be dropped once their values are kept by a ValueSource; indices
// stay as they were, and a dropped value is read from the source again when asked for (a few
// blocks read so are kept per object, so one object is not for reading on two threads at once).
class ValueBlocks {
public:
    static constexpr int kShift = 12;
    static constexpr int kSize = 1 << kShift; // 4096 values, 32 KiB
    using Block = std::array<double, kSize>;

    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    double operator[](int index) const { return block(index >> kShift)[index & (kSize - 1)]; }
    // The value at index and those after it up to the end of its block, as one array (valid
    // until the object changes or reads a few other dropped blocks).
    const double* run(int index) const {
        return block(index >> kShift).data() + (index & (kSize - 1));
    }
    // The first index still held in memory (0 while nothing was dropped).
    int firstHeld() const { return m_dropped << kShift; }
    // Whether block b is the very block `other` holds there (a copy that shares it).
    bool sharesBlock(int b, const ValueBlocks& other) const {
        const auto at = static_cast<std::size_t>(b);
        return at < m_blocks.size() && at < other.m_blocks.size() && m_blocks[at] &&
               m_blocks[at] == other.m_blocks[at];
    }
    // Drops the whole blocks below `count` from memory; their values are read from series
    // `series` of `source` from then on (which must hold every value below count).
    void dropFront(int count, std::shared_ptr<const ValueSource> source, int series) {
        const int blocks = std::min(count, m_size) >> kShift;
        for (int b = m_dropped; b < blocks; ++b)
            m_blocks[static_cast<std::size_t>(b)].reset();
        m_dropped = std::max(m_dropped, blocks);
        m_source = std::move(source);
        m_sourceSeries = series;
        m_paged = {};
    }
    // What dropped values are read from (null while none are).
    const ValueSource* source() const { return m_source.get(); }
    // Set once a dropped value could not be read back (it reads as NaN).
    bool readFailed() const { return m_readFailed; }
    // How many values from index on lie in the same block (at least 1 for an index < size).
    int runLength(int index) const {
        return std::min(kSize - (index & (kSize - 1)), m_size - index);
    }

    void push_back(double value) {
        const int offset = m_size & (kSize - 1);
        if (offset == 0)
            m_blocks.push_back(std::make_shared_for_overwrite<Block>());
        else if (m_blocks.back().use_count() > 1)
            m_blocks.back() = std::make_shared<Block>(*m_blocks.back());
        (*m_blocks.back())[static_cast<std::size_t>(offset)] = value;
        ++m_size;
    }
    // count doubles as they lie in memory (a file's bytes, maybe unaligned), copied a block at
    // a time.
    void append(const void* data, int count) {
        const char* from = static_cast<const char*>(data);
        while (count > 0) {
            const int offset = m_size & (kSize - 1);
            if (offset == 0)
                m_blocks.push_back(std::make_shared_for_overwrite<Block>());
            else if (m_blocks.back().use_count() > 1)
                m_blocks.back() = std::make_shared<Block>(*m_blocks.back());
            const int n = std::min(count, kSize - offset);
            std::memcpy(m_blocks.back()->data() + offset, from, std::size_t(n) * sizeof(double));
            from += std::size_t(n) * sizeof(double);
            m_size += n;
            count -= n;
        }
    }
    // Keeps the first count values (count <= size()).
    void truncate(int count) {
        m_blocks.resize(static_cast<std::size_t>((count + kSize - 1) >> kShift));
        m_size = count;
        m_dropped = std::min(m_dropped, count >> kShift);
    }
    void clear() {
        std::vector<std::shared_ptr<Block>>().swap(m_blocks);
        m_size = 0;
        m_dropped = 0;
        m_source.reset();
        m_paged = {};
        m_readFailed = false;
    }
    void reserveBlocks(int values) {
        m_blocks.reserve(static_cast<std::size_t>((values + kSize - 1) / kSize));
    }

private:
    const Block& block(int b) const {
        if (b >= m_dropped) [[likely]]
            return *m_blocks[static_cast<std::size_t>(b)];
        return paged(b);
    }
    // A dropped block read from the source, kept among the last few read.
    const Block& paged(int b) const {
        for (const Paged& p : m_paged)
            if (p.values && p.block == b)
                return *p.values;
        auto values = std::make_shared_for_overwrite<Block>();
        if (!m_source ||
            !m_source->read(m_sourceSeries, qint64(b) << kShift, kSize, values->data())) {
            values->fill(std::numeric_limits<double>::quiet_NaN());
            m_readFailed = true;
        }
        Paged& slot = m_paged[m_nextPaged++ % m_paged.size()];
        slot = {b, std::move(values)};
        return *slot.values;
    }

    struct Paged {
        int block = -1;
        std::shared_ptr<const Block> values;
    };
    std::vector<std::shared_ptr<Block>> m_blocks; // null where dropped
    int m_size = 0;
    int m_dropped = 0; // blocks dropped from the front
    std::shared_ptr<const ValueSource> m_source;
    int m_sourceSeries = 0;
    mutable std::array<Paged, 4> m_paged{};
    mutable unsigned m_nextPaged = 0;
    mutable bool m_readFailed = false;
};

// The lowest and highest Y of every 16 points of a series (the chart's envelope), and the sum
// of each value block dropped from memory: made while a file is read, so that the chart need
// not read the values again. It describes `count` values of which the first `dropped` (whole
// value blocks) are no longer in memory.
struct ValueSummary {
    static constexpr int kBlock = 16;
    struct MinMax {
        double min;
        double max;
    };
    std::vector<MinMax> envelope;
    std::vector<double> blockSums;
    int count = 0;
    int dropped = 0;

    // The next n values, in order: a group of up to 16 (one envelope entry, inside one value
    // block) at a time.
    void add(const double* values, int n) {
        for (int k = 0; k < n;) {
            const int offset = count % kBlock;
            const int m = std::min(n - k, kBlock - offset);
            if (count % ValueBlocks::kSize == 0)
                blockSums.push_back(0);
            double lo = values[k], hi = lo, sum = blockSums.back();
            for (int j = k; j < k + m; ++j) {
                lo = std::min(lo, values[j]);
                hi = std::max(hi, values[j]);
                sum += values[j];
            }
            blockSums.back() = sum;
            if (offset == 0)
                envelope.push_back({lo, hi});
            else
                envelope.back() = {std::min(envelope.back().min, lo),
                                   std::max(envelope.back().max, hi)};
            count += m;
            k += m;
        }
    }
};

struct SeriesSnapshot {
    QString title;
    QString unit;                  // the curve's unit when it was saved ("" for the time base)
    std::uint32_t color = 0;       // 0xAARRGGBB
    TrendAxis axis = TrendAxis::Y; // X is never used; Y is the left axis
    bool active = true;            // drawn (the time base is not)
    bool hiddenByLegend = false;
    int lineWidth = 0;
    // X of point i is x0 + i while regular (as sampling gives); otherwise xs holds every X.
    bool regular = true;
    double x0 = 0;
    ValueBlocks xs;
    ValueBlocks ys;
    // Labels of the first labels.size() points (the time base's "HH:mm:ss"); none for curves.
    LabelBlocks labels;
    // Set by a reader that left older values in the file (see ValueSummary).
    std::shared_ptr<const ValueSummary> summary;

    int count() const { return ys.size(); }
    double x(int index) const { return regular ? x0 + index : xs[index]; }
};

struct ViewRange {
    double min = 0;
    double max = 0;
    bool operator==(const ViewRange&) const = default;
};

struct ChartSnapshot {
    QString title;
    std::array<ViewRange, kTrendAxisCount> ranges{}; // the visible ranges, indexed by TrendAxis
    int lineWidth = 0;                               // the trend settings' line width
    double markerX = 0;
    std::vector<SeriesSnapshot> series; // series 0 is the time base (OLE dates)
};

} // namespace vantor
