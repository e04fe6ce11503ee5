// SPDX-License-Identifier: GPL-3.0-or-later
// Texts in this file: not translated (every one is a key that project files hold).
#include "project/ProjectKeys.h"

#include "ProjectKeyParts.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"

namespace vantor {

using namespace project_keys;

namespace {

// A serial line setting: its index in the dialog's list; an index outside it changes nothing.
template <int (SerialSelection::*Get)() const, void (SerialSelection::*Set)(int)>
constexpr ProjectKey SerialKey(const char* key) {
    return {
        key, Section::Settings, ReadStep::Serial,
        [](const ProjectKey& k, Writing& w) { Put(k, w, (w.ws.serial()->*Get)()); },
        [](const ProjectKey& k, ProjectReading& r) { (r.workspace.serial()->*Set)(Number(k, r)); }};
}

// A trend setting: a whole number in `least`..32767, as the settings dialog takes it; anything
// else (a missing key too: a project without trend settings must not sample every 10 ms) keeps
// the default.
template <std::int16_t TrendSettings::*Field, int least>
constexpr ProjectKey TrendKey(const char* key) {
    return {key, Section::Settings, ReadStep::Trend,
            [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.trendSettings().*Field); },
            [](const ProjectKey& k, ProjectReading& r) {
                if (const auto value = Bounded(k, r, least, 32767))
                    r.trend.*Field = static_cast<std::int16_t>(*value);
            }};
}

// The connection mode as the combo numbers it; a mode this program does not know is the serial
// line. A TCP mode takes the server address with it.
void ReadLinkMode(const ProjectKey& k, ProjectReading& r) {
    if (!r.profile.contains(SectionName(k.section), Key(k.key)))
        return;
    const int mode = Number(k, r);
    const auto link =
        mode >= 0 && mode < kLinkKindCount ? static_cast<LinkKind>(mode) : LinkKind::Serial;
    if (UsesTcpConnection(link)) {
        TcpSettings tcp = r.workspace.tcp();
        tcp.host = r.profile.value(QString::fromLatin1(kProjectSection), Key("服务器地址"));
        r.workspace.setTcp(tcp);
    }
    r.workspace.setLinkKind(link);
}

// In file order. The connection mode has a section of its own so that the settings section keeps
// its keys (a reader that knows fewer modes stays on the serial line); the extra section holds
// what the settings section cannot (TCP port, unit, TCP command choice, a typed serial device).
const ProjectKey kProjectKeys[] = {
    {"服务器地址", Section::Settings, ReadStep::Link,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.tcp().host); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (r.profile.contains(SectionName(k.section), Key(k.key)))
             r.tcp.host = Text(k, r);
     }},
    {"连接方式", Section::Connection, ReadStep::LinkMode,
     [](const ProjectKey& k, Writing& w) { Put(k, w, static_cast<int>(w.ws.linkKind())); },
     ReadLinkMode},
    {"TcpPort", Section::Extra, ReadStep::Link,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.tcp().port); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const auto port = Bounded(k, r, 1, 65535))
             r.tcp.port = QString::number(*port);
     }},
    {"UnitId", Section::Extra, ReadStep::Link,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.tcp().header.unit); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const auto unit = Bounded(k, r, 0, 255))
             r.tcp.header.unit = static_cast<std::uint8_t>(*unit);
     }},
    {"TcpFunction", Section::Extra, ReadStep::Link,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.tcp().header.functionIndex); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const auto entry = Bounded(k, r, 0, int(kTcpFunctionEntries) - 1))
             r.tcp.header = WithFunctionEntry(r.tcp.header, *entry);
     }},
    {"FixedUnit", Section::Extra, ReadStep::Link,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.tcp().header.fixedUnit ? 1 : 0); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const auto fixed = Bounded(k, r, 0, 1))
             r.tcp.header.fixedUnit = *fixed == 1;
     }},
    {"TrendTimeAxis", Section::Extra, ReadStep::Trend,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.trendSettings().timeAxis); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const auto on = Bounded(k, r, 0, 1))
             r.trend.timeAxis = static_cast<std::int16_t>(*on);
     }},
    {"SerialPort", Section::Extra, ReadStep::TypedPort,
     [](const ProjectKey& k, Writing& w) {
         const SerialSelection* serial = w.ws.serial();
         Put(k, w, serial->hasTypedPort() ? serial->portText() : QString());
     },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const QString device = Text(k, r); !device.isEmpty())
             r.workspace.serial()->setTypedPort(device);
     }},
    // A place in this machine's port list: written for other readers, never applied.
    {"串口号", Section::Settings, ReadStep::None,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.serial()->portIndex()); }, nullptr},
    SerialKey<&SerialSelection::baudIndex, &SerialSelection::setBaudIndex>("波特率"),
    SerialKey<&SerialSelection::parityIndex, &SerialSelection::setParityIndex>("校验位"),
    SerialKey<&SerialSelection::dataBitsIndex, &SerialSelection::setDataBitsIndex>("数据位"),
    SerialKey<&SerialSelection::stopBitsIndex, &SerialSelection::setStopBitsIndex>("停止位"),
    {"发包间隔", Section::Settings, ReadStep::Interval,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.sendIntervalText()); },
     [](const ProjectKey& k, ProjectReading& r) { r.workspace.setSendIntervalText(Text(k, r)); }},
    {"曲线数, <n>b", Section::Settings, ReadStep::Curves, WriteCurves, ReadCurves},
    {"Max<axis>, Min<axis>", Section::Settings, ReadStep::Trend, WriteRanges, ReadRanges},
    // A font of 0 points draws a 1-pixel box.
    TrendKey<&TrendSettings::floatBoxFont, 1>("AnnoFont"),
    TrendKey<&TrendSettings::legendFont, 1>("LegendFont"),
    TrendKey<&TrendSettings::legendSpacing, -32768>("LineSpace"),
    TrendKey<&TrendSettings::lineWidth, 0>("SeriesWidth"),
    TrendKey<&TrendSettings::sampleMs, 1>("Sample"),
    {"Radio1", Section::Settings, ReadStep::Formats,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.store()->dataFormat()); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const int format = Number(k, r); format >= 0 && format <= 3)
             r.workspace.store()->setDataFormat(format);
     }},
    {"Radio2", Section::Settings, ReadStep::Formats,
     [](const ProjectKey& k, Writing& w) { Put(k, w, w.ws.store()->addressBase()); },
     [](const ProjectKey& k, ProjectReading& r) {
         if (const int base = Number(k, r); base == 0 || base == 1)
             r.workspace.store()->setAddressBase(base);
     }},
    {"<id>Static, <n>Unit, <n>Rate", Section::Settings, ReadStep::Monitors, WriteMonitors,
     ReadMonitors},
    {"Page<p>_Index<i>[_val|_color|_fcolor|_type]", Section::Settings, ReadStep::Cells, WriteCells,
     ReadCells},
    {"数据包个, <n>d, <n>c", Section::Settings, ReadStep::Packets, WritePackets, ReadPackets},
};

} // namespace

void WriteProjectKeys(const Workspace& workspace, const ProjectCounts& counts,
                      ProfileFile& profile) {
    Writing w{workspace, counts, profile};
    // The settings and extra sections hold nothing but our keys: emptied just before their first
    // key goes in. The connection section may hold other keys.
    bool settingsCleared = false;
    bool extraCleared = false;
    for (const ProjectKey& k : kProjectKeys) {
        bool& cleared = k.section == Section::Extra ? extraCleared : settingsCleared;
        if (k.section != Section::Connection && !cleared) {
            profile.removeSection(SectionName(k.section));
            cleared = true;
        }
        k.write(k, w);
    }
}

void ReadProjectKeys(ProjectReading& reading, ReadStep step) {
    for (const ProjectKey& k : kProjectKeys)
        if (k.step == step && k.read)
            k.read(k, reading);
}

} // namespace vantor
