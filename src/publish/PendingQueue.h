// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The messages made but not yet handed to the broker connection, oldest first, at most `limit`
// of them: a full queue makes room by dropping its oldest message, and counts it. Not locked:
// its owner (the broker client) guards it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace vantor {

struct OutMessage {
    std::string topic;
    std::string payload;
    int qos = 1;
    bool retain = false;
};

class PendingQueue {
public:
    static constexpr std::size_t kMinLimit = 1000;

    explicit PendingQueue(std::size_t limit) : m_limit(std::max(limit, kMinLimit)) {}

    std::size_t limit() const { return m_limit; }
    // A smaller limit drops the oldest at once.
    void setLimit(std::size_t limit);
    // Adds at the back; the number of messages dropped to make room (0 or 1).
    std::size_t push(OutMessage message);
    // A message the connection could not take goes back to the front, as the oldest.
    void pushFront(OutMessage message);
    bool empty() const { return m_messages.empty(); }
    std::size_t size() const { return m_messages.size(); }
    OutMessage pop(); // the oldest; the queue must not be empty
    std::uint64_t dropped() const { return m_dropped; }

private:
    std::size_t trim();

    std::deque<OutMessage> m_messages;
    std::size_t m_limit;
    std::uint64_t m_dropped = 0;
};

} // namespace vantor
