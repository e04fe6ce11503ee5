// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One value format code per cell: 30 packets by 130 cells, all "16 Bit Signed" at start.
#include <array>

#include "modbus/CommandImages.h"
#include "registers/PointRef.h"
#include "registers/ValueFormat.h"

namespace vantor {

class FormatStore {
public:
    using PacketFormats = std::array<int, kCellsPerPacket>;

    FormatStore();

    // Points outside the table read as the default and are ignored on set.
    int Get(PointRef point) const;
    void SetRaw(PointRef point, int code);
    // A menu choice: a 32-bit code also makes the next cell its continuation (16);
    // a 16-bit code changes only this cell. Unknown codes are ignored.
    void SetCellFormat(PointRef point, int code);

    // packet must be valid
    PacketFormats& Packet(PacketNo packet);
    const PacketFormats& Packet(PacketNo packet) const;
    void Reset();

private:
    std::array<PacketFormats, kPacketCount> m_codes{};
};

} // namespace vantor
