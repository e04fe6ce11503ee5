// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one request in flight on a link, and the polling cycle's state around it. A request goes
// out only while nothing is in flight; a reply is taken only for the request in flight that it
// matches; when the reply is judged or its deadline passes, the cycle pauses for the send
// interval before the next request.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "modbus/CommandImages.h"

namespace vantor {

struct RequestInFlight {
    enum class Kind { Polled, Write };
    Kind kind = Kind::Polled;
    int packet = 0;                // polled: 1..30
    std::uint16_t transaction = 0; // Modbus TCP
    int unit = 0;                  // slave address or unit identifier asked
    int function = 0;              // function code asked
    int count = 0;                 // items asked (polled)
    // RTU reply length expected; 0 where the request does not tell (a typed frame of a function
    // the program does not know): such a reply is judged when the line falls silent.
    std::size_t expectedLength = 0;
    std::int64_t sentUs = 0;    // the request was handed to the link
    std::int64_t sentEndUs = 0; // its last bit left the line (serial), else sentUs
    std::int64_t deadlineUs = 0;
};

class PollCycle {
public:
    enum class State { Idle, AwaitingReply, Pause };

    State state() const { return m_state; }
    const RequestInFlight* inFlight() const {
        return m_state == State::AwaitingReply ? &m_request : nullptr;
    }
    bool awaiting(RequestInFlight::Kind kind) const {
        return m_state == State::AwaitingReply && m_request.kind == kind;
    }

    void sent(const RequestInFlight& request) {
        m_request = request;
        m_state = State::AwaitingReply;
    }
    // The reply was judged: the pause before the next request begins.
    void answered() { m_state = State::Pause; }
    // The deadline passed: the request is remembered so that its reply, should it still come,
    // is known for a late one.
    void timedOut() {
        m_timedOut[m_nextTimedOut++ % m_timedOut.size()] = m_request;
        m_lastTimedOut = m_request.packet;
        m_state = State::Pause;
    }
    void stop() {
        m_state = State::Idle;
        m_lastTimedOut = 0;
    }
    // The packet whose request timed out last, while no later request went out (0: none): bytes
    // that come in the pause after it are its late reply.
    int lastTimedOut() const { return m_lastTimedOut; }
    void forgetTimedOut() { m_lastTimedOut = 0; }
    // The polled packet of one of the last timed-out Modbus TCP requests with this transaction
    // number, or nothing.
    std::optional<int> timedOutPacket(std::uint16_t transaction) const {
        for (const RequestInFlight& r : m_timedOut)
            if (r.deadlineUs > 0 && r.transaction == transaction)
                return r.kind == RequestInFlight::Kind::Polled ? r.packet : 0;
        return std::nullopt;
    }

private:
    State m_state = State::Idle;
    RequestInFlight m_request;
    int m_lastTimedOut = 0;
    std::array<RequestInFlight, 16> m_timedOut{};
    std::size_t m_nextTimedOut = 0;
};

} // namespace vantor
