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

    // Points outside the table read as blank and are ignored on set.
    const Cell& At(PointRef point) const;
    void SetValue(PointRef point, const std::string& text);
    void SetLabel(PointRef point, const std::string& text);
    void Apply(PacketNo packet, const std::vector<CellText>& texts);
    const PacketCells& Packet(PacketNo packet) const; // packet must be valid

    // Point-number labels: cells below the packet's count get their point label and a value
    // of " "; the rest get " " in both.
    void RebuildPointLabels(const CommandImages& images, int addressBase);

private:
    std::array<PacketCells, kPacketCount> m_cells{};
};

} // namespace vantor
