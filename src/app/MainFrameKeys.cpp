// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's keys beyond those of its menus: polling on F5 and Shift+F5, saving on Ctrl+S,
// context menus on Shift+F10; and the names that screen readers give its controls without text.
#include <QAction>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QTreeWidget>

#include "app/MainFrame.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "registers/Workspace.h"
#include "widgets/ContextMenuKey.h"

namespace vantor {

void CMainFrame::createKeys() {
    const auto key = [this](const QKeySequence& sequence, auto work) {
        auto* action = new QAction(this);
        action->setShortcut(sequence);
        connect(action, &QAction::triggered, this, work);
        addAction(action); // a window-wide key, also while the trend tab is shown
    };
    key(QKeySequence(Qt::Key_F5), [this] { m_view->commPanel()->pressStart(); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { m_view->commPanel()->pressStop(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_S), &CMainFrame::saveProject);
    new ContextMenuKey(this);

    m_tree->setAccessibleName(tr("功能选择"));
    m_progress->setAccessibleName(tr("进度栏"));
    m_dataTabs->setAccessibleName(tr("数据页"));
    m_monitorHolder->setAccessibleName(tr("监控对象"));
}

void CMainFrame::saveProject() {
    const QString path = m_view->workspace()->projectPath();
    if (path.isEmpty())
        saveProjectThroughDialog();
    else
        SaveProject(path);
}

} // namespace vantor
