// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/TrendPanelHooks.h"

#include <QEvent>

#include "curves/AxisRangeDlg.h"
#include "curves/FloatBoxDlg.h"
#include "curves/UiSettingsDlg.h"
#include "registers/Workspace.h"
#include "trend/TChart.h"
#include "trend/TrendPanelDlg.h"
#include "trend/TrendReadout.h"
#include "widgets/AfterFirstPaint.h"

namespace vantor {

TrendPanelHooks::TrendPanelHooks(CTrendPanelDlg* panel, Workspace* workspace)
    : QObject(panel), m_panel(panel), m_workspace(workspace), m_floatBox(new CFloatBoxDlg(panel)) {
    m_floatBox->setFontPoints(workspace->trendSettings().floatBoxFont);
    panel->installEventFilter(this);
    m_floatBox->installEventFilter(this);
    // First placed over the panel once the panel is laid out and painted.
    AfterFirstPaint(panel, [this] {
        m_placed = true;
        resizeFloatBox();
        if (m_panel->isVisible() && !m_closedByUser)
            m_floatBox->show();
    });

    connect(panel, &CTrendPanelDlg::readoutRequested, this, &TrendPanelHooks::showReadout);
    connect(panel, &CTrendPanelDlg::seriesHovered, this, &TrendPanelHooks::showToolTip);
    connect(panel, &CTrendPanelDlg::resizeFloatBoxRequested, this,
            &TrendPanelHooks::resizeFloatBox);
    connect(panel, &CTrendPanelDlg::transparencyChanged, this, [this](int alpha) {
        m_closedByUser = false;
        m_floatBox->setTransparency(alpha);
    });
    // The dialogs store their values in the workspace; the panel applies them from there.
    connect(panel, &CTrendPanelDlg::axisRangeRequested, this,
            [this](TrendAxis axis) {
                CAxisRangeDlg dialog(m_workspace, axis, m_panel);
                dialog.setAuto(m_panel->chart()->axisAuto(axis));
                if (dialog.exec() == QDialog::Accepted)
                    m_panel->chart()->setAxisAuto(axis, dialog.autoChecked());
            });
    connect(panel, &CTrendPanelDlg::uiSettingsRequested, this,
            [this] { CUiSettingsDlg(m_workspace, m_panel).exec(); });
    // The panel resized the box on this change already, with the old font if that changed too.
    connect(workspace, &Workspace::trendSettingsChanged, this, [this] {
        const int font = m_workspace->trendSettings().floatBoxFont;
        if (font == m_floatBox->fontPoints())
            return;
        m_floatBox->setFontPoints(font);
        resizeFloatBox();
    });
}

bool TrendPanelHooks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel) {
        switch (event->type()) {
        case QEvent::Show:
            if (m_placed && !m_closedByUser)
                m_floatBox->show();
            break;
        case QEvent::Resize:
            // The window settling its bars: the box stays centred until the user drags it.
            if (m_placed && !m_floatBox->movedByUser())
                resizeFloatBox();
            break;
        case QEvent::Hide:
            m_floatBox->hide();
            break;
        default:
            break;
        }
    } else if (watched == m_floatBox && event->type() == QEvent::Hide && m_panel->isVisible()) {
        m_closedByUser = true; // hidden while its tab is shown: the user closed it
    }
    return QObject::eventFilter(watched, event);
}

void TrendPanelHooks::showReadout(double x) {
    if (!m_panel->chartBuilt())
        return;
    const CTChart& chart = *m_panel->chart();
    const bool history = m_panel->history();
    // With the second cursor shown the box compares the marker with it, wherever the mouse is.
    const auto second = chart.secondCursorX();
    const auto text =
        second ? TwoCursorReadout(m_panel->trendData(), history ? nullptr : &m_panel->sampler(),
                                  history ? nullptr : m_workspace->curves(),
                                  m_panel->historyCorrection(), chart.markerX(), *second)
        : history ? HistoryReadout(m_panel->trendData(), m_panel->historyCorrection(), x)
                  : LiveReadout(m_panel->trendData(), m_panel->sampler(), *m_workspace->curves(), x);
    if (!text)
        return; // left of the first sample: the box keeps its old text
    m_readout = *text;
    if (m_panel->textBoxChecked())
        m_floatBox->setReadout(m_readout);
}

void TrendPanelHooks::showToolTip(int series, double cursorX) {
    if (!m_panel->chartBuilt())
        return;
    CTChart* chart = m_panel->chart();
    const auto tip = m_panel->history() ? HistoryToolTip(m_panel->trendData(), series, cursorX)
                                        : LiveToolTip(m_panel->trendData(), m_panel->sampler(),
                                                      *m_workspace->curves(), series, cursorX);
    if (tip)
        chart->setPlotToolTip(*tip);
}

void TrendPanelHooks::resizeFloatBox() {
    int series = m_panel->trendData().seriesCount();
    if (m_panel->chartBuilt() && m_panel->chart()->secondCursorX())
        series += 2; // the second cursor's time and the time between the cursors
    const QRect over(m_panel->mapToGlobal(QPoint(0, 0)), m_panel->size());
    m_floatBox->resizeFloatBox(series, over);
}

} // namespace vantor
