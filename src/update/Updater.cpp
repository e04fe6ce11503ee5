// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/Updater.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "project/AppSettings.h"
#include "project/ProfileFile.h"

namespace vantor {

UpdaterLaunch UpdaterCommand(const ProfileFile& settings, const QString& programDir) {
    const QString command =
        settings.value(QStringLiteral("Update"), QStringLiteral("Command")).trimmed();
    if (!command.isEmpty()) {
        QStringList parts = QProcess::splitCommand(command);
        if (!parts.isEmpty()) {
            const QString program = parts.takeFirst();
            return {program, parts};
        }
    }
    if (IsSystemProgramFolder(programDir))
        return {{}, {}, true};
#ifdef Q_OS_WIN
    const QString name = QStringLiteral("update.exe");
#else
    const QString name = QStringLiteral("update");
#endif
    return {QDir(programDir).filePath(name), {}};
}

UpdaterStart StartUpdater(const UpdaterLaunch& launch) {
    if (launch.packageManager)
        return {false,
                QCoreApplication::translate("vantor::Updater", kUpdateThroughPackageManager)};
    // A bare name is looked up on the search path; a path must name an executable file.
    const bool bare =
        !launch.program.contains(QLatin1Char('/')) && !launch.program.contains(QLatin1Char('\\'));
    const QString program = bare ? QStandardPaths::findExecutable(launch.program) : launch.program;
    const QFileInfo info(program);
    const QString shown = QDir::toNativeSeparators(bare ? launch.program : program);
    if (program.isEmpty() || !info.isFile() || !info.isExecutable())
        return {false,
                QCoreApplication::translate("vantor::Updater", "找不到升级程序：%1").arg(shown)};
    if (!QProcess::startDetached(program, launch.arguments, info.absolutePath()))
        return {false,
                QCoreApplication::translate("vantor::Updater", "无法启动升级程序：%1").arg(shown)};
    return {true, QCoreApplication::translate("vantor::Updater", "已启动升级程序：%1").arg(shown)};
}

} // namespace vantor
