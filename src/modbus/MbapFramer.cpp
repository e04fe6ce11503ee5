// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/MbapFramer.h"

#include <cstdio>

#include "modbus/HexText.h"

namespace vantor {

namespace {

// Bytes before the PDU's length is counted: transaction id, protocol id and the length field.
constexpr std::size_t kLengthPrefix = 6;

unsigned BigEndian16(const std::uint8_t* p) {
    return static_cast<unsigned>(p[0] << 8 | p[1]);
}

// Empty when the header at p can start a reply, else the reason it cannot.
std::string HeaderFault(const std::uint8_t* p) {
    const unsigned protocol = BigEndian16(p + 2);
    if (protocol != 0) {
        return "protocol identifier 0x" + HexDigits(protocol, 4);
    }
    char text[64];
    const unsigned length = BigEndian16(p + 4);
    if (length < MbapFramer::kMinLength || length > MbapFramer::kMaxLength) {
        std::snprintf(text, sizeof text, "length %u outside %u..%u", length, MbapFramer::kMinLength,
                      MbapFramer::kMaxLength);
        return text;
    }
    return {};
}

} // namespace

std::vector<MbapEvent> MbapFramer::Feed(std::span<const std::uint8_t> data) {
    std::vector<MbapEvent> events;
    m_buffer.insert(m_buffer.end(), data.begin(), data.end());

    std::size_t pos = 0;
    while (m_buffer.size() - pos >= kHeaderSize) {
        const std::uint8_t* header = m_buffer.data() + pos;
        std::string fault = HeaderFault(header);
        if (!fault.empty()) {
            // Once a header is wrong the stream has lost its frame boundaries: drop it all.
            MbapEvent event{MbapEvent::Kind::Malformed,
                            std::vector<std::uint8_t>(m_buffer.begin() + pos, m_buffer.end()),
                            std::move(fault)};
            events.push_back(std::move(event));
            m_buffer.clear();
            return events;
        }
        const std::size_t total = kLengthPrefix + BigEndian16(header + 4);
        if (m_buffer.size() - pos < total) {
            break;
        }
        events.push_back({MbapEvent::Kind::Frame, std::vector<std::uint8_t>(header, header + total),
                          std::string()});
        pos += total;
    }
    m_buffer.erase(m_buffer.begin(), m_buffer.begin() + static_cast<std::ptrdiff_t>(pos));
    return events;
}

std::vector<std::uint8_t> BuildMbapRequest(std::uint16_t transaction,
                                           std::span<const std::uint8_t> unitAndPdu) {
    const auto length = static_cast<std::uint16_t>(unitAndPdu.size());
    std::vector<std::uint8_t> adu = {
        static_cast<std::uint8_t>(transaction >> 8), static_cast<std::uint8_t>(transaction), 0, 0,
        static_cast<std::uint8_t>(length >> 8),      static_cast<std::uint8_t>(length)};
    adu.insert(adu.end(), unitAndPdu.begin(), unitAndPdu.end());
    return adu;
}

} // namespace vantor
