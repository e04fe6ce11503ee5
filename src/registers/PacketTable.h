// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 30 rows of the packet table as typed, and configure: rows to command images.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "modbus/CommandImages.h"
#include "modbus/FunctionTable.h"

namespace vantor {

struct DataPacket {
    std::string slave = "1";
    std::string function = "03";
    std::string address = "0";
    std::string count = "0";
    bool enabled = false;
};

using PacketRows = std::array<DataPacket, kPacketCount>;

// The Modbus TCP function list: entry kTcpPerPacketEntry polls each packet with its own
// function; entry n > 0 polls every packet with kTcpFunctionCodes[n - 1].
inline constexpr int kTcpPerPacketEntry = 0;
inline constexpr std::size_t kTcpFunctionEntries = kTcpFunctionCount + 1;

// The panel-wide Modbus TCP header fields.
struct TcpHeader {
    std::uint8_t transactionHi = 0, transactionLo = 0;
    std::uint8_t protocolHi = 0, protocolLo = 0;
    std::uint8_t unit = 1;
    bool fixedUnit = false; // every packet goes to `unit`; false: each to its own slave
    int functionIndex = kTcpPerPacketEntry; // the entry of the TCP function list
    bool operator==(const TcpHeader&) const = default;
};

// The window's choice of a function list entry decides the unit too: each packet's own slave
// with "0. 按数据包", the unit field with a fixed function.
TcpHeader WithFunctionEntry(TcpHeader header, int entry);

// The Modbus TCP function list's entries: "0. 按数据包", then "1.读线圈(0x01)" … in the order of
// kTcpFunctionCodes. Source texts: shown through QCoreApplication::translate("vantor::PacketTable",
// entry).
extern const std::array<const char*, kTcpFunctionEntries> kTcpFunctionTexts;
// The serial function combo's entries, in their order.
inline constexpr std::array<const char*, 6> kSerialFunctionTexts = {"03", "04", "02",
                                                                    "01", "51", "50"};

struct ConfigureResult {
    CommandImages images;
    // Rows refused for the link configured for, as messages for the user. A row refused for
    // one link only is still built for the other.
    std::vector<std::string> errors;
    // The checked packets (1..30) among them: configured to take part, yet never sent.
    std::vector<int> refusedPackets;
};

// Builds every row for both links. Serial: 12-digit upper-case text (function 50: "01320004",
// count 1). TCP: the 12-byte request with the row's slave and function or the header's fixed
// ones. Addresses and counts outside the 16-bit register space are refused for both; a function
// the serial cycle cannot poll, a slave outside 0..255 or a reply too long for the receive
// assembly only for the serial line; a missing TCP function, a packet function that cannot be
// polled over Modbus TCP, a slave used as unit outside 0..255 or a count past the function's
// Modbus TCP limit only for Modbus TCP. Only the refusals of the given link are reported.
ConfigureResult Configure(const PacketRows& rows, LinkKind link, const TcpHeader& header);

// The images with slave, function, start and count as the link sends each row (a row it does
// not send counts 0), for the point labels.
CommandImages ImagesAsSent(const CommandImages& images, LinkKind link);

// The log line after a configure that refused checked rows: "数据包 4, 7 配置失败，未发送。".
std::string RefusedPacketsLine(const std::vector<int>& packets);
// The log line that ends a configure: the success line, or the refused packets.
std::string ConfigureOutcomeLine(const ConfigureResult& result);

} // namespace vantor
