// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/AppSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace vantor {

bool IsSystemProgramFolder(const QString& folder) {
#ifdef Q_OS_WIN
    Q_UNUSED(folder);
    return false;
#else
    const QString path = QDir::cleanPath(folder);
    return path.startsWith(QLatin1String("/usr/")) || path == QLatin1String("/usr") ||
           path == QLatin1String("/bin") || path == QLatin1String("/sbin");
#endif
}

QString SettingsFilePath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QFileInfo folder(programDir);
    if (!programDir.isEmpty() && folder.isDir() && folder.isWritable() &&
        !IsSystemProgramFolder(programDir))
        return QDir(programDir).filePath(QStringLiteral("Config.ini"));
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(config);
    return QDir(config).filePath(QStringLiteral("Config.ini"));
}

AppSettings::AppSettings(QString path) : m_path(std::move(path)) {
    ProfileFile::Load load = ProfileFile::Read(m_path);
    if (load.profile)
        m_profile = std::move(*load.profile);
    else
        m_loadError = load.error;
}

std::optional<QString> AppSettings::writeVersion(const QString& version) {
    return update([&version](ProfileFile& profile) {
        profile.removeSection(QStringLiteral("Version"));
        profile.setValue(QStringLiteral("Version"), QStringLiteral("Version"), version);
    });
}

} // namespace vantor
