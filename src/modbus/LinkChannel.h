// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What varies with the link kind: how a request goes on the wire and how its Tx line reads,
// whether the link is up, how long the line takes to carry a frame, and the silence that ends a
// reply. One channel per link kind; the session's polling cycle, write jobs and judging work
// through the channel of the link in use.
#include <QString>
#include <cstdint>
#include <string>

#include "modbus/CommandImages.h"
#include "modbus/LogFormat.h"
#include "modbus/PollCycle.h"

namespace vantor {

class CComPort;
class CModbusSocket;

// A request handed to the link, or why it was not.
struct ChannelSend {
    int bytes = 0;      // handed to the link; 0: refused
    QString refusal;    // why, when refused
    std::string txLine; // the Tx log line, when asked for
};

class LinkChannel {
public:
    virtual ~LinkChannel() = default;

    // RTU frames: replies are judged byte by byte against the expected length and the silence.
    virtual bool rtuFramed() const = 0;
    // Requests can go out: the port is open, or the connection was reported made.
    virtual bool isOpen() const = 0;
    // The transport is up this moment (a connection's close may not be reported yet).
    virtual bool isUp() const = 0;
    // What a reply to the packet's polled request must be: unit, function, count and, for RTU
    // frames, the expected length.
    virtual void identifyPolled(const PacketImage& image, RequestInFlight& request) const = 0;
    // The same for a command text sent by hand: unit and function, and for RTU frames the
    // expected length where the request tells it.
    virtual void identifyText(const std::string& commandText, RequestInFlight& request) const = 0;
    // A packet's polled request, with the request in flight's identity filled in (and its
    // transaction number). `tx` asks for the Tx line.
    virtual ChannelSend sendPolled(const PacketImage& image, std::uint16_t transaction,
                                   const TimeOfDay& now, bool tx, RequestInFlight& request) = 0;
    // A command text sent by hand (a write, a typed frame): hex digit pairs without CRC, the
    // slave or unit first.
    virtual ChannelSend sendText(const std::string& commandText, std::uint16_t transaction,
                                 const TimeOfDay& now, bool tx, RequestInFlight& request) = 0;
    // Microseconds the line needs to carry a frame of this many bytes (0 where there is none).
    virtual std::int64_t lineTimeUs(int bytes) const;
    // The silence after the last byte received that lets the next request go while bytes are
    // arriving, and the one that ends a reply in the fast mode.
    virtual std::int64_t busySilenceUs() const;
    virtual std::int64_t replySilenceUs() const;
    // Waits up to ms for bytes on a connection and hands them over; false where it cannot.
    virtual bool waitForBytes(int ms);
};

// RTU frames (command text and CRC), on a serial port or through a gateway's TCP connection.
class RtuChannel : public LinkChannel {
public:
    bool rtuFramed() const override { return true; }
    void identifyPolled(const PacketImage& image, RequestInFlight& request) const override;
    void identifyText(const std::string& commandText, RequestInFlight& request) const override;
    ChannelSend sendPolled(const PacketImage& image, std::uint16_t transaction,
                           const TimeOfDay& now, bool tx, RequestInFlight& request) override;
    ChannelSend sendText(const std::string& commandText, std::uint16_t transaction,
                         const TimeOfDay& now, bool tx, RequestInFlight& request) override;

protected:
    // The RTU sender: command text to frame, handed to the link with its CRC.
    ChannelSend SendHexCommand(const std::string& commandText, const TimeOfDay& now, bool tx);
    // Hands a whole frame to the link; returns why it could not, or "".
    virtual QString writeFrame(std::span<const std::uint8_t> frame,
                               const std::string& commandText) = 0;
};

class SerialChannel : public RtuChannel {
public:
    explicit SerialChannel(CComPort* port) : m_port(port) {}
    void setBaudRate(int baudRate) { m_baudRate = baudRate; }
    bool isOpen() const override;
    bool isUp() const override { return isOpen(); }
    std::int64_t lineTimeUs(int bytes) const override;
    std::int64_t busySilenceUs() const override;
    std::int64_t replySilenceUs() const override;

private:
    QString writeFrame(std::span<const std::uint8_t> frame,
                       const std::string& commandText) override;
    CComPort* m_port;
    int m_baudRate = 19200;
};

// A serial gateway's TCP connection: RTU frames as they are, the line's timing kept by the
// gateway.
class GatewayChannel : public RtuChannel {
public:
    GatewayChannel(CModbusSocket* socket, const bool& connected)
        : m_socket(socket), m_connected(connected) {}
    bool isOpen() const override { return m_connected; }
    bool isUp() const override;
    std::int64_t busySilenceUs() const override;
    bool waitForBytes(int ms) override;

private:
    QString writeFrame(std::span<const std::uint8_t> frame,
                       const std::string& commandText) override;
    CModbusSocket* m_socket;
    const bool& m_connected;
};

// Modbus TCP: requests in MBAP headers, each with a transaction number of its own.
class MbapChannel : public LinkChannel {
public:
    MbapChannel(CModbusSocket* socket, const bool& connected)
        : m_socket(socket), m_connected(connected) {}
    bool rtuFramed() const override { return false; }
    bool isOpen() const override { return m_connected; }
    bool isUp() const override;
    void identifyPolled(const PacketImage& image, RequestInFlight& request) const override;
    void identifyText(const std::string& commandText, RequestInFlight& request) const override;
    ChannelSend sendPolled(const PacketImage& image, std::uint16_t transaction,
                           const TimeOfDay& now, bool tx, RequestInFlight& request) override;
    ChannelSend sendText(const std::string& commandText, std::uint16_t transaction,
                         const TimeOfDay& now, bool tx, RequestInFlight& request) override;
    bool waitForBytes(int ms) override;

private:
    CModbusSocket* m_socket;
    const bool& m_connected;
};

} // namespace vantor
