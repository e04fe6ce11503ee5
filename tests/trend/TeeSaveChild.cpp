// Saves two charts A and B by turns to the path given, without end, for the test that kills it
// in the middle of a save. Prints one line once the first save is in place.
#include <cstdio>

#include "trend/TeeFile.h"

using namespace vantor;

namespace {

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

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
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
