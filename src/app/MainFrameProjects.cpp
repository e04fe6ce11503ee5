// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's projects: the dialogs and the question that open and save ask, the title and
// the recent projects menu. The project controller does the work and says what happened.
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QMenu>
#include <QStatusBar>

#include "app/MainFrame.h"
#include "app/ProjectController.h"
#include "app/Version.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "registers/Workspace.h"
#include "widgets/MessageBox.h"

namespace vantor {

void CMainFrame::connectProjects() {
    connect(m_projects, &ProjectController::recentChanged, this, &CMainFrame::rebuildRecentMenu);
    connect(m_projects, &ProjectController::projectShown, this, [this](const QString& path) {
        setWindowTitle(QStringLiteral("Vantor %1(%2)")
                           .arg(QLatin1String(kVersion), QDir::toNativeSeparators(path)));
    });
    connect(m_projects, &ProjectController::statusMessage, statusBar(),
            [bar = statusBar()](const QString& text) { bar->showMessage(text); });
}

// Newest first, above "清除最近文件", which is off while the list is empty.
void CMainFrame::rebuildRecentMenu() {
    for (QAction* action : m_recentMenu->actions())
        if (action != m_clearRecent)
            delete action;
    const CRecentProjectList& recent = m_projects->recent();
    for (const QString& path : recent.entries()) {
        auto* action = new QAction(QDir::toNativeSeparators(path), m_recentMenu);
        action->setStatusTip(tr("打开该文档"));
        connect(action, &QAction::triggered, this, [this, path] { OpenProject(path); });
        m_recentMenu->insertAction(m_clearRecent, action);
    }
    m_clearRecent->setEnabled(recent.count() > 0);
}

bool CMainFrame::SettleChanges() {
    if (!m_projects->changed())
        return true;
    switch (AskYesNoCancel(this, QCoreApplication::applicationName(),
                           tr("是否保存对当前工程的修改？"))) {
    case Answer::Yes: {
        const QString path = m_view->workspace()->projectPath();
        return path.isEmpty() ? saveProjectThroughDialog() : SaveProject(path);
    }
    case Answer::No:
        return true;
    case Answer::Cancel:
        break;
    }
    return false;
}

bool CMainFrame::saveProjectThroughDialog() {
    const QString path = QFileDialog::getSaveFileName(this, tr("保存工程"), QStringLiteral("*.ini"),
                                                      QStringLiteral("Executable Files (*.ini)"));
    if (path.isEmpty())
        return false;
    return SaveProject(path.endsWith(QLatin1String(".ini"), Qt::CaseInsensitive)
                           ? path
                           : path + QStringLiteral(".ini"));
}

bool CMainFrame::SaveProject(const QString& path) {
    if (const auto error = m_projects->save(path)) {
        ShowMessage(this, *error);
        return false;
    }
    return true;
}

// The communication panel comes to the front before the project loads, and its "配置数据包"
// configures the loaded packets (with its log line).
bool CMainFrame::OpenProject(const QString& path) {
    const ProjectController::OpenResult result =
        m_projects->open(path, {.settle = [this] { return SettleChanges(); },
                                .prepare = [this] { m_view->showPanel(CZelvoView::kCommTab); },
                                .configure = [this] { m_view->commPanel()->Configure(); }});
    if (!result.opened) {
        if (!result.error.isEmpty())
            ShowMessage(this, result.error);
        return false;
    }
    m_view->commPanel()->setLogScrolling(true);
    return true;
}

} // namespace vantor
