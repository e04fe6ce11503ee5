#include "registers/RegisterImage.h"

#include "registers/PointLabel.h"

namespace vantor {

namespace {

bool ValidPacket(int packet) {
    return packet >= 0 && packet < kPacketCount;
}

bool ValidIndex(int packet, int cell) {
    return ValidPacket(packet) && cell >= 0 && cell < kCellsPerPacket;
}

} // namespace

const RegisterImage::Cell& RegisterImage::At(int packet, int cell) const {
    static const Cell kBlank;
    if (!ValidIndex(packet, cell))
        return kBlank;
    return m_cells[static_cast<std::size_t>(packet)][static_cast<std::size_t>(cell)];
}

void RegisterImage::SetValue(int packet, int cell, const std::string& text) {
    if (ValidIndex(packet, cell))
        m_cells[static_cast<std::size_t>(packet)][static_cast<std::size_t>(cell)].value = text;
}

void RegisterImage::SetLabel(int packet, int cell, const std::string& text) {
    if (ValidIndex(packet, cell))
        m_cells[static_cast<std::size_t>(packet)][static_cast<std::size_t>(cell)].label = text;
}

void RegisterImage::Apply(int packet, const std::vector<CellText>& texts) {
    for (const CellText& cell : texts)
        SetValue(packet, cell.cell, cell.text);
}

const RegisterImage::PacketCells& RegisterImage::Packet(int packet) const {
    return m_cells.at(static_cast<std::size_t>(packet));
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
