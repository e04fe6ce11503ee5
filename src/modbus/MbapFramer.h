// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Cuts a Modbus TCP byte stream into whole replies by the length in their MBAP header,
// however the stream splits or joins them.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vantor {

struct MbapEvent {
    enum class Kind { Frame, Malformed } kind = Kind::Frame;
    std::vector<std::uint8_t> bytes; // Frame: the whole ADU (7-byte header and PDU)
                                     // Malformed: the bytes dropped
    std::string reason;              // Malformed: why ("protocol identifier 0x0001" …)
};

// A Modbus TCP request: the MBAP header (transaction, protocol 0, length) before the unit
// identifier and the PDU.
std::vector<std::uint8_t> BuildMbapRequest(std::uint16_t transaction,
                                           std::span<const std::uint8_t> unitAndPdu);

class MbapFramer {
public:
    static constexpr std::size_t kHeaderSize = 7;
    static constexpr unsigned kMinLength = 3;   // unit, function and at least one byte
    static constexpr unsigned kMaxLength = 254; // unit and the largest PDU

    // Adds received bytes; returns every reply completed by them, in order. A header with a
    // protocol identifier other than 0 or a length outside 3..254 drops everything buffered.
    std::vector<MbapEvent> Feed(std::span<const std::uint8_t> data);
    void Reset() { m_buffer.clear(); }
    std::size_t buffered() const { return m_buffer.size(); }

private:
    std::vector<std::uint8_t> m_buffer;
};

} // namespace vantor
