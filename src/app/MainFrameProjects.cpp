// The main window's projects: saving and opening them, the title and the recent projects.
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QStatusBar>

#include "app/MainFrame.h"
#include "app/Version.h"
#include "app/ZelvoView.h"
#include "modbus/LinkController.h"
#include "packets/CommPanelDlg.h"
#include "project/ProjectFile.h"
#include "registers/Workspace.h"
#include "widgets/MessageBox.h"
#include "writes/WriteControls.h"
#include "writes/WriteService.h"

namespace vantor {

// Newest first, above "清除最近文件", which is off while the list is empty.
void CMainFrame::rebuildRecentMenu() {
    for (QAction* action : m_recentMenu->actions())
        if (action != m_clearRecent)
            delete action;
    for (const QString& path : m_recent.entries()) {
        auto* action = new QAction(QDir::toNativeSeparators(path), m_recentMenu);
        action->setStatusTip(QStringLiteral("打开该文档"));
        connect(action, &QAction::triggered, this, [this, path] { OpenProject(path); });
        m_recentMenu->insertAction(m_clearRecent, action);
    }
    m_clearRecent->setEnabled(m_recent.count() > 0);
}

void CMainFrame::saveRecent() {
    if (const auto error =
            m_settings.update([this](ProfileFile& settings) { m_recent.Save(settings); }))
        statusBar()->showMessage(*error);
}

void CMainFrame::rememberProject(const QString& path) {
    if (!m_recent.Add(QFileInfo(path).absoluteFilePath()))
        return;
    rebuildRecentMenu();
    saveRecent();
}

void CMainFrame::showProjectPath(const QString& path) {
    rememberProject(path);
    m_view->workspace()->setProjectPath(path);
    setWindowTitle(QStringLiteral("Vantor %1(%2)")
                       .arg(QLatin1String(kVersion), QDir::toNativeSeparators(path)));
}

void CMainFrame::TakeBaseline() {
    m_baseline = MakeBaseline(m_baseline.path, m_baseline.file, *m_view->workspace(),
                              m_writes->service()->counts());
}

bool CMainFrame::projectChanged() const {
    return ProjectChanged(m_baseline, *m_view->workspace(), m_writes->service()->counts());
}

bool CMainFrame::SettleChanges() {
    if (!projectChanged())
        return true;
    switch (AskYesNoCancel(this, QCoreApplication::applicationName(),
                           QStringLiteral("是否保存对当前工程的修改？"))) {
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

// The title and the project path change only once the file is written; keys whose values did
// not change since the project was opened keep their text.
bool CMainFrame::SaveProject(const QString& path) {
    Workspace* workspace = m_view->workspace();
    if (const auto error = vantor::SaveProject(path, *workspace, m_writes->service()->counts(),
                                               &m_baseline)) {
        ShowMessage(this, *error);
        return false;
    }
    showProjectPath(path);
    workspace->setUserNames(true);
    statusBar()->showMessage(QStringLiteral("工程已保存：%1").arg(QDir::toNativeSeparators(path)));
    return true;
}

// A file that is no project is refused before anything changes, and so is the open when the user
// cancels the question about the changed set-up. Polling stops first: the old requests must not
// go on while the new packets are loaded and configured.
bool CMainFrame::OpenProject(const QString& path) {
    const ProjectOpen project = ReadProjectFile(path);
    if (!project.profile) {
        ShowMessage(this, project.error);
        return false;
    }
    if (!SettleChanges())
        return false;
    LinkController* link = m_view->link();
    if (const LinkState state = link->state(); state.polling) {
        if (UsesTcpConnection(state.kind))
            link->tcpStop();
        else
            link->stopPolling();
    }
    Workspace* workspace = m_view->workspace();
    m_view->showPanel(CZelvoView::kCommTab);
    showProjectPath(path); // the names come from this file from now on
    ReadProject(*project.profile, *workspace);
    ReadProjectLink(*project.profile, *workspace);
    m_view->commPanel()->Configure();
    ReadProjectCells(*project.profile, m_writes->service()->counts(), *workspace);
    m_view->commPanel()->setLogScrolling(true);
    m_baseline =
        MakeBaseline(path, *project.profile, *workspace, m_writes->service()->counts());
    statusBar()->showMessage(QStringLiteral("已打开工程：%1").arg(QDir::toNativeSeparators(path)));
    return true;
}

} // namespace vantor
