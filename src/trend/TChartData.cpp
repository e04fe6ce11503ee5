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
    const bool visible = s->active && !s->hiddenByLegend;
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
    item->setText(s->title);
    item->setForeground(s->color);
    if (m_checkBoxes) {
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(s->hiddenByLegend ? Qt::Unchecked : Qt::Checked);
    } else {
        item->setFlags(Qt::ItemIsEnabled);
        item->setData(Qt::CheckStateRole, QVariant());
    }
    item->setHidden(!(s->active && s->data->count() > 0));
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
    chart.series.resize(m_series.size());
    for (std::size_t i = 0; i < m_series.size(); ++i) {
        const Series& from = m_series[i];
        SeriesSnapshot& to = chart.series[i];
        to.title = from.title;
        to.color = from.color.rgba();
        to.axis = from.axis;
        to.active = from.active;
        to.hiddenByLegend = from.hiddenByLegend;
        to.lineWidth = from.curve->lineWidth();
        from.data->copyTo(to);
    }
    if (m_series.size() > 1)
        chart.lineWidth = m_series[1].curve->lineWidth();
    return chart;
}

void CTChart::load(const ChartSnapshot& chart) {
    const int wanted = std::max<int>(1, static_cast<int>(chart.series.size()));
    while (seriesCount() > wanted)
        removeLastSeries();
    while (seriesCount() < wanted)
        addSeries();
    if (chart.series.empty())
        clearSeries(0);
    for (int i = 0; i < static_cast<int>(chart.series.size()); ++i) {
        const SeriesSnapshot& from = chart.series[static_cast<std::size_t>(i)];
        Series& to = m_series[static_cast<std::size_t>(i)];
        to.data->assign(from);
        to.title = from.title;
        to.hiddenByLegend = from.hiddenByLegend;
        setSeriesColor(i, QColor::fromRgba(from.color));
        setSeriesAxis(i, from.axis == TrendAxis::X ? TrendAxis::Y : from.axis);
        setSeriesLineWidth(i, from.lineWidth);
        setSeriesActive(i, from.active); // shows or hides it and refreshes its legend row
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

void CTChart::dropSaved(const ChartSnapshot& saved,
                        const std::shared_ptr<const ValueSource>& source) {
    const std::size_t n = std::min(saved.series.size(), m_series.size());
    for (std::size_t i = 0; source && i < n; ++i)
        m_series[i].data->dropSaved(saved.series[i], source, int(i), m_keptPoints);
}

void CTChart::removeLastSeries() {
    Series& s = m_series.back();
    delete s.legendItem;
    m_plot->removePlottable(s.curve);
    m_series.pop_back();
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
