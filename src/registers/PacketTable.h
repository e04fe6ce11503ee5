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

// The panel-wide Modbus TCP header fields.
struct TcpHeader {
    std::uint8_t transactionHi = 0, transactionLo = 0;
    std::uint8_t protocolHi = 0, protocolLo = 0;
    std::uint8_t unit = 1;
    int functionIndex = 2; // index into kTcpFunctionCodes; 2 is function 3
    bool operator==(const TcpHeader&) const = default;
};

// The Modbus TCP function list's entries, in the order of kTcpFunctionCodes.
extern const std::array<const char*, kTcpFunctionCount> kTcpFunctionTexts; // "1.读线圈(0x01)" …
// The serial function combo's entries, in their order.
inline constexpr std::array<const char*, 5> kSerialFunctionTexts = {"03", "04", "02", "51", "50"};

struct ConfigureResult {
    CommandImages images;
    // Rows that could not be built, as messages for the user (the row's image stays empty).
    std::vector<std::string> errors;
};

// Serial: 12-digit upper-case text per row (function 50: "01320004", count 1).
// TCP: the 12-byte request per row. Rows with a function code that cannot be sent are refused.
ConfigureResult Configure(const PacketRows& rows, LinkKind link, const TcpHeader& header);

} // namespace vantor
