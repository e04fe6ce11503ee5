// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line of the headless mode: which link, which packets, which formats, how long.
#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "registers/PacketTable.h"
#include "registers/PointRef.h"
#include "transport/SerialSettings.h"

namespace vantor {

struct CellFormatOption {
    PointRef point{PacketNo(1), 0};
    int code = 4;
};

// --write PACKET:CELL=TEXT: the text as the write dialog's decimal text.
struct CellWriteOption {
    PointRef point{PacketNo(1), 0};
    QString text;
};

struct ConsoleOptions {
    bool console = false;
    bool demo = false;
    bool reconnect = false; // a lost link is opened again every second, counters kept
    bool quiet = false;     // no log lines or cell values while polling, only the end's summary
    QString project;        // the window opens this project file at start-up (a path given alone)
    LinkKind link = LinkKind::Serial;
    SerialSettings serial;
    QString tcpHost;
    QString tcpPort;
    TcpHeader tcp; // --unit and --function fix their fields; by default each packet's own
    PacketRows rows{};
    int packetCount = 0; // rows 1..packetCount were given on the command line
    std::vector<CellFormatOption> formats;
    int intervalMs = 200; // 0: the fast mode, the next request once the reply is judged
    int replyTimeoutMs = 1000;
    int addressBase = 0;
    int seconds = 0; // 0: run until interrupted
    // Sent after the first accepted reply, writes first, then the typed frames, in order.
    std::vector<CellWriteOption> writes;
    QStringList sends;  // --send HEX, as typed in "发送命令"
    QString csvPath;    // --csv FILE: record the cells of every accepted reply; empty: none
    QString publishUrl; // --publish mqtt://HOST:PORT (or mqtts://): publish the points; empty: none
};

// The context of the command line's texts: its errors, its help and the console's messages
// outside a class of their own.
struct ConsoleText {
    Q_DECLARE_TR_FUNCTIONS(vantor::ConsoleOptions)
};

struct ParsedOptions {
    std::optional<ConsoleOptions> options;
    QString error; // set when the command line is wrong
    bool help = false;
    QString helpText;
    bool version = false;
    QString versionText; // "Vantor 2.8.2" and a line end
};

// Parses the arguments (the program name first). Every value is checked; the first fault is
// reported as a clear message in the user's language.
ParsedOptions ParseConsoleOptions(const QStringList& arguments);

} // namespace vantor
