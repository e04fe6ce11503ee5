// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ProjectController.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "app/Version.h"
#include "modbus/LinkController.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "update/UpdateCheck.h"
#include "update/Updater.h"

namespace vantor {

ProjectController::ProjectController(Workspace* workspace, LinkController* link,
                                     const QString& settingsPath, QObject* parent)
    : QObject(parent), m_workspace(workspace), m_link(link), m_settings(settingsPath),
      // The version file is fetched into the settings file's folder.
      m_update(new UpdateCheck(
          &m_settings, QFileInfo(m_settings.path()).dir().filePath(QStringLiteral("version.ini")),
          {}, this)) {
    m_recent.Load(m_settings.profile());
}

ProjectController::~ProjectController() = default;

// Each packet's count at the last configure, as the store's images hold it.
ProjectCounts ProjectController::counts() const {
    return m_workspace->store()->images().counts();
}

void ProjectController::saveRecent() {
    if (const auto error =
            m_settings.update([this](ProfileFile& settings) { m_recent.Save(settings); }))
        emit statusMessage(*error);
}

void ProjectController::rememberProject(const QString& path) {
    if (!m_recent.Add(QFileInfo(path).absoluteFilePath()))
        return;
    emit recentChanged();
    saveRecent();
}

void ProjectController::clearRecent() {
    m_recent.Clear();
    emit recentChanged();
    saveRecent();
}

void ProjectController::showProjectPath(const QString& path) {
    rememberProject(path);
    m_workspace->setProjectPath(path);
    emit projectShown(path);
}

void ProjectController::takeBaseline() {
    m_baseline = MakeBaseline(m_baseline.path, m_baseline.file, *m_workspace, counts());
}

bool ProjectController::changed() const {
    return ProjectChanged(m_baseline, *m_workspace, counts());
}

std::optional<QString> ProjectController::save(const QString& path) {
    if (auto error = SaveProject(path, *m_workspace, counts(), &m_baseline))
        return error;
    showProjectPath(path);
    m_workspace->setUserNames(true);
    emit statusMessage(tr("工程已保存：%1").arg(QDir::toNativeSeparators(path)));
    return std::nullopt;
}

void ProjectController::stopPolling() {
    if (const LinkState state = m_link->state(); state.polling) {
        if (UsesTcpConnection(state.kind))
            m_link->tcpStop();
        else
            m_link->stopPolling();
    }
}

ProjectController::OpenResult ProjectController::open(const QString& path, const OpenSteps& steps) {
    const ProjectOpen project = ReadProjectFile(path);
    if (!project.profile)
        return {false, project.error};
    if (steps.settle && !steps.settle())
        return {};
    stopPolling();
    if (steps.prepare)
        steps.prepare();
    showProjectPath(path); // the names come from this file from now on
    ReadProject(*project.profile, *m_workspace);
    ReadProjectLink(*project.profile, *m_workspace);
    if (steps.configure)
        steps.configure();
    ReadProjectCells(*project.profile, counts(), *m_workspace);
    m_baseline = MakeBaseline(path, *project.profile, *m_workspace, counts());
    emit statusMessage(tr("已打开工程：%1").arg(QDir::toNativeSeparators(path)));
    return {true, {}};
}

void ProjectController::startUpdateCheck() {
    m_update->start(QLatin1String(kVersion));
}

QString ProjectController::startUpdater() {
    return StartUpdater(
               UpdaterCommand(m_settings.profile(), QCoreApplication::applicationDirPath()))
        .message;
}

} // namespace vantor
