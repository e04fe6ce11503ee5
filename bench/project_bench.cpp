// SPDX-License-Identifier: GPL-3.0-or-later
// Saving and opening a full project: 30 packets of 130 cells, 99 curves and the 30 monitoring
// objects. Save = the section written and the file replaced; open = the file read, the set-up
// read, configure, and the cells read back (the window's work without its widgets).
//   build/bench/project_bench
#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include "project/ProjectFile.h"
#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

namespace {

using namespace vantor;

ProjectCounts Configure(Workspace& ws) {
    ws.configure();
    ProjectCounts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i)
        counts[i] = ws.store()->images().packets[i].count;
    return counts;
}

void Fill(Workspace& ws) {
    PacketRows rows{};
    for (int p = 0; p < kPacketCount; ++p)
        rows[static_cast<std::size_t>(p)] = {"1", "03", std::to_string(p * 130), "125", true};
    ws.setRows(rows);
    for (int k = 1; k <= CurveTable::kMaxCurves; ++k)
        ws.curves()->drop(QStringLiteral("曲线%1 %2-%3-2").arg(k).arg(k % 30 + 1).arg(k % 10 + 1));
    for (MonitorKind kind : {MonitorKind::Analogue, MonitorKind::Switch, MonitorKind::Lamp})
        for (int i = 0; i < MonitorTable::kPerKind; ++i)
            ws.monitors()->setCaption(kind, i, QStringLiteral("对象%1 1-%2-2").arg(i).arg(i + 1));
    Configure(ws);
    for (int p = 1; p <= kPacketCount; ++p)
        for (int i = 0; i < 125; ++i) {
            ws.store()->setCellLabel({PacketNo(p), i}, QStringLiteral("测点%1_%2").arg(p).arg(i));
            ws.store()->setCellValue({PacketNo(p), i}, QString::number(i * 7));
        }
}

void BM_SaveProject(benchmark::State& state) {
    QTemporaryDir dir;
    Workspace ws;
    Fill(ws);
    const ProjectCounts counts = Configure(ws);
    const QString path = dir.filePath(QStringLiteral("p.ini"));
    for (auto _ : state)
        if (SaveProject(path, ws, counts))
            state.SkipWithError("save failed");
}

void BM_OpenProject(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ini"));
    {
        Workspace ws;
        Fill(ws);
        SaveProject(path, ws, Configure(ws));
    }
    for (auto _ : state) {
        Workspace ws;
        const ProjectOpen project = ReadProjectFile(path);
        ReadProject(*project.profile, ws);
        ReadProjectCells(*project.profile, Configure(ws), ws);
    }
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::RegisterBenchmark("BM_SaveProject/full", BM_SaveProject)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::RegisterBenchmark("BM_OpenProject/full", BM_OpenProject)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
