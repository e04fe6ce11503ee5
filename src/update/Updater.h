#pragma once
// The updater is a program of its own beside this one; this program only starts it and keeps
// running.
#include <QString>
#include <QStringList>

namespace vantor {

class ProfileFile;

struct UpdaterLaunch {
    QString program;
    QStringList arguments;
};

// The settings' "Update"/"Command" when set (a command line, split as a shell would), otherwise
// "update" ("update.exe" on Windows) in `programDir`.
UpdaterLaunch UpdaterCommand(const ProfileFile& settings, const QString& programDir);

// Starts the updater detached. The status-line text: that it was started, or why not.
struct UpdaterStart {
    bool ok = false;
    QString message;
};
UpdaterStart StartUpdater(const UpdaterLaunch& launch);

} // namespace vantor
