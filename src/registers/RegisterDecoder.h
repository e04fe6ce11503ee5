#pragma once
// Turns the data of an accepted reply into cell texts with the format store.
// Runs on the thread that owns the register image.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "registers/FormatStore.h"

namespace vantor {

struct CellText {
    int cell = 0; // 0..129
    std::string text;
};

// Registers: data bytes from offset 3 of the reply (2 per register); cells 0.. in order while
// the cell is below registerCount (and 130). A 32-bit code makes the next cell's code 16; on the
// last register of the reply it shows "--". A cell with an unknown code is left out (its text
// stays as it was).
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
