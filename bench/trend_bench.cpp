// SPDX-License-Identifier: GPL-3.0-or-later
// The trend chart's replot with 99 curves of 100,000 points (the whole X range and the default
// 300), an empty chart's replot, one sample tick with 99 curves including the shared values
// file, and the auto-save round and the history load of 99 curves of N points: the snapshot on
// the GUI thread, the file written (as the worker does), and a file loaded into a drawn chart.
// Software rendering (offscreen platform), the chart at 1280 x 720. Each benchmark reports the
// median and the 99th percentile of its iterations in milliseconds; the replot benchmarks also
// report the process's resident memory.
//   build/bench/trend_bench --benchmark_counters_tabular=true
#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "registers/CurveTable.h"
#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TrendPanelDlg.h"

namespace {

constexpr int kCurves = 99;
constexpr int kPoints = 100000;

double ResidentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

void ReportTimes(benchmark::State& state, std::vector<double>& ms) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

template <typename F> void Timed(benchmark::State& state, F&& body) {
    std::vector<double> ms;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        body();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    ReportTimes(state, ms);
}

// A process value: a slow wave with a little noise. Dense: a fast wave that fills each pixel
// column from top to bottom (the worst case for drawing).
double Value(int i, int k, bool dense) {
    const double noise = ((i * 7919 + k * 104729) % 401) / 100.0 - 2.0;
    if (dense)
        return 50 + 40 * std::sin(i * 0.001 * k) + noise;
    return 50 + 30 * std::sin(i * 6.2832 / (5000 + 97 * k)) + noise;
}

std::unique_ptr<vantor::CTChart> MakeChart(int curves, int points, bool dense = false) {
    auto chart = std::make_unique<vantor::CTChart>();
    chart->resize(1280, 720);
    chart->show();
    for (int k = 1; k <= curves; ++k) {
        chart->data().addSeries();
        chart->data().setTitle(k, QStringLiteral("T%1").arg(k));
    }
    for (int i = 0; i < points; ++i) {
        chart->data().appendIndexed(0, 46000 + i / 86400.0, QString());
        for (int k = 1; k <= curves; ++k)
            chart->data().append(k, i + 1, Value(i, k, dense));
    }
    chart->setTitle(QStringLiteral("通讯点位实时曲线"));
    chart->setAxisRange(vantor::TrendAxis::X, 0, points);
    chart->setAxisRange(vantor::TrendAxis::Y, 0, 100);
    chart->replotNow();
    // VANTOR_BENCH_SHOT=file.png saves a picture of the filled chart, to look at what is drawn.
    if (const QByteArray shot = qgetenv("VANTOR_BENCH_SHOT"); !shot.isEmpty() && curves > 0)
        chart->grab().save(QString::fromLocal8Bit(shot));
    return chart;
}

// The filled chart the replot benchmarks share, made at first use and destroyed by main before
// the application (a widget must not outlive it).
std::unique_ptr<vantor::CTChart> g_fullChart;

vantor::CTChart* FullChart() {
    if (!g_fullChart)
        g_fullChart = MakeChart(kCurves, kPoints);
    return g_fullChart.get();
}

void BM_ReplotDense(benchmark::State& state) {
    auto chart = MakeChart(kCurves, kPoints, true);
    Timed(state, [&chart] { chart->replotNow(); });
}

void BM_ReplotAll(benchmark::State& state) {
    vantor::CTChart* chart = FullChart();
    chart->setAxisRange(vantor::TrendAxis::X, 0, kPoints);
    Timed(state, [chart] { chart->replotNow(); });
    state.counters["rss_MB"] = ResidentMegabytes();
}

void BM_Replot300(benchmark::State& state) {
    vantor::CTChart* chart = FullChart();
    chart->setAxisRange(vantor::TrendAxis::X, kPoints - 300, kPoints);
    Timed(state, [chart] { chart->replotNow(); });
    state.counters["rss_MB"] = ResidentMegabytes();
}

void BM_ReplotEmpty(benchmark::State& state) {
    auto chart = MakeChart(0, 0);
    Timed(state, [&chart] { chart->replotNow(); });
}

// One sample with 99 curves reading grid cells, and the shared values file written.
void BM_SampleTick(benchmark::State& state) {
    QTemporaryDir dir;
    vantor::Workspace workspace;
    for (int k = 1; k <= kCurves; ++k)
        workspace.curves()->drop(QStringLiteral("T%1 %2-%3-%4")
                                     .arg(k)
                                     .arg(k % 30 + 1)
                                     .arg(k % 10 + 1)
                                     .arg(2 * (k % 13) + 2));
    vantor::CTrendPanelDlg panel(&workspace);
    panel.sampler().setShareIniPath(dir.filePath(QStringLiteral("share.ini")));
    Timed(state, [&panel] { panel.OnSampleTick(); });
}

// The GUI thread's part of an auto-save round (the snapshot, and the next sample's copy of the
// shared last blocks), then the worker's part (the file written).
void BM_AutoSaveRound(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    auto chart = MakeChart(kCurves, points);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.tee"));
    std::vector<double> gui, worker;
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        const vantor::ChartSnapshot snapshot = chart->snapshot();
        for (int k = 0; k <= kCurves; ++k)
            chart->data().append(k, chart->data().pointCount(k) + 1, 1.0);
        const auto t1 = std::chrono::steady_clock::now();
        const auto error = vantor::SaveTeeFile(path, snapshot);
        const auto t2 = std::chrono::steady_clock::now();
        if (error)
            state.SkipWithError(error->toStdString().c_str());
        gui.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        worker.push_back(std::chrono::duration<double, std::milli>(t2 - t1).count());
    }
    ReportTimes(state, worker);
    state.counters["worker_ms"] = state.counters["median_ms"];
    ReportTimes(state, gui);
    state.counters["gui_ms"] = state.counters["median_ms"];
    state.counters["gui_p99_ms"] = state.counters["p99_ms"];
    state.counters.erase("median_ms");
    state.counters.erase("p99_ms");
    state.counters["bytes_per_point"] =
        double(QFileInfo(path).size()) / (double(kCurves + 1) * points);
}

// A curve file of 99 curves read, put into a chart and drawn (the history button's work).
void BM_LoadToDrawnChart(benchmark::State& state) {
    const int points = static_cast<int>(state.range(0));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("run.tee"));
    {
        auto source = MakeChart(kCurves, points);
        if (const auto error = vantor::SaveTeeFile(path, source->snapshot()))
            state.SkipWithError(error->toStdString().c_str());
    }
    Timed(state, [&path] {
        vantor::CTChart chart;
        chart.resize(1280, 720);
        chart.show();
        const vantor::TeeLoad loaded = vantor::LoadTeeFile(path);
        chart.load(*loaded.chart);
        chart.replotNow();
    });
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("BM_Replot/empty", BM_ReplotEmpty)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/all", BM_ReplotAll)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/300", BM_Replot300)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/all/dense", BM_ReplotDense)->Iterations(20);
    benchmark::RegisterBenchmark("BM_SampleTick/99curves", BM_SampleTick)->Iterations(1000);
    for (int points : {10000, 30000, 100000}) {
        benchmark::RegisterBenchmark("BM_AutoSaveRound/99curves", BM_AutoSaveRound)
            ->Arg(points)
            ->Iterations(5);
        benchmark::RegisterBenchmark("BM_LoadToDrawnChart/99curves", BM_LoadToDrawnChart)
            ->Arg(points)
            ->Iterations(5);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_fullChart.reset();
    return 0;
}
