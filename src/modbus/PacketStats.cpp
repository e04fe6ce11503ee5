// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/PacketStats.h"

#include <algorithm>
#include <cstdio>

#include "modbus/Texts.h"

namespace vantor {

namespace {

// The keys of the console's statistics line, which scripts read: not translated.
constexpr std::array<const char*, kStatColumnCount> kKeys = {
    "请求",       "有效应答", "无应答",   "CRC错误",  "异常应答",
    "末次异常码", "响应(ms)", "最小(ms)", "平均(ms)", "最大(ms)"};

std::string Milliseconds(std::int64_t us) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", static_cast<double>(us) / 1000.0);
    return text;
}

} // namespace

void PacketStats::addResponse(std::int64_t us) {
    us = std::max<std::int64_t>(us, 0);
    minUs = timed == 0 ? us : std::min(minUs, us);
    maxUs = timed == 0 ? us : std::max(maxUs, us);
    lastUs = us;
    sumUs += us;
    ++timed;
}

std::string StatHeader(StatColumn column) {
    switch (column) {
    case StatColumn::Requests:
        return CoreText("vantor::PacketStats", "请求");
    case StatColumn::Valid:
        return CoreText("vantor::PacketStats", "有效应答");
    case StatColumn::NoReply:
        return CoreText("vantor::PacketStats", "无应答");
    case StatColumn::CrcErrors:
        return CoreText("vantor::PacketStats", "CRC错误");
    case StatColumn::Exceptions:
        return CoreText("vantor::PacketStats", "异常应答");
    case StatColumn::LastException:
        return CoreText("vantor::PacketStats", "末次异常码");
    case StatColumn::LastMs:
        return CoreText("vantor::PacketStats", "响应(ms)");
    case StatColumn::MinMs:
        return CoreText("vantor::PacketStats", "最小(ms)");
    case StatColumn::MeanMs:
        return CoreText("vantor::PacketStats", "平均(ms)");
    case StatColumn::MaxMs:
        return CoreText("vantor::PacketStats", "最大(ms)");
    }
    return {};
}

std::string StatText(const PacketStats& s, StatColumn column) {
    switch (column) {
    case StatColumn::Requests:
        return std::to_string(s.requests);
    case StatColumn::Valid:
        return std::to_string(s.valid);
    case StatColumn::NoReply:
        return std::to_string(s.noReply);
    case StatColumn::CrcErrors:
        return std::to_string(s.crcErrors);
    case StatColumn::Exceptions:
        return std::to_string(s.exceptions);
    case StatColumn::LastException: {
        if (s.lastException < 0)
            return {};
        char text[8];
        std::snprintf(text, sizeof text, "%02X", s.lastException & 0xFF);
        return text;
    }
    case StatColumn::LastMs:
        return s.timed == 0 ? std::string() : Milliseconds(s.lastUs);
    case StatColumn::MinMs:
        return s.timed == 0 ? std::string() : Milliseconds(s.minUs);
    case StatColumn::MeanMs:
        return s.timed == 0 ? std::string() : Milliseconds(s.meanUs());
    case StatColumn::MaxMs:
        return s.timed == 0 ? std::string() : Milliseconds(s.maxUs);
    }
    return {};
}

std::string StatsLine(int packet, const PacketStats& stats) {
    std::string line = "数据包 " + std::to_string(packet) + "："; // read by scripts: not translated
    for (int c = 0; c < kStatColumnCount; ++c) {
        const auto column = static_cast<StatColumn>(c);
        const std::string text = StatText(stats, column);
        line += c == 0 ? "" : " ";
        line += kKeys[static_cast<std::size_t>(c)];
        line += "=" + (text.empty() ? std::string("-") : text);
    }
    return line;
}

} // namespace vantor
