// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UserNames.h"

#include <QPushButton>

#include "packets/CommPanelDlg.h"
#include "project/ProjectFile.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"

namespace vantor {

UserNames::UserNames(Workspace* workspace, QObject* parent)
    : QObject(parent), m_workspace(workspace) {
    connect(workspace, &Workspace::userNamesChanged, this, [this](bool on) {
        showButton();
        if (on)
            applyNames();
        else
            m_workspace->store()->rebuildPointLabels();
    });
    connect(workspace, &Workspace::projectPathChanged, this, &UserNames::showButton);
    // Configure rebuilds the point labels; with names on they come from the project again.
    connect(workspace->store(), &RegisterStore::labelsRebuilt, this, [this] {
        if (m_workspace->userNames())
            applyNames();
    });
}

void UserNames::attachPanel(CCommPanelDlg* panel) {
    m_button = panel->findChild<QPushButton*>(QStringLiteral("userNamesButton"));
    if (!m_button)
        return;
    connect(m_button, &QPushButton::clicked, this,
            [this] { m_workspace->setUserNames(!m_workspace->userNames()); });
    showButton();
}

void UserNames::showButton() {
    if (!m_button)
        return;
    m_button->setEnabled(!m_workspace->projectPath().isEmpty());
    m_button->setText(m_workspace->userNames() ? tr("点位序列号名称") : tr("用户自定义名称"));
}

void UserNames::applyNames() {
    if (m_applying || m_workspace->projectPath().isEmpty())
        return;
    const ProjectOpen project = ReadProjectFile(m_workspace->projectPath());
    if (!project.profile) {
        emit statusMessage(project.error);
        return;
    }
    m_applying = true;
    ReadProjectNames(*project.profile, *m_workspace);
    m_applying = false;
}

} // namespace vantor
