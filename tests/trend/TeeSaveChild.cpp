// SPDX-License-Identifier: GPL-3.0-or-later
// For the tests that kill a process in the middle of its saves, two ways of saving without end:
//   tee_save_child PATH           saves two charts A and B whole by turns; prints one line once
//                                 the first save is in place.
//   tee_save_child --append PATH  a recording run: each round adds kRound points to each of 20
//                                 curves (point i of curve s is s * 1e6 + i) and saves through
//                                 the run's writer, which appends; prints the round's number
//                                 once its save has returned.
#include <cstdio>
#include <cstring>

#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

using namespace vantor;

namespace {

constexpr int kRound = 20000;

// 20 curves of 20,000 points; the last point of curve s is which * 1e6 + s * 1e3 + 19999.
ChartSnapshot Chart(int which) {
    ChartSnapshot chart;
    chart.title = which == 1 ? QStringLiteral("A") : QStringLiteral("B");
    chart.markerX = which;
    for (int s = 0; s < 20; ++s) {
        SeriesSnapshot& series = chart.series.emplace_back();
        for (int i = 0; i < 20000; ++i)
            series.ys.push_back(which * 1e6 + s * 1e3 + i);
    }
    return chart;
}

int Whole(const QString& path) {
    const ChartSnapshot charts[] = {Chart(1), Chart(2)};
    for (long n = 0;; ++n) {
        if (const auto error = SaveTeeFile(path, charts[n % 2])) {
            std::fprintf(stderr, "%s\n", error->toUtf8().constData());
            return 1;
        }
        if (n == 0) {
            std::puts("saved");
            std::fflush(stdout);
        }
    }
}

int Appending(const QString& path) {
    ChartSnapshot chart;
    chart.series.resize(20);
    TeeRunWriter writer(path);
    for (long n = 1;; ++n) {
        for (int s = 0; s < 20; ++s) {
            SeriesSnapshot& series = chart.series[std::size_t(s)];
            for (int i = 0; i < kRound; ++i)
                series.ys.push_back(s * 1e6 + series.ys.size());
        }
        chart.title = QString::number(n); // a changed attribute in every round
        chart.markerX = double(n);
        if (const auto error = writer.save(chart)) {
            std::fprintf(stderr, "%s\n", error->toUtf8().constData());
            return 1;
        }
        std::printf("%ld\n", n);
        std::fflush(stdout);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--append") == 0)
        return Appending(QString::fromLocal8Bit(argv[2]));
    if (argc == 2)
        return Whole(QString::fromLocal8Bit(argv[1]));
    return 2;
}
