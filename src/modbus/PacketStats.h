// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What each polled packet has seen since the counters were last cleared: requests, valid
// replies, misses, CRC errors, exceptions, and the response times of its replies (from the end
// of sending the request to the last byte of the reply).
#include <array>
#include <cstdint>
#include <string>

#include "modbus/CommandImages.h"

namespace vantor {

struct PacketStats {
    std::uint32_t requests = 0;
    std::uint32_t valid = 0;
    std::uint32_t noReply = 0;
    std::uint32_t crcErrors = 0;
    std::uint32_t exceptions = 0;
    int lastException = -1; // the code of the last exception reply, -1 before the first
    // Response times in microseconds: the last, the least, the greatest and the sum over the
    // timed replies (valid and exception replies).
    std::uint32_t timed = 0;
    std::int64_t lastUs = 0;
    std::int64_t minUs = 0;
    std::int64_t maxUs = 0;
    std::int64_t sumUs = 0;

    void addResponse(std::int64_t us);
    std::int64_t meanUs() const { return timed == 0 ? 0 : sumUs / timed; }
    bool empty() const { return requests == 0 && valid == 0 && crcErrors == 0 && exceptions == 0; }
    bool operator==(const PacketStats&) const = default;
};

using PacketStatsTable = std::array<PacketStats, kPacketCount>;

// The columns of the statistics, as the packet list heads them and the console prints them.
enum class StatColumn {
    Requests,
    Valid,
    NoReply,
    CrcErrors,
    Exceptions,
    LastException,
    LastMs,
    MinMs,
    MeanMs,
    MaxMs,
};
inline constexpr int kStatColumnCount = 10;
// The column's heading in the user's language.
std::string StatHeader(StatColumn column);
// One column's text: counts as numbers, times in ms with two decimals, "" where nothing was
// timed or no exception came, the last exception code as two hex digits.
std::string StatText(const PacketStats& stats, StatColumn column);
// "数据包 N：请求=… 有效应答=… …" with every column, "-" for an empty one. Scripts read this
// line: it stays the same in every language.
std::string StatsLine(int packet, const PacketStats& stats);

} // namespace vantor
