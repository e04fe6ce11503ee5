// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/MonitorConfigDlg.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <cmath>

#include "widgets/MessageBox.h"

namespace vantor {

namespace {

std::optional<double> ReadNumber(const QString& text) {
    bool ok = false;
    const double number = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

} // namespace

std::optional<MonitorConfigRefusalInfo> MonitorConfigCheck(const QString& value,
                                                           const QString& rate) {
    if (!ReadNumber(value))
        return MonitorConfigRefusalInfo{
            MonitorConfigField::Value,
            QCoreApplication::translate("vantor::MonitorConfigDlg", "变更值必须是数字")};
    const std::optional<double> r = ReadNumber(rate);
    if (!r || *r == 0)
        return MonitorConfigRefusalInfo{
            MonitorConfigField::Rate,
            QCoreApplication::translate("vantor::MonitorConfigDlg", "倍率必须是不为 0 的数字")};
    return std::nullopt;
}

QString MonitorConfigRefusal(const QString& value, const QString& rate) {
    const auto refusal = MonitorConfigCheck(value, rate);
    return refusal ? refusal->message : QString();
}

QString MonitorRateText(double rate) {
    return QString::number(rate, 'g', 15);
}

CMonitorConfigDlg::CMonitorConfigDlg(const QString& valueText, double rate, const QString& unit,
                                     QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(tr("监控对象配置"));
    m_value = new QLineEdit(valueText, this);
    m_value->setObjectName(QStringLiteral("valueEdit"));
    m_rate = new QLineEdit(MonitorRateText(rate), this);
    m_rate->setObjectName(QStringLiteral("rateEdit"));
    m_unit = new QLineEdit(unit, this);
    m_unit->setObjectName(QStringLiteral("unitEdit"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &CMonitorConfigDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout(this);
    form->addRow(tr("变更值："), m_value);
    form->addRow(tr("倍    率："), m_rate);
    form->addRow(tr("单    位："), m_unit);
    form->addRow(buttons);
}

QString CMonitorConfigDlg::valueText() const {
    return m_value->text().trimmed();
}

double CMonitorConfigDlg::value() const {
    return ReadNumber(m_value->text()).value_or(0);
}

double CMonitorConfigDlg::rate() const {
    return ReadNumber(m_rate->text()).value_or(1);
}

QString CMonitorConfigDlg::unit() const {
    return m_unit->text();
}

void CMonitorConfigDlg::accept() {
    if (const auto refusal = MonitorConfigCheck(m_value->text(), m_rate->text())) {
        refuse(refusal->field == MonitorConfigField::Value ? m_value : m_rate, refusal->message);
        return;
    }
    if (m_check) {
        const QString message = m_check(value(), rate());
        if (!message.isEmpty()) {
            refuse(m_value, message);
            return;
        }
    }
    QDialog::accept();
}

void CMonitorConfigDlg::refuse(QLineEdit* edit, const QString& message) {
    ShowMessage(this, message);
    edit->setFocus();
    edit->selectAll();
}

} // namespace vantor
