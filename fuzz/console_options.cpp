// SPDX-License-Identifier: GPL-3.0-or-later
// The command line: the input split on NUL bytes into arguments (UTF-8) after the program name.
// The parser either refuses with a message, answers help or version, or gives options whose
// every number lies in its range.
#include <QStringList>

#include "FuzzSupport.h"
#include "app/ConsoleOptions.h"
#include "modbus/FunctionTable.h"
#include "registers/PacketTable.h"
#include "registers/ValueFormat.h"

using namespace vantor;
using namespace vantor::fuzz;

namespace {

bool InRange(int value, int low, int high) {
    return value >= low && value <= high;
}

bool CountFits(const DataPacket& row, const ConsoleOptions& o) {
    const int count = std::stoi(row.count);
    const FunctionInfo* info = FindFunction(std::stoi(row.function));
    if (o.link != LinkKind::Tcp)
        return IsSerialPolled(info) && InRange(count, 1, SerialCountLimit(*info));
    if (o.tcp.functionIndex != kTcpPerPacketEntry)
        info = FindFunction(kTcpFunctionCodes[std::size_t(o.tcp.functionIndex - 1)]);
    else if (!IsTcpPolledPerPacket(info))
        return false;
    return InRange(count, 1, info->tcpMaxCount > 0 ? info->tcpMaxCount : kTcpMaxRegisters);
}

void CheckOptions(const ConsoleOptions& o) {
    FUZZ_CHECK(InRange(o.serial.baudRate, 1, 4000000), "baud rate out of range");
    FUZZ_CHECK(o.serial.parity == 'N' || o.serial.parity == 'O' || o.serial.parity == 'E',
               "parity not N, O or E");
    FUZZ_CHECK(InRange(o.serial.dataBits, 5, 8), "data bits out of range");
    FUZZ_CHECK(InRange(o.serial.stopBits, 1, 2), "stop bits out of range");
    FUZZ_CHECK(InRange(o.tcp.functionIndex, 0, int(kTcpFunctionEntries) - 1),
               "TCP function entry out of range");
    if (o.link == LinkKind::Tcp) {
        FUZZ_CHECK(!o.tcpHost.isEmpty(), "TCP link without a host");
        bool ok = false;
        FUZZ_CHECK(InRange(o.tcpPort.trimmed().toInt(&ok), 1, 65535) && ok, "TCP port");
    }
    FUZZ_CHECK(InRange(o.packetCount, 0, kPacketCount), "packet count out of range");
    for (int r = 0; r < o.packetCount; ++r) {
        const DataPacket& row = o.rows[static_cast<std::size_t>(r)];
        FUZZ_CHECK(row.enabled, "a given packet is not checked");
        FUZZ_CHECK(InRange(std::stoi(row.slave), 0, 255), "slave out of range");
        FUZZ_CHECK(InRange(std::stoi(row.address), 0, 65535), "address out of range");
        FUZZ_CHECK(CountFits(row, o), "count out of range for its function");
    }
    for (const CellFormatOption& f : o.formats)
        FUZZ_CHECK(f.point.valid() && IsKnownFormatCode(f.code) && f.code != 16,
                   "format option out of range");
    for (const CellWriteOption& w : o.writes)
        FUZZ_CHECK(w.point.valid(), "write option out of range");
    FUZZ_CHECK(InRange(o.intervalMs, 0, 3600000), "interval out of range");
    FUZZ_CHECK(InRange(o.addressBase, 0, 1), "address base not 0 or 1");
    FUZZ_CHECK(InRange(o.seconds, 0, 2000000), "run length out of range");
    FUZZ_CHECK(o.csvPath.isEmpty() || o.console, "CSV without --console");
    if (o.console && !o.demo)
        FUZZ_CHECK(o.packetCount > 0 || !o.project.isEmpty(), "a console run without packets");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    MakeApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QStringList arguments{QStringLiteral("vantor")};
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    if (!bytes.isEmpty())
        for (const QByteArray& part : bytes.split('\0'))
            arguments << QString::fromUtf8(part);

    const ParsedOptions parsed = ParseConsoleOptions(arguments);
    const int answers = (parsed.options ? 1 : 0) + (parsed.error.isEmpty() ? 0 : 1) +
                        (parsed.help ? 1 : 0) + (parsed.version ? 1 : 0);
    FUZZ_CHECK(answers == 1, "not exactly one of options, error, help and version");
    FUZZ_CHECK(!parsed.help || !parsed.helpText.isEmpty(), "help without its text");
    FUZZ_CHECK(!parsed.version || !parsed.versionText.isEmpty(), "version without its text");
    if (parsed.options)
        CheckOptions(*parsed.options);
    return 0;
}
