// SPDX-License-Identifier: GPL-3.0-or-later
// Texts in this file: not translated (every one is a key that project files hold).
#include "project/ProjectKeys.h"

#include <algorithm>

#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"

namespace vantor {

namespace {

enum class Section { Settings, Connection, Extra };

struct Writing {
    const Workspace& ws;
    const ProjectCounts& counts;
    ProfileFile& p;
};

struct ProjectKey {
    const char* key; // the key, or the form of a numbered family
    Section section;
    ReadStep step;
    void (*write)(const ProjectKey&, Writing&);
    void (*read)(const ProjectKey&, ProjectReading&); // none for ReadStep::None
};

struct AxisKeys {
    const char* max;
    const char* min;
    TrendAxis axis;
};

// The trend's ranges in the order they are written.
constexpr std::array<AxisKeys, 7> kAxisKeys{{{"MaxHz", "MinHz", TrendAxis::Y},
                                             {"MaxC", "MinC", TrendAxis::B},
                                             {"Max100", "Min100", TrendAxis::C},
                                             {"MaxkPa", "MinkPa", TrendAxis::E},
                                             {"MaxSTA", "MinSTA", TrendAxis::A},
                                             {"MaxV", "MinV", TrendAxis::D},
                                             {"MaxX", "MinX", TrendAxis::X}}};

// Monitoring captions are numbered as the panel's labels: 1096.. analogue, switches, lamps.
constexpr int kFirstCaption = 1096;
constexpr std::array<MonitorKind, 3> kCaptionKinds{MonitorKind::Analogue, MonitorKind::Switch,
                                                   MonitorKind::Lamp};

QString Key(const char* text) {
    return QString::fromUtf8(text);
}

QString SectionName(Section section) {
    switch (section) {
    case Section::Connection:
        return QString::fromLatin1(kProjectLinkSection);
    case Section::Extra:
        return QString::fromLatin1(kProjectExtraSection);
    case Section::Settings:
        break;
    }
    return QString::fromLatin1(kProjectSection);
}

void Put(const ProjectKey& k, Writing& w, const QString& key, const QString& value) {
    w.p.setValue(SectionName(k.section), key, value);
}
void Put(const ProjectKey& k, Writing& w, const QString& value) {
    Put(k, w, Key(k.key), value);
}
void Put(const ProjectKey& k, Writing& w, int value) {
    Put(k, w, Key(k.key), QString::number(value));
}

QString Text(const ProjectKey& k, const ProjectReading& r, const QString& key) {
    return r.profile.value(SectionName(k.section), key);
}
QString Text(const ProjectKey& k, const ProjectReading& r) {
    return Text(k, r, Key(k.key));
}
int Number(const ProjectKey& k, const ProjectReading& r) {
    return r.profile.intValue(SectionName(k.section), Key(k.key));
}
// A whole number in least..most, or nothing (a missing key included).
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, const char* key, int least,
                           int most) {
    bool ok = false;
    const int value = Text(k, r, Key(key)).trimmed().toInt(&ok);
    return ok && value >= least && value <= most ? std::optional<int>(value) : std::nullopt;
}
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, int least, int most) {
    return Bounded(k, r, k.key, least, most);
}

QString CellKey(int packet, int cell) {
    return QStringLiteral("Page%1_Index%2").arg(packet).arg(cell);
}

QString CurveCell(const CurveRow& row, int index, int column) {
    switch (static_cast<CurveColumn>(column)) {
    case CurveColumn::Color:
        return QString::number(row.color);
    case CurveColumn::Number:
        return QString::number(index + 1);
    default:
        return row.text(static_cast<CurveColumn>(column));
    }
}

QString PacketCell(const DataPacket& row, int r, int column) {
    switch (column) {
    case 0:
        return QString::number(r + 1);
    case 1:
        return QString::fromStdString(row.slave);
    case 2:
        return QString::fromStdString(row.function);
    case 3:
        return QString::fromStdString(row.address);
    default:
        return QString::fromStdString(row.count);
    }
}

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

void WriteCurves(const ProjectKey& k, Writing& w) {
    const QList<CurveRow>& curves = w.ws.curves()->rows();
    Put(k, w, Key("曲线数"), QString::number(curves.size()));
    for (int r = 0; r < curves.size(); ++r)
        for (int column = 0; column < kCurveColumnCount; ++column)
            if (const QString text = CurveCell(curves[r], r, column); !text.isEmpty())
                Put(k, w, QStringLiteral("%1b").arg(8 * r + column), text);
}

void ReadCurves(const ProjectKey& k, ProjectReading& r) {
    QList<CurveRow> curves;
    const int count = std::clamp(r.profile.intValue(SectionName(k.section), Key("曲线数")), 0,
                                 CurveTable::kMaxCurves);
    for (int n = 0; n < count; ++n) {
        auto cell = [&](CurveColumn column) {
            return Text(k, r, QStringLiteral("%1b").arg(8 * n + static_cast<int>(column)));
        };
        CurveRow row;
        row.name = cell(CurveColumn::Name);
        row.source = cell(CurveColumn::Source);
        row.color = cell(CurveColumn::Color).toUInt() & 0xFFFFFFu;
        row.axis = cell(CurveColumn::Axis);
        row.number = cell(CurveColumn::Number);
        row.rate = cell(CurveColumn::Rate);
        row.unit = cell(CurveColumn::Unit);
        row.addr = cell(CurveColumn::Addr);
        curves.append(row);
    }
    r.workspace.curves()->setRows(curves);
}

// A range is taken only whole and with its maximum above its minimum.
void WriteRanges(const ProjectKey& k, Writing& w) {
    for (const AxisKeys& keys : kAxisKeys) {
        Put(k, w, Key(keys.max), QString::number(w.ws.trendSettings().range(keys.axis).max));
        Put(k, w, Key(keys.min), QString::number(w.ws.trendSettings().range(keys.axis).min));
    }
}

void ReadRanges(const ProjectKey& k, ProjectReading& r) {
    for (const AxisKeys& keys : kAxisKeys) {
        const auto min = Bounded(k, r, keys.min, -32768, 32767);
        const auto max = Bounded(k, r, keys.max, -32768, 32767);
        if (min && max && *max > *min)
            r.trend.range(keys.axis) = {static_cast<std::int16_t>(*min),
                                        static_cast<std::int16_t>(*max)};
    }
}

void WriteMonitors(const ProjectKey& k, Writing& w) {
    const MonitorTable* monitors = w.ws.monitors();
    int id = kFirstCaption;
    for (MonitorKind kind : kCaptionKinds)
        for (int n = 0; n < MonitorTable::kPerKind; ++n)
            Put(k, w, QStringLiteral("%1Static").arg(id++), monitors->caption(kind, n));
    for (int n = 0; n < MonitorTable::kPerKind; ++n)
        Put(k, w, QStringLiteral("%1Unit").arg(n + 1), monitors->unit(n));
    for (int n = 0; n < MonitorTable::kPerKind; ++n)
        Put(k, w, QStringLiteral("%1Rate").arg(n + 1), QString::asprintf("%f", monitors->rate(n)));
}

void ReadMonitors(const ProjectKey& k, ProjectReading& r) {
    MonitorTable* monitors = r.workspace.monitors();
    int id = kFirstCaption;
    for (MonitorKind kind : kCaptionKinds)
        for (int n = 0; n < MonitorTable::kPerKind; ++n)
            monitors->setCaption(kind, n, Text(k, r, QStringLiteral("%1Static").arg(id++)));
    for (int n = 0; n < MonitorTable::kPerKind; ++n) {
        monitors->setUnit(n, Text(k, r, QStringLiteral("%1Unit").arg(n + 1)));
        monitors->setRate(n, Text(k, r, QStringLiteral("%1Rate").arg(n + 1)).toDouble());
    }
}

// The cells below each packet's count at the last configure.
void WriteCells(const ProjectKey& k, Writing& w) {
    const RegisterStore* store = w.ws.store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count = std::min(w.counts[static_cast<std::size_t>(packet - 1)], kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const PointRef point{PacketNo(packet), i};
            const QString key = CellKey(packet, i);
            const ColorRefs colors = store->colors(point, CellPart::Label);
            Put(k, w, key, store->labelText(point));
            Put(k, w, key + QStringLiteral("_val"), store->valueText(point));
            Put(k, w, key + QStringLiteral("_color"), QString::number(colors.back));
            Put(k, w, key + QStringLiteral("_fcolor"), QString::number(colors.text));
            Put(k, w, key + QStringLiteral("_type"), QString::number(store->formatCode(point)));
        }
    }
}

// The colours stay as the store has them.
void ReadCells(const ProjectKey& k, ProjectReading& r) {
    const QString section = SectionName(k.section);
    RegisterStore* store = r.workspace.store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count = std::min(r.counts[static_cast<std::size_t>(packet - 1)], kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const PointRef point{PacketNo(packet), i};
            const QString key = CellKey(packet, i);
            if (r.profile.contains(section, key + QStringLiteral("_type")))
                store->setCellFormat(point,
                                     r.profile.intValue(section, key + QStringLiteral("_type")));
            if (r.profile.contains(section, key))
                store->setCellLabel(point, r.profile.value(section, key));
            if (r.profile.contains(section, key + QStringLiteral("_val")))
                store->setCellValue(point, r.profile.value(section, key + QStringLiteral("_val")));
        }
    }
}

void WritePackets(const ProjectKey& k, Writing& w) {
    Put(k, w, Key("数据包个"), QString::number(kPacketCount));
    const PacketRows& rows = w.ws.rows();
    for (int r = 0; r < kPacketCount; ++r) {
        const DataPacket& row = rows[static_cast<std::size_t>(r)];
        Put(k, w, QStringLiteral("%1d").arg(r),
            row.enabled ? QStringLiteral("1") : QStringLiteral("0"));
        for (int column = 0; column < 5; ++column)
            if (const QString text = PacketCell(row, r, column); !text.isEmpty())
                Put(k, w, QStringLiteral("%1c").arg(7 * r + column), text);
    }
}

void ReadPackets(const ProjectKey& k, ProjectReading& r) {
    PacketRows rows{};
    const int packets =
        std::clamp(r.profile.intValue(SectionName(k.section), Key("数据包个")), 0, kPacketCount);
    for (int n = 0; n < packets; ++n) {
        auto cell = [&](int column) {
            return Text(k, r, QStringLiteral("%1c").arg(7 * n + column)).toStdString();
        };
        DataPacket& row = rows[static_cast<std::size_t>(n)];
        row = {cell(1), cell(2), cell(3), cell(4), Text(k, r, QStringLiteral("%1d").arg(n)) == "1"};
    }
    r.workspace.setRows(rows);
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
