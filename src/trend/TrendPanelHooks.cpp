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
    setDialogs({}, {});
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
    connect(panel, &CTrendPanelDlg::axisRangeRequested, this,
            [this](TrendAxis axis) { m_axisDialog(m_panel, axis); });
    connect(panel, &CTrendPanelDlg::uiSettingsRequested, this,
            [this] { m_settingsDialog(m_panel); });
    // The panel resized the box on this change already, with the old font if that changed too.
    connect(workspace, &Workspace::trendSettingsChanged, this, [this] {
        const int font = m_workspace->trendSettings().floatBoxFont;
        if (font == m_floatBox->fontPoints())
            return;
        m_floatBox->setFontPoints(font);
        resizeFloatBox();
    });
}

void TrendPanelHooks::setDialogs(AxisDialog axis, SettingsDialog settings) {
    m_axisDialog = axis ? std::move(axis) : AxisDialog([this](QWidget* parent, TrendAxis a) {
        CAxisRangeDlg(m_workspace, a, parent).exec();
    });
    m_settingsDialog = settings ? std::move(settings) : SettingsDialog([this](QWidget* parent) {
        CUiSettingsDlg(m_workspace, parent).exec();
    });
}

bool TrendPanelHooks::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_panel && event->type() == QEvent::Show) {
        if (m_placed && !m_closedByUser)
            m_floatBox->show();
    } else if (watched == m_panel && event->type() == QEvent::Resize && m_placed &&
               !m_floatBox->movedByUser()) {
        resizeFloatBox(); // the window settling its bars: keep the box centred until dragged
    } else if (watched == m_panel && event->type() == QEvent::Hide) {
        m_floatBox->hide();
    } else if (watched == m_floatBox && event->type() == QEvent::Hide && m_panel->isVisible()) {
        // Hidden while its tab is shown: the user closed it.
        m_closedByUser = true;
    }
    return QObject::eventFilter(watched, event);
}

void TrendPanelHooks::showReadout(double x) {
    if (!m_panel->chartBuilt())
        return;
    const auto text = LiveReadout(*m_panel->chart(), m_panel->sampler(), *m_workspace->curves(), x);
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
    if (const auto tip =
            LiveToolTip(*chart, m_panel->sampler(), *m_workspace->curves(), series, cursorX))
        chart->setPlotToolTip(*tip);
}

void TrendPanelHooks::resizeFloatBox() {
    const int series = m_panel->chartBuilt() ? m_panel->chart()->seriesCount() : 1;
    const QRect over(m_panel->mapToGlobal(QPoint(0, 0)), m_panel->size());
    m_floatBox->resizeFloatBox(series, over);
}

} // namespace vantor
