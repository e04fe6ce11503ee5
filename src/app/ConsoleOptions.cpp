#include "app/ConsoleOptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <vector>

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

// Codes as "1, 2, 3" with lastSeparator before the last one.
template <class Codes> QString CodeList(const Codes& codes, const char* lastSeparator) {
    QString text;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        if (i > 0)
            text += QLatin1String(i + 1 == codes.size() ? lastSeparator : ", ");
        text += QString::number(codes[i]);
    }
    return text;
}

QString SerialFunctionList() {
    std::vector<int> codes;
    for (const FunctionInfo& f : kFunctions)
        if (IsSerialPolled(&f))
            codes.push_back(f.code);
    return CodeList(codes, " or ");
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
    return CodeList(codes, " or ");
}

QString ParsePacket(const QString& text, const ConsoleOptions& o, DataPacket& row) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4)
        return QStringLiteral("--packet needs SLAVE,FUNCTION,ADDRESS,COUNT, got '%1'").arg(text);
    const auto slave = StrictInt(parts[0], 0, 255);
    const auto function = StrictInt(parts[1], 0, 255);
    const auto address = StrictInt(parts[2], 0, 65535);
    if (!slave || !function || !address)
        return QStringLiteral("--packet '%1': slave must be 0..255, function a number and "
                              "address 0..65535")
            .arg(text);
    // A serial row keeps to configure's limit, a --tcp row to the Modbus TCP limit of the
    // function it is sent with: its own, or --function.
    const FunctionInfo* info = FindFunction(*function);
    if (IsRtuFramed(o.link) && !IsSerialPolled(info))
        return QStringLiteral("--packet '%1': function must be %2").arg(text, SerialFunctionList());
    const bool tcp = o.link == LinkKind::Tcp;
    const int maxCount = tcp ? TcpCountLimit(o.tcp, *function) : SerialCountLimit(*info);
    if (maxCount == 0)
        return QStringLiteral("--packet '%1': over --tcp without --function, function must be %2")
            .arg(text, TcpPerPacketList());
    const auto count = StrictInt(parts[3], 1, maxCount);
    if (!count)
        return QStringLiteral("--packet '%1': count must be 1..%2 for function %3")
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
    const QString bad = QStringLiteral("--format needs PACKET:CELL=CODE (packet 1..30, cell "
                                       "0..129, code 4, 5, 7..10 or 12..15), got '%1'")
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
        QStringLiteral("--write needs PACKET:CELL=TEXT (packet 1..30, cell 0..129), got '%1'")
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
        return QStringLiteral("--serial, --tcp and --rtu-over-tcp exclude each other");
    if (p.isSet("tcp") || p.isSet("rtu-over-tcp")) {
        const QString name =
            p.isSet("tcp") ? QStringLiteral("tcp") : QStringLiteral("rtu-over-tcp");
        o.link = p.isSet("tcp") ? LinkKind::Tcp : LinkKind::RtuOverTcp;
        const QString value = p.value(name);
        const int colon = value.lastIndexOf(QLatin1Char(':'));
        if (colon <= 0 || !StrictInt(value.mid(colon + 1), 1, 65535))
            return QStringLiteral("--%1 needs HOST:PORT with a port 1..65535, got '%2'")
                .arg(name, value);
        o.tcpHost = value.left(colon);
        o.tcpPort = value.mid(colon + 1);
    } else if (p.isSet("serial")) {
        o.serial.portName = p.value("serial");
    } else if (o.console && !o.demo) {
        return QStringLiteral("name a link: --serial DEVICE, --tcp HOST:PORT or --rtu-over-tcp "
                              "HOST:PORT (or use --demo)");
    }
    if (p.isSet("baud")) {
        const auto baud = StrictInt(p.value("baud"), 1, 4000000);
        if (!baud)
            return QStringLiteral("--baud must be a positive number, got '%1'")
                .arg(p.value("baud"));
        o.serial.baudRate = *baud;
    }
    if (p.isSet("parity")) {
        const QString parity = p.value("parity").toUpper();
        if (parity != "N" && parity != "O" && parity != "E")
            return QStringLiteral("--parity must be N, O or E, got '%1'").arg(p.value("parity"));
        o.serial.parity = parity.at(0).toLatin1();
    }
    if (p.isSet("data-bits")) {
        const auto bits = StrictInt(p.value("data-bits"), 5, 8);
        if (!bits)
            return QStringLiteral("--data-bits must be 5..8, got '%1'").arg(p.value("data-bits"));
        o.serial.dataBits = *bits;
    }
    if (p.isSet("stop-bits")) {
        const auto bits = StrictInt(p.value("stop-bits"), 1, 2);
        if (!bits)
            return QStringLiteral("--stop-bits must be 1 or 2, got '%1'").arg(p.value("stop-bits"));
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
            return QStringLiteral("--unit must be 0..255, got '%1'").arg(p.value("unit"));
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
            return QStringLiteral("--function %1 writes to the device and cannot be polled; "
                                  "use one of %2 (or --write, --send)")
                .arg(p.value("function"), CodeList(kTcpFunctionCodes, ", "));
        if (found == kTcpFunctionCodes.end())
            return QStringLiteral("--function must be one of %1, got '%2'")
                .arg(CodeList(kTcpFunctionCodes, ", "), p.value("function"));
        o.tcp.functionIndex = static_cast<int>(found - kTcpFunctionCodes.begin()) + 1;
    }
    return {};
}

QString ParseRest(const QCommandLineParser& p, ConsoleOptions& o) {
    const QStringList packets = p.values("packet");
    if (packets.size() > kPacketCount)
        return QStringLiteral("at most %1 --packet options").arg(kPacketCount);
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
            return QStringLiteral("--csv needs a FILE name");
        if (!o.console)
            return QStringLiteral("--csv records a console run; add --console");
    }
    if (p.isSet("publish")) {
        o.publishUrl = p.value("publish");
        QString error;
        if (!ParseBrokerUrl(o.publishUrl, &error))
            return error;
        if (!o.console)
            return QStringLiteral("--publish applies to a console run; add --console");
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
            return QStringLiteral("--%1 must be %2..%3, got '%4'")
                .arg(n.name)
                .arg(n.low)
                .arg(n.high)
                .arg(p.value(n.name));
        *n.target = *value;
    }
    if (p.isSet("project")) {
        o.project = p.value("project");
        if (o.project.isEmpty())
            return QStringLiteral("--project needs a FILE name");
    }
    if (o.console && o.packetCount == 0 && !o.demo && o.project.isEmpty())
        return QStringLiteral("give at least one --packet SLAVE,FUNCTION,ADDRESS,COUNT");
    return {};
}

void AddOptions(QCommandLineParser& p) {
    p.setApplicationDescription(QStringLiteral("Vantor: Modbus master and trend recorder."));
    p.addHelpOption();
    p.addVersionOption();
    p.addPositionalArgument("file",
                            "Project file (.ini) or curve file (.tee, as history) to open "
                            "in the window.",
                            "[FILE]");
    p.addOptions({
        {"console", "Poll without windows, printing the log, the cell values and the counters."},
        {"demo", "Start the built-in simulated device and poll it."},
        {"no-splash", "Open the window without the start-up picture."},
        {"reconnect", "Open a lost link again every second instead of ending the run."},
        {"quiet", "Print no log lines or cell values while polling: only messages, and the "
                  "counters and the packets' statistics at the end."},
        {"serial", "Serial device (ttyUSB0, /dev/pts/3, COM3).", "DEVICE"},
        {"baud", "Baud rate (default 19200).", "RATE"},
        {"parity", "Parity N, O or E (default N).", "P"},
        {"data-bits", "Data bits (default 8).", "N"},
        {"stop-bits", "Stop bits 1 or 2 (default 2).", "N"},
        {"tcp", "Modbus TCP server.", "HOST:PORT"},
        {"rtu-over-tcp",
         "A serial gateway that passes RTU frames over TCP; packets as on a serial line.",
         "HOST:PORT"},
        {"unit", "Modbus TCP unit identifier of every packet (default: each packet's slave).",
         "ID"},
        {"function",
         "Modbus TCP function code of every packet, a reading one (default: each packet's "
         "function, 1..4).",
         "CODE"},
        {"packet", "A packet to poll; repeat for rows 1, 2, ...", "SLAVE,FUNCTION,ADDRESS,COUNT"},
        {"format", "Value format of a cell (packet from 1, cell from 0).", "PACKET:CELL=CODE"},
        {"write",
         "Write a cell after the first reply (packet from 1, cell from 0; the text "
         "as the write dialog's decimal text); repeatable.",
         "PACKET:CELL=TEXT"},
        {"send", "Send a hex frame without CRC after the first reply; repeatable.", "HEX"},
        {"interval",
         "Send interval in milliseconds (default 200); 0 sends the next request as soon as the "
         "reply is judged or the reply timeout passes.",
         "MS"},
        {"timeout", "Reply timeout in milliseconds, 10..60000 (default 1000).", "MS"},
        {"base", "Address base of the point labels, 0 or 1 (default 0).", "0|1"},
        {"seconds", "Run length in seconds (default: until interrupted).", "N"},
        {"csv",
         "Record the cells of every accepted reply in FILE as CSV rows (time, packet, "
         "cells).",
         "FILE"},
        {"publish",
         "Publish the points to an MQTT broker (mqtts:// for TLS), with the project's "
         "publishing settings or the defaults.",
         "mqtt://HOST:PORT"},
        {"project",
         "Poll with the packets, line settings, formats and labels of a project file (the "
         "serial device still comes from --serial).",
         "FILE"},
    });
}

} // namespace

ParsedOptions ParseConsoleOptions(const QStringList& arguments) {
    ParsedOptions result;
    QCommandLineParser parser;
    AddOptions(parser);
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
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
        result.error = QStringLiteral("unexpected argument '%1'").arg(positional.last());
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
        result.error = QStringLiteral("--quiet applies to a console run; add --console");
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

void PrintHelpWithQtOptions() {
    QCommandLineParser parser;
    AddOptions(parser);
    // QCommandLineParser answers --help-all itself: it prints and ends the process.
    parser.process(QStringList{QCoreApplication::arguments().value(0, QStringLiteral("vantor")),
                               QStringLiteral("--help-all")});
    std::exit(0);
}

} // namespace vantor
