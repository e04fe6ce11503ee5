// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's pages that are built when first asked for: the data grid pages, the point
// list and the monitoring panel.
#include <QDockWidget>
#include <QLayout>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>

#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "curves/CurveListModel.h"
#include "curves/DropListCtrl.h"
#include "curves/PointListDlg.h"
#include "monitor/VckBaseDlg.h"
#include "packets/DataGridPanel.h"
#include "registers/Workspace.h"
#include "trend/TrendPanelDlg.h"
#include "writes/WriteControls.h"

namespace vantor {

// A page is built the first time it is asked for: when its tab is first shown, or by a caller.
CDataGridPanel* CMainFrame::gridPage(int packet) {
    if (packet < 1 || packet > kPacketPages)
        return nullptr;
    CDataGridPanel*& page = m_pages[packet - 1];
    if (!page) {
        QWidget* holder = m_dataTabs->widget(packet - 1);
        page = new CDataGridPanel(packet, m_view->store(), holder);
        holder->layout()->addWidget(page);
        // A page built into a shown tab is usable at once, not after the next layout pass.
        if (holder->isVisible()) {
            page->show();
            holder->layout()->activate();
        }
        connect(page, &CDataGridPanel::valueCellDoubleClicked, m_writes, &WriteControls::editCell);
        // The first page tells how tall a whole page is: the bar takes that where there is room.
        if (m_dockSizesFromWorkingSize && isVisible()) {
            m_dockSizesFromWorkingSize = false;
            growDataBar(m_dataBar->sizeHint().height());
            m_fitPasses = kFitPasses;
            QTimer::singleShot(0, this, &CMainFrame::fitDocksToPanel);
        }
    }
    return page;
}

CPointListDlg* CMainFrame::pointList() {
    if (!m_pointList) {
        m_pointList = new CPointListDlg(m_view->workspace()->curves(), m_pointListHolder);
        m_pointListHolder->layout()->addWidget(m_pointList);
        // The statistics columns read the trend chart's visible range.
        CurveListModel* model = m_pointList->list()->curveModel();
        CTrendPanelDlg* trend = m_view->trendPanel();
        model->setStatsSource([trend](int slot) { return trend->visibleStats(slot); });
        connect(trend, &CTrendPanelDlg::visibleDataChanged, model, &CurveListModel::refreshStats);
    }
    return m_pointList;
}

CVCKBASEDlg* CMainFrame::monitorPanel() {
    if (!m_monitorPanel) {
        m_monitorPanel = new CVCKBASEDlg(m_view->workspace(), m_writes->service());
        connect(m_monitorPanel, &CVCKBASEDlg::statusMessage, statusBar(),
                [bar = statusBar()](const QString& text) { bar->showMessage(text); });
        // The page keeps its size; a narrower function bar scrolls it.
        m_monitorHolder->setWidget(m_monitorPanel);
    }
    return m_monitorPanel;
}

} // namespace vantor
