// SPDX-License-Identifier: GPL-3.0-or-later
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
    bool packageManager = false; // an installed package: the package manager updates it
};

inline constexpr char kUpdateThroughPackageManager[] =
    QT_TRANSLATE_NOOP("vantor::Updater", "Vantor 由软件包管理器安装，请用 apt upgrade 升级");

// The settings' "Update"/"Command" when set (a command line, split as a shell would); otherwise
// for a program in a folder of the package manager (/usr/bin) no updater but the package manager,
// and for any other "update" ("update.exe" on Windows) in `programDir`.
UpdaterLaunch UpdaterCommand(const ProfileFile& settings, const QString& programDir);

// Starts the updater detached. The status-line text: that it was started, or why not.
struct UpdaterStart {
    bool ok = false;
    QString message;
};
UpdaterStart StartUpdater(const UpdaterLaunch& launch);

} // namespace vantor
