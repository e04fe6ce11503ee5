// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/MonitorTable.h"

#include <QStringList>
#include <cmath>

#include "registers/RegisterDecoder.h"

namespace vantor {

namespace {

int NumberOr0(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok ? value : 0;
}

// The integer at the text's start, as a C library's atoi reads it.
long long LeadingInteger(const QString& text) {
    int i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+')))
        negative = text[i++] == QLatin1Char('-');
    long long value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = std::min(value * 10 + (text[i].unicode() - '0'), 1LL << 53);
    return negative ? -value : value;
}

std::size_t KindIndex(MonitorKind kind) {
    return static_cast<std::size_t>(kind);
}

} // namespace

MonitorBinding ParseMonitorCaption(const QString& caption) {
    const qsizetype blank = caption.lastIndexOf(QLatin1Char(' '));
    if (blank < 0)
        return {};
    const QStringList parts = caption.mid(blank + 1).split(QLatin1Char('-'));
    auto part = [&parts](int i) { return i < parts.size() ? NumberOr0(parts[i]) : 0; };
    return {part(0), part(1), part(2)};
}

bool MonitorInGrid(const MonitorBinding& b) {
    return b.grid >= 1 && b.grid <= kPacketCount && b.row >= 1 && b.row <= 10 && b.column >= 1 &&
           b.column <= 26;
}

std::optional<PointRef> MonitorPoint(const MonitorBinding& b) {
    if (!MonitorInGrid(b) || b.column % 2 != 0)
        return std::nullopt;
    return PointRef{PacketNo(b.grid), CellFromGrid(b.row, b.column)};
}

QString MonitorCaptionName(const QString& caption) {
    const qsizetype blank = caption.lastIndexOf(QLatin1Char(' '));
    return blank < 0 ? caption : caption.left(blank);
}

QString RenamedMonitorCaption(const QString& name, const QString& oldCaption) {
    const MonitorBinding b = ParseMonitorCaption(oldCaption);
    return QStringLiteral("%1 %2-%3-%4").arg(name).arg(b.grid).arg(b.row).arg(b.column);
}

QString AnalogueValueText(const QString& cellText, double rate) {
    return QString::asprintf("%0.1f", static_cast<double>(LeadingInteger(cellText)) * rate);
}

double AnalogueRaw(double value, double rate) {
    return std::ceil(value / rate);
}

MonitorTable::MonitorTable(QObject* parent) : QObject(parent) {
    for (MonitorKind kind : {MonitorKind::Analogue, MonitorKind::Switch, MonitorKind::Lamp})
        m_captions[KindIndex(kind)].fill(initialCaption(kind));
    m_units.fill(QStringLiteral("--"));
    m_rates.fill(kDefaultRate);
}

QString MonitorTable::initialCaption(MonitorKind kind) {
    switch (kind) {
    case MonitorKind::Analogue:
        return QStringLiteral("AO 0-0-0");
    case MonitorKind::Switch:
        return QStringLiteral("DI 0-0-0");
    case MonitorKind::Lamp:
        break;
    }
    return QStringLiteral("DO 0-0-0");
}

QString MonitorTable::caption(MonitorKind kind, int index) const {
    return m_captions[KindIndex(kind)][clampIndex(index)];
}

void MonitorTable::setCaption(MonitorKind kind, int index, const QString& caption) {
    if (index < 0 || index >= kPerKind || m_captions[KindIndex(kind)][clampIndex(index)] == caption)
        return;
    m_captions[KindIndex(kind)][clampIndex(index)] = caption;
    emit captionChanged(kind, index);
}

void MonitorTable::setUnit(int index, const QString& unit) {
    if (index < 0 || index >= kPerKind || m_units[clampIndex(index)] == unit)
        return;
    m_units[clampIndex(index)] = unit;
    emit analogueChanged(index);
}

void MonitorTable::setRate(int index, double rate) {
    if (index < 0 || index >= kPerKind || m_rates[clampIndex(index)] == rate)
        return;
    m_rates[clampIndex(index)] = rate;
    emit analogueChanged(index);
}

} // namespace vantor
