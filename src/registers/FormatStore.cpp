// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/FormatStore.h"

namespace vantor {

FormatStore::FormatStore() {
    Reset();
}

int FormatStore::Get(PointRef point) const {
    if (!point.valid())
        return kDefaultFormatCode;
    return m_codes[point.packet.index()][static_cast<std::size_t>(point.cell)];
}

void FormatStore::SetRaw(PointRef point, int code) {
    if (point.valid())
        m_codes[point.packet.index()][static_cast<std::size_t>(point.cell)] = code;
}

void FormatStore::SetCellFormat(PointRef point, int code) {
    if (!point.valid() || FormatMenuText(code) == nullptr)
        return;
    SetRaw(point, code);
    // The second register of a 32-bit value; the last cell has no follower to mark.
    if (Is32BitFormat(code))
        SetRaw({point.packet, point.cell + 1}, static_cast<int>(ValueFormat::Continuation));
}

FormatStore::PacketFormats& FormatStore::Packet(PacketNo packet) {
    return m_codes.at(packet.index());
}

const FormatStore::PacketFormats& FormatStore::Packet(PacketNo packet) const {
    return m_codes.at(packet.index());
}

void FormatStore::Reset() {
    for (auto& packet : m_codes)
        packet.fill(kDefaultFormatCode);
}

} // namespace vantor
