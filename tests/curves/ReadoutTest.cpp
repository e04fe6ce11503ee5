// SPDX-License-Identifier: GPL-3.0-or-later
// The read-out text: the live example byte for byte, the history layout, curves without a point
// and the samples a chart position selects.
#include <gtest/gtest.h>

#include "curves/Readout.h"
#include "registers/OleDate.h"
#include "support/QtPrinters.h"

using namespace vantor;

namespace {

double Ole(int y, int mo, int d, int h, int mi, int s) {
    return OleDateFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
}

} // namespace

TEST(Readout, LiveExampleByteForByte) {
    const QString header = ReadoutHeader("21:41:07", Ole(2026, 12, 6, 21, 41, 7));
    EXPECT_EQ(BuildReadout(header, {{"T1", 23.46, "--"}}, true),
              QString::fromUtf8("[Date＆Time] 2026/12/06 21:41:07\r\n T1: 23.5--\r\n"));
    EXPECT_EQ(ReadoutToolTip({"T1", 23.46, "--"}, true), " T1: 23.5--");
}

TEST(Readout, HeaderDropsTheDateWithoutLabelOrDate) {
    EXPECT_EQ(ReadoutHeader("", Ole(2026, 12, 6, 21, 41, 7)),
              QString::fromUtf8("[Date＆Time] \r\n"));
    EXPECT_EQ(ReadoutHeader("08:00:00", 0.0), QString::fromUtf8("[Date＆Time] 08:00:00\r\n"));
}

TEST(Readout, HistoryHasNoUnitsAndAMissingPointKeepsTheName) {
    const QList<ReadoutCurve> curves{{"A", -3.04, "kPa"}, {"B", std::nullopt, "V"}};
    EXPECT_EQ(BuildReadout("H\r\n", curves, false), "H\r\n A: -3.0\r\n B: --\r\n");
    EXPECT_EQ(BuildReadout("H\r\n", curves, true), "H\r\n A: -3.0kPa\r\n B: --V\r\n");
}

TEST(Readout, SampleAndPointIndex) {
    EXPECT_EQ(ReadoutSample(-1.5), std::nullopt); // left of the first sample: no read-out
    EXPECT_EQ(ReadoutSample(3.9), 3);
    EXPECT_EQ(CurvePointIndex(5, 3, 10), 2);
    EXPECT_EQ(CurvePointIndex(2, 3, 10), std::nullopt); // before the curve's first sample
    EXPECT_EQ(CurvePointIndex(13, 3, 10), std::nullopt);
}
