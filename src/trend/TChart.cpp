// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TChart.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <algorithm>
#include <qcustomplot.h>

#include "registers/CurveTable.h"
#include "trend/ChartFurniture.h"
#include "trend/TrendCurve.h"
#include "trend/TrendRules.h"

namespace vantor {

namespace {
const char* const kOverlay = "overlay";
} // namespace

CTChart::CTChart(QWidget* parent) : CTChart(nullptr, parent) {}

CTChart::CTChart(TrendData* data, QWidget* parent)
    : QWidget(parent), m_ownData(data ? nullptr : std::make_unique<TrendData>()),
      m_data(data ? data : m_ownData.get()), m_plot(new QCustomPlot(this)),
      m_legend(new QListWidget(this)) {
    m_plot->setObjectName(QStringLiteral("trendPlot"));
    m_legend->setObjectName(QStringLiteral("trendLegend"));
    m_plot->setNotAntialiasedElements(QCP::aeAll);
    m_plot->setMouseTracking(true);
    m_plot->installEventFilter(this);
    m_plot->layer(QString::fromLatin1(kOverlay))->setMode(QCPLayer::lmBuffered);

    m_plot->plotLayout()->insertRow(0);
    m_plot->plotLayout()->addElement(0, 0, new QCPTextElement(m_plot, QString()));

    m_axes[static_cast<int>(TrendAxis::X)] = m_plot->xAxis;
    m_axes[static_cast<int>(TrendAxis::Y)] = m_plot->yAxis;
    AddExtraAxes(m_plot, m_axes);
    m_marker = MakeVerticalLine(m_plot, Qt::blue, QString::fromLatin1(kOverlay));
    m_cursor = MakeVerticalLine(m_plot, Qt::red, QString::fromLatin1(kOverlay));
    m_second = MakeVerticalLine(m_plot, QColor(0, 140, 0), QString::fromLatin1(kOverlay));
    m_second->setVisible(false);

    m_overdraw = std::make_unique<OverdrawPlan>([this](std::vector<TrendCurve*>& curves) {
        curves.clear();
        for (const Series& s : m_series)
            curves.push_back(s.curve);
    });
    connect(m_plot, &QCustomPlot::beforeReplot, this, [this] { m_overdraw->newFrame(); });
    m_plot->xAxis->setTicker(MakeTimeBaseTicker(m_data->points(0), m_plot->xAxis));
    setupInteractions();

    m_legend->setFixedWidth(kLegendWidth);
    m_legend->setUniformItemSizes(true);
    m_legend->setSelectionMode(QAbstractItemView::NoSelection);
    m_legend->setFocusPolicy(Qt::NoFocus);
    // The names are written in their curves' colours, picked to stand out on the chart's white:
    // the legend keeps that white under a dark palette too.
    QPalette legendColours = m_legend->palette();
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        legendColours.setColor(group, QPalette::Base, Qt::white);
        legendColours.setColor(group, QPalette::Text, Qt::black);
    }
    m_legend->setPalette(legendColours);
    connect(m_legend, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        const int series = item->data(Qt::UserRole).toInt();
        Series* s = at(series);
        if (!s || !m_checkBoxes || !item->data(Qt::CheckStateRole).isValid())
            return;
        const bool hidden = item->checkState() != Qt::Checked;
        if (hidden != s->hiddenByLegend) {
            s->hiddenByLegend = hidden;
            applyVisibility(series);
        }
    });
    setLegendFontSize(m_legendFont);
    attachData();

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_legend);

    m_replotTimer.setSingleShot(true);
    connect(&m_replotTimer, &QTimer::timeout, this, &CTChart::replot);
    m_sinceReplot.start();
}

// The data's notices end with whichever of the two goes first (the data may outlive the chart,
// or go before it with the panel that owns it); the data is not touched here.
CTChart::~CTChart() = default;

CTChart::Series* CTChart::at(int series) {
    return series >= 0 && series < seriesCount() ? &m_series[static_cast<std::size_t>(series)]
                                                 : nullptr;
}

const CTChart::Series* CTChart::at(int series) const {
    return const_cast<CTChart*>(this)->at(series);
}

QCPAxis* CTChart::axis(TrendAxis which) const {
    return m_axes[static_cast<int>(which)];
}

// ---- axes ----

void CTChart::setAxisRange(TrendAxis which, double min, double max) {
    m_auto[static_cast<std::size_t>(which)] = false;
    if (which == TrendAxis::X)
        axis(which)->setRange(keyOfX(min), keyOfX(max));
    else
        axis(which)->setRange(min, max);
    scheduleReplot();
}

std::pair<double, double> CTChart::axisRange(TrendAxis which) const {
    if (which == TrendAxis::X)
        return visibleX();
    const QCPRange range = axis(which)->range();
    return {range.lower, range.upper};
}

std::pair<double, double> CTChart::visibleX() const {
    const QCPRange range = m_plot->xAxis->range();
    return {xOfKey(range.lower), xOfKey(range.upper)};
}

void CTChart::shiftX(double offset, bool checkLimits) {
    const auto [lower, upper] = visibleX();
    if (checkLimits && offset < 0)
        offset = std::max(offset, std::min(0.0, -lower));
    if (checkLimits && offset > 0) {
        // Forward only while a point stands at or beyond the right edge, and no further than one
        // past the newest point: a new chart fills from the left and scrolls once its newest
        // point reaches the right edge, and fast forward stops at the newest sample.
        const double newest = m_data->newestX();
        if (!(newest >= upper))
            return;
        offset = std::min(offset, newest - upper + 1);
    }
    if (offset == 0)
        return;
    m_plot->xAxis->setRange(keyOfX(lower + offset), keyOfX(upper + offset));
    scheduleReplot();
}

double CTChart::pixelToX(int pixel) const {
    return xOfKey(m_plot->xAxis->pixelToCoord(m_plot->mapFrom(this, QPoint(pixel, 0)).x()));
}

// ---- series ----

// Every series the data holds gets its curve and legend row, and follows the data from then on.
void CTChart::attachData() {
    for (int series = 0; series < m_data->seriesCount(); ++series)
        addView(series);
    connect(m_data, &TrendData::seriesAdded, this, &CTChart::addView);
    connect(m_data, &TrendData::seriesRemoved, this, [this] { removeLastView(); });
    connect(m_data, &TrendData::looksChanged, this, &CTChart::applyLooks);
    connect(m_data, &TrendData::pointsChanged, this, [this](int series, int count) {
        if (count <= 1) // the first point, or none any more: the legend row shows or goes
            refreshLegendItem(series);
        scheduleReplot();
    });
}

void CTChart::addView(int index) {
    m_series.emplace_back();
    Series& s = m_series.back();
    s.curve = new TrendCurve(m_data->points(index), m_plot->xAxis, m_plot->yAxis);
    if (index > 0) {
        s.curve->setSlot(index);
        s.curve->setOverdrawPlan(m_overdraw.get());
        s.curve->setTimeKeys(m_timeKeys.get(), m_gapSeconds);
        s.legendItem = new QListWidgetItem;
        s.legendItem->setData(Qt::UserRole, index);
        const QSignalBlocker block(m_legend);
        m_legend->addItem(s.legendItem);
    }
    s.curve->setVisible(false); // applyVisibility sets it from the series' state
    applyLooks(index);
}

void CTChart::removeLastView() {
    Series& s = m_series.back();
    delete s.legendItem;
    m_plot->removePlottable(s.curve);
    m_series.pop_back();
    scheduleReplot();
}

// The series' colour, axis, width and whether it is in use, as the data has them now.
void CTChart::applyLooks(int series) {
    Series* s = at(series);
    if (!s)
        return;
    s->curve->setPen(QPen(m_data->color(series)));
    s->curve->setValueAxis(axis(m_data->axis(series)));
    s->curve->setLineWidth(m_data->lineWidth(series));
    applyVisibility(series);
    scheduleReplot();
}

bool CTChart::seriesHiddenByLegend(int series) const {
    const Series* s = at(series);
    return s && s->hiddenByLegend;
}

// ---- drawing ----

void CTChart::scheduleReplot(bool overlayOnly) {
    m_fullReplot = m_fullReplot || !overlayOnly;
    if (m_replotTimer.isActive())
        return;
    const qint64 wait = kReplotMs - m_sinceReplot.elapsed();
    m_replotTimer.start(static_cast<int>(std::clamp<qint64>(wait, 0, kReplotMs)));
}

void CTChart::replot() {
    m_sinceReplot.restart();
    ++m_replots;
    if (m_fullReplot)
        m_plot->replot(QCustomPlot::rpQueuedRefresh);
    else
        m_plot->layer(QString::fromLatin1(kOverlay))->replot();
    m_fullReplot = false;
}

void CTChart::setOverdrawSkipping(bool on) {
    for (Series& s : m_series)
        s.curve->setOverdrawPlan(on ? m_overdraw.get() : nullptr);
    scheduleReplot();
}

void CTChart::replotNow() {
    m_replotTimer.stop();
    m_sinceReplot.restart();
    ++m_replots;
    m_fullReplot = false;
    m_plot->replot(QCustomPlot::rpImmediateRefresh);
}

} // namespace vantor
