// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How packets and cells are counted everywhere: packets 1..30, as the packet table and the grid
// pages number them, and cells 0..129 within a packet. A packet number is a PacketNo, which an
// int never turns into by itself, so a 0-based index cannot pass for it unnoticed.
#include <cstddef>

#include "modbus/CommandImages.h"

namespace vantor {

inline constexpr int kCellsPerPacket = 130;

struct PacketNo {
    constexpr explicit PacketNo(int n) : number(n) {}
    int number; // 1..30

    constexpr bool valid() const { return number >= 1 && number <= kPacketCount; }
    constexpr std::size_t index() const { return static_cast<std::size_t>(number - 1); }
    constexpr bool operator==(const PacketNo&) const = default;
};

// One point: a cell of a packet.
struct PointRef {
    PacketNo packet;
    int cell; // 0..129

    constexpr bool valid() const { return packet.valid() && cell >= 0 && cell < kCellsPerPacket; }
    constexpr bool operator==(const PointRef&) const = default;
};

} // namespace vantor
