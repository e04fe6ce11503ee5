// SPDX-License-Identifier: GPL-3.0-or-later
// The trend data without any window: the sampler fills it, a curve's looks come from the curve
// table, and a snapshot of it loads into other data unchanged. Linked without the widget
// libraries, so the data can never come to need a window.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "trend/TrendData.h"
#include "trend/TrendSampler.h"

using namespace vantor;

TEST(TrendData, TheSamplerFillsItWithoutAWindowAndSetsLooksOnlyWhenItMakesASeries) {
    QTemporaryDir dir;
    Workspace ws;
    TrendData data;
    TrendSampler sampler(&ws);
    sampler.setShareIniPath(dir.filePath(QStringLiteral("share.ini")));
    ws.curves()->drop(QStringLiteral("T1 2-4-4")); // rate 0.1
    QDateTime now(QDate(2026, 12, 9), QTime(14, 0, 0));
    QSignalSpy looks(&data, &TrendData::looksChanged);
    int ticks = 0;
    for (const char* value : {"234.6", "100", "50"}) {
        ws.store()->setCellValue({PacketNo(2), 13}, QString::fromLatin1(value));
        sampler.tick(data, now.addSecs(ticks++));
        if (ticks == 1) {
            EXPECT_GT(looks.count(), 0); // the series was made: its name, colour, axis, width
            looks.clear();
        }
    }
    EXPECT_EQ(looks.count(), 0); // later samples leave the looks alone

    ASSERT_EQ(data.seriesCount(), 2);
    EXPECT_EQ(data.title(1), QStringLiteral("T1"));
    EXPECT_TRUE(data.active(1));
    EXPECT_FALSE(data.active(0));
    EXPECT_EQ(data.pointCount(0), 3);
    EXPECT_EQ(data.pointLabel(0, 2), QStringLiteral("14:00:02"));
    ASSERT_EQ(data.pointCount(1), 3);
    EXPECT_EQ(data.xValue(1, 0), 1.0); // a curve point stands one right of its time point
    EXPECT_NEAR(*data.yValue(1, 0), 23.46, 1e-9);
    EXPECT_NEAR(*data.yValue(1, 2), 5.0, 1e-9);

    // A snapshot carries points and looks into other data; the series follow its count.
    ChartSnapshot snapshot;
    data.copyTo(snapshot);
    TrendData other;
    QSignalSpy added(&other, &TrendData::seriesAdded);
    other.load(snapshot);
    EXPECT_EQ(added.count(), 1);
    EXPECT_EQ(other.title(1), data.title(1));
    EXPECT_EQ(other.color(1), data.color(1));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(other.yValue(1, i), data.yValue(1, i)) << i;
    other.load(ChartSnapshot{});
    EXPECT_EQ(other.seriesCount(), 1); // the time base stays, emptied
    EXPECT_EQ(other.pointCount(0), 0);
}

// Each look is announced once when it changes, never when set to what it is; the X axis and a
// series that does not exist are refused, and a line width is kept within 0..8. A chart follows
// the data by these notices alone.
TEST(TrendData, EachLookIsAnnouncedOnceWhenItChanges) {
    struct Case {
        const char* name;
        std::function<void(TrendData&)> set;
        std::function<bool(const TrendData&)> holds;
        int notices;
    };
    const std::vector<Case> cases = {
        {"title", [](TrendData& d) { d.setTitle(1, QStringLiteral("P")); },
         [](const TrendData& d) { return d.title(1) == QStringLiteral("P"); }, 1},
        {"colour", [](TrendData& d) { d.setColor(1, Qt::cyan); },
         [](const TrendData& d) { return d.color(1) == QColor(Qt::cyan); }, 1},
        {"inactive", [](TrendData& d) { d.setActive(1, false); },
         [](const TrendData& d) { return !d.active(1); }, 1},
        {"axis C", [](TrendData& d) { d.setAxis(1, TrendAxis::C); },
         [](const TrendData& d) { return d.axis(1) == TrendAxis::C; }, 1},
        {"axis X refused", [](TrendData& d) { d.setAxis(1, TrendAxis::X); },
         [](const TrendData& d) { return d.axis(1) == TrendAxis::Y; }, 0},
        {"width clamped", [](TrendData& d) { d.setLineWidth(1, 40); },
         [](const TrendData& d) { return d.lineWidth(1) == TrendData::kMaxLineWidth; }, 1},
        {"no such series", [](TrendData& d) { d.setTitle(7, QStringLiteral("P")); },
         [](const TrendData& d) { return d.title(7).isEmpty() && d.seriesCount() == 2; }, 0},
    };
    for (const Case& c : cases) {
        TrendData data;
        data.addSeries();
        QSignalSpy looks(&data, &TrendData::looksChanged);
        c.set(data);
        c.set(data); // the same value again
        EXPECT_TRUE(c.holds(data)) << c.name;
        EXPECT_EQ(looks.count(), c.notices) << c.name;
    }
}
