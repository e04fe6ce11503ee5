// SPDX-License-Identifier: GPL-3.0-or-later
// A week-long recording: 99 curves sampled every second for 7 days (604,800 samples a curve),
// recorded as the live chart is: the samples appended to the chart, a snapshot taken every
// round of 60 samples and appended to the run's file by its writer, the older points then
// dropped from the chart. Reported:
//   BM_WeekRecord       the recording itself, once: the process's resident memory after it
//                       (rss_MB) and at its peak (hwm_MB), the rounds' worker and GUI times.
//   BM_WeekDraw/*       the whole week replotted (index and time axis).
//   BM_WeekZoomHour/*   an hour of the older part (points read back from the file) shown and
//                       replotted; a different hour each iteration, so none is read before.
//   BM_WeekHistoryOpen  the week's file opened as history (its newest points in memory, as the
//                       history button does): read, put into a chart, drawn; the resident
//                       memory after it and at the peak.
// Software rendering (offscreen platform), the chart at 1280 x 720; times in milliseconds
// (median and 99th percentile). VANTOR_WEEK_ROUND=n records rounds of n samples instead of 60
// (fewer, faster rounds; the file then has fewer, longer runs to read back).
// VANTOR_WEEK_FILE=path records to that file and opens it, so that the history can be opened in
// a process of its own (whose peak memory is the history's alone):
//   VANTOR_WEEK_FILE=/tmp/week.tee build/bench/week_bench --benchmark_filter='Record|Draw|Zoom'
//   VANTOR_WEEK_FILE=/tmp/week.tee build/bench/week_bench --benchmark_filter=HistoryOpen
#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "trend/SeriesData.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TeeRunWriter.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kCurves = 99;
constexpr int kWeek = 7 * 86400;

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// A line of /proc/self/status in MB.
double StatusMegabytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(std::strlen(key))) / 1024.0;
    return 0;
}

double Median(std::vector<double> ms) {
    if (ms.empty())
        return 0;
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Report(benchmark::State& state, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    if (ms.empty())
        return;
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
}

// Slow waves with a little noise; curve 1 has two lone spikes on its first day (they must show
// in the week's picture).
double Value(int i, int k) {
    if (k == 1 && (i == 30000 || i == 60000))
        return i == 30000 ? 98 : 2;
    const double noise = ((i * 7919 + k * 104729) % 401) / 100.0 - 2.0;
    return 50 + 30 * std::sin(i * 6.2832 / (5000 + 97 * k)) + noise;
}

std::unique_ptr<vantor::CTChart> NewChart() {
    auto chart = std::make_unique<vantor::CTChart>();
    chart->resize(1280, 720);
    chart->show();
    return chart;
}

struct Week {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<vantor::CTChart> chart;
    std::vector<double> gui, worker;
};

std::unique_ptr<Week> g_week; // destroyed by main before the application

QString WeekFile(const QTemporaryDir& dir) {
    const QString chosen = qEnvironmentVariable("VANTOR_WEEK_FILE");
    return chosen.isEmpty() ? dir.filePath(QStringLiteral("week.tee")) : chosen;
}

void BM_WeekRecord(benchmark::State& state) {
    for (auto _ : state) {
        g_week = std::make_unique<Week>();
        Week& w = *g_week;
        w.path = WeekFile(w.dir);
        QFile::remove(w.path);
        w.chart = NewChart();
        vantor::CTChart& chart = *w.chart;
        for (int k = 1; k <= kCurves; ++k) {
            chart.data().addSeries();
            chart.data().setTitle(k, QStringLiteral("T%1").arg(k));
        }
        chart.setAxisRange(vantor::TrendAxis::Y, 0, 100);
        std::vector<QString> labels(86400);
        for (int s = 0; s < 86400; ++s)
            labels[std::size_t(s)] = QStringLiteral("%1:%2:%3")
                                         .arg(s / 3600, 2, 10, QLatin1Char('0'))
                                         .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                         .arg(s % 60, 2, 10, QLatin1Char('0'));
        const int round = std::max(1, qEnvironmentVariableIntValue("VANTOR_WEEK_ROUND"));
        const int perRound = qEnvironmentVariableIsSet("VANTOR_WEEK_ROUND") ? round : 60;
        vantor::TeeRunWriter writer(w.path);
        for (int i = 0; i < kWeek;) {
            for (const int end = std::min(kWeek, i + perRound); i < end; ++i) {
                chart.data().appendIndexed(0, 46000 + i / 86400.0, labels[std::size_t(i % 86400)]);
                for (int k = 1; k <= kCurves; ++k)
                    chart.data().append(k, i + 1, Value(i, k));
            }
            const auto t0 = Clock::now();
            const vantor::ChartSnapshot snapshot = chart.snapshot();
            const auto t1 = Clock::now();
            if (const auto error = writer.save(snapshot)) {
                state.SkipWithError(error->toStdString().c_str());
                return;
            }
            const auto t2 = Clock::now();
            chart.data().dropSaved(snapshot, writer.spans());
            w.gui.push_back(Ms(t1 - t0) + Ms(Clock::now() - t2));
            w.worker.push_back(Ms(t2 - t1));
        }
    }
    Week& w = *g_week;
    state.counters["rss_MB"] = StatusMegabytes("VmRSS:");
    state.counters["hwm_MB"] = StatusMegabytes("VmHWM:");
    state.counters["rounds"] = double(w.worker.size());
    state.counters["gui_ms"] = Median(w.gui);
    state.counters["worker_ms"] = Median(w.worker);
    state.counters["worker_max_ms"] = *std::max_element(w.worker.begin(), w.worker.end());
    state.counters["file_MB"] = double(QFileInfo(w.path).size()) / 1e6;
}

// VANTOR_BENCH_SHOT=prefix saves a picture of what a benchmark drew last, to look at.
void Shot(vantor::CTChart& chart, const char* name) {
    if (const QByteArray prefix = qgetenv("VANTOR_BENCH_SHOT"); !prefix.isEmpty())
        chart.grab().save(QString::fromLocal8Bit(prefix) + QString::fromLatin1(name) +
                          QStringLiteral(".png"));
}

void Draw(benchmark::State& state, bool timeAxis) {
    if (!g_week)
        return state.SkipWithError("BM_WeekRecord did not run");
    vantor::CTChart& chart = *g_week->chart;
    chart.setAxisRange(vantor::TrendAxis::X, 0, kWeek + 1);
    chart.setTimeAxis(timeAxis, 1);
    std::vector<double> ms;
    for (auto _ : state) {
        const auto t0 = Clock::now();
        chart.replotNow();
        ms.push_back(Ms(Clock::now() - t0));
    }
    Report(state, ms);
    Shot(chart, timeAxis ? "week-time" : "week-index");
    chart.setTimeAxis(false, 1);
    state.counters["rss_MB"] = StatusMegabytes("VmRSS:");
}

// Hours of the first day, apart, so that each reads points no earlier iteration read.
void ZoomHour(benchmark::State& state, bool timeAxis) {
    if (!g_week)
        return state.SkipWithError("BM_WeekRecord did not run");
    vantor::CTChart& chart = *g_week->chart;
    chart.setTimeAxis(timeAxis, 1);
    std::vector<double> ms;
    int hour = 0;
    for (auto _ : state) {
        // Other hours on the time axis than on the index axis.
        const double from = ((hour * 7 + (timeAxis ? 3 : 0)) % 120) * 3600.0 + 1;
        ++hour;
        const auto t0 = Clock::now();
        chart.setAxisRange(vantor::TrendAxis::X, from, from + 3600);
        chart.replotNow();
        ms.push_back(Ms(Clock::now() - t0));
    }
    Report(state, ms);
    Shot(chart, timeAxis ? "hour-time" : "hour-index");
    chart.setTimeAxis(false, 1);
    state.counters["rss_MB"] = StatusMegabytes("VmRSS:");
}

void BM_WeekHistoryOpen(benchmark::State& state) {
    const QString path = g_week ? g_week->path : qEnvironmentVariable("VANTOR_WEEK_FILE");
    if (path.isEmpty() || !QFileInfo::exists(path))
        return state.SkipWithError("no week recorded (BM_WeekRecord or VANTOR_WEEK_FILE)");
    std::vector<double> ms;
    std::unique_ptr<vantor::CTChart> chart;
    for (auto _ : state) {
        chart.reset();
        const auto t0 = Clock::now();
        chart = NewChart();
        const vantor::TeeLoad loaded = vantor::LoadTeeFile(path, vantor::SeriesData::kKeptPoints);
        if (!loaded.chart)
            return state.SkipWithError(loaded.error.toStdString().c_str());
        chart->load(*loaded.chart);
        chart->setAxisRange(vantor::TrendAxis::X, 0, chart->data().pointCount(0) + 1);
        chart->replotNow();
        ms.push_back(Ms(Clock::now() - t0));
    }
    Report(state, ms);
    if (chart)
        Shot(*chart, "history");
    state.counters["rss_MB"] = StatusMegabytes("VmRSS:");
    state.counters["hwm_MB"] = StatusMegabytes("VmHWM:");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    auto ms = [](benchmark::internal::Benchmark* b) {
        b->Unit(benchmark::kMillisecond)->UseRealTime();
    };
    benchmark::RegisterBenchmark("BM_WeekRecord", BM_WeekRecord)->Iterations(1)->Apply(ms);
    benchmark::RegisterBenchmark("BM_WeekDraw/index", Draw, false)->Iterations(10)->Apply(ms);
    benchmark::RegisterBenchmark("BM_WeekDraw/time", Draw, true)->Iterations(10)->Apply(ms);
    benchmark::RegisterBenchmark("BM_WeekZoomHour/index", ZoomHour, false)
        ->Iterations(10)
        ->Apply(ms);
    benchmark::RegisterBenchmark("BM_WeekZoomHour/time", ZoomHour, true)->Iterations(10)->Apply(ms);
    benchmark::RegisterBenchmark("BM_WeekHistoryOpen", BM_WeekHistoryOpen)
        ->Iterations(1)
        ->Apply(ms);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_week.reset();
    return 0;
}
