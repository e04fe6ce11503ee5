#pragma once
// What the polling cycle sends: one ready image per packet, built by configure.
#include <array>
#include <cstdint>
#include <string>

namespace vantor {

inline constexpr int kPacketCount = 30;

enum class LinkKind : int { Serial = 0, Tcp = 1 };

struct PacketImage {
    std::string serialText; // command text without CRC ("01030000000A"); empty: never sent
    std::array<std::uint8_t, 12> tcp{}; // complete Modbus TCP request
    int slave = 1;
    int function = 3;
    int start = 0;
    int count = 0; // 0: the packet is never sent
};

struct CommandImages {
    LinkKind link = LinkKind::Serial;
    std::array<PacketImage, kPacketCount> packets{};
    int totalCount = 0;  // sum of all rows' counts, checked or not (a function-50 row adds 1)
    int checkedRows = 0; // rows checked at configure
};

} // namespace vantor
