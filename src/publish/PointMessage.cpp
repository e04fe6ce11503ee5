// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PointMessage.h"

#include <charconv>
#include <cmath>
#include <utility>

namespace vantor {

namespace {

// Subscribers match on these: they never change with the window's language.
std::string ExceptionSlug(int code) {
    static constexpr std::pair<int, const char*> kNames[] = {
        {0x01, "illegal-function"},      {0x02, "illegal-data-address"},
        {0x03, "illegal-data-value"},    {0x04, "server-device-failure"},
        {0x05, "acknowledge"},           {0x06, "server-device-busy"},
        {0x08, "memory-parity-error"},   {0x0A, "gateway-path-unavailable"},
        {0x0B, "gateway-target-failed"},
    };
    for (const auto& [known, name] : kNames)
        if (known == code)
            return name;
    return "code-" + std::to_string(code);
}

} // namespace

std::string PointQuality::text() const {
    switch (kind) {
    case Kind::Good:
        return "good";
    case Kind::Stale:
        return "stale";
    case Kind::NoReply:
        return "no-reply";
    case Kind::Exception:
        break;
    }
    return "exception:" + ExceptionSlug(exceptionCode);
}

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

std::string TopicLevel(std::string_view name, std::string_view reference) {
    std::string_view kept = Trimmed(name);
    if (kept.empty())
        kept = reference;
    std::string level(kept);
    for (char& c : level)
        if (c == '/' || c == '+' || c == '#' || static_cast<unsigned char>(c) < 0x20)
            c = '_';
    return level;
}

std::string NormalisedPrefix(std::string_view prefix) {
    prefix = Trimmed(prefix);
    while (!prefix.empty() && prefix.back() == '/')
        prefix.remove_suffix(1);
    return prefix.empty() ? std::string() : std::string(prefix) + '/';
}

std::optional<double> GridNumber(std::string_view text) {
    text = Trimmed(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

void AppendJsonString(std::string& out, std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    out += '"';
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            out += "\\u00";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void AppendJsonNumber(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out += "null";
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

void AppendPointPayload(std::string& out, const PointSample& s) {
    char buffer[24];
    out += "{\"t\":";
    out.append(buffer, std::to_chars(buffer, buffer + sizeof buffer, s.timeMs).ptr);
    out += ",\"v\":";
    if (s.value)
        AppendJsonNumber(out, *s.value);
    else
        out += "null";
    out += ",\"raw\":";
    AppendJsonString(out, s.raw);
    out += ",\"unit\":";
    AppendJsonString(out, s.unit);
    out += ",\"q\":";
    AppendJsonString(out, s.quality.text());
    out += '}';
}

bool PointGate::admit(const PointSample& s, std::int64_t intervalMs, double deadband) {
    bool send = !m_sent || s.quality != m_quality || s.timeMs - m_timeMs >= intervalMs;
    if (!send) {
        if (s.value && m_value)
            send = deadband > 0 ? std::fabs(*s.value - *m_value) > deadband : *s.value != *m_value;
        else
            send = s.value.has_value() != m_value.has_value() || s.raw != m_raw;
    }
    if (!send)
        return false;
    m_sent = true;
    m_value = s.value;
    m_raw.assign(s.raw);
    m_quality = s.quality;
    m_timeMs = s.timeMs;
    return true;
}

} // namespace vantor
