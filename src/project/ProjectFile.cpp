#include "project/ProjectFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

const QString kSection = QString::fromLatin1(kProjectSection);
// The connection mode, kept apart from the settings section.
const QString kLinkSection = QStringLiteral("Connection");
const QString kExtraSection = QString::fromLatin1(kProjectExtraSection);
// The sections a project save writes; every other section of the file stays as it was.
const std::array<QString, 3> kOwnedSections{kSection, kLinkSection, kExtraSection};

// Keys of the settings section that every project holds, besides the numbered ones
// (KnownNumberedKey); a file with none of them is no project.
constexpr std::array<const char*, 17> kSettingKeys{
    "服务器地址", "串口号",   "波特率", "校验位",     "数据位",      "停止位",
    "发包间隔",   "曲线数",   "MaxHz",  "AnnoFont",   "LegendFont",  "LineSpace",
    "SeriesWidth", "Sample", "Radio1", "Radio2",     "数据包个"};

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

// Curve and packet cells ("12b", "3c", "0d"), monitoring captions, units and rates, cell keys.
bool KnownNumberedKey(const QString& key) {
    static const QRegularExpression pattern(
        QStringLiteral("^(\\d+(b|c|d|Static|Unit|Rate)|Page\\d+_Index\\d+(_val|_color|_fcolor|_type)?)$"),
        QRegularExpression::CaseInsensitiveOption);
    return pattern.match(key).hasMatch();
}

// A whole number in `least`..32767, as the settings dialog takes it, or nothing (missing keys
// included: a project without trend settings must not sample every 10 ms).
std::optional<std::int16_t> TrendNumber(const ProfileFile& p, const char* key, int least) {
    bool ok = false;
    const int value = p.value(kSection, Key(key)).trimmed().toInt(&ok);
    if (!ok || value < least || value > 32767)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

TrendSettings ReadTrend(const ProfileFile& p) {
    TrendSettings trend; // the defaults, for whatever is missing or refused
    for (const AxisKeys& keys : kAxisKeys) {
        const auto min = TrendNumber(p, keys.min, -32768);
        const auto max = TrendNumber(p, keys.max, -32768);
        if (min && max && *max > *min)
            trend.range(keys.axis) = {*min, *max};
    }
    auto take = [&p](std::int16_t& field, const char* key, int least) {
        field = TrendNumber(p, key, least).value_or(field);
    };
    take(trend.floatBoxFont, "AnnoFont", 1); // a font of 0 points draws a 1-pixel box
    take(trend.legendFont, "LegendFont", 1);
    take(trend.legendSpacing, "LineSpace", -32768);
    take(trend.lineWidth, "SeriesWidth", 0);
    take(trend.sampleMs, "Sample", 1);
    return trend;
}

// Each key of the owned sections in `fresh` into `target`, unless its value is the one `before`
// had and the target holds the key (its text stays as written there); keys that `before` had
// and `fresh` has not go.
void MergeOwned(const ProfileFile& fresh, const ProfileFile& before, ProfileFile& target) {
    for (const QString& section : kOwnedSections) {
        for (const QString& key : fresh.keys(section)) {
            const QString value = fresh.fullValue(section, key);
            if (before.contains(section, key) && before.fullValue(section, key) == value &&
                target.contains(section, key))
                continue;
            target.setValue(section, key, value);
        }
        for (const QString& key : before.keys(section))
            if (!fresh.contains(section, key))
                target.removeKey(section, key);
    }
}

// The owned sections' keys and values, without those that change by themselves: cell values
// (polling) and the port index (a place in the port list, which changes as devices come and go).
QStringList SettingLines(const ProfileFile& p) {
    QStringList lines;
    for (const QString& section : kOwnedSections)
        for (const QString& key : p.keys(section))
            if (!key.endsWith(QLatin1String("_val"), Qt::CaseInsensitive) && key != Key("串口号"))
                lines << section + QLatin1Char('/') + key + QLatin1Char('=') +
                             p.fullValue(section, key);
    return lines;
}

bool SameFile(const QString& a, const QString& b) {
    return QFileInfo(a).absoluteFilePath() == QFileInfo(b).absoluteFilePath();
}

} // namespace

void WriteProject(const Workspace& ws, const ProjectCounts& counts, ProfileFile& p) {
    p.removeSection(kSection);
    auto put = [&p](const QString& key, const QString& value) { p.setValue(kSection, key, value); };
    const SerialSelection* serial = ws.serial();
    put(Key("服务器地址"), ws.tcp().host);
    // The connection mode as the combo numbers it, in a section of its own so that the
    // settings section keeps its keys; a reader that knows fewer modes stays on the serial line.
    p.setValue(kLinkSection, Key("连接方式"), QString::number(static_cast<int>(ws.linkKind())));
    p.removeSection(kExtraSection);
    const TcpHeader& header = ws.tcp().header;
    p.setValue(kExtraSection, Key("TcpPort"), ws.tcp().port);
    p.setValue(kExtraSection, Key("UnitId"), QString::number(header.unit));
    p.setValue(kExtraSection, Key("TcpFunction"), QString::number(header.functionIndex));
    p.setValue(kExtraSection, Key("FixedUnit"), header.fixedUnit ? Key("1") : Key("0"));
    p.setValue(kExtraSection, Key("SerialPort"), serial->hasTypedPort() ? serial->portText() : QString());
    put(Key("串口号"), QString::number(serial->portIndex()));
    put(Key("波特率"), QString::number(serial->baudIndex()));
    put(Key("校验位"), QString::number(serial->parityIndex()));
    put(Key("数据位"), QString::number(serial->dataBitsIndex()));
    put(Key("停止位"), QString::number(serial->stopBitsIndex()));
    put(Key("发包间隔"), ws.sendIntervalText());

    const QList<CurveRow>& curves = ws.curves()->rows();
    put(Key("曲线数"), QString::number(curves.size()));
    for (int r = 0; r < curves.size(); ++r)
        for (int column = 0; column < kCurveColumnCount; ++column)
            if (const QString text = CurveCell(curves[r], r, column); !text.isEmpty())
                put(QStringLiteral("%1b").arg(8 * r + column), text);

    const TrendSettings& trend = ws.trendSettings();
    for (const AxisKeys& keys : kAxisKeys) {
        put(Key(keys.max), QString::number(trend.range(keys.axis).max));
        put(Key(keys.min), QString::number(trend.range(keys.axis).min));
    }
    put(Key("AnnoFont"), QString::number(trend.floatBoxFont));
    put(Key("LegendFont"), QString::number(trend.legendFont));
    put(Key("LineSpace"), QString::number(trend.legendSpacing));
    put(Key("SeriesWidth"), QString::number(trend.lineWidth));
    put(Key("Sample"), QString::number(trend.sampleMs));
    const RegisterStore* store = ws.store();
    put(Key("Radio1"), QString::number(store->dataFormat()));
    put(Key("Radio2"), QString::number(store->addressBase()));

    const MonitorTable* monitors = ws.monitors();
    int id = kFirstCaption;
    for (MonitorKind kind : kCaptionKinds)
        for (int k = 0; k < MonitorTable::kPerKind; ++k)
            put(QStringLiteral("%1Static").arg(id++), monitors->caption(kind, k));
    for (int n = 0; n < MonitorTable::kPerKind; ++n)
        put(QStringLiteral("%1Unit").arg(n + 1), monitors->unit(n));
    for (int n = 0; n < MonitorTable::kPerKind; ++n)
        put(QStringLiteral("%1Rate").arg(n + 1), QString::asprintf("%f", monitors->rate(n)));

    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count = std::min(counts[static_cast<std::size_t>(packet - 1)], kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const PointRef point{PacketNo(packet), i};
            const QString key = CellKey(packet, i);
            const ColorRefs colors = store->colors(point, CellPart::Label);
            put(key, store->labelText(point));
            put(key + QStringLiteral("_val"), store->valueText(point));
            put(key + QStringLiteral("_color"), QString::number(colors.back));
            put(key + QStringLiteral("_fcolor"), QString::number(colors.text));
            put(key + QStringLiteral("_type"), QString::number(store->formatCode(point)));
        }
    }

    put(Key("数据包个"), QString::number(kPacketCount));
    const PacketRows& rows = ws.rows();
    for (int r = 0; r < kPacketCount; ++r) {
        const DataPacket& row = rows[static_cast<std::size_t>(r)];
        put(QStringLiteral("%1d").arg(r), row.enabled ? QStringLiteral("1") : QStringLiteral("0"));
        for (int column = 0; column < 5; ++column)
            if (const QString text = PacketCell(row, r, column); !text.isEmpty())
                put(QStringLiteral("%1c").arg(7 * r + column), text);
    }
}

void ReadProject(const ProfileFile& p, Workspace& ws) {
    auto text = [&p](const QString& key) { return p.value(kSection, key); };
    auto number = [&p](const QString& key) { return p.intValue(kSection, key); };
    SerialSelection* serial = ws.serial();
    // Indexes outside a list change nothing ("串口号" names a place in this machine's list and
    // is not applied).
    serial->setBaudIndex(number(Key("波特率")));
    serial->setParityIndex(number(Key("校验位")));
    serial->setDataBitsIndex(number(Key("数据位")));
    serial->setStopBitsIndex(number(Key("停止位")));

    QList<CurveRow> curves;
    const int curveCount = std::clamp(number(Key("曲线数")), 0, CurveTable::kMaxCurves);
    for (int r = 0; r < curveCount; ++r) {
        auto cell = [&](CurveColumn column) {
            return text(QStringLiteral("%1b").arg(8 * r + static_cast<int>(column)));
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
    ws.curves()->setRows(curves);

    ws.setTrendSettings(ReadTrend(p));
    RegisterStore* store = ws.store();
    if (const int format = number(Key("Radio1")); format >= 0 && format <= 3)
        store->setDataFormat(format);
    if (const int base = number(Key("Radio2")); base == 0 || base == 1)
        store->setAddressBase(base);

    MonitorTable* monitors = ws.monitors();
    int id = kFirstCaption;
    for (MonitorKind kind : kCaptionKinds)
        for (int k = 0; k < MonitorTable::kPerKind; ++k)
            monitors->setCaption(kind, k, text(QStringLiteral("%1Static").arg(id++)));
    for (int n = 0; n < MonitorTable::kPerKind; ++n) {
        monitors->setUnit(n, text(QStringLiteral("%1Unit").arg(n + 1)));
        monitors->setRate(n, text(QStringLiteral("%1Rate").arg(n + 1)).toDouble());
    }

    PacketRows rows{};
    const int packets = std::clamp(number(Key("数据包个")), 0, kPacketCount);
    for (int r = 0; r < packets; ++r) {
        auto cell = [&](int column) {
            return text(QStringLiteral("%1c").arg(7 * r + column)).toStdString();
        };
        DataPacket& row = rows[static_cast<std::size_t>(r)];
        row = {cell(1), cell(2), cell(3), cell(4), text(QStringLiteral("%1d").arg(r)) == "1"};
    }
    ws.setRows(rows);
    ws.setSendIntervalText(text(Key("发包间隔")));
    ws.setUserNames(true);
    if (p.contains(kLinkSection, Key("连接方式"))) {
        const int mode = p.intValue(kLinkSection, Key("连接方式"));
        const auto link =
            mode >= 0 && mode < kLinkKindCount ? static_cast<LinkKind>(mode) : LinkKind::Serial;
        if (UsesTcpConnection(link)) {
            TcpSettings tcp = ws.tcp();
            tcp.host = text(Key("服务器地址"));
            ws.setTcp(tcp);
        }
        ws.setLinkKind(link);
    }
}

void ReadProjectLink(const ProfileFile& p, Workspace& ws) {
    TcpSettings tcp = ws.tcp();
    if (p.contains(kSection, Key("服务器地址")))
        tcp.host = p.value(kSection, Key("服务器地址"));
    auto number = [&p](const char* key, int least, int most) -> std::optional<int> {
        bool ok = false;
        const int value = p.value(kExtraSection, Key(key)).trimmed().toInt(&ok);
        return ok && value >= least && value <= most ? std::optional<int>(value) : std::nullopt;
    };
    if (const auto port = number("TcpPort", 1, 65535))
        tcp.port = QString::number(*port);
    if (const auto unit = number("UnitId", 0, 255))
        tcp.header.unit = static_cast<std::uint8_t>(*unit);
    if (const auto entry = number("TcpFunction", 0, int(kTcpFunctionEntries) - 1))
        tcp.header = WithFunctionEntry(tcp.header, *entry);
    if (const auto fixed = number("FixedUnit", 0, 1))
        tcp.header.fixedUnit = *fixed == 1;
    ws.setTcp(tcp);
    if (const QString device = p.value(kExtraSection, Key("SerialPort")); !device.isEmpty())
        ws.serial()->setTypedPort(device);
}

void ReadProjectCells(const ProfileFile& p, const ProjectCounts& counts, Workspace& ws) {
    RegisterStore* store = ws.store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count = std::min(counts[static_cast<std::size_t>(packet - 1)], kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const PointRef point{PacketNo(packet), i};
            const QString key = CellKey(packet, i);
            if (p.contains(kSection, key + QStringLiteral("_type")))
                store->setCellFormat(point, p.intValue(kSection, key + QStringLiteral("_type")));
            if (p.contains(kSection, key))
                store->setCellLabel(point, p.value(kSection, key));
            if (p.contains(kSection, key + QStringLiteral("_val")))
                store->setCellValue(point, p.value(kSection, key + QStringLiteral("_val")));
        }
    }
}

void ReadProjectNames(const ProfileFile& p, Workspace& ws) {
    RegisterStore* store = ws.store();
    for (int packet = 1; packet <= kPacketCount; ++packet) {
        const int count =
            std::clamp(p.intValue(kSection, QStringLiteral("%1c").arg(7 * (packet - 1) + 4)), 0,
                       kCellsPerPacket);
        for (int i = 0; i < count; ++i) {
            const QString key = CellKey(packet, i);
            store->setCellLabel({PacketNo(packet), i}, p.value(kSection, key));
            store->setCellValue({PacketNo(packet), i},
                                p.value(kSection, key + QStringLiteral("_val")));
        }
    }
}

ProjectOpen ReadProjectFile(const QString& path) {
    const QString shown = QDir::toNativeSeparators(path);
    ProfileFile::Load load = ProfileFile::Read(path);
    if (!load.profile)
        return {std::nullopt, load.error};
    if (!load.existed)
        return {std::nullopt, QStringLiteral("工程文件 %1 不存在").arg(shown)};
    const ProfileFile& p = *load.profile;
    if (!p.textIsClean())
        return {std::nullopt,
                QStringLiteral("工程文件 %1 无法打开：文件已损坏或不是文本文件").arg(shown)};
    if (!p.containsSection(kSection))
        return {std::nullopt,
                QStringLiteral("工程文件 %1 不是工程文件：没有 [%2] 段").arg(shown, kSection)};
    const QStringList keys = p.keys(kSection);
    if (std::none_of(kSettingKeys.begin(), kSettingKeys.end(),
                     [&p](const char* key) { return p.contains(kSection, Key(key)); }) &&
        std::none_of(keys.begin(), keys.end(), KnownNumberedKey))
        return {std::nullopt,
                QStringLiteral("工程文件 %1 不是工程文件：[%2] 段中没有工程设置").arg(shown, kSection)};
    return {std::move(load.profile), {}};
}

ProjectBaseline MakeBaseline(const QString& path, const ProfileFile& file, const Workspace& ws,
                             const ProjectCounts& counts) {
    ProjectBaseline baseline{path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath(),
                             file, {}};
    WriteProject(ws, counts, baseline.written);
    return baseline;
}

bool ProjectChanged(const ProjectBaseline& baseline, const Workspace& ws,
                    const ProjectCounts& counts) {
    ProfileFile now;
    WriteProject(ws, counts, now);
    return SettingLines(now) != SettingLines(baseline.written);
}

std::optional<QString> SaveProject(const QString& path, const Workspace& workspace,
                                   const ProjectCounts& counts, ProjectBaseline* baseline) {
    ProfileFile::Load existing = ProfileFile::Read(path);
    if (!existing.profile)
        return QStringLiteral("工程文件 %1 保存失败：%2")
            .arg(QDir::toNativeSeparators(path), existing.error);
    ProfileFile& target = *existing.profile;
    const bool merge =
        baseline && (!existing.existed || (!baseline->path.isEmpty() && SameFile(baseline->path, path)));
    ProfileFile fresh;
    WriteProject(workspace, counts, fresh);
    if (merge) {
        if (!existing.existed)
            target = baseline->file; // a new file starts as the project it was opened from
        MergeOwned(fresh, baseline->written, target);
    } else {
        WriteProject(workspace, counts, target);
    }
    if (auto error = target.Save(path))
        return error;
    if (baseline)
        *baseline = {QFileInfo(path).absoluteFilePath(), std::move(target), std::move(fresh)};
    return std::nullopt;
}

} // namespace vantor
