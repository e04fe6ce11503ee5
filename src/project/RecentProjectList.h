// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The recent projects: up to five project paths, the newest first, kept in section "Mru File"
// of the settings file ("FileNum" and the keys "1" to "5"). Paths are compared without regard
// to case.
#include <QString>
#include <QStringList>

namespace vantor {

class ProfileFile;

class CRecentProjectList {
public:
    static constexpr int kMaxEntries = 5;

    // Reads the list; a "FileNum" outside 0..5 is bounded, empty entries are skipped.
    void Load(const ProfileFile& settings);
    // Writes "FileNum" and all five keys (free places as empty values).
    void Save(ProfileFile& settings) const;
    // The path to the head: an entry already listed moves up, a new one pushes the oldest out
    // of a full list. False when the path was at the head already (nothing changed).
    bool Add(const QString& path);
    void Clear() { m_entries.clear(); }

    const QStringList& entries() const { return m_entries; } // newest first
    int count() const { return static_cast<int>(m_entries.size()); }

private:
    QStringList m_entries;
};

} // namespace vantor
