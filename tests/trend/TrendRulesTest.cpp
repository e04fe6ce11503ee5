// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>

#include "trend/SeriesData.h"
#include "trend/TrendRules.h"

using namespace vantor;

TEST(TrendRules, NumbersReferencesAndAxisNamesReadLeniently) {
    struct Num {
        const char* text;
        double want;
    };
    for (const Num& c : {Num{"12.5", 12.5}, Num{" -3.5kPa", -3.5}, Num{".5", 0.5}, Num{"1e2", 100},
                         Num{"abc", 0}, Num{"", 0}, Num{"inf", 0}, Num{"nan", 0}, Num{"-", 0}})
        EXPECT_DOUBLE_EQ(LenientNumber(QString::fromUtf8(c.text)), c.want) << c.text;

    EXPECT_EQ(ParseSourceRef(QStringLiteral("2-4-4")), (SourceRef{2, 4, 4}));
    EXPECT_EQ(ParseSourceRef(QStringLiteral("1-2")), (SourceRef{1, 2, 0}));
    EXPECT_EQ(ParseSourceRef(QStringLiteral("junk")), (SourceRef{0, 0, 0}));

    EXPECT_EQ(AxisOfName(QStringLiteral("E轴")), TrendAxis::E);
    EXPECT_EQ(AxisOfName(QStringLiteral("Y轴")), TrendAxis::Y);
    EXPECT_EQ(AxisOfName(QStringLiteral("X轴")), std::nullopt);
    EXPECT_EQ(AxisOfName(QStringLiteral("F轴")), std::nullopt);
}

TEST(TrendRules, FastForwardWaitsOnItsFirstTickAndBackDoesNot) {
    FastScroll fast;
    fast.press(FastScroll::Mode::Forward);
    const FastScroll::Step first = fast.tick();
    EXPECT_TRUE(first.wait);
    EXPECT_EQ(first.shift, 0);
    for (int i = 0; i < 2; ++i) {
        const FastScroll::Step step = fast.tick();
        EXPECT_EQ(step.shift, 100);
        EXPECT_TRUE(step.checkLimits); // stops at the newest sample
    }
    fast.release();
    EXPECT_EQ(fast.tick().shift, 0);
    fast.press(FastScroll::Mode::Back);
    const FastScroll::Step back = fast.tick();
    EXPECT_EQ(back.shift, -100);
    EXPECT_TRUE(back.checkLimits);
}

TEST(TrendRules, TransparencyStepsTwiceForKeysAndExactlyForTheThumb) {
    struct Case {
        SliderStep step;
        int position, want;
    };
    for (const Case& c :
         {Case{SliderStep::LineLeft, 254, 253}, Case{SliderStep::LineRight, 100, 101},
          Case{SliderStep::LineLeft, 1, 1}, Case{SliderStep::LineRight, 255, 255},
          Case{SliderStep::PageLeft, 5, 1}, Case{SliderStep::PageRight, 250, 255},
          Case{SliderStep::PageRight, 100, 110}, Case{SliderStep::Thumb, 77, 77}})
        EXPECT_EQ(TransparencyAfterStep(c.step, c.position, 1, 255, 10), c.want)
            << static_cast<int>(c.step) << " at " << c.position;
}

// The reduced line keeps, for each pixel column, exactly the lowest and highest value of the
// points in it, whether they come from whole envelope blocks or single points; with many points
// a column, a block of 16 that straddles two columns counts in the one it starts in.
TEST(SeriesData, ReducedLineKeepsEachColumnsExtremes) {
    SeriesData data;
    for (int i = 0; i < 10000; ++i)
        data.append(i, (i * 37) % 101 - (i % 997 == 0 ? 500 : 0));
    std::vector<SeriesPoint> line;
    const SeriesData::PixelMap map{10, 100.0 / 9999}; // 100 columns from pixel 10
    data.visibleLine(0, 9999, map, 100, line);
    ASSERT_GT(line.size(), 100u);
    ASSERT_LE(line.size(), 204u);
    std::map<int, std::pair<double, double>> drawn, want; // column: lowest, highest
    auto widen = [](auto& table, int column, double y) {
        auto [it, fresh] = table.try_emplace(column, y, y);
        it->second = {std::min(it->second.first, y), std::max(it->second.second, y)};
    };
    for (std::size_t k = 1; k + 1 < line.size(); ++k)
        widen(drawn, static_cast<int>(line[k].x), line[k].y);
    for (int i = 1; i < 9999; ++i)
        widen(want, static_cast<int>(std::floor(10 + std::max(1, i / 16 * 16) * 100.0 / 9999)),
              *data.y(i));
    EXPECT_EQ(drawn, want);
    // Short and long stretches starting anywhere in a block (the range takes one more point on
    // each side, as the line runs through them).
    for (int from = 1; from < 40; ++from)
        for (int last = from; last < from + 70; ++last) {
            double lo = *data.y(from - 1), hi = lo;
            for (int i = from - 1; i <= last + 1; ++i)
                lo = std::min(lo, *data.y(i)), hi = std::max(hi, *data.y(i));
            const auto range = data.yRangeAround(from, last);
            ASSERT_TRUE(range);
            ASSERT_EQ(std::make_pair(range->x, range->y), std::make_pair(lo, hi))
                << from << ".." << last;
        }
    // Few points: drawn as they are, one beyond each end of the range.
    data.visibleLine(100, 110, SeriesData::PixelMap{0, 1}, 500, line);
    ASSERT_EQ(line.size(), 13u);
    EXPECT_EQ(line.front().x, 99);
    EXPECT_EQ(line.back().x, 111);
}
