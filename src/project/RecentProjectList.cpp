// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/RecentProjectList.h"

#include <algorithm>

#include "project/ProfileFile.h"

namespace vantor {

namespace {

const QString kSection = QStringLiteral("Mru File");

bool SamePath(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

void CRecentProjectList::Load(const ProfileFile& settings) {
    m_entries.clear();
    const int count =
        std::clamp(settings.intValue(kSection, QStringLiteral("FileNum")), 0, kMaxEntries);
    for (int i = 1; i <= count; ++i)
        if (const QString path = settings.value(kSection, QString::number(i)); !path.isEmpty())
            m_entries.append(path);
}

void CRecentProjectList::Save(ProfileFile& settings) const {
    settings.setInt(kSection, QStringLiteral("FileNum"), count());
    for (int i = 0; i < kMaxEntries; ++i)
        settings.setValue(kSection, QString::number(i + 1), m_entries.value(i));
}

bool CRecentProjectList::Add(const QString& path) {
    if (!m_entries.isEmpty() && SamePath(m_entries.constFirst(), path))
        return false;
    const auto listed =
        std::find_if(m_entries.begin(), m_entries.end(),
                     [&path](const QString& entry) { return SamePath(entry, path); });
    if (listed != m_entries.end())
        m_entries.erase(listed);
    m_entries.prepend(path);
    while (m_entries.size() > kMaxEntries)
        m_entries.removeLast();
    return true;
}

} // namespace vantor
