// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns the data of an accepted reply into cell texts with the format store.
// Runs on the thread that owns the register image.
#include <algorithm>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "registers/FormatStore.h"
#include "registers/ValueFormat.h"

namespace vantor {

struct CellText {
    int cell = 0; // 0..129
    std::string text;
};

// Registers: data bytes from offset 3 of the reply (2 per register); cells 0.. in order while
// the cell is below registerCount (and 130). A 32-bit code makes the next cell's code 16; on the
// last register of the reply it shows "--". A cell with an unknown code is left out (its text
// stays as it was). Each cell's text goes to sink(cell, std::string_view), valid for the call.
template <class Sink>
void DecodeRegistersTo(std::span<const std::uint8_t> data, int registerCount,
                       FormatStore::PacketFormats& formats, Sink&& sink) {
    const int cells = std::min(registerCount, kCellsPerPacket);
    for (int i = 0; i < cells; ++i) {
        const auto offset = static_cast<std::size_t>(2 * i);
        if (offset + 1 >= data.size())
            break; // a short reply: nothing is read past its data
        const int code = formats[static_cast<std::size_t>(i)];
        if (code == static_cast<int>(ValueFormat::Signed16) ||
            code == static_cast<int>(ValueFormat::Unsigned16)) {
            sink(i, Format16(code, data[offset], data[offset + 1]).view());
        } else if (Is32BitFormat(code)) {
            // The second register must belong to this reply; without it the cell shows "--"
            // rather than an old value or one made of bytes that were never sent.
            if (i + 1 >= registerCount || offset + 3 >= data.size()) {
                sink(i, std::string_view("--"));
                continue;
            }
            sink(i, Format32(code,
                             {data[offset], data[offset + 1], data[offset + 2], data[offset + 3]})
                        .view());
            if (i + 1 < kCellsPerPacket)
                formats[static_cast<std::size_t>(i) + 1] =
                    static_cast<int>(ValueFormat::Continuation);
        } else if (code == static_cast<int>(ValueFormat::Continuation)) {
            sink(i, std::string_view("--"));
        }
    }
}

std::vector<CellText> DecodeRegisters(std::span<const std::uint8_t> data, int registerCount,
                                      FormatStore::PacketFormats& formats);

// Functions 1 and 2: cell i is "0" or "1", bit (i mod 8) of data byte i div 8, least
// significant first.
std::vector<CellText> DecodeBits(std::span<const std::uint8_t> data, int bitCount);

// Grid position of a cell: row (i mod 10) + 1, value column 2 (i div 10) + 2.
inline int CellRow(int cell) {
    return cell % 10 + 1;
}
inline int CellValueColumn(int cell) {
    return 2 * (cell / 10) + 2;
}
inline int CellFromGrid(int row, int column) {
    return (column / 2 - 1) * 10 + (row - 1);
}

} // namespace vantor
