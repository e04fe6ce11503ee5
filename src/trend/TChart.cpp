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

CTChart::CTChart(QWidget* parent)
    : QWidget(parent), m_plot(new QCustomPlot(this)), m_legend(new QListWidget(this)) {
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
    m_series.emplace_back();
    Series& timeBase = m_series.back();
    timeBase.data = std::make_unique<SeriesData>();
    timeBase.curve = new TrendCurve(timeBase.data.get(), m_plot->xAxis, m_plot->yAxis);
    timeBase.color = Qt::black;
    m_plot->xAxis->setTicker(MakeTimeBaseTicker(timeBase.data.get(), m_plot->xAxis));
    setSeriesActive(0, false);
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

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_legend);

    m_replotTimer.setSingleShot(true);
    connect(&m_replotTimer, &QTimer::timeout, this, &CTChart::replot);
    m_sinceReplot.start();
}

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
        const double newest = newestX();
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

double CTChart::newestX() const {
    double newest = 0;
    for (const Series& s : m_series)
        if (s.data->count() > 0)
            newest = std::max(newest, *s.data->x(s.data->count() - 1));
    return newest;
}

// ---- series ----

int CTChart::addSeries() {
    const int index = seriesCount();
    m_series.emplace_back();
    Series& s = m_series.back();
    s.data = std::make_unique<SeriesData>();
    s.curve = new TrendCurve(s.data.get(), m_plot->xAxis, m_plot->yAxis);
    s.curve->setSlot(index);
    s.curve->setOverdrawPlan(m_overdraw.get());
    s.curve->setTimeKeys(m_timeKeys.get(), m_gapSeconds);
    s.color = ChartColorOfRef(DefaultCurveColor(index));
    s.curve->setPen(QPen(s.color));
    s.legendItem = new QListWidgetItem;
    s.legendItem->setData(Qt::UserRole, index);
    {
        const QSignalBlocker block(m_legend);
        m_legend->addItem(s.legendItem);
    }
    s.curve->setVisible(false); // applyVisibility sets it from the series' state
    applyVisibility(index);
    return index;
}

QString CTChart::seriesTitle(int series) const {
    const Series* s = at(series);
    return s ? s->title : QString();
}

void CTChart::setSeriesTitle(int series, const QString& title) {
    Series* s = at(series);
    if (!s || s->title == title)
        return;
    s->title = title;
    refreshLegendItem(series);
}

QColor CTChart::seriesColor(int series) const {
    const Series* s = at(series);
    return s ? s->color : QColor();
}

void CTChart::setSeriesColor(int series, const QColor& color) {
    Series* s = at(series);
    if (!s || s->color == color)
        return;
    s->color = color;
    s->curve->setPen(QPen(color));
    refreshLegendItem(series);
    scheduleReplot();
}

bool CTChart::seriesActive(int series) const {
    const Series* s = at(series);
    return s && s->active;
}

void CTChart::setSeriesActive(int series, bool active) {
    Series* s = at(series);
    if (!s)
        return;
    s->active = active;
    applyVisibility(series);
}

TrendAxis CTChart::seriesAxis(int series) const {
    const Series* s = at(series);
    return s ? s->axis : TrendAxis::Y;
}

void CTChart::setSeriesAxis(int series, TrendAxis which) {
    Series* s = at(series);
    if (!s || which == TrendAxis::X || s->axis == which)
        return;
    s->axis = which;
    s->curve->setValueAxis(axis(which));
    scheduleReplot();
}

int CTChart::seriesLineWidth(int series) const {
    const Series* s = at(series);
    return s ? s->curve->lineWidth() : 0;
}

void CTChart::setSeriesLineWidth(int series, int width) {
    Series* s = at(series);
    if (!s || s->curve->lineWidth() == std::clamp(width, 0, TrendCurve::kMaxWidth))
        return;
    s->curve->setLineWidth(width);
    scheduleReplot();
}

void CTChart::clearSeries(int series) {
    Series* s = at(series);
    if (!s)
        return;
    s->data->clear();
    refreshLegendItem(series);
    scheduleReplot();
}

int CTChart::appendIndexed(int series, double value, const QString& label) {
    return appendPoint(series, pointCount(series), value, label);
}

int CTChart::appendPoint(int series, double x, double y, const QString& label) {
    Series* s = at(series);
    if (!s)
        return -1;
    s->data->append(x, y, label);
    if (s->data->count() == 1)
        refreshLegendItem(series);
    scheduleReplot();
    return s->data->count() - 1;
}

int CTChart::pointCount(int series) const {
    const Series* s = at(series);
    return s ? s->data->count() : 0;
}

QString CTChart::pointLabel(int series, int index) const {
    const Series* s = at(series);
    return s ? s->data->label(index) : QString();
}

std::optional<double> CTChart::xValue(int series, int index) const {
    const Series* s = at(series);
    return s ? s->data->x(index) : std::nullopt;
}

std::optional<double> CTChart::yValue(int series, int index) const {
    const Series* s = at(series);
    return s ? s->data->y(index) : std::nullopt;
}

std::optional<double> CTChart::yAtX(int series, double x) const {
    const Series* s = at(series);
    if (!s)
        return std::nullopt;
    const int index = s->data->lowerBound(x);
    return s->data->x(index) == x ? s->data->y(index) : std::nullopt;
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
