// Saving and loading the curve file with a time base (labelled OLE dates) and 98 curves, 99
// series of N points with regular X, N = 10,000 and 100,000. Reports the file's bytes per point
// over all series; the file lies in a temporary folder. Load is file to ChartSnapshot.
//   build/bench/tee_bench --benchmark_counters_tabular=true
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cmath>

#include "trend/TeeFile.h"

namespace {

using namespace vantor;

constexpr int kSeries = 99;

ChartSnapshot Chart(int points) {
    ChartSnapshot chart;
    chart.title = QStringLiteral("bench");
    const QDateTime start(QDate(2024, 6, 1), QTime(8, 0));
    SeriesSnapshot& time = chart.series.emplace_back();
    time.active = false;
    for (int i = 0; i < points; ++i) {
        time.ys.push_back(45444.0 + (8 * 3600 + i) / 86400.0);
        time.labels.push_back(start.addSecs(i).toString(QStringLiteral("HH:mm:ss")));
    }
    for (int s = 1; s < kSeries; ++s) {
        SeriesSnapshot& series = chart.series.emplace_back();
        series.title = QStringLiteral("curve %1").arg(s);
        series.color = 0xFF000000u | std::uint32_t(s * 2654435761u >> 8);
        for (int i = 0; i < points; ++i)
            series.ys.push_back(std::sin(i * 0.01 + s) * 100);
    }
    return chart;
}

void Report(benchmark::State& state, const QString& path, int points) {
    state.counters["bytes_per_point"] = double(QFileInfo(path).size()) / (double(kSeries) * points);
}

void BM_SaveTee(benchmark::State& state) {
    const int points = int(state.range(0));
    const ChartSnapshot chart = Chart(points);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    for (auto _ : state) {
        if (SaveTeeFile(path, chart))
            state.SkipWithError("save failed");
    }
    Report(state, path, points);
}

void BM_LoadTee(benchmark::State& state) {
    const int points = int(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    if (SaveTeeFile(path, Chart(points)))
        state.SkipWithError("save failed");
    for (auto _ : state) {
        TeeLoad load = LoadTeeFile(path);
        if (!load.chart)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(load);
    }
    Report(state, path, points);
}

} // namespace

BENCHMARK(BM_SaveTee)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadTee)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
