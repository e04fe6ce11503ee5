// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/LinkChannel.h"

#include <QCoreApplication>
#include <algorithm>

#include "modbus/MbapFramer.h"
#include "modbus/ReplyRules.h"
#include "modbus/RtuFrame.h"
#include "transport/ComPort.h"
#include "transport/ModbusSocket.h"

namespace vantor {

namespace {

// 3.5 characters of 11 bits, as microseconds times the baud rate: the silence that ends a reply.
constexpr std::int64_t kSilenceMicrosBaud = 38'500'000;
// The least silence waited for while bytes are arriving: a timer cannot wait less.
constexpr std::int64_t kMinimumSilenceUs = 2000;
// Bits a character takes on the line (start, 8 data, parity or a second stop, stop).
constexpr std::int64_t kBitsPerCharacter = 11;

// `why` is a translated pattern whose %1 is the command text.
QString Refusal(const QString& why, const std::string& commandText) {
    return why.arg(QString::fromStdString(commandText));
}

} // namespace

// ---- every link ------------------------------------------------------------------------------

std::int64_t LinkChannel::lineTimeUs(int) const {
    return 0;
}

std::int64_t LinkChannel::busySilenceUs() const {
    return 0;
}

std::int64_t LinkChannel::replySilenceUs() const {
    return 0;
}

bool LinkChannel::waitForBytes(int) {
    return false;
}

// ---- RTU frames ------------------------------------------------------------------------------

ChannelSend RtuChannel::SendHexCommand(const std::string& commandText, const TimeOfDay& now,
                                       bool tx) {
    const RtuFrame frame = BuildRtuFrame(commandText);
    if (!frame.ok())
        return {0, QString::fromStdString(CommandTextErrorText(frame.error, commandText)), {}};
    if (QString refusal = writeFrame(frame.bytes, commandText); !refusal.isEmpty())
        return {0, refusal, {}};
    return {static_cast<int>(frame.bytes.size()), {}, tx ? SerialTxLine(now, frame.txText) : ""};
}

void RtuChannel::identifyPolled(const PacketImage& image, RequestInFlight& request) const {
    request.unit = image.slave;
    request.function = image.function;
    request.count = image.count;
    request.expectedLength = ExpectedReplyLength(SessionMode::Polling, image.function, image.count);
}

void RtuChannel::identifyText(const std::string& commandText, RequestInFlight& request) const {
    std::vector<std::uint8_t> body;
    if (!HexTextToBytes(commandText, body) || body.size() < 2)
        return;
    request.unit = body[0];
    request.function = body[1];
    request.expectedLength = RequestReplyLength(body);
}

ChannelSend RtuChannel::sendPolled(const PacketImage& image, std::uint16_t, const TimeOfDay& now,
                                   bool tx, RequestInFlight& request) {
    identifyPolled(image, request);
    return SendHexCommand(image.serialText, now, tx);
}

ChannelSend RtuChannel::sendText(const std::string& commandText, std::uint16_t,
                                 const TimeOfDay& now, bool tx, RequestInFlight& request) {
    identifyText(commandText, request);
    return SendHexCommand(commandText, now, tx);
}

bool SerialChannel::isOpen() const {
    return m_port->isOpen();
}

std::int64_t SerialChannel::lineTimeUs(int bytes) const {
    return bytes <= 0 ? 0 : std::int64_t{bytes} * kBitsPerCharacter * 1'000'000 /
                                std::max(1, m_baudRate);
}

std::int64_t SerialChannel::busySilenceUs() const {
    return std::max(kMinimumSilenceUs, replySilenceUs());
}

std::int64_t SerialChannel::replySilenceUs() const {
    return kSilenceMicrosBaud / std::max(1, m_baudRate);
}

QString SerialChannel::writeFrame(std::span<const std::uint8_t> frame,
                                  const std::string& commandText) {
    if (!m_port->isOpen())
        return Refusal(
            QCoreApplication::translate("vantor::LinkChannel", "串口未打开，命令未发送：%1"),
            commandText);
    if (!m_port->Write(frame))
        return Refusal(
            QCoreApplication::translate("vantor::LinkChannel", "串口写入失败，命令未发送：%1"),
            commandText);
    return {};
}

bool GatewayChannel::isUp() const {
    return m_socket->isConnected();
}

// The gateway keeps the line's timing: the parts of a reply come close together.
std::int64_t GatewayChannel::busySilenceUs() const {
    return kMinimumSilenceUs;
}

bool GatewayChannel::waitForBytes(int ms) {
    return m_socket->WaitForBytes(ms);
}

QString GatewayChannel::writeFrame(std::span<const std::uint8_t> frame,
                                   const std::string& commandText) {
    if (!m_connected)
        return Refusal(QCoreApplication::translate("vantor::LinkChannel",
                                                   "Modbus TCP/IP 未连接，命令未发送：%1"),
                       commandText);
    if (!m_socket->Send(frame))
        return Refusal(QCoreApplication::translate("vantor::LinkChannel",
                                                   "Modbus TCP/IP 发送失败，命令未发送：%1"),
                       commandText);
    return {};
}

// ---- Modbus TCP ------------------------------------------------------------------------------

bool MbapChannel::isUp() const {
    return m_socket->isConnected();
}

bool MbapChannel::waitForBytes(int ms) {
    return m_socket->WaitForBytes(ms);
}

void MbapChannel::identifyPolled(const PacketImage& image, RequestInFlight& request) const {
    request.unit = image.tcp[6];
    request.function = image.tcp[7];
    request.count = image.tcp[10] << 8 | image.tcp[11];
}

void MbapChannel::identifyText(const std::string& commandText, RequestInFlight& request) const {
    std::vector<std::uint8_t> body;
    if (!HexTextToBytes(commandText, body) || body.size() < 2)
        return;
    request.unit = body[0];
    request.function = body[1];
}

// The packet's 12-byte request as configured, with the transaction number of this request.
ChannelSend MbapChannel::sendPolled(const PacketImage& image, std::uint16_t transaction,
                                    const TimeOfDay& now, bool tx, RequestInFlight& request) {
    std::array<std::uint8_t, 12> adu = image.tcp;
    adu[0] = static_cast<std::uint8_t>(transaction >> 8);
    adu[1] = static_cast<std::uint8_t>(transaction);
    identifyPolled(image, request);
    request.transaction = transaction;
    // A request the socket refuses is still logged: it was due, and the lost connection is
    // reported on its own.
    ChannelSend sent;
    if (m_socket->Send(adu))
        sent.bytes = static_cast<int>(adu.size());
    if (tx)
        sent.txLine = TcpTxLine(now, adu);
    return sent;
}

// The command text's first byte is the unit identifier, the rest the PDU.
ChannelSend MbapChannel::sendText(const std::string& commandText, std::uint16_t transaction,
                                  const TimeOfDay& now, bool tx, RequestInFlight& request) {
    std::vector<std::uint8_t> body;
    if (!HexTextToBytes(commandText, body) || body.size() < 2 ||
        body.size() > MbapFramer::kMaxLength)
        return {0,
                Refusal(QCoreApplication::translate("vantor::LinkChannel",
                                                    "命令文本无效，Modbus TCP 命令未发送：%1"),
                        commandText),
                {}};
    if (!m_connected)
        return {0,
                Refusal(QCoreApplication::translate("vantor::LinkChannel",
                                                    "Modbus TCP/IP 未连接，命令未发送：%1"),
                        commandText),
                {}};
    const std::vector<std::uint8_t> adu = BuildMbapRequest(transaction, body);
    if (!m_socket->Send(adu))
        return {0,
                Refusal(QCoreApplication::translate("vantor::LinkChannel",
                                                    "Modbus TCP/IP 发送失败，命令未发送：%1"),
                        commandText),
                {}};
    identifyText(commandText, request);
    request.transaction = transaction;
    return {static_cast<int>(adu.size()), {}, tx ? TcpTxLine(now, adu) : ""};
}

} // namespace vantor
