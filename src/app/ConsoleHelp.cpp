// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/ConsoleHelp.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdlib>

#include "app/ConsoleOptions.h"

namespace vantor {

void AddConsoleOptions(QCommandLineParser& p) {
    p.setApplicationDescription(ConsoleText::tr("Vantor：Modbus 主站与趋势记录仪。"));
    p.addHelpOption();
    p.addVersionOption();
    p.addPositionalArgument(
        "file",
        ConsoleText::tr("要在窗口中打开的工程文件 (.ini) 或曲线文件 (.tee，作为历史曲线)。"),
        "[FILE]");
    p.addOptions({
        {"console", ConsoleText::tr("不开窗口轮询，输出日志、单元格数值和计数。")},
        {"demo", ConsoleText::tr("启动内置的模拟设备并轮询它。")},
        {"no-splash", ConsoleText::tr("打开窗口时不显示启动画面。")},
        {"reconnect", ConsoleText::tr("连接断开后每秒重新打开，而不结束运行。")},
        {"quiet", ConsoleText::tr("轮询时不输出日志行和单元格数值：只输出消息，以及结束时的计数"
                                  "和各数据包的统计。")},
        {"serial", ConsoleText::tr("串口设备 (ttyUSB0、/dev/pts/3、COM3)。"), "DEVICE"},
        {"baud", ConsoleText::tr("波特率 (默认 19200)。"), "RATE"},
        {"parity", ConsoleText::tr("校验 N、O 或 E (默认 N)。"), "P"},
        {"data-bits", ConsoleText::tr("数据位 (默认 8)。"), "N"},
        {"stop-bits", ConsoleText::tr("停止位 1 或 2 (默认 2)。"), "N"},
        {"tcp", ConsoleText::tr("Modbus TCP 服务器。"), "HOST:PORT"},
        {"rtu-over-tcp", ConsoleText::tr("经 TCP 传送 RTU 帧的串口网关；数据包与串口线路上相同。"),
         "HOST:PORT"},
        {"unit", ConsoleText::tr("每个数据包的 Modbus TCP 单元标识 (默认：各数据包的站号)。"),
         "ID"},
        {"function",
         ConsoleText::tr("每个数据包的 Modbus TCP 功能码，须为读取的功能码 (默认：各数据包的"
                         "功能码，1..4)。"),
         "CODE"},
        {"packet", ConsoleText::tr("要轮询的数据包；重复给出即第 1、2……行。"),
         "SLAVE,FUNCTION,ADDRESS,COUNT"},
        {"format", ConsoleText::tr("单元格的数值格式 (数据包从 1 起，单元格从 0 起)。"),
         "PACKET:CELL=CODE"},
        {"write",
         ConsoleText::tr("首次应答后写入一个单元格 (数据包从 1 起，单元格从 0 起；文本同写入"
                         "对话框的十进制文本)；可重复。"),
         "PACKET:CELL=TEXT"},
        {"send", ConsoleText::tr("首次应答后发送一个不含 CRC 的十六进制帧；可重复。"), "HEX"},
        {"interval",
         ConsoleText::tr("发送间隔，单位毫秒 (默认 200)；为 0 时，应答判定后或应答超时后立即"
                         "发送下一请求。"),
         "MS"},
        {"timeout", ConsoleText::tr("应答超时，单位毫秒，10..60000 (默认 1000)。"), "MS"},
        {"base", ConsoleText::tr("点位标签的地址起点，0 或 1 (默认 0)。"), "0|1"},
        {"seconds", ConsoleText::tr("运行时长，单位秒 (默认：直到被中断)。"), "N"},
        {"csv",
         ConsoleText::tr("把每个被接受的应答的单元格以 CSV 行 (时间、数据包、单元格) 记录到 "
                         "FILE。"),
         "FILE"},
        {"publish",
         ConsoleText::tr("把数据点发布到 MQTT 代理服务器 (mqtts:// 为 TLS)，使用工程的发布设置"
                         "或默认设置。"),
         "mqtt://HOST:PORT"},
        {"project",
         ConsoleText::tr("按工程文件的数据包、线路设置、格式和标签轮询 (串口设备仍由 --serial "
                         "给出)。"),
         "FILE"},
    });
}

void PrintHelpWithQtOptions() {
    QCommandLineParser parser;
    AddConsoleOptions(parser);
    // QCommandLineParser answers --help-all itself: it prints and ends the process.
    parser.process(QStringList{QCoreApplication::arguments().value(0, QStringLiteral("vantor")),
                               QStringLiteral("--help-all")});
    std::exit(0);
}

} // namespace vantor
