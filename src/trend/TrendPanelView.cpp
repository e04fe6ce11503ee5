// SPDX-License-Identifier: GPL-3.0-or-later
// The trend panel's view controls: following the newest sample, the full view, fitting the
// axes, the two cursors, the axis buttons, fast scrolling and the marker.
#include <QToolButton>
#include <cmath>
#include <QWheelEvent>
#include <qcustomplot.h>

#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"
#include "widgets/TwoRowStrip.h"

namespace vantor {

QToolButton* CTrendPanelDlg::addTextButton(const char* name, const QString& text,
                                           const QString& tip) {
    auto* button = new QToolButton(m_strip->second());
    button->setObjectName(QLatin1String(name));
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    m_strip->secondLayout()->addWidget(button);
    return button;
}

void CTrendPanelDlg::buildViewControls() {
    connect(addTextButton("showAllButton", tr("全部显示"), tr("显示全部数据（双击曲线区同样）")),
            &QToolButton::clicked, this, [this] {
                chart()->showAll();
                setMoving(false);
            });
    connect(addTextButton("autoscaleButton", tr("自动缩放"), tr("各数值轴按可见数据自动缩放")),
            &QToolButton::clicked, this, [this] { chart()->autoscaleAll(); });
    m_followButton = addTextButton("followButton", tr("跟随最新"),
                                   tr("最新数据保持在右边缘；缩放或平移后停止跟随"));
    m_followButton->setCheckable(true);
    m_followButton->setChecked(m_sampler.moving());
    connect(m_followButton, &QToolButton::clicked, this, &CTrendPanelDlg::setMoving);
    m_twoCursorsButton = addTextButton("twoCursorsButton", tr("双游标"),
                                       tr("第二游标：Shift+单击放置，可拖动；"
                                          "读数显示两游标的值与差值"));
    m_twoCursorsButton->setCheckable(true);
    connect(m_twoCursorsButton, &QToolButton::clicked, this, &CTrendPanelDlg::setTwoCursors);
}

std::optional<VisibleStats> CTrendPanelDlg::visibleStats(int slot) const {
    return m_chart ? m_chart->visibleStats(slot) : std::nullopt;
}

// The second cursor starts halfway between the marker and the farther end of the samples in
// view, so that both cursors stand on samples.
void CTrendPanelDlg::setTwoCursors(bool on) {
    m_twoCursorsButton->setChecked(on);
    CTChart* c = chart();
    if (!on) {
        c->setSecondCursorX(std::nullopt);
    } else if (!c->secondCursorX()) {
        const auto [lower, upper] = c->axisRange(TrendAxis::X);
        const double first = std::max(lower, 1.0);
        const double last = std::max(first, std::min(upper, m_data->newestX()));
        const double marker = std::clamp(c->markerX(), first, last);
        c->setSecondCursorX(std::round(marker - first > last - marker ? (first + marker) / 2
                                                                      : (marker + last) / 2));
    }
    emit resizeFloatBoxRequested(); // two more lines: the second time and the difference
    emit readoutRequested(c->markerX());
}

// Moving is following the newest sample: turned on, the view jumps to the newest sample (the
// marker keeps its place on the screen) and scrolls with every sample from there.
void CTrendPanelDlg::setMoving(bool moving) {
    m_sampler.setMoving(moving);
    m_followButton->setChecked(moving);
    if (moving && m_chart) {
        if (const double offset = m_chart->scrollToNewest(); offset != 0)
            moveMarkerBy(offset);
    }
}

// ---- axes and scrolling ----

void CTrendPanelDlg::resetAxes() {
    const TrendSettings& settings = m_workspace->trendSettings();
    for (TrendAxis axis : kAxisResetOrder)
        chart()->setAxisRange(axis, settings.range(axis).min, settings.range(axis).max);
}

void CTrendPanelDlg::zeroAxes() {
    const TrendSettings& settings = m_workspace->trendSettings();
    for (TrendAxis axis : kAxisZeroOrder)
        chart()->setAxisRange(axis, 0, settings.range(axis).max);
}

void CTrendPanelDlg::fastPress(FastScroll::Mode mode) {
    m_fast.press(mode);
    m_fastTimer.start(FastScroll::kPeriodMs);
}

void CTrendPanelDlg::fastRelease() {
    m_fast.release();
    m_fastTimer.stop();
}

void CTrendPanelDlg::fastTick() {
    const FastScroll::Step step = m_fast.tick();
    // The first forward tick holds the next one back by the extra wait.
    m_fastTimer.setInterval(step.wait ? FastScroll::kPeriodMs + FastScroll::kFirstWaitMs
                                      : FastScroll::kPeriodMs);
    if (step.shift != 0)
        chart()->shiftX(step.shift, step.checkLimits);
}

// ---- marker ----

void CTrendPanelDlg::showMarker() {
    m_markerEdit->setText(QString::number(static_cast<int>(chart()->markerX())));
}

void CTrendPanelDlg::moveMarkerBy(double step) {
    chart()->setMarkerX(chart()->markerX() + step);
    showMarker();
}

void CTrendPanelDlg::wheelEvent(QWheelEvent* event) {
    moveMarkerBy(event->angleDelta().y() > 0 ? 1 : -1);
    event->accept();
}

// The wheel over an axis zooms it (the chart's own); over the plot it moves the marker.
bool CTrendPanelDlg::eventFilter(QObject* watched, QEvent* event) {
    if (m_chart && watched == m_chart->plot() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (!m_chart->wheelZoom(wheel))
            wheelEvent(wheel);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace vantor
