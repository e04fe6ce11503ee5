// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/RegisterImage.h"

#include "registers/PointLabel.h"

namespace vantor {

const RegisterImage::Cell& RegisterImage::At(PointRef point) const {
    static const Cell kBlank;
    if (!point.valid())
        return kBlank;
    return m_cells[point.packet.index()][static_cast<std::size_t>(point.cell)];
}

void RegisterImage::SetLabel(PointRef point, const std::string& text) {
    if (point.valid())
        m_cells[point.packet.index()][static_cast<std::size_t>(point.cell)].label = text;
}

void RegisterImage::Apply(PacketNo packet, const std::vector<CellText>& texts) {
    for (const CellText& cell : texts)
        SetValue({packet, cell.cell}, cell.text);
}

const RegisterImage::PacketCells& RegisterImage::Packet(PacketNo packet) const {
    return m_cells.at(packet.index());
}

void RegisterImage::RebuildPointLabels(const CommandImages& images, int addressBase) {
    const std::string blank = " ";
    for (std::size_t p = 0; p < m_cells.size(); ++p) {
        const PacketImage& image = images.packets[p];
        for (int i = 0; i < kCellsPerPacket; ++i) {
            Cell& cell = m_cells[p][static_cast<std::size_t>(i)];
            cell.label =
                i < image.count ? PointLabel(image.function, image.start, addressBase, i) : blank;
            cell.value = blank;
        }
    }
}

} // namespace vantor
