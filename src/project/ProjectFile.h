// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Project files: the whole working set-up in section "MconfigInfo" of a profile file, GBK on
// disk. Saving deletes the section (other sections stay) and writes every key in a fixed order;
// opening reads them back into the workspace. Every index read from a file is checked before it
// reaches a table: what lies outside is skipped and the rest still loads.
#include <QString>
#include <array>
#include <optional>

#include "project/ProfileFile.h"
#include "registers/PointRef.h"

namespace vantor {

class Workspace;

struct ProjectOpen {
    std::optional<ProfileFile> profile;
    QString error;
};

inline constexpr const char* kProjectSection = "MconfigInfo";
// Our own keys that the settings section cannot hold (TCP port, unit, TCP command choice, a typed
// serial device); other readers skip a section they do not know.
inline constexpr const char* kProjectExtraSection = "Vantor";
using ProjectCounts = std::array<int, kPacketCount>; // each packet's count at the last configure

// The section as saving writes it (the per-cell keys of the packets whose count is not 0).
void WriteProject(const Workspace& workspace, const ProjectCounts& counts, ProfileFile& profile);
// Everything but the per-cell keys, into the workspace (the caller configures next). Trend
// settings that are missing or that the settings dialog would refuse take their defaults.
void ReadProject(const ProfileFile& profile, Workspace& workspace);
// The window's link end points: the server address whatever the mode, and from the extra
// section the TCP port, unit, TCP command choice and serial device. Values that are missing or
// invalid leave the workspace as it was. (The console keeps the link its command line gives.)
void ReadProjectLink(const ProfileFile& profile, Workspace& workspace);
// After configure: labels, values and formats of the cells below each packet's new count.
void ReadProjectCells(const ProfileFile& profile, const ProjectCounts& counts,
                      Workspace& workspace);

// A project file to open: a missing or unreadable file, anything but a regular file, a file over
// ProfileFile::kMaxFileBytes, bytes that are neither GBK nor UTF-8 text, and a file without the
// settings section or without any setting in it are refused (error names the file and the
// reason) instead of reading as an empty project.
ProjectOpen ReadProjectFile(const QString& path);

// The set-up as of the last open or save: the file as it stood then and the project keys as
// WriteProject gave them at that moment. A later save keeps the file's own text of every key
// whose value did not change since (an address the serial mode does not use, another machine's
// port index, "0.25" where this program writes "0.250000", keys it does not know), and a change
// of the set-up shows as a difference from `written`.
struct ProjectBaseline {
    QString path; // absolute; empty before the first open or save
    ProfileFile file;
    ProfileFile written;
};

ProjectBaseline MakeBaseline(const QString& path, const ProfileFile& file,
                             const Workspace& workspace, const ProjectCounts& counts);
// Whether saving now would change a setting (cell values, which polling keeps changing, aside).
bool ProjectChanged(const ProjectBaseline& baseline, const Workspace& workspace,
                    const ProjectCounts& counts);

// The user-defined names: for each packet, the labels and values of the cells below the count
// its row has in the file (the packet list's count when the file was saved).
void ReadProjectNames(const ProfileFile& profile, Workspace& workspace);

// The file read whole, other sections kept, the section written, the file replaced atomically.
// With a baseline, saving to its file (or to a new file, which starts as a copy of it) changes
// only the keys whose values changed since, and the baseline becomes the saved file.
// Returns the error text (naming the file), or nothing.
std::optional<QString> SaveProject(const QString& path, const Workspace& workspace,
                                   const ProjectCounts& counts,
                                   ProjectBaseline* baseline = nullptr);

} // namespace vantor
