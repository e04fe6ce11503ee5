// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/PacketTable.h"

#include <optional>

#include <QCoreApplication>

#include "modbus/FunctionTable.h"
#include "modbus/HexText.h"
#include "modbus/LogFormat.h"
#include "modbus/RxAssembly.h"

#include "registers/ValueFormat.h"

namespace vantor {

const std::array<const char*, kTcpFunctionEntries> kTcpFunctionTexts = {
    QT_TRANSLATE_NOOP("vantor::PacketTable", "0. 按数据包"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "1.读线圈(0x01)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "2.读离散量输入(0x02)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "3.读保持寄存器(0x03)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "4.读输入寄存器(0x04)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "9.读文件记录(0x14)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "12.读写多个寄存器(0x17)"),
    QT_TRANSLATE_NOOP("vantor::PacketTable", "13.读设备识别码(0x2B)")};

// The serial function combo offers exactly the functions the polling cycle can send.
// (Compared by value: pointer tests in constant expressions fail under the sanitizer build.)
static_assert([] {
    const auto polledCode = [](int code) {
        for (const FunctionInfo& f : kFunctions)
            if (f.code == code)
                return f.serial == SerialUse::Polled || f.serial == SerialUse::PolledFixed;
        return false;
    };
    std::size_t polled = 0;
    for (const FunctionInfo& f : kFunctions)
        polled += polledCode(f.code) ? 1 : 0;
    for (const char* text : kSerialFunctionTexts)
        if (!polledCode((text[0] - '0') * 10 + (text[1] - '0')))
            return false;
    return polled == kSerialFunctionTexts.size();
}());

namespace {

// Function 50 always sends this fixed request, whatever its row holds.
constexpr const char* kFunction50Text = "01320004";
// Addresses and counts of one request lie in a 16-bit register space.
constexpr int kAddressSpace = 65536;

struct RowNumbers {
    int slave, function, address, count;
};

// A refusal of the row: the pattern's %1 the packet number (1..30), %2 the value refused, %3
// (where the pattern has it) the limit.
std::string RowError(int row, const char* pattern, int value, std::optional<int> limit = {}) {
    QString text =
        QCoreApplication::translate("vantor::PacketTable", pattern).arg(row + 1).arg(value);
    return (limit ? text.arg(*limit) : text).toStdString();
}

// The refusal that concerns both links: a request outside the register space.
std::string RangeError(const RowNumbers& n, int index) {
    if (n.address < 0 || n.address >= kAddressSpace)
        return RowError(
            index, QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：地址 %2 超出 0～65535"),
            n.address);
    if (n.count < 0 || n.count >= kAddressSpace)
        return RowError(
            index, QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：数据个数 %2 超出 0～65535"),
            n.count);
    if (n.address + n.count > kAddressSpace)
        return RowError(
            index,
            QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：地址 %2 加数据个数 %3 超出 65536"),
            n.address, n.count);
    return {};
}

// The serial text of one row; returns why the row was refused, or nothing.
std::string BuildSerial(const RowNumbers& n, int index, const std::string& rangeError,
                        PacketImage& image) {
    const FunctionInfo* info = FindFunction(n.function);
    if (info != nullptr && info->serial == SerialUse::PolledFixed) {
        image.serialText = kFunction50Text;
        image.slave = 1;
        image.start = 0;
        image.count = 1;
        return {};
    }
    if (!rangeError.empty())
        return rangeError;
    if (n.slave < 0 || n.slave > 255)
        return RowError(
            index, QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：从机地址 %2 超出 0～255"),
            n.slave);
    if (!IsSerialPolled(info))
        return RowError(index,
                        QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：功能码 %2 不能发送"),
                        n.function);
    // A reply longer than the receive assembly could never be judged: every poll would end in
    // data errors and nothing would be decoded.
    if (n.count > SerialCountLimit(*info))
        return RowError(
            index,
            QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：数据个数 %2 的应答超过 %3 字节"),
            n.count, static_cast<int>(RxAssembly::kCapacity));
    image.serialText = HexDigits(static_cast<std::uint32_t>(n.slave), 2) +
                       HexDigits(static_cast<std::uint32_t>(n.function), 2) +
                       HexDigits(static_cast<std::uint32_t>(n.address), 4) +
                       HexDigits(static_cast<std::uint32_t>(n.count), 4);
    return {};
}

// The function and unit one row is sent with over Modbus TCP; returns why the row cannot be
// sent, or nothing.
std::string TcpAddressing(const RowNumbers& n, int index, const TcpHeader& header, int& function,
                          int& unit) {
    if (header.functionIndex < 0 || header.functionIndex >= static_cast<int>(kTcpFunctionEntries))
        return QCoreApplication::translate("vantor::PacketTable", "命令字错误！").toStdString();
    if (header.functionIndex == kTcpPerPacketEntry) {
        function = n.function;
        if (!IsTcpPolledPerPacket(FindFunction(function)))
            return RowError(
                index, QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：功能码 %2 不能发送"),
                function);
    } else {
        function = kTcpFunctionCodes[static_cast<std::size_t>(header.functionIndex - 1)];
    }
    unit = header.fixedUnit ? header.unit : n.slave;
    if (unit < 0 || unit > 255)
        return RowError(
            index, QT_TRANSLATE_NOOP("vantor::PacketTable", "数据包 %1：从机地址 %2 超出 0～255"),
            unit);
    return {};
}

// The 12-byte request of one row; returns why the row was refused, or nothing.
std::string BuildTcp(const RowNumbers& n, int index, const TcpHeader& header,
                     const std::string& rangeError, PacketImage& image) {
    if (!rangeError.empty())
        return rangeError;
    int function = 0;
    int unit = 0;
    if (std::string error = TcpAddressing(n, index, header, function, unit); !error.empty())
        return error;
    // A server refuses a longer request, and its reply would not fit one Modbus TCP frame.
    if (const int limit = FindFunction(function)->tcpMaxCount; limit > 0 && n.count > limit)
        return RowError(index,
                        QT_TRANSLATE_NOOP("vantor::PacketTable",
                                          "数据包 %1：数据个数 %2 超过 Modbus TCP 的上限 %3"),
                        n.count, limit);
    image.tcp = {header.transactionHi,
                 header.transactionLo,
                 header.protocolHi,
                 header.protocolLo,
                 0x00,
                 0x06,
                 static_cast<std::uint8_t>(unit),
                 static_cast<std::uint8_t>(function),
                 static_cast<std::uint8_t>(n.address >> 8),
                 static_cast<std::uint8_t>(n.address),
                 static_cast<std::uint8_t>(n.count >> 8),
                 static_cast<std::uint8_t>(n.count)};
    image.tcpBuilt = true;
    return {};
}

int TcpWord(const PacketImage& image, std::size_t at) {
    return (image.tcp[at] << 8) | image.tcp[at + 1];
}

} // namespace

TcpHeader WithFunctionEntry(TcpHeader header, int entry) {
    header.functionIndex = entry;
    header.fixedUnit = entry != kTcpPerPacketEntry;
    return header;
}

ConfigureResult Configure(const PacketRows& rows, LinkKind link, const TcpHeader& header) {
    ConfigureResult result;
    CommandImages& images = result.images;
    images.link = link;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DataPacket& row = rows[i];
        PacketImage& image = images.packets[i];
        const int index = static_cast<int>(i);
        const RowNumbers n{LenientInt(row.slave), LenientInt(row.function), LenientInt(row.address),
                           LenientInt(row.count)};
        const std::string rangeError = RangeError(n, index);
        image.slave = n.slave;
        image.function = n.function;
        image.start = rangeError.empty() ? n.address : 0;
        image.count = rangeError.empty() ? n.count : 0;
        const std::string serialError = BuildSerial(n, index, rangeError, image);
        const std::string tcpError = BuildTcp(n, index, header, rangeError, image);
        const std::string& error = link == LinkKind::Tcp ? tcpError : serialError;
        if (row.enabled)
            ++images.checkedRows;
        images.totalCount += image.count; // at most 30 counts below 65536
        if (error.empty())
            continue;
        result.errors.push_back(error);
        if (row.enabled)
            result.refusedPackets.push_back(index + 1);
    }
    return result;
}

CommandImages ImagesAsSent(const CommandImages& images, LinkKind link) {
    CommandImages sent = images;
    for (PacketImage& image : sent.packets) {
        if (IsRtuFramed(link)) {
            if (!image.sendsOn(link))
                image.count = 0;
            continue;
        }
        image.slave = image.tcp[6];
        image.function = image.tcp[7];
        image.start = TcpWord(image, 8);
        image.count = image.tcpBuilt ? TcpWord(image, 10) : 0;
    }
    return sent;
}

std::string RefusedPacketsLine(const std::vector<int>& packets) {
    std::string numbers;
    for (int packet : packets)
        numbers += (numbers.empty() ? "" : ", ") + std::to_string(packet);
    return QCoreApplication::translate("vantor::PacketTable", "数据包 %1 配置失败，未发送。")
        .arg(QString::fromStdString(numbers))
        .toStdString();
}

std::string ConfigureOutcomeLine(const ConfigureResult& result) {
    return result.refusedPackets.empty() ? ConfigureDoneLine()
                                         : RefusedPacketsLine(result.refusedPackets);
}

} // namespace vantor
