#pragma once
// The register image: the value and label texts of the 30 packets' cells. The grid pages show
// it; the console prints it.
#include <array>
#include <string>

#include "registers/FormatStore.h"
#include "registers/PacketTable.h"
#include "registers/RegisterDecoder.h"

namespace vantor {

class RegisterImage {
public:
    struct Cell {
        std::string label = " ";
        std::string value = " ";
    };
    using PacketCells = std::array<Cell, kCellsPerPacket>;

    const Cell& At(int packet, int cell) const;
    // packet 0..29 (the table's own index), cell 0..129; bad indexes are ignored.
    void SetValue(int packet, int cell, const std::string& text);
    void SetLabel(int packet, int cell, const std::string& text);
    void Apply(int packet, const std::vector<CellText>& texts);
    const PacketCells& Packet(int packet) const;

    // Point-number labels: cells below the packet's count get their point label and a value
    // of " "; the rest get " " in both.
    void RebuildPointLabels(const CommandImages& images, int addressBase);

private:
    std::array<PacketCells, kPacketCount> m_cells{};
};

} // namespace vantor
