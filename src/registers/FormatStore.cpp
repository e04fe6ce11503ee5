#include "registers/FormatStore.h"

namespace vantor {

namespace {

bool ValidIndex(int packet, int cell) {
    return packet >= 0 && packet < kPacketCount && cell >= 0 && cell < kCellsPerPacket;
}

} // namespace

FormatStore::FormatStore() {
    Reset();
}

int FormatStore::Get(int packet, int cell) const {
    if (!ValidIndex(packet, cell))
        return kDefaultFormatCode;
    return m_codes[static_cast<std::size_t>(packet)][static_cast<std::size_t>(cell)];
}

void FormatStore::SetRaw(int packet, int cell, int code) {
    if (ValidIndex(packet, cell))
        m_codes[static_cast<std::size_t>(packet)][static_cast<std::size_t>(cell)] = code;
}

void FormatStore::SetCellFormat(int packet, int cell, int code) {
    if (!ValidIndex(packet, cell) || FormatMenuText(code) == nullptr)
        return;
    SetRaw(packet, cell, code);
    // The second register of a 32-bit value; the last cell has no follower to mark.
    if (Is32BitFormat(code))
        SetRaw(packet, cell + 1, static_cast<int>(ValueFormat::Continuation));
}

FormatStore::PacketFormats& FormatStore::Packet(int packet) {
    return m_codes.at(static_cast<std::size_t>(packet));
}

const FormatStore::PacketFormats& FormatStore::Packet(int packet) const {
    return m_codes.at(static_cast<std::size_t>(packet));
}

void FormatStore::Reset() {
    for (auto& packet : m_codes)
        packet.fill(kDefaultFormatCode);
}

} // namespace vantor
