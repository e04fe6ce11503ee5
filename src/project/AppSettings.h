// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's settings file "Config.ini": in the program's folder when that folder can be
// written (a portable install), otherwise in the user's configuration folder. Every change is
// written at once, whole and atomically.
#include <QString>
#include <optional>

#include "project/ProfileFile.h"

namespace vantor {

// Where "Config.ini" lives on this machine.
QString SettingsFilePath();
// True for a folder the system's package manager owns (/usr/..., /bin, /sbin): an installed
// program keeps its settings in the user's folder even when the folder is writable, as it is to
// root.
bool IsSystemProgramFolder(const QString& folder);

class AppSettings {
public:
    explicit AppSettings(QString path = SettingsFilePath());

    QString path() const { return m_path; }
    const ProfileFile& profile() const { return m_profile; }
    QString loadError() const { return m_loadError; }

    // Changes the profile through `change`, then writes the file in the encoding it was read
    // in (a file an editor saved in UTF-8 stays UTF-8; a new one is GBK, as Windows installations
    // read it); the error text or nothing.
    template <class Change> std::optional<QString> update(Change change) {
        change(m_profile);
        return m_profile.Save(m_path, m_profile.encoding());
    }
    // The section "Version" rewritten with the running version (done at every start).
    std::optional<QString> writeVersion(const QString& version);

private:
    QString m_path;
    ProfileFile m_profile;
    QString m_loadError;
};

} // namespace vantor
