// SPDX-License-Identifier: GPL-3.0-or-later
// Texts in this file: not translated (every one is a key that project files hold).
#include <algorithm>

#include "ProjectKeyParts.h"
#include "registers/CurveTable.h"
#include "registers/MonitorTable.h"
#include "registers/RegisterStore.h"

namespace vantor::project_keys {

namespace {

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

} // namespace

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
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, const char* key, int least,
                           int most) {
    bool ok = false;
    const int value = Text(k, r, Key(key)).trimmed().toInt(&ok);
    return ok && value >= least && value <= most ? std::optional<int>(value) : std::nullopt;
}
std::optional<int> Bounded(const ProjectKey& k, const ProjectReading& r, int least, int most) {
    return Bounded(k, r, k.key, least, most);
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

} // namespace vantor::project_keys
