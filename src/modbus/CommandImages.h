// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the polling cycle sends: one ready image per packet and link, built by configure.
#include <array>
#include <cstdint>
#include <string>

namespace vantor {

inline constexpr int kPacketCount = 30;

// The links, numbered as the connection mode combo lists them. RTU over TCP carries the serial
// frames, CRC included, over a TCP connection to a gateway: it polls like the serial line.
enum class LinkKind : int { Serial = 0, Tcp = 1, RtuOverTcp = 2 };
inline constexpr int kLinkKindCount = 3;

// The link sends RTU frames and judges replies as a serial line does.
constexpr bool IsRtuFramed(LinkKind link) {
    return link != LinkKind::Tcp;
}
// The link is a TCP connection (connect, disconnect, server address and port).
constexpr bool UsesTcpConnection(LinkKind link) {
    return link != LinkKind::Serial;
}

// One row as both links send it. Configure builds both, so a link chosen after configure sends
// the rows as they were configured.
struct PacketImage {
    std::string serialText;             // command text without CRC ("01030000000A"); empty: refused
    std::array<std::uint8_t, 12> tcp{}; // complete Modbus TCP request
    // The serial request, by which its reply is judged; count is 1 for function 50.
    int slave = 1;
    int function = 3;
    int start = 0;
    int count = 0;         // 0: the packet is never sent
    bool tcpBuilt = false; // false: the row was refused for Modbus TCP

    // The row can go out on the link: its request was built (and, over Modbus TCP, asks for at
    // least one item; the serial count is checked with count).
    bool sendsOn(LinkKind link) const {
        if (link == LinkKind::Tcp)
            return tcpBuilt && (tcp[10] != 0 || tcp[11] != 0);
        return !serialText.empty();
    }
};

struct CommandImages {
    LinkKind link = LinkKind::Serial; // the workspace's link kind at configure
    std::array<PacketImage, kPacketCount> packets{};
    int totalCount = 0;  // sum of all rows' counts, checked or not (a function-50 row adds 1)
    int checkedRows = 0; // rows checked at configure

    // Each packet's count as configured (0 for a row that is never sent).
    std::array<int, kPacketCount> counts() const {
        std::array<int, kPacketCount> out{};
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = packets[i].count;
        return out;
    }
};

} // namespace vantor
