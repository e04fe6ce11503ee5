// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendSampler.h"

#include <QCoreApplication>

#include "files/ShareIni.h"
#include "registers/CurveTable.h"
#include "registers/OleDate.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "trend/TrendData.h"
#include "trend/TrendRules.h"

namespace vantor {

TrendSampler::TrendSampler(const Workspace* workspace)
    : m_workspace(workspace), m_sharePath(ShareIniPath()) {}

int TrendSampler::firstSample(int slot) const {
    return slot >= 1 && slot <= CurveTable::kMaxCurves ? m_first[static_cast<std::size_t>(slot)]
                                                       : 0;
}

void TrendSampler::clearFirstSample(int slot) {
    if (slot >= 1 && slot <= CurveTable::kMaxCurves)
        m_first[static_cast<std::size_t>(slot)] = 0;
}

float TrendSampler::rowValue(int row) const {
    return row >= 0 && row < m_rowValues.size() ? m_rowValues[row] : 0.0f;
}

void TrendSampler::applyLooks(TrendData& data, int slot, int lineWidth) const {
    const CurveTable* curves = m_workspace->curves();
    if (slot < 1 || slot >= data.seriesCount() || curves->slotFree(slot))
        return;
    // The slot's last row names it, as the rows are read in order.
    const CurveRow& row = curves->row(curves->rowsOfSlot(slot).constLast());
    data.setLineWidth(slot, lineWidth);
    data.setColor(slot, ChartColorOfRef(row.color));
    data.setActive(slot, true);
    data.setTitle(slot, row.name);
    if (const auto axis = AxisOfName(row.axis))
        data.setAxis(slot, *axis);
}

std::optional<QString> TrendSampler::tick(TrendData& data, const QDateTime& now) {
    // The time base keeps the OLE date to six decimals, as its text form has them.
    const double date = QString::number(OleDateFromDateTime(now), 'f', 6).toDouble();
    const QString label = now.toString(QStringLiteral("HH:mm:ss"));
    data.appendIndexed(0, date, label);

    const CurveTable* curves = m_workspace->curves();
    const RegisterStore* store = m_workspace->store();
    const int lineWidth = m_workspace->trendSettings().lineWidth;
    m_rowValues.resize(curves->rowCount());
    ShareEntries entries;
    for (int slot = 1; slot <= CurveTable::kMaxCurves; ++slot) {
        if (curves->slotFree(slot))
            continue;
        for (int j : curves->rowsOfSlot(slot)) {
            const CurveRow& row = curves->row(j);
            const SourceRef ref = ParseSourceRef(row.source);
            const QString text = store->gridText(ref.grid, ref.row, ref.column);
            const double value = LenientNumber(text) * LenientNumber(row.rate);
            m_rowValues[j] = static_cast<float>(value);
            // A slot whose series does not exist yet (rows from a project) gets it now, with its
            // looks; later the panel applies them when the curve table changes.
            if (data.seriesCount() <= slot) {
                while (data.seriesCount() <= slot)
                    data.addSeries();
                applyLooks(data, slot, lineWidth);
            }
            data.append(slot, data.pointCount(0), value);
            int& first = m_first[static_cast<std::size_t>(slot)];
            if (first == 0)
                first = data.pointCount(0);
            entries.append({row.number, text});
        }
    }

    // Written whole once a tick; once more after the last curve went, so no stale value stays.
    if (entries.isEmpty() && !m_shareHadEntries)
        return std::nullopt;
    m_shareHadEntries = !entries.isEmpty();
    QString error;
    if (WriteShareIni(m_sharePath, entries, &error)) {
        m_shareFailed = false;
        return std::nullopt;
    }
    if (m_shareFailed)
        return std::nullopt;
    m_shareFailed = true;
    return QCoreApplication::translate("vantor::TrendSampler", "无法写入共享数值文件 %1：%2")
        .arg(m_sharePath, error);
}

} // namespace vantor
