// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/CurveTable.h"

#include <QCoreApplication>

namespace vantor {

namespace {

// Reads a "No." text as a slot 1..99, or 0.
int SlotOf(const QString& number) {
    bool ok = false;
    const int slot = number.trimmed().toInt(&ok, 10);
    return ok && slot >= 1 && slot <= CurveTable::kMaxCurves ? slot : 0;
}

} // namespace

QString CurveRow::text(CurveColumn column) const {
    switch (column) {
    case CurveColumn::Name:
        return name;
    case CurveColumn::Source:
        return source;
    case CurveColumn::Color:
        return QCoreApplication::translate("vantor::CurveTable", "颜色");
    case CurveColumn::Axis:
        return axis;
    case CurveColumn::Number:
        return number;
    case CurveColumn::Rate:
        return rate;
    case CurveColumn::Unit:
        return unit;
    case CurveColumn::Addr:
        return addr;
    }
    return {};
}

QList<QString> CurveAxisNames() {
    // Values the project file keeps and the trend reads back: not translated.
    return {QStringLiteral("B轴"), QStringLiteral("C轴"), QStringLiteral("E轴"),
            // not translated (as above)
            QStringLiteral("Y轴"), QStringLiteral("A轴"), QStringLiteral("D轴")};
}

std::uint32_t DefaultCurveColor(int slot) {
    // 0x00BBGGRR, chosen to stay apart from each other on a white chart.
    static constexpr std::uint32_t kPalette[] = {0x000000FF, 0x0000A000, 0x00FF0000, 0x0000C0C0,
                                                 0x00C000C0, 0x00808000, 0x000080FF, 0x00804000,
                                                 0x00008080, 0x00FF8080, 0x00400080, 0x0080C000,
                                                 0x004080FF, 0x00606060, 0x00C08000, 0x000040A0};
    constexpr int n = sizeof(kPalette) / sizeof(kPalette[0]);
    return kPalette[((slot - 1) % n + n) % n];
}

CurveTable::CurveTable(QObject* parent) : QObject(parent) {}

const CurveRow& CurveTable::row(int index) const {
    static const CurveRow kEmpty;
    return index >= 0 && index < rowCount() ? m_rows[index] : kEmpty;
}

bool CurveTable::slotFree(int slot) const {
    return slot >= 1 && slot <= kMaxCurves && !m_used[slot];
}

const QList<int>& CurveTable::rowsOfSlot(int slot) const {
    static const QList<int> kNone;
    return slot >= 1 && slot <= kMaxCurves ? m_rowsOfSlot[slot] : kNone;
}

CurveDrop CurveTable::drop(const QString& payload) {
    if (rowCount() >= kMaxCurves)
        return {CurveDrop::LimitReached, -1, 0};
    int slot = 1;
    while (slot <= kMaxCurves && m_used[slot])
        ++slot;
    if (slot > kMaxCurves) // only a table loaded with odd numbers gets here
        return {CurveDrop::LimitReached, -1, 0};

    const QStringList fields = payload.split(QLatin1Char(' '));
    CurveRow row;
    row.name = fields.value(0);
    row.source = fields.value(1);
    row.color = DefaultCurveColor(slot);
    row.axis = QStringLiteral("Y轴"); // a value the project file keeps: not translated
    row.number = QString::number(slot);
    row.rate = QStringLiteral("0.1");
    row.unit = QStringLiteral("--");
    row.addr = row.name;
    m_rows.append(row);
    m_used[slot] = true;
    rebuildIndex();
    const int index = rowCount() - 1;
    emit curveAdded(index, slot);
    return {CurveDrop::Added, index, slot};
}

void CurveTable::removeRow(int index) {
    if (index < 0 || index >= rowCount())
        return;
    const int slot = SlotOf(m_rows[index].number);
    if (slot != 0)
        m_used[slot] = false;
    m_rows.removeAt(index);
    rebuildIndex();
    emit curveRemoved(index, slot);
}

void CurveTable::setText(int index, CurveColumn column, const QString& text) {
    if (index < 0 || index >= rowCount() || column == CurveColumn::Color)
        return;
    CurveRow& row = m_rows[index];
    QString* field = nullptr;
    switch (column) {
    case CurveColumn::Name:
        field = &row.name;
        break;
    case CurveColumn::Source:
        field = &row.source;
        break;
    case CurveColumn::Axis:
        field = &row.axis;
        break;
    case CurveColumn::Number:
        field = &row.number;
        break;
    case CurveColumn::Rate:
        field = &row.rate;
        break;
    case CurveColumn::Unit:
        field = &row.unit;
        break;
    case CurveColumn::Addr:
        field = &row.addr;
        break;
    case CurveColumn::Color:
        break;
    }
    if (field == nullptr || *field == text)
        return;
    *field = text;
    if (column == CurveColumn::Number)
        rebuildIndex();
    emit rowEdited(index);
}

void CurveTable::setColor(int index, std::uint32_t color) {
    if (index < 0 || index >= rowCount() || m_rows[index].color == color)
        return;
    m_rows[index].color = color;
    emit rowEdited(index);
}

void CurveTable::setRows(const QList<CurveRow>& rows) {
    m_rows = rows.mid(0, kMaxCurves);
    m_used.fill(false);
    for (const CurveRow& row : m_rows)
        if (const int slot = SlotOf(row.number))
            m_used[slot] = true;
    rebuildIndex();
    emit rowsReset();
}

void CurveTable::rebuildIndex() {
    for (QList<int>& rows : m_rowsOfSlot)
        rows.clear();
    for (int i = 0; i < rowCount(); ++i)
        if (const int slot = SlotOf(m_rows[i].number))
            m_rowsOfSlot[slot].append(i);
}

} // namespace vantor
