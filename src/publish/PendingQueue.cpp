// SPDX-License-Identifier: GPL-3.0-or-later
#include "publish/PendingQueue.h"

#include <algorithm>

namespace vantor {

void PendingQueue::setLimit(std::size_t limit) {
    m_limit = std::max(limit, kMinLimit);
    trim();
}

std::size_t PendingQueue::push(OutMessage message) {
    m_messages.push_back(std::move(message));
    return trim();
}

void PendingQueue::pushFront(OutMessage message) {
    m_messages.push_front(std::move(message));
    trim();
}

OutMessage PendingQueue::pop() {
    OutMessage message = std::move(m_messages.front());
    m_messages.pop_front();
    return message;
}

std::size_t PendingQueue::trim() {
    std::size_t dropped = 0;
    while (m_messages.size() > m_limit) {
        m_messages.pop_front();
        ++dropped;
    }
    m_dropped += dropped;
    return dropped;
}

} // namespace vantor
