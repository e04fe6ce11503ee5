// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys of a project file in one table: each key's section, how it is written from the
// workspace and how it is read back. The writer walks the table in file order; the reader walks
// it one step at a time, in the order the workspace takes the parts of a set-up.
#include "project/ProfileFile.h"
#include "project/ProjectFile.h"
#include "registers/Workspace.h"

namespace vantor {

// The connection mode, kept apart from the settings section.
inline constexpr const char* kProjectLinkSection = "Connection";

// The parts of a read, in the order a project open applies them.
enum class ReadStep {
    None,      // written for other readers only
    Serial,    // serial line settings
    Curves,    // the curve rows
    Trend,     // gathered into ProjectReading::trend
    Formats,   // data format and address base
    Monitors,  // monitoring captions, units, rates
    Packets,   // the packet rows
    Interval,  // the send interval
    LinkMode,  // the connection mode
    Link,      // the link's end points, gathered into ProjectReading::tcp
    TypedPort, // a typed serial device, after the link
    Cells,     // labels, values and formats of the configured cells
};

// A read in progress: the parts the workspace takes whole are gathered here first.
struct ProjectReading {
    ProjectReading(const ProfileFile& p, Workspace& ws, const ProjectCounts& c = {})
        : profile(p), workspace(ws), counts(c) {}

    const ProfileFile& profile;
    Workspace& workspace;
    ProjectCounts counts; // the cells read: those below each packet's count
    TrendSettings trend;  // starts as the defaults
    TcpSettings tcp;
};

// Every key (cells only of the packets whose count is not 0) into `profile`; the settings
// section and the extra section are emptied first, the connection section keeps other keys.
void WriteProjectKeys(const Workspace& workspace, const ProjectCounts& counts,
                      ProfileFile& profile);
// The keys of one step, in table order.
void ReadProjectKeys(ProjectReading& reading, ReadStep step);

} // namespace vantor
