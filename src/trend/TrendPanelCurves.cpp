// SPDX-License-Identifier: GPL-3.0-or-later
// The trend panel following the workspace's curve table: a curve added, edited or removed, or a
// whole new table.
#include "registers/CurveTable.h"
#include "registers/Workspace.h"
#include "trend/CurveRecorder.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"

namespace vantor {

void CTrendPanelDlg::connectCurves() {
    CurveTable* curves = m_workspace->curves();
    // A curve's looks go onto its series when the table changes, never at a sample.
    connect(curves, &CurveTable::curveAdded, this, [this](int, int slot) {
        if (m_data->seriesCount() == slot) {
            m_data->addSeries();
            m_data->setLineWidth(slot, m_workspace->trendSettings().lineWidth);
        }
        m_sampler.applyLooks(*m_data, slot, m_workspace->trendSettings().lineWidth);
        emit resizeFloatBoxRequested();
    });
    connect(curves, &CurveTable::rowEdited, this, [this](int row) {
        if (!m_history)
            m_sampler.applyLooks(*m_data, m_workspace->curves()->row(row).number.toInt(),
                                 m_workspace->trendSettings().lineWidth);
    });
    connect(curves, &CurveTable::curveRemoved, this, [this](int, int slot) {
        if (slot <= 0)
            return;
        m_data->clear(slot);
        m_data->setActive(slot, false);
        m_sampler.clearFirstSample(slot);
    });
    connect(curves, &CurveTable::rowsReset, this, [this] {
        // "实时曲线" after history starts from the rows; so does a chart built later over data
        // that holds no curve yet.
        if (m_history || (!m_chart && m_data->seriesCount() == 1))
            return;
        // The run so far keeps its file; the new curves begin a run of their own.
        m_recorder->stop();
        rebuildLiveChart();
        setAutoSave(autoSaveChecked());
        emit resizeFloatBoxRequested();
    });
}

// A whole new table of curves (a project opened): the chart holds its curves only, each in its
// slot with its name, colour and axis, and no points; nothing of an old curve stays in the
// legend or goes on in a new curve's line.
void CTrendPanelDlg::rebuildLiveChart() {
    CTChart* c = chart();
    const CurveTable* curves = m_workspace->curves();
    const int width = m_workspace->trendSettings().lineWidth;
    int last = 0;
    for (int slot = 1; slot <= CurveTable::kMaxCurves; ++slot)
        if (!curves->slotFree(slot))
            last = slot;
    ChartSnapshot live;
    live.title = c->title();
    live.series.resize(static_cast<std::size_t>(last) + 1);
    live.series[0].color = QColor(Qt::black).rgba(); // the time base
    for (std::size_t i = 0; i < live.series.size(); ++i) {
        live.series[i].active = false;
        if (i > 0)
            live.series[i].lineWidth = width;
    }
    c->load(live);
    // Then each used slot takes its looks from its rows, as when a curve is added.
    for (int slot = 1; slot <= last; ++slot)
        m_sampler.applyLooks(*m_data, slot, width);
    m_sampler.clearFirstSamples();
}

} // namespace vantor
