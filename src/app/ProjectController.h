// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project side of the program, apart from any window: opening and saving project files, the
// settings file "Config.ini", the recent projects kept in it, the baseline that tells whether the
// set-up changed since the last open or save, and the update check. A window asks the user
// (file dialogs, the save question) and shows what this object reports (status texts, the
// project path for the title, the recent list).
#include <QObject>
#include <QString>
#include <functional>
#include <optional>

#include "project/AppSettings.h"
#include "project/ProjectFile.h"
#include "project/RecentProjectList.h"

namespace vantor {

class LinkController;
class UpdateCheck;
class Workspace;

class ProjectController : public QObject {
    Q_OBJECT
public:
    // What opening a project needs from whoever shows it, called in this order.
    struct OpenSteps {
        std::function<bool()> settle;    // a changed set-up saved or given up; false cancels
        std::function<void()> prepare;   // polling has stopped, nothing is loaded yet
        std::function<void()> configure; // the settings are loaded, the cells come next
    };
    struct OpenResult {
        bool opened = false;
        QString error; // a file that is no project; empty when the user cancelled
    };

    // Drives the application's workspace and link, which outlive it, with the settings file at
    // `settingsPath`.
    ProjectController(Workspace* workspace, LinkController* link,
                      const QString& settingsPath = SettingsFilePath(), QObject* parent = nullptr);
    ~ProjectController() override;

    AppSettings* settings() { return &m_settings; }
    UpdateCheck* updateCheck() const { return m_update; }
    const CRecentProjectList& recent() const { return m_recent; }

    // Saves the set-up; keys whose values did not change since the project was opened keep
    // their text. Only once the file is written does the path become the project's and the
    // names the user's. The error text (naming the file) or nothing.
    std::optional<QString> save(const QString& path);
    // A file that is no project is refused before anything changes, and so is the open when
    // `settle` says no. Polling stops first: the old requests must not go on while the new
    // packets are loaded and configured.
    OpenResult open(const QString& path, const OpenSteps& steps);

    // The set-up as it stands counts as saved (after the start has filled it in).
    void takeBaseline();
    // Whether the set-up changed since the last open or save (or the start).
    bool changed() const;

    void clearRecent();
    // Records the running version in the settings and looks for a newer one.
    void startUpdateCheck();
    // Starts the updater program; the text that says how it went.
    QString startUpdater();

signals:
    void projectShown(const QString& path); // the project's path changed (the title shows it)
    void recentChanged();
    void statusMessage(const QString& text);

private:
    ProjectCounts counts() const;
    void showProjectPath(const QString& path);
    void rememberProject(const QString& path);
    void saveRecent();
    void stopPolling();

    Workspace* m_workspace;
    LinkController* m_link;
    AppSettings m_settings;
    CRecentProjectList m_recent;
    ProjectBaseline m_baseline;
    UpdateCheck* m_update;
};

} // namespace vantor
