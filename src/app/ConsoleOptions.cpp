// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <vector>

#include "app/ConsoleHelp.h"
#include "app/Version.h"
#include "modbus/FunctionTable.h"
#include "publish/PublishConfig.h"
#include "registers/ValueFormat.h"

namespace vantor {

namespace {

// A whole decimal number within [low, high], or nothing.
std::optional<int> StrictInt(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok || value < low || value > high)
        return std::nullopt;
    return value;
}

// The run length in milliseconds must fit a timer's int.
constexpr int kMaxSeconds = 2000000;

// Codes as "1, 2, 3", or as "1, 2 or 3" when they are alternatives.
template <class Codes> QString CodeList(const Codes& codes, bool alternatives = false) {
    QStringList numbers;
    for (const auto code : codes)
        numbers << QString::number(code);
    if (!alternatives || numbers.size() < 2)
        return numbers.join(QLatin1String(", "));
    const QString last = numbers.takeLast();
    return ConsoleText::tr("%1 或 %2").arg(numbers.join(QLatin1String(", ")), last);
}

QString SerialFunctionList() {
    std::vector<int> codes;
    for (const FunctionInfo& f : kFunctions)
        if (IsSerialPolled(&f))
            codes.push_back(f.code);
    return CodeList(codes, true);
}

// The largest count of a --tcp row: the Modbus TCP limit of the function it is sent with (the
// register limit where the function has none), or 0 when the row's own function cannot be
// polled over Modbus TCP.
int TcpCountLimit(const TcpHeader& header, int rowFunction) {
    if (header.functionIndex == kTcpPerPacketEntry) {
        const FunctionInfo* info = FindFunction(rowFunction);
        return IsTcpPolledPerPacket(info) ? info->tcpMaxCount : 0;
    }
    const int fixed = kTcpFunctionCodes[static_cast<std::size_t>(header.functionIndex - 1)];
    const int limit = FindFunction(fixed)->tcpMaxCount;
    return limit > 0 ? limit : kTcpMaxRegisters;
}

QString TcpPerPacketList() {
    std::vector<int> codes;
    for (const FunctionInfo& f : kFunctions)
        if (IsTcpPolledPerPacket(&f))
            codes.push_back(f.code);
    return CodeList(codes, true);
}

QString ParsePacket(const QString& text, const ConsoleOptions& o, DataPacket& row) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return ConsoleText::tr("--packet 须为 SLAVE,FUNCTION,ADDRESS,COUNT，实际为“%1”").arg(text);
    const auto slave = StrictInt(parts[0], 0, 255);
    const auto function = StrictInt(parts[1], 0, 255);
    const auto address = StrictInt(parts[2], 0, 65535);
    if (!slave || !function || !address)
        return ConsoleText::tr("--packet “%1”：站号须为 0..255，功能码须为数字，地址须为 0..65535")
            .arg(text);
    // A serial row keeps to configure's limit, a --tcp row to the Modbus TCP limit of the
    // function it is sent with: its own, or --function.
    const FunctionInfo* info = FindFunction(*function);
    if (IsRtuFramed(o.link) && !IsSerialPolled(info))
        return ConsoleText::tr("--packet “%1”：功能码须为 %2").arg(text, SerialFunctionList());
    const bool tcp = o.link == LinkKind::Tcp;
    const int maxCount = tcp ? TcpCountLimit(o.tcp, *function) : SerialCountLimit(*info);
    if (maxCount == 0)
        return ConsoleText::tr("--packet “%1”：经 --tcp 且未给 --function 时，功能码须为 %2")
            .arg(text, TcpPerPacketList());
    const auto count = StrictInt(parts[3], 1, maxCount);
    if (!count)
        return ConsoleText::tr("--packet “%1”：功能码 %3 的数量须为 1..%2")
            .arg(text)
            .arg(maxCount)
            .arg(tcp && o.tcp.functionIndex != kTcpPerPacketEntry
                     ? kTcpFunctionCodes[static_cast<std::size_t>(o.tcp.functionIndex - 1)]
                     : *function);
    row = {QString::number(*slave).toStdString(), QString::number(*function).toStdString(),
           QString::number(*address).toStdString(), QString::number(*count).toStdString(), true};
    return {};
}

QString ParseFormat(const QString& text, CellFormatOption& format) {
    const int colon = text.indexOf(QLatin1Char(':'));
    const int equals = text.indexOf(QLatin1Char('='));
    const QString bad = ConsoleText::tr("--format 须为 PACKET:CELL=CODE (数据包 1..30，单元格 "
                                        "0..129，格式码 4、5、7..10 或 12..15)，实际为“%1”")
                            .arg(text);
    if (colon < 0 || equals < colon)
        return bad;
    const auto packet = StrictInt(text.left(colon), 1, kPacketCount);
    const auto cell = StrictInt(text.mid(colon + 1, equals - colon - 1), 0, 129);
    const auto code = StrictInt(text.mid(equals + 1), 4, 15);
    if (!packet || !cell || !code || !IsKnownFormatCode(*code))
        return bad;
    format = {{PacketNo(*packet), *cell}, *code};
    return {};
}

QString ParseWrite(const QString& text, CellWriteOption& write) {
    const int colon = text.indexOf(QLatin1Char(':'));
    const int equals = text.indexOf(QLatin1Char('='));
    const QString bad =
        ConsoleText::tr("--write 须为 PACKET:CELL=TEXT (数据包 1..30，单元格 0..129)，实际为“%1”")
            .arg(text);
    if (colon < 0 || equals < colon)
        return bad;
    const auto packet = StrictInt(text.left(colon), 1, kPacketCount);
    const auto cell = StrictInt(text.mid(colon + 1, equals - colon - 1), 0, 129);
    if (!packet || !cell)
        return bad;
    write = {{PacketNo(*packet), *cell}, text.mid(equals + 1)};
    return {};
}

} // namespace

namespace {

QString ParseLink(const QCommandLineParser& p, ConsoleOptions& o) {
    if (int(p.isSet("serial")) + int(p.isSet("tcp")) + int(p.isSet("rtu-over-tcp")) > 1)
        return ConsoleText::tr("--serial、--tcp 和 --rtu-over-tcp 只能选其一");
    if (p.isSet("tcp") || p.isSet("rtu-over-tcp")) {
        const QString name =
            p.isSet("tcp") ? QStringLiteral("tcp") : QStringLiteral("rtu-over-tcp");
        o.link = p.isSet("tcp") ? LinkKind::Tcp : LinkKind::RtuOverTcp;
        const QString value = p.value(name);
        const int colon = value.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || !StrictInt(value.mid(colon + 1), 1, 65535))
            return ConsoleText::tr("--%1 须为 HOST:PORT，端口 1..65535，实际为“%2”")
                .arg(name, value);
        o.tcpHost = value.left(colon);
        o.tcpPort = value.mid(colon + 1);
    } else if (p.isSet("serial")) {
        o.serial.portName = p.value("serial");
    } else if (o.console && !o.demo) {
        return ConsoleText::tr("请指定连接：--serial DEVICE、--tcp HOST:PORT 或 --rtu-over-tcp "
                               "HOST:PORT (或使用 --demo)");
    }
    if (p.isSet("baud")) {
        const auto baud = StrictInt(p.value("baud"), 1, 4000000);
        if (!baud)
            return ConsoleText::tr("--baud 须为正整数，实际为“%1”").arg(p.value("baud"));
        o.serial.baudRate = *baud;
    }
    if (p.isSet("parity")) {
        const QString parity = p.value("parity").toUpper();
        if (parity != "N" && parity != "O" && parity != "E")
            return ConsoleText::tr("--parity 须为 N、O 或 E，实际为“%1”").arg(p.value("parity"));
        o.serial.parity = parity.at(0).toLatin1();
    }
    if (p.isSet("data-bits")) {
        const auto bits = StrictInt(p.value("data-bits"), 5, 8);
        if (!bits)
            return ConsoleText::tr("--data-bits 须为 5..8，实际为“%1”").arg(p.value("data-bits"));
        o.serial.dataBits = *bits;
    }
    if (p.isSet("stop-bits")) {
        const auto bits = StrictInt(p.value("stop-bits"), 1, 2);
        if (!bits)
            return ConsoleText::tr("--stop-bits 须为 1 或 2，实际为“%1”").arg(p.value("stop-bits"));
        o.serial.stopBits = *bits;
    }
    return {};
}

// Without --unit and --function every packet is sent with its own slave as the unit and its
// own function; each of them fixes its part for every packet.
QString ParseTcpFields(const QCommandLineParser& p, ConsoleOptions& o) {
    if (p.isSet("unit")) {
        const auto unit = StrictInt(p.value("unit"), 0, 255);
        if (!unit)
            return ConsoleText::tr("--unit 须为 0..255，实际为“%1”").arg(p.value("unit"));
        o.tcp.unit = static_cast<std::uint8_t>(*unit);
        o.tcp.fixedUnit = true;
    }
    if (p.isSet("function")) {
        const auto code = StrictInt(p.value("function"), 0, 255);
        const auto* found =
            code ? std::find(kTcpFunctionCodes.begin(), kTcpFunctionCodes.end(), *code)
                 : kTcpFunctionCodes.end();
        const FunctionInfo* info = code ? FindFunction(*code) : nullptr;
        if (found == kTcpFunctionCodes.end() && info && info->reads == FunctionReads::None)
            return ConsoleText::tr("--function %1 是写入设备的功能码，不能轮询；请用 %2 之一 "
                                   "(或 --write、--send)")
                .arg(p.value("function"), CodeList(kTcpFunctionCodes));
        if (found == kTcpFunctionCodes.end())
            return ConsoleText::tr("--function 须为 %1 之一，实际为“%2”")
                .arg(CodeList(kTcpFunctionCodes), p.value("function"));
        o.tcp.functionIndex = static_cast<int>(found - kTcpFunctionCodes.begin()) + 1;
    }
    return {};
}

QString ParseRest(const QCommandLineParser& p, ConsoleOptions& o) {
    const QStringList packets = p.values("packet");
    if (packets.size() > kPacketCount)
        return ConsoleText::tr("--packet 最多 %1 个").arg(kPacketCount);
    for (const QString& text : packets) {
        if (QString error = ParsePacket(text, o, o.rows[o.packetCount]); !error.isEmpty())
            return error;
        ++o.packetCount;
    }
    for (const QString& text : p.values("format")) {
        CellFormatOption format;
        if (QString error = ParseFormat(text, format); !error.isEmpty())
            return error;
        o.formats.push_back(format);
    }
    for (const QString& text : p.values("write")) {
        CellWriteOption write;
        if (QString error = ParseWrite(text, write); !error.isEmpty())
            return error;
        o.writes.push_back(write);
    }
    o.sends = p.values("send");
    if (p.isSet("csv")) {
        o.csvPath = p.value("csv");
        if (o.csvPath.isEmpty())
            return ConsoleText::tr("--csv 须给出文件名");
        if (!o.console)
            return ConsoleText::tr("--csv 记录控制台运行，请加 --console");
    }
    if (p.isSet("publish")) {
        o.publishUrl = p.value("publish");
        QString error;
        if (!ParseBrokerUrl(o.publishUrl, &error))
            return error;
        if (!o.console)
            return ConsoleText::tr("--publish 用于控制台运行，请加 --console");
    }
    const struct {
        const char* name;
        int low, high;
        int* target;
    } numbers[] = {{"interval", 0, 3600000, &o.intervalMs},
                   {"timeout", 10, 60000, &o.replyTimeoutMs},
                   {"base", 0, 1, &o.addressBase},
                   {"seconds", 0, kMaxSeconds, &o.seconds}};
    for (const auto& n : numbers) {
        if (!p.isSet(n.name))
            continue;
        const auto value = StrictInt(p.value(n.name), n.low, n.high);
        if (!value)
            return ConsoleText::tr("--%1 须为 %2..%3，实际为“%4”")
                .arg(n.name)
                .arg(n.low)
                .arg(n.high)
                .arg(p.value(n.name));
        *n.target = *value;
    }
    if (p.isSet("project")) {
        o.project = p.value("project");
        if (o.project.isEmpty())
            return ConsoleText::tr("--project 须给出文件名");
    }
    if (o.console && o.packetCount == 0 && !o.demo && o.project.isEmpty())
        return ConsoleText::tr("请至少给出一个 --packet SLAVE,FUNCTION,ADDRESS,COUNT");
    return {};
}

} // namespace

ParsedOptions ParseConsoleOptions(const QStringList& arguments) {
    ParsedOptions result;
    QCommandLineParser parser;
    AddConsoleOptions(parser);
    if (!parser.parse(arguments)) {
        // Qt's own text for a missing value, which Qt's catalogue translates.
        const QStringList unknown = parser.unknownOptionNames();
        result.error = unknown.isEmpty()
                           ? parser.errorText()
                           : ConsoleText::tr("未知选项：%1").arg(unknown.join(QLatin1String(", ")));
        return result;
    }
    if (parser.isSet("help") || parser.isSet("help-all")) {
        result.help = true;
        result.helpText = parser.helpText();
        return result;
    }
    if (parser.isSet("version")) {
        result.version = true;
        result.versionText = QStringLiteral("Vantor %1\n").arg(QLatin1String(kVersion));
        return result;
    }
    // The window takes one project file, as a file manager passes it.
    const QStringList positional = parser.positionalArguments();
    if (!positional.isEmpty() && (parser.isSet("console") || positional.size() > 1)) {
        result.error = ConsoleText::tr("多余的参数“%1”").arg(positional.last());
        return result;
    }
    ConsoleOptions options;
    if (!positional.isEmpty())
        options.project = positional.first();
    options.console = parser.isSet("console");
    options.demo = parser.isSet("demo");
    options.reconnect = parser.isSet("reconnect");
    options.quiet = parser.isSet("quiet");
    if (options.quiet && !options.console) {
        result.error = ConsoleText::tr("--quiet 用于控制台运行，请加 --console");
        return result;
    }
    for (auto step : {ParseLink, ParseTcpFields, ParseRest}) {
        if (QString error = step(parser, options); !error.isEmpty()) {
            result.error = error;
            return result;
        }
    }
    result.options = options;
    return result;
}

} // namespace vantor
