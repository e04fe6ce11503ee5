// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What one point's message is made of and when it goes out: the quality of a point, the topic
// of a point under the prefix, the JSON payloads, and the gate that lets a point through on a
// change beyond its deadband or when its interval has passed. Plain functions and values,
// nothing that knows a broker or a thread.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

// "good"; "stale" after a missed reply (the value is the last one); "no-reply" before any
// reply; "exception:<name>" while the device answers the packet with an exception.
struct PointQuality {
    enum class Kind { Good, Stale, NoReply, Exception } kind = Kind::Good;
    int exceptionCode = 0;

    std::string text() const;
    bool operator==(const PointQuality&) const = default;
};

// A topic level from a point's name: blanks around it go, and characters that would make it
// more than one level or a wildcard ('/', '+', '#', control characters) become '_'. An empty
// name gives the point's reference.
std::string TopicLevel(std::string_view name, std::string_view reference);

// The prefix as typed, ending in exactly one '/'. Empty stays empty.
std::string NormalisedPrefix(std::string_view prefix);

// A grid text as a number: blanks around it allowed, nothing else; otherwise none.
std::optional<double> GridNumber(std::string_view text);

struct PointSample {
    std::int64_t timeMs = 0;     // since the epoch, UTC
    std::optional<double> value; // none: "v": null
    std::string_view raw;
    std::string_view unit;
    PointQuality quality;
};

// {"t":…,"v":…,"raw":"…","unit":"…","q":"…"} with no blanks; a value that is not finite is null.
void AppendPointPayload(std::string& out, const PointSample& sample);
void AppendJsonString(std::string& out, std::string_view text);
void AppendJsonNumber(std::string& out, double value);

// The last message a point sent, and whether the next sample goes out.
class PointGate {
public:
    // A sample goes out when the point has sent nothing yet, when its quality or (without a
    // number) its raw text changed, when its number moved more than the deadband from the one
    // last sent (any move for a deadband of 0), or when intervalMs have passed since the last.
    bool admit(const PointSample& sample, std::int64_t intervalMs, double deadband);
    void reset() { m_sent = false; }
    std::int64_t lastTimeMs() const { return m_sent ? m_timeMs : 0; }

private:
    bool m_sent = false;
    std::optional<double> m_value;
    std::string m_raw;
    PointQuality m_quality;
    std::int64_t m_timeMs = 0;
};

} // namespace vantor
