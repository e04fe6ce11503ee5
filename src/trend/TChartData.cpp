// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's curves as data (the snapshot a recording or a file is made of, and loading one),
// its title, and the legend beside the plot.
#include <QListWidget>
#include <algorithm>
#include <qcustomplot.h>

#include "trend/TChart.h"
#include "trend/TrendCurve.h"

namespace vantor {

// ---- legend ----

void CTChart::applyVisibility(int series) {
    Series* s = at(series);
    const bool visible = m_data->active(series) && !s->hiddenByLegend;
    if (s->curve->visible() != visible) {
        s->curve->setVisible(visible);
        scheduleReplot();
    }
    refreshLegendItem(series);
}

// The legend lists the curves that are active and have points; a removed curve (cleared and
// inactive) leaves it. A check box reflects whether the user shows the curve.
void CTChart::refreshLegendItem(int series) {
    Series* s = at(series);
    if (!s || !s->legendItem)
        return;
    QListWidgetItem* item = s->legendItem;
    const QSignalBlocker block(m_legend);
    item->setText(m_data->title(series));
    item->setForeground(m_data->color(series));
    if (m_checkBoxes) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(s->hiddenByLegend ? Qt::Unchecked : Qt::Checked);
    } else {
        item->setFlags(Qt::ItemIsEnabled);
        item->setData(Qt::CheckStateRole, QVariant());
    }
    item->setHidden(!(m_data->active(series) && m_data->pointCount(series) > 0));
}

// ---- the whole chart as data ----

ChartSnapshot CTChart::snapshot() const {
    ChartSnapshot chart;
    chart.title = title();
    for (int a = 0; a < kTrendAxisCount; ++a) {
        const auto [lower, upper] = axisRange(static_cast<TrendAxis>(a));
        chart.ranges[static_cast<std::size_t>(a)] = {lower, upper};
    }
    chart.markerX = markerX();
    m_data->copyTo(chart);
    const std::size_t n = std::min(chart.series.size(), m_series.size());
    for (std::size_t i = 0; i < n; ++i)
        chart.series[i].hiddenByLegend = m_series[i].hiddenByLegend;
    if (chart.series.size() > 1)
        chart.lineWidth = chart.series[1].lineWidth;
    return chart;
}

void CTChart::load(const ChartSnapshot& chart) {
    m_data->load(chart); // the views follow its series
    for (int i = 0; i < std::min<int>(seriesCount(), int(chart.series.size())); ++i) {
        m_series[static_cast<std::size_t>(i)].hiddenByLegend =
            chart.series[static_cast<std::size_t>(i)].hiddenByLegend;
        applyVisibility(i);
    }
    setTitle(chart.title);
    for (int a = 0; a < kTrendAxisCount; ++a) {
        const ViewRange range = chart.ranges[static_cast<std::size_t>(a)];
        if (range.max > range.min)
            setAxisRange(static_cast<TrendAxis>(a), range.min, range.max);
    }
    setMarkerX(chart.markerX);
    scheduleReplot();
}

// ---- title, legend ----

QString CTChart::title() const {
    return static_cast<QCPTextElement*>(m_plot->plotLayout()->element(0, 0))->text();
}

void CTChart::setTitle(const QString& text) {
    static_cast<QCPTextElement*>(m_plot->plotLayout()->element(0, 0))->setText(text);
    scheduleReplot();
}

void CTChart::setLegendCheckBoxes(bool shown) {
    m_checkBoxes = shown;
    // Without check boxes every listed curve is drawn.
    for (int series = 1; series < seriesCount(); ++series) {
        if (!shown && m_series[static_cast<std::size_t>(series)].hiddenByLegend) {
            m_series[static_cast<std::size_t>(series)].hiddenByLegend = false;
            applyVisibility(series);
        }
        refreshLegendItem(series);
    }
}

void CTChart::setLegendFontSize(int points) {
    m_legendFont = points;
    QFont font = m_legend->font();
    font.setPointSize(std::max(1, points));
    m_legend->setFont(font);
    setLegendSpacing(m_legendSpacing);
}

void CTChart::setLegendSpacing(int pixels) {
    m_legendSpacing = pixels;
    // Rows are a text line high plus the spacing, never less than the text.
    const int line = QFontMetrics(m_legend->font()).height();
    const int height = std::max(line, line + 6 + pixels);
    m_legend->setStyleSheet(QStringLiteral("QListWidget::item { height: %1px; }").arg(height));
}

} // namespace vantor
