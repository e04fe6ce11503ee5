// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the curve file tests share: a chart with every kind of series, a comparison field by
// field, and the test's own little-endian chunk writer, independent of the program's.
#include <gtest/gtest.h>

#include <QByteArray>
#include <tuple>
#include <vector>
#include <zlib.h>

#include "trend/ChartSnapshot.h"

namespace vantor::teetest {

inline ValueBlocks Values(int count, double (*at)(int)) {
    ValueBlocks values;
    for (int i = 0; i < count; ++i)
        values.push_back(at(i));
    return values;
}

inline std::vector<double> List(const ValueBlocks& values) {
    std::vector<double> out;
    for (int i = 0; i < values.size(); ++i)
        out.push_back(values[i]);
    return out;
}

inline ChartSnapshot Sample() {
    ChartSnapshot chart;
    chart.title = QStringLiteral("炉温记录");
    for (int a = 0; a < kTrendAxisCount; ++a)
        chart.ranges[std::size_t(a)] = {-1.5 * a, 100.25 + a};
    chart.lineWidth = 2;
    chart.markerX = 4321.5;
    SeriesSnapshot& time = chart.series.emplace_back();
    time.active = false;
    time.ys = Values(5000, [](int i) { return 45000.25 + i / 86400.0; });
    for (int i = 0; i < 5000; ++i)
        time.labels.push_back(QStringLiteral("%1:00:00").arg(i % 24, 2, 10, QLatin1Char('0')));
    SeriesSnapshot& wavy = chart.series.emplace_back();
    wavy.title = QStringLiteral("温度");
    wavy.unit = QStringLiteral("°C");
    wavy.color = 0xFF102030u;
    wavy.axis = TrendAxis::A;
    wavy.lineWidth = 3;
    wavy.regular = false;
    wavy.xs = Values(300, [](int i) { return i * 0.5 - 7; });
    wavy.ys = Values(300, [](int i) { return i % 7 - 3.25; });
    SeriesSnapshot& hidden = chart.series.emplace_back();
    hidden.title = QStringLiteral("压力");
    hidden.unit = QStringLiteral("kPa");
    hidden.color = 0x80FEDCBAu;
    hidden.axis = TrendAxis::E;
    hidden.hiddenByLegend = true;
    hidden.x0 = 17;
    hidden.ys = Values(ValueBlocks::kSize + 904, [](int i) { return i * 1e-3; });
    chart.series.emplace_back().title = QStringLiteral("空");
    return chart;
}

inline void ExpectSame(const ChartSnapshot& got, const ChartSnapshot& want) {
    EXPECT_EQ(got.title, want.title);
    EXPECT_EQ(got.ranges, want.ranges);
    EXPECT_EQ(got.lineWidth, want.lineWidth);
    EXPECT_EQ(got.markerX, want.markerX);
    ASSERT_EQ(got.series.size(), want.series.size());
    for (std::size_t i = 0; i < want.series.size(); ++i) {
        const SeriesSnapshot &g = got.series[i], &w = want.series[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(std::tie(g.title, g.unit, g.color, g.axis, g.active, g.hiddenByLegend,
                           g.lineWidth, g.regular, g.x0, g.labels),
                  std::tie(w.title, w.unit, w.color, w.axis, w.active, w.hiddenByLegend,
                           w.lineWidth, w.regular, w.x0, w.labels));
        EXPECT_EQ(List(g.xs), List(w.xs));
        EXPECT_EQ(List(g.ys), List(w.ys));
    }
}

// The test's own little-endian writer, independent of the program's.
struct Bytes {
    QByteArray data;
    template <typename T> Bytes& put(T value) {
        data.append(reinterpret_cast<const char*>(&value), sizeof value);
        return *this;
    }
    Bytes& text(const char* utf8) {
        put<quint32>(quint32(qstrlen(utf8)));
        data.append(utf8);
        return *this;
    }
};

inline QByteArray Chunk(const char* tag, const QByteArray& payload) {
    Bytes b;
    b.data = QByteArray(tag, 4);
    b.put<quint64>(quint64(payload.size())).data.append(payload);
    return b
        .put<quint32>(quint32(
            crc32(0, reinterpret_cast<const Bytef*>(b.data.constData()), uInt(b.data.size()))))
        .data;
}

inline QByteArray Header(quint16 major, quint16 minor) {
    return Bytes{QByteArray("\x89VTE\r\n\x1a\n", 8)}.put(major).put(minor).data;
}

// A 1.0 chart chunk's payload: the title and the seven ranges (min = axis, max = axis + 10).
inline Bytes Chart10() {
    Bytes b;
    b.text("旧图");
    for (int a = 0; a < kTrendAxisCount; ++a)
        b.put<double>(a).put<double>(a + 10);
    return b;
}

// A regular series on Y with the given point count and values 0.5, 1.5, ...
inline QByteArray Series(quint64 count, int values) {
    Bytes b;
    b.text("c").text("V").put<quint32>(0xFF00FF00).put<quint8>(1).put<quint8>(1 | 4);
    b.put<qint32>(1).put<quint64>(count).put<double>(10);
    for (int i = 0; i < values; ++i)
        b.put<double>(i + 0.5);
    return b.put<quint32>(0).data;
}

inline const QByteArray kEnd = Chunk("END ", {});

} // namespace vantor::teetest
