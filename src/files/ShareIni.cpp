// SPDX-License-Identifier: GPL-3.0-or-later
#include "files/ShareIni.h"

#include <QDir>
#include <QSaveFile>
#include <QStandardPaths>

#include "files/GbkText.h"
#include "files/SaveWhole.h"

namespace vantor {

QString ShareIniPath() {
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    const QString name = QStringLiteral("share.ini");
    return desktop.isEmpty() || !QDir(desktop).exists() ? name : QDir(desktop).filePath(name);
}

QByteArray ShareIniContent(const ShareEntries& entries) {
    QString text = QStringLiteral("[MconfigInfo]\r\n");
    for (const auto& [key, value] : entries)
        text += key + QLatin1Char('=') + value + QStringLiteral("\r\n");
    return gbk::encode(text);
}

bool WriteShareIni(const QString& path, const ShareEntries& entries, QString* error) {
    QSaveFile file(path);
    const QByteArray content = ShareIniContent(entries);
    // A write the disk cut short returns fewer bytes without an error of its own.
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    // Written at every sampling tick on the GUI thread: checked whole, not synced.
    return CommitWhole(file, error, SyncToDisk::No);
}

} // namespace vantor
