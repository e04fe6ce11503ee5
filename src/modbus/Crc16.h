// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Modbus RTU CRC-16 (reflected polynomial 0xA001, initial 0xFFFF), table driven.
#include <array>
#include <cstdint>
#include <span>

namespace vantor {

// {first, second}: first is the byte sent first on the wire (the CRC's low-order byte).
using Crc16 = std::array<std::uint8_t, 2>;

// Covers every byte of data, whatever its length (no 8-bit length limit).
Crc16 CalcCrc16(std::span<const std::uint8_t> data);

// True when the last two bytes of frame are the CRC of the bytes before them.
bool FrameCrcIsValid(std::span<const std::uint8_t> frame);

} // namespace vantor
