// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The configuration of one monitoring object: the value it writes when changed, the rate its
// reading is multiplied by and the unit shown after it. OK checks the texts and keeps the dialog
// open with a message while one is refused.
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QLineEdit;

namespace vantor {

// The change value and the rate read from their texts (blanks around a number allowed).
struct MonitorConfigInput {
    double value = 0;
    double rate = 1;
};

enum class MonitorConfigField { Value, Rate };

struct MonitorConfigRefusalInfo {
    MonitorConfigField field;
    QString message;
};

// Why the texts are refused, or nothing when both are good numbers and the rate is not 0.
std::optional<MonitorConfigRefusalInfo> MonitorConfigCheck(const QString& value,
                                                           const QString& rate);
// The refusal message alone; empty when the texts are accepted.
QString MonitorConfigRefusal(const QString& value, const QString& rate);
// The rate as a short decimal for its edit (0.1 gives "0.1", 2 gives "2").
QString MonitorRateText(double rate);

class CMonitorConfigDlg : public QDialog {
    Q_OBJECT
public:
    // A further check by the caller (for instance that the value fits the cell); a non-empty
    // answer is the message that refuses OK.
    using Check = std::function<QString(double value, double rate)>;

    CMonitorConfigDlg(const QString& valueText, double rate, const QString& unit,
                      QWidget* parent = nullptr);

    void setCheck(Check check) { m_check = std::move(check); }

    QString valueText() const;
    double value() const;
    double rate() const;
    QString unit() const;

    void accept() override;

private:
    void refuse(QLineEdit* edit, const QString& message);

    QLineEdit* m_value;
    QLineEdit* m_rate;
    QLineEdit* m_unit;
    Check m_check;
};

} // namespace vantor
