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
using ProjectCounts = std::array<int, kPacketCount>; // each packet's count at the last configure

// The section as saving writes it (the per-cell keys of the packets whose count is not 0).
void WriteProject(const Workspace& workspace, const ProjectCounts& counts, ProfileFile& profile);
// Everything but the per-cell keys, into the workspace (the caller configures next).
void ReadProject(const ProfileFile& profile, Workspace& workspace);
// After configure: labels, values and formats of the cells below each packet's new count.
void ReadProjectCells(const ProfileFile& profile, const ProjectCounts& counts,
                      Workspace& workspace);

// A project file to open: a missing or unreadable file is refused (error names the file and the
// reason) instead of reading as an empty project.
ProjectOpen ReadProjectFile(const QString& path);

// The user-defined names: for each packet, the labels and values of the cells below the count
// its row has in the file (the packet list's count when the file was saved).
void ReadProjectNames(const ProfileFile& profile, Workspace& workspace);

// The file read whole, other sections kept, the section written, the file replaced atomically.
// Returns the error text (naming the file), or nothing.
std::optional<QString> SaveProject(const QString& path, const Workspace& workspace,
                                   const ProjectCounts& counts);

} // namespace vantor
