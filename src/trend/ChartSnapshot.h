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
#include <memory>
#include <vector>

#include "registers/TrendSettings.h"
#include "trend/LabelBlocks.h"

namespace vantor {

// A growing row of doubles kept in blocks of kSize that never move once made. Copies share the
// blocks. Before it writes into a block that a copy also holds (the last, partly filled one),
// an object takes a block of its own, so a copy never sees a value change and a copy handed to
// another thread is never written to.
class ValueBlocks {
public:
    static constexpr int kShift = 12;
    static constexpr int kSize = 1 << kShift; // 4096 values, 32 KiB
    using Block = std::array<double, kSize>;

    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    double operator[](int index) const {
        return (*m_blocks[static_cast<std::size_t>(index >> kShift)])[index & (kSize - 1)];
    }
    // The value at index and those after it up to the end of its block, as one array.
    const double* run(int index) const {
        return m_blocks[static_cast<std::size_t>(index >> kShift)]->data() + (index & (kSize - 1));
    }
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
    }
    void clear() {
        std::vector<std::shared_ptr<Block>>().swap(m_blocks);
        m_size = 0;
    }
    void reserveBlocks(int values) {
        m_blocks.reserve(static_cast<std::size_t>((values + kSize - 1) / kSize));
    }

private:
    std::vector<std::shared_ptr<Block>> m_blocks;
    int m_size = 0;
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
