// SPDX-License-Identifier: GPL-3.0-or-later
// Project files: the profile parse, then the project reader into a fresh workspace as opening
// does (read, configure, the cells below the new counts) and the names reader. The tables stay
// within their bounds, the profile's own text reads back as written, and what saving writes
// from the workspace opens into a workspace that saves the same bytes.
#include <algorithm>

#include "FuzzSupport.h"
#include "project/ProfileFile.h"
#include "project/ProjectFile.h"
#include "registers/CurveTable.h"
#include "registers/RegisterStore.h"
#include "registers/ValueFormat.h"
#include "registers/Workspace.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

// Opens the profile into the workspace; returns the counts configure gave.
ProjectCounts Open(const ProfileFile& profile, Workspace& ws) {
    ReadProject(profile, ws);
    const ConfigureResult configured = ws.configure();
    ProjectCounts counts{};
    for (std::size_t i = 0; i < counts.size(); ++i) {
        counts[i] = configured.images.packets[i].count;
        FUZZ_CHECK(counts[i] >= 0, "negative packet count");
    }
    ReadProjectCells(profile, counts, ws);
    return counts;
}

void CheckBounds(const Workspace& ws) {
    FUZZ_CHECK(ws.curves()->rowCount() <= CurveTable::kMaxCurves, "more than 99 curves");
    const RegisterStore* store = ws.store();
    FUZZ_CHECK(store->dataFormat() >= 0 && store->dataFormat() <= 3, "data format outside 0..3");
    FUZZ_CHECK(store->addressBase() == 0 || store->addressBase() == 1, "address base not 0 or 1");
    for (int packet = 1; packet <= kPacketCount; ++packet)
        for (int cell = 0; cell < kCellsPerPacket; ++cell)
            FUZZ_CHECK(IsKnownFormatCode(store->formatCode({PacketNo(packet), cell})),
                       "a cell with an unknown format code");
}

QByteArray Save(const Workspace& ws, const ProjectCounts& counts) {
    ProfileFile out;
    WriteProject(ws, counts, out);
    return out.toBytes();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ProfileFile profile = ProfileFile::FromBytes(bytes);
    // Reading a profile cuts blanks at a value's ends and one pair of enclosing quotes, as the
    // files exchanged with other machines expect; so a value may change once, at its first
    // write and read, and never again.
    const QByteArray text = ProfileFile::FromBytes(profile.toBytes()).toBytes();
    FUZZ_CHECK(ProfileFile::FromBytes(text).toBytes() == text,
               "a profile written out does not read back as written");

    Workspace first;
    const ProjectCounts counts = Open(profile, first);
    CheckBounds(first);

    Workspace second;
    const ProjectCounts reread = Open(ProfileFile::FromBytes(Save(first, counts)), second);
    FUZZ_CHECK(reread == counts, "packet counts differ after a save");
    const QByteArray saved = Save(second, reread);

    Workspace third;
    const ProjectCounts again = Open(ProfileFile::FromBytes(saved), third);
    FUZZ_CHECK(again == counts, "packet counts differ after a second save");
    FUZZ_CHECK(Save(third, again) == saved, "a saved project opens into another set-up");

    // The user's names read over the opened set-up, as turning them on does.
    ReadProjectNames(profile, first);
    CheckBounds(first);
    return 0;
}
