#include "registers/RegisterDecoder.h"

#include <algorithm>

#include "registers/ValueFormat.h"

namespace vantor {

std::vector<CellText> DecodeRegisters(std::span<const std::uint8_t> data, int registerCount,
                                      FormatStore::PacketFormats& formats) {
    std::vector<CellText> texts;
    const int cells = std::min(registerCount, kCellsPerPacket);
    texts.reserve(static_cast<std::size_t>(std::max(cells, 0)));
    for (int i = 0; i < cells; ++i) {
        const auto offset = static_cast<std::size_t>(2 * i);
        if (offset + 1 >= data.size())
            break; // a short reply: nothing is read past its data
        const int code = formats[static_cast<std::size_t>(i)];
        if (code == static_cast<int>(ValueFormat::Signed16) ||
            code == static_cast<int>(ValueFormat::Unsigned16)) {
            texts.push_back({i, Decode16(code, data[offset], data[offset + 1])});
        } else if (Is32BitFormat(code)) {
            // The second register must belong to this reply; without it the cell shows "--"
            // rather than an old value or one made of bytes that were never sent.
            if (i + 1 >= registerCount || offset + 3 >= data.size()) {
                texts.push_back({i, "--"});
                continue;
            }
            texts.push_back({i, Decode32(code, {data[offset], data[offset + 1], data[offset + 2],
                                                data[offset + 3]})});
            if (i + 1 < kCellsPerPacket)
                formats[static_cast<std::size_t>(i) + 1] =
                    static_cast<int>(ValueFormat::Continuation);
        } else if (code == static_cast<int>(ValueFormat::Continuation)) {
            texts.push_back({i, "--"});
        }
    }
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
