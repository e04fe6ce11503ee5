// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 30 monitoring objects of the "监控对象" page: 10 analogue displays, 10 switches and 10
// lamps. An object's binding is its caption alone: a name, one blank and the reference g-r-c of
// a data grid cell (grid g, row r, column c). The name may hold blanks: the reference is always
// the caption's last word. Analogue objects also keep a unit, a rate (the
// shown value is the cell's leading integer times the rate) and the last shown value text.
#include <QObject>
#include <QString>
#include <algorithm>
#include <array>
#include <optional>

#include "registers/PointRef.h"

namespace vantor {

enum class MonitorKind { Analogue, Switch, Lamp };

// A caption's reference, as numbers (0 for a missing or non-numeric part).
struct MonitorBinding {
    int grid = 0;
    int row = 0;
    int column = 0;
    bool bound() const { return grid != 0; } // "DI 0-0-0" is unbound
    bool operator==(const MonitorBinding&) const = default;
};

// The caption's last word, split at "-".
MonitorBinding ParseMonitorCaption(const QString& caption);
// The caption without its last word (the whole caption when it has no blank).
QString MonitorCaptionName(const QString& caption);
// Whether the binding names a cell of one of the 30 grids (rows 1..10, columns 1..26); an object
// that names none shows an empty text and is never written.
bool MonitorInGrid(const MonitorBinding& binding);
// The value cell a binding writes to; none outside the grids or on a label column.
std::optional<PointRef> MonitorPoint(const MonitorBinding& binding);
// The new name, one blank and the old caption's reference (as numbers: "01" becomes "1").
QString RenamedMonitorCaption(const QString& name, const QString& oldCaption);
// "%0.1f" of the text's leading integer (12.7 is 12; no number is 0) times the rate.
QString AnalogueValueText(const QString& cellText, double rate);
// Switches and lamps are on for exactly the text "1".
inline bool MonitorIsOn(const QString& cellText) {
    return cellText == QLatin1String("1");
}
// The raw value an analogue object writes for a typed value: ceil(value / rate).
double AnalogueRaw(double value, double rate);

class MonitorTable : public QObject {
    Q_OBJECT
public:
    static constexpr int kPerKind = 10;
    static constexpr double kDefaultRate = 0.1;

    explicit MonitorTable(QObject* parent = nullptr);

    static QString initialCaption(MonitorKind kind); // "AO 0-0-0", "DI 0-0-0", "DO 0-0-0"

    QString caption(MonitorKind kind, int index) const; // index 0..9
    void setCaption(MonitorKind kind, int index, const QString& caption);
    MonitorBinding binding(MonitorKind kind, int index) const {
        return ParseMonitorCaption(caption(kind, index));
    }

    // Analogue objects 0..9.
    QString unit(int index) const { return m_units[clampIndex(index)]; }
    double rate(int index) const { return m_rates[clampIndex(index)]; }
    QString valueText(int index) const { return m_values[clampIndex(index)]; }
    void setUnit(int index, const QString& unit);
    void setRate(int index, double rate);
    void setValueText(int index, const QString& text) { m_values[clampIndex(index)] = text; }

signals:
    void captionChanged(vantor::MonitorKind kind, int index);
    void analogueChanged(int index); // unit or rate

private:
    static std::size_t clampIndex(int index) {
        return static_cast<std::size_t>(std::clamp(index, 0, kPerKind - 1));
    }
    std::array<std::array<QString, kPerKind>, 3> m_captions;
    std::array<QString, kPerKind> m_units;
    std::array<double, kPerKind> m_rates;
    std::array<QString, kPerKind> m_values;
};

} // namespace vantor
