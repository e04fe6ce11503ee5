// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/RegisterDecoder.h"

#include <algorithm>

namespace vantor {

std::vector<CellText> DecodeRegisters(std::span<const std::uint8_t> data, int registerCount,
                                      FormatStore::PacketFormats& formats) {
    std::vector<CellText> texts;
    texts.reserve(static_cast<std::size_t>(std::clamp(registerCount, 0, kCellsPerPacket)));
    DecodeRegistersTo(data, registerCount, formats, [&texts](int cell, std::string_view text) {
        texts.push_back({cell, std::string(text)});
    });
    return texts;
}

std::vector<CellText> DecodeBits(std::span<const std::uint8_t> data, int bitCount) {
    std::vector<CellText> texts;
    const int available = static_cast<int>(std::min<std::size_t>(data.size(), kCellsPerPacket)) * 8;
    const int cells = std::min({bitCount, kCellsPerPacket, available});
    texts.reserve(static_cast<std::size_t>(std::max(cells, 0)));
    for (int i = 0; i < cells; ++i) {
        const bool set = (data[static_cast<std::size_t>(i / 8)] >> (i % 8)) & 1;
        texts.push_back({i, set ? "1" : "0"});
    }
    return texts;
}

} // namespace vantor
