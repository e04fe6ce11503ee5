// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The register image: the value and label texts of the 30 packets' cells. The grid pages show
// it; the console prints it.
#include <array>
#include <string>
#include <string_view>

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
    void SetValue(PointRef point, std::string_view text) {
        if (point.valid())
            AssignText(m_cells[point.packet.index()][static_cast<std::size_t>(point.cell)].value,
                       text);
    }
    void SetLabel(PointRef point, const std::string& text);
    void Apply(PacketNo packet, const std::vector<CellText>& texts);
    const PacketCells& Packet(PacketNo packet) const; // packet must be valid

    // Point-number labels: cells below the packet's count get their point label and a value
    // of " "; the rest get " " in both.
    void RebuildPointLabels(const CommandImages& images, int addressBase);

private:
    // A reply mostly brings a cell a text as long as its last one: that is copied over the old
    // one in place, without a call to the library's copy.
    static void AssignText(std::string& to, std::string_view text) {
        if (to.size() != text.size() || text.size() > 8) {
            to.assign(text);
            return;
        }
        for (std::size_t i = 0; i < text.size(); ++i)
            to[i] = text[i];
    }

    std::array<PacketCells, kPacketCount> m_cells{};
};

} // namespace vantor
