// SPDX-License-Identifier: GPL-3.0-or-later
// The curve file: saving whole, loading, and the recorder's round on a week-long recording.
// Charts are a time base (labelled OLE dates) and curves of regular X; files lie in a temporary
// folder on the disk of the build.
//   BM_SaveTee/S/N     a chart of S series of N points saved whole (bytes per point reported).
//   BM_LoadTee/S/N     that file loaded into a ChartSnapshot;
//   BM_PlainRead/S/N   the same file's bytes read into memory already in use (warm) and into
//                      memory of its own (fresh, as a load's blocks are: on a virtual machine
//                      the first touch of each new page costs about as much as the read).
//   BM_WeekRound       99 curves at 1 s for 7 days (604,800 samples a curve, 60 million
//                      points), the file built by the run's writer a day at a time, then rounds
//                      of 60 new samples: gui_ms is the snapshot the GUI thread takes (a copy of
//                      a chart whose points and labels live in shared blocks), worker_ms the
//                      append; file_MB is the file's size at the end.
//   build/bench/tee_bench --benchmark_counters_tabular=true
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <vector>

#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

namespace {

using namespace vantor;
using Clock = std::chrono::steady_clock;

constexpr int kSeries = 99;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// Adds n samples at 1 s to a time base and its curves (the time base labelled "HH:mm:ss").
void Grow(ChartSnapshot& chart, int n) {
    SeriesSnapshot& time = chart.series[0];
    std::vector<double> ys(static_cast<std::size_t>(n));
    const int from = time.count();
    for (int i = 0; i < n; ++i) {
        const int t = from + i;
        ys[std::size_t(i)] = 45444.0 + (8 * 3600 + t) / 86400.0;
        const int day = (8 * 3600 + t) % 86400;
        const char label[] = {char('0' + day / 36000),      char('0' + day / 3600 % 10), ':',
                              char('0' + day % 3600 / 600), char('0' + day % 600 / 60),  ':',
                              char('0' + day % 60 / 10),    char('0' + day % 10)};
        time.labels.push_back(QByteArrayView(label, 8));
    }
    time.ys.append(ys.data(), n);
    for (std::size_t s = 1; s < chart.series.size(); ++s) {
        for (int i = 0; i < n; ++i)
            ys[std::size_t(i)] = std::sin((from + i) * 0.01 + double(s)) * 100;
        chart.series[s].ys.append(ys.data(), n);
    }
}

ChartSnapshot Chart(int series, int points) {
    ChartSnapshot chart;
    chart.title = QStringLiteral("bench");
    chart.series.resize(std::size_t(series));
    chart.series[0].active = false;
    for (int s = 1; s < series; ++s) {
        chart.series[std::size_t(s)].title = QStringLiteral("curve %1").arg(s);
        chart.series[std::size_t(s)].color = 0xFF000000u | std::uint32_t(s * 2654435761u >> 8);
    }
    for (int done = 0; done < points; done += 100000)
        Grow(chart, std::min(100000, points - done));
    return chart;
}

void Report(benchmark::State& state, const QString& path) {
    state.counters["bytes_per_point"] =
        double(QFileInfo(path).size()) / (double(state.range(0)) * double(state.range(1)));
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
}

void BM_SaveTee(benchmark::State& state) {
    const ChartSnapshot chart = Chart(int(state.range(0)), int(state.range(1)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    for (auto _ : state) {
        if (SaveTeeFile(path, chart))
            state.SkipWithError("save failed");
    }
    Report(state, path);
}

void BM_LoadTee(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    if (SaveTeeFile(path, Chart(int(state.range(0)), int(state.range(1)))))
        state.SkipWithError("save failed");
    for (auto _ : state) {
        TeeLoad load = LoadTeeFile(path);
        if (!load.chart)
            state.SkipWithError("load failed");
        benchmark::DoNotOptimize(load);
    }
    Report(state, path);
}

void BM_PlainRead(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    if (SaveTeeFile(path, Chart(int(state.range(0)), int(state.range(1)))))
        state.SkipWithError("save failed");
    // Into memory already in use, as a program reading the same file again would.
    QByteArray bytes(QFileInfo(path).size(), Qt::Uninitialized);
    bytes.fill('\0');
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) ||
            file.read(bytes.data(), bytes.size()) != bytes.size())
            state.SkipWithError("read failed");
        benchmark::DoNotOptimize(bytes.data());
    }
    Report(state, path);
}

void BM_PlainReadFresh(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.tee"));
    if (SaveTeeFile(path, Chart(int(state.range(0)), int(state.range(1)))))
        state.SkipWithError("save failed");
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("open failed");
        const QByteArray bytes = file.readAll();
        benchmark::DoNotOptimize(bytes.data());
    }
    Report(state, path);
}

void BM_WeekRound(benchmark::State& state) {
    constexpr int kDay = 86400;
    constexpr int kWeek = 7 * kDay;
    constexpr int kRound = 60;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("week.tee"));
    TeeRunWriter writer(path);
    // The week less the measured rounds, a day at a time.
    ChartSnapshot chart = Chart(kSeries + 1, 0);
    const int rounds = int(state.max_iterations);
    for (int done = 0; done < kWeek - rounds * kRound; done += kDay) {
        Grow(chart, std::min(kDay, kWeek - rounds * kRound - done));
        if (const auto error = writer.save(chart))
            state.SkipWithError(error->toStdString().c_str());
    }
    std::vector<double> gui, worker;
    for (auto _ : state) {
        Grow(chart, kRound);
        const auto t0 = Clock::now();
        const ChartSnapshot snapshot = chart;
        const auto t1 = Clock::now();
        if (const auto error = writer.save(snapshot))
            state.SkipWithError(error->toStdString().c_str());
        const auto t2 = Clock::now();
        if (writer.lastSave() != TeeRunWriter::Save::Append)
            state.SkipWithError("the round did not append");
        gui.push_back(Ms(t1 - t0));
        worker.push_back(Ms(t2 - t1));
    }
    state.counters["gui_ms"] = Median(gui);
    state.counters["worker_ms"] = Median(worker);
    state.counters["worker_max_ms"] = *std::max_element(worker.begin(), worker.end());
    state.counters["points_M"] = double(chart.series[0].count()) * (kSeries + 1) / 1e6;
    state.counters["file_MB"] = double(QFileInfo(path).size()) / 1e6;
    // The week's file loaded (once: it takes the memory of the whole week again).
    const auto t0 = Clock::now();
    const TeeLoad load = LoadTeeFile(path);
    state.counters["load_ms"] = Ms(Clock::now() - t0);
    if (!load.chart || load.chart->series[0].count() != kWeek)
        state.SkipWithError("the week does not load whole");
}

void Sizes(benchmark::internal::Benchmark* b) {
    b->Args({kSeries, 10000})->Args({kSeries, 100000})->Args({10, 1000000});
    b->ArgNames({"series", "points"})->Unit(benchmark::kMillisecond)->UseRealTime();
}

} // namespace

BENCHMARK(BM_SaveTee)->Apply(Sizes);
BENCHMARK(BM_LoadTee)->Apply(Sizes);
BENCHMARK(BM_PlainRead)->Name("BM_PlainRead/warm")->Apply(Sizes);
BENCHMARK(BM_PlainReadFresh)->Name("BM_PlainRead/fresh")->Apply(Sizes);
BENCHMARK(BM_WeekRound)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
