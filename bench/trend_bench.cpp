// The trend chart's replot with 99 curves of 100,000 points (the whole X range and the default
// 300), an empty chart's replot, and one sample tick with 99 curves including the shared values
// file. Software rendering (offscreen platform), the chart at 1280 x 720. Each benchmark reports
// the median and the 99th percentile of its iterations in milliseconds; the replot benchmarks
// also report the process's resident memory.
//   build/bench/trend_bench --benchmark_counters_tabular=true
#include <QApplication>
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
        chart->addSeries();
        chart->setSeriesTitle(k, QStringLiteral("T%1").arg(k));
    }
    for (int i = 0; i < points; ++i) {
        chart->appendIndexed(0, 46000 + i / 86400.0, QString());
        for (int k = 1; k <= curves; ++k)
            chart->appendPoint(k, i + 1, Value(i, k, dense));
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

vantor::CTChart* FullChart() {
    static std::unique_ptr<vantor::CTChart> chart = MakeChart(kCurves, kPoints);
    return chart.get();
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

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::RegisterBenchmark("BM_Replot/empty", BM_ReplotEmpty)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/all", BM_ReplotAll)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/300", BM_Replot300)->Iterations(200);
    benchmark::RegisterBenchmark("BM_Replot/99curves/all/dense", BM_ReplotDense)->Iterations(20);
    benchmark::RegisterBenchmark("BM_SampleTick/99curves", BM_SampleTick)->Iterations(1000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
