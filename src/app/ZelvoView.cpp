// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ZelvoView.h"

#include <QMainWindow>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "modbus/LinkController.h"
#include "modbus/ResizeQuiet.h"
#include "packets/CommPanelDlg.h"
#include "packets/ConnectionControls.h"
#include "registers/Workspace.h"
#include "trend/TrendPanelDlg.h"
#include "trend/TrendPanelHooks.h"
#include "widgets/AfterFirstPaint.h"
#include "widgets/FitScrollArea.h"

namespace vantor {

CZelvoView::CZelvoView(Workspace* workspace, TrendData* trend, LinkController* link,
                       QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_link(link), m_tabs(new QTabWidget(this)) {
    setMinimumWidth(kMinimumWidth);
    m_commHolder = new QWidget;
    (new QVBoxLayout(m_commHolder))->setContentsMargins(0, 0, 0, 0);
    AfterFirstPaint(this, [this] { commPanel(); });
    m_trendPanel = new CTrendPanelDlg(workspace, trend);
    m_trendPanel->setObjectName(QStringLiteral("trendPanel"));
    new TrendPanelHooks(m_trendPanel, workspace); // a child of the panel
    // Sampling starts when a link stands (if it is not running already).
    connect(link, &LinkController::opened, m_trendPanel, &CTrendPanelDlg::startSamplingIfStopped);
    connect(m_trendPanel, &CTrendPanelDlg::statusMessage, this, [this](const QString& text) {
        if (auto* frame = qobject_cast<QMainWindow*>(window()))
            frame->statusBar()->showMessage(text);
        else
            qWarning("%s", qUtf8Printable(text));
    });
    m_tabs->setObjectName(QStringLiteral("viewTabs"));
    m_tabs->addTab(m_commHolder, tr("通信状态"));
    m_tabs->addTab(m_trendPanel, tr("趋势曲线"));
    connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
        if (tab == kCommTab)
            commPanel();
        emit panelShown(tab);
    });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_tabs);

    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(kQuietMs);
    connect(&m_quietTimer, &QTimer::timeout, this, [] { ResizeQuietFlag() = false; });
    showPanel(kTrendTab);
}

CZelvoView::~CZelvoView() = default;

RegisterStore* CZelvoView::store() const {
    return m_workspace->store();
}

SerialSelection* CZelvoView::serialSelection() const {
    return m_workspace->serial();
}

CCommPanelDlg* CZelvoView::commPanel() {
    if (m_commPanel)
        return m_commPanel;
    m_commPanel = new CCommPanelDlg(m_workspace, m_link);
    // The panel keeps its full layout; a window narrower than it scrolls instead of cutting it.
    auto* commScroll = new FitScrollArea(m_commPanel);
    commScroll->setObjectName(QStringLiteral("commScroll"));
    commScroll->setAccessibleName(m_tabs->tabText(kCommTab));
    m_commHolder->layout()->addWidget(commScroll);
    // The user opening a link is asked whether to record; closing it ends the recording.
    ConnectionControls* controls = m_commPanel->connectionControls();
    connect(controls, &ConnectionControls::linkOpeningByUser, m_trendPanel,
            &CTrendPanelDlg::askRecording);
    connect(controls, &ConnectionControls::linkStoppedByUser, m_trendPanel,
            &CTrendPanelDlg::endRecording);
    emit commPanelBuilt(m_commPanel);
    return m_commPanel;
}

QSize CZelvoView::missingPanelRoom() const {
    if (!m_commPanel)
        return {};
    // Every page of the tabs gets the same room, but only the shown one is kept up to date.
    const QSize room = m_tabs->currentWidget()->size();
    return (m_commPanel->minimumSizeHint() - room).expandedTo(QSize(0, 0));
}

void CZelvoView::showPanel(int tab) {
    if (tab == kCommTab)
        commPanel();
    if (tab == kCommTab || tab == kTrendTab)
        m_tabs->setCurrentIndex(tab);
}

void CZelvoView::resizeEvent(QResizeEvent* event) {
    ResizeQuietFlag() = true;
    m_quietTimer.start();
    QWidget::resizeEvent(event);
}

void CZelvoView::paintEvent(QPaintEvent* event) {
    if (ResizeQuietFlag().load())
        m_quietTimer.start();
    QWidget::paintEvent(event);
}

} // namespace vantor
