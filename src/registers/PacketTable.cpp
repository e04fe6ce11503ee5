#include "registers/PacketTable.h"

#include "modbus/FunctionTable.h"
#include "modbus/HexText.h"
#include "modbus/RxAssembly.h"

#include <algorithm>
#include <limits>

#include "registers/ValueFormat.h"

namespace vantor {

const std::array<const char*, kTcpFunctionCount> kTcpFunctionTexts = {
    "1.读线圈(0x01)",       "2.读离散量输入(0x02)",  "3.读保持寄存器(0x03)",
    "4.读输入寄存器(0x04)", "5.写单个线圈(0x05)",    "6.写单个寄存器(0x06)",
    "7.写多个线圈(0x0F)",   "8.写多个寄存器(0x10)",  "9.读文件记录(0x14)",
    "10.写文件记录(0x15)",  "11.屏蔽写寄存器(0x16)", "12.读写多个寄存器(0x17)",
    "13.读设备识别码(0x2B)"};

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

std::string RowError(int row, const char* what, int value, const std::string& reason) {
    return "数据包 " + std::to_string(row + 1) + "：" + what + " " + std::to_string(value) + " " +
           reason;
}

// One serial row into its image; returns the count that the row adds to the total.
long long ConfigureSerialRow(const DataPacket& row, int index, PacketImage& image,
                             std::vector<std::string>& errors) {
    const int function = LenientInt(row.function);
    const FunctionInfo* info = FindFunction(function);
    if (info != nullptr && info->serial == SerialUse::PolledFixed) {
        image.serialText = kFunction50Text;
        image.slave = 1;
        image.function = function;
        image.start = 0;
        image.count = 1;
        return 1;
    }
    const int slave = LenientInt(row.slave);
    if (slave < 0 || slave > 255) {
        errors.push_back(RowError(index, "从机地址", slave, "超出 0～255"));
        return 0;
    }
    if (!IsSerialPolled(info)) {
        errors.push_back(RowError(index, "功能码", function, "不能发送"));
        return 0;
    }
    const int count = LenientInt(row.count);
    // A reply longer than the receive assembly could never be judged: every poll would end in
    // data errors and nothing would be decoded.
    if ((count & 0xFFFF) > SerialCountLimit(*info)) {
        errors.push_back(RowError(index, "数据个数", count,
                                  "的应答超过 " + std::to_string(RxAssembly::kCapacity) + " 字节"));
        return 0;
    }
    image.slave = slave;
    image.function = function;
    image.start = LenientInt(row.address) & 0xFFFF;
    image.count = count & 0xFFFF;
    image.serialText = HexDigits(slave, 2) + HexDigits(function, 2) + HexDigits(image.start, 4) +
                       HexDigits(image.count, 4);
    return count;
}

// One TCP row into its 12-byte request; returns the count that the row adds to the total.
long long ConfigureTcpRow(const DataPacket& row, const TcpHeader& header, PacketImage& image,
                          std::vector<std::string>& errors) {
    const int count = LenientInt(row.count);
    image.slave = header.unit;
    image.start = LenientInt(row.address) & 0xFFFF;
    image.count = count & 0xFFFF;
    image.function = 0;
    if (header.functionIndex >= 0 &&
        header.functionIndex < static_cast<int>(kTcpFunctionCodes.size()))
        image.function = kTcpFunctionCodes[static_cast<std::size_t>(header.functionIndex)];
    else
        errors.emplace_back("命令字错误！");
    image.tcp = {header.transactionHi,
                 header.transactionLo,
                 header.protocolHi,
                 header.protocolLo,
                 0x00,
                 0x06,
                 header.unit,
                 static_cast<std::uint8_t>(image.function),
                 static_cast<std::uint8_t>(image.start >> 8),
                 static_cast<std::uint8_t>(image.start),
                 static_cast<std::uint8_t>(image.count >> 8),
                 static_cast<std::uint8_t>(image.count)};
    return count;
}

} // namespace

ConfigureResult Configure(const PacketRows& rows, LinkKind link, const TcpHeader& header) {
    ConfigureResult result;
    CommandImages& images = result.images;
    images.link = link;
    long long total = 0; // 30 typed counts can exceed the range of int
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const DataPacket& row = rows[i];
        PacketImage& image = images.packets[i];
        if (row.enabled)
            ++images.checkedRows;
        if (link == LinkKind::Tcp)
            total += ConfigureTcpRow(row, header, image, result.errors);
        else
            total += ConfigureSerialRow(row, static_cast<int>(i), image, result.errors);
    }
    images.totalCount = static_cast<int>(std::clamp<long long>(
        total, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    return result;
}

} // namespace vantor
