// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The parts the project key table is built of (not offered to other libraries): where a key
// lives, how one is written and read, and the keys that come in numbered families.
#include <QString>
#include <optional>

#include "project/ProjectKeys.h"

namespace vantor::project_keys {

enum class Section { Settings, Connection, Extra };

struct Writing {
    const Workspace& ws;
    const ProjectCounts& counts;
    ProfileFile& p;
};

struct ProjectKey {
    const char* key; // the key, or the form of a numbered family
    Section section;
    ReadStep step;
    void (*write)(const ProjectKey&, Writing&);
    void (*read)(const ProjectKey&, ProjectReading&); // none for ReadStep::None
};

QString Key(const char* text);
QString SectionName(Section section);

void Put(const ProjectKey& k, Writing& w, const QString& key, const QString& value);
void Put(const ProjectKey& k, Writing& w, const QString& value);
void Put(const ProjectKey& k, Writing& w, int value);

QString Text(const ProjectKey& k, const ProjectReading& r, const QString& key);
QString Text(const ProjectKey& k, const ProjectReading& r);
int Number(const ProjectKey& k, const ProjectReading& r);
// A whole number in least..most, or nothing (a missing key included).
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, const char* key, int least,
                           int most);
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, int least, int most);

// The families: "曲线数, <n>b", "Max<axis>, Min<axis>", "<id>Static, <n>Unit, <n>Rate",
// "Page<p>_Index<i>[_val|_color|_fcolor|_type]", "数据包个, <n>d, <n>c".
void WriteCurves(const ProjectKey& k, Writing& w);
void ReadCurves(const ProjectKey& k, ProjectReading& r);
void WriteRanges(const ProjectKey& k, Writing& w);
void ReadRanges(const ProjectKey& k, ProjectReading& r);
void WriteMonitors(const ProjectKey& k, Writing& w);
void ReadMonitors(const ProjectKey& k, ProjectReading& r);
void WriteCells(const ProjectKey& k, Writing& w);
void ReadCells(const ProjectKey& k, ProjectReading& r);
void WritePackets(const ProjectKey& k, Writing& w);
void ReadPackets(const ProjectKey& k, ProjectReading& r);

} // namespace vantor::project_keys
