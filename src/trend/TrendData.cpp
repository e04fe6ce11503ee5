// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendData.h"

#include <algorithm>

#include "registers/CurveTable.h"
#include "trend/TrendRules.h"

namespace vantor {

TrendData::TrendData(QObject* parent) : QObject(parent) {
    addSeries();
    m_series.front()->color = Qt::black;
    m_series.front()->active = false;
}

TrendData::~TrendData() = default;

TrendData::Series* TrendData::at(int series) {
    return series >= 0 && series < seriesCount() ? m_series[static_cast<std::size_t>(series)].get()
                                                 : nullptr;
}

const TrendData::Series* TrendData::at(int series) const {
    return const_cast<TrendData*>(this)->at(series);
}

const SeriesData* TrendData::points(int series) const {
    const Series* s = at(series);
    return s ? &s->points : nullptr;
}

int TrendData::addSeries() {
    const int index = seriesCount();
    auto s = std::make_unique<Series>();
    s->color = ChartColorOfRef(DefaultCurveColor(index));
    m_series.push_back(std::move(s));
    emit seriesAdded(index);
    return index;
}

void TrendData::removeLastSeries() {
    const int last = seriesCount() - 1;
    emit seriesRemoved(last); // while its points still exist for whoever draws them
    m_series.pop_back();
}

// ---- looks ----

template <typename T>
T TrendData::look(int series, T Series::*field, T none) const {
    const Series* s = at(series);
    return s ? s->*field : none;
}

// Each look announces itself once, when it really changes.
template <typename T>
void TrendData::setLook(int series, T Series::*field, T value) {
    Series* s = at(series);
    if (!s || s->*field == value)
        return;
    s->*field = std::move(value);
    emit looksChanged(series);
}

QString TrendData::title(int series) const {
    return look(series, &Series::title, QString());
}

void TrendData::setTitle(int series, const QString& title) {
    setLook(series, &Series::title, title);
}

QColor TrendData::color(int series) const {
    return look(series, &Series::color, QColor());
}

void TrendData::setColor(int series, const QColor& color) {
    setLook(series, &Series::color, color);
}

bool TrendData::active(int series) const {
    return look(series, &Series::active, false);
}

void TrendData::setActive(int series, bool active) {
    setLook(series, &Series::active, active);
}

TrendAxis TrendData::axis(int series) const {
    return look(series, &Series::axis, TrendAxis::Y);
}

void TrendData::setAxis(int series, TrendAxis axis) {
    if (axis != TrendAxis::X)
        setLook(series, &Series::axis, axis);
}

int TrendData::lineWidth(int series) const {
    return look(series, &Series::lineWidth, 0);
}

void TrendData::setLineWidth(int series, int width) {
    setLook(series, &Series::lineWidth, std::clamp(width, 0, kMaxLineWidth));
}

// ---- points ----

int TrendData::append(int series, double x, double y, const QString& label) {
    Series* s = at(series);
    if (!s)
        return -1;
    s->points.append(x, y, label);
    const int count = s->points.count();
    emit pointsChanged(series, count);
    return count - 1;
}

int TrendData::appendIndexed(int series, double value, const QString& label) {
    return append(series, pointCount(series), value, label);
}

void TrendData::clear(int series) {
    Series* s = at(series);
    if (!s)
        return;
    s->points.clear();
    emit pointsChanged(series, 0);
}

int TrendData::pointCount(int series) const {
    const Series* s = at(series);
    return s ? s->points.count() : 0;
}

QString TrendData::pointLabel(int series, int index) const {
    const Series* s = at(series);
    return s ? s->points.label(index) : QString();
}

std::optional<double> TrendData::xValue(int series, int index) const {
    const Series* s = at(series);
    return s ? s->points.x(index) : std::nullopt;
}

std::optional<double> TrendData::yValue(int series, int index) const {
    const Series* s = at(series);
    return s ? s->points.y(index) : std::nullopt;
}

std::optional<double> TrendData::yAtX(int series, double x) const {
    const Series* s = at(series);
    if (!s)
        return std::nullopt;
    const int index = s->points.lowerBound(x);
    return s->points.x(index) == x ? s->points.y(index) : std::nullopt;
}

double TrendData::newestX() const {
    double newest = 0;
    for (const auto& s : m_series)
        if (s->points.count() > 0)
            newest = std::max(newest, *s->points.x(s->points.count() - 1));
    return newest;
}

// ---- as a whole ----

void TrendData::copyTo(ChartSnapshot& out) const {
    out.series.resize(m_series.size());
    for (std::size_t i = 0; i < m_series.size(); ++i) {
        const Series& from = *m_series[i];
        SeriesSnapshot& to = out.series[i];
        to.title = from.title;
        to.color = from.color.rgba();
        to.axis = from.axis;
        to.active = from.active;
        to.lineWidth = from.lineWidth;
        from.points.copyTo(to);
    }
}

void TrendData::load(const ChartSnapshot& chart) {
    const int wanted = std::max<int>(1, static_cast<int>(chart.series.size()));
    while (seriesCount() > wanted)
        removeLastSeries();
    while (seriesCount() < wanted)
        addSeries();
    if (chart.series.empty())
        clear(0);
    for (int i = 0; i < static_cast<int>(chart.series.size()); ++i) {
        const SeriesSnapshot& from = chart.series[static_cast<std::size_t>(i)];
        Series& to = *m_series[static_cast<std::size_t>(i)];
        to.points.assign(from);
        to.title = from.title;
        to.color = QColor::fromRgba(from.color);
        to.axis = from.axis == TrendAxis::X ? TrendAxis::Y : from.axis;
        to.lineWidth = std::clamp(from.lineWidth, 0, kMaxLineWidth);
        to.active = from.active;
        emit pointsChanged(i, to.points.count());
        emit looksChanged(i);
    }
}

void TrendData::dropSaved(const ChartSnapshot& saved,
                          const std::shared_ptr<const ValueSource>& source) {
    const std::size_t n = std::min(saved.series.size(), m_series.size());
    for (std::size_t i = 0; source && i < n; ++i)
        m_series[i]->points.dropSaved(saved.series[i], source, int(i), m_keptPoints);
}

} // namespace vantor
