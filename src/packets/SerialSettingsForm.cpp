// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/SerialSettingsForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "registers/SerialSelection.h"
#include "widgets/DropDown.h"
#include "widgets/MessageBox.h"

namespace vantor {

SerialSettingsForm::SerialSettingsForm(SerialSelection* selection, PortEntry entry, QWidget* parent)
    : QWidget(parent), m_selection(selection), m_entry(entry) {
    // Two fields a row, the port over the whole width: the form stays low in a small window.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    m_port = addField(tr("串口号"), "portCombo", {}, 0, 0);
    grid->addWidget(m_port, 0, 1, 1, 3);
    m_baud = addField(tr("波特率"), "baudCombo", ChoiceTexts(SerialChoice::Baud), 1, 0);
    m_parity = addField(tr("校验位"), "parityCombo", ChoiceTexts(SerialChoice::Parity), 1, 1);
    m_dataBits = addField(tr("数据位"), "dataBitsCombo", ChoiceTexts(SerialChoice::DataBits), 2, 0);
    m_stopBits = addField(tr("停止位"), "stopBitsCombo", ChoiceTexts(SerialChoice::StopBits), 2, 1);

    if (m_entry == PortEntry::Typed) {
        m_port->setEditable(true);
        m_port->setInsertPolicy(QComboBox::NoInsert);
        m_port->setCompleter(nullptr);
        // Long friendly names go into the drop-down, not into the panel's width.
        m_port->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_port->setMinimumContentsLength(12);
        bind(m_port, &SerialSelection::portIndex, &SerialSelection::setPortIndex);
        connect(m_port->lineEdit(), &QLineEdit::editingFinished, this,
                &SerialSettingsForm::onPortTyped);
    } else {
        connect(m_port, &QComboBox::activated, this, &SerialSettingsForm::onPortChosen);
    }
    bind(m_baud, &SerialSelection::baudIndex, &SerialSelection::setBaudIndex);
    bind(m_parity, &SerialSelection::parityIndex, &SerialSelection::setParityIndex);
    bind(m_dataBits, &SerialSelection::dataBitsIndex, &SerialSelection::setDataBitsIndex);
    bind(m_stopBits, &SerialSelection::stopBitsIndex, &SerialSelection::setStopBitsIndex);
    // The port list can be rebuilt at any time (a device plugged in).
    connect(m_selection, &SerialSelection::changed, this, &SerialSettingsForm::showSelection);
    showSelection();
}

QComboBox* SerialSettingsForm::addField(const QString& label, const char* name,
                                        const QStringList& items, int row, int field) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    auto* grid = static_cast<QGridLayout*>(layout());
    auto* caption = new QLabel(label, this);
    caption->setBuddy(combo); // the combo's name for screen readers
    grid->addWidget(caption, row, 2 * field);
    grid->addWidget(combo, row, 2 * field + 1);
    return combo;
}

void SerialSettingsForm::bind(QComboBox* combo, int (SerialSelection::*getter)() const,
                              void (SerialSelection::*setter)(int)) {
    connect(combo, &QComboBox::activated, this,
            [=, this](int index) { onSettingChosen(index, getter, setter); });
}

bool SerialSettingsForm::refusedWhileOpen() {
    if (!m_selection->portOpen())
        return false;
    ShowMessage(this, tr("请先关闭串口"));
    return true;
}

void SerialSettingsForm::onSettingChosen(int index, int (SerialSelection::*getter)() const,
                                         void (SerialSelection::*setter)(int)) {
    if (index != (m_selection->*getter)() && !refusedWhileOpen())
        (m_selection->*setter)(index);
    // Shows the selection again: the kept value after a refusal, or the typed text dropped.
    showSelection();
}

void SerialSettingsForm::onPortChosen(int index) {
    if (index == m_port->currentIndex() && index == m_selection->portIndex())
        return;
    if (refusedWhileOpen()) {
        showSelection();
        return;
    }
    if (index < m_selection->ports().size())
        m_selection->setPortIndex(index);
    else
        m_selection->setTypedPort(m_port->itemText(index));
}

void SerialSettingsForm::onPortTyped() {
    const QString text = m_port->currentText().trimmed();
    if (text.isEmpty() || text == m_selection->portText()) {
        showSelection();
        return;
    }
    if (refusedWhileOpen()) {
        showSelection();
        return;
    }
    m_selection->setTypedPort(text);
}

void SerialSettingsForm::showSelection() {
    QStringList entries = m_selection->ports();
    // A fixed list shows a typed device path as an extra last entry so it shows as chosen.
    const bool typedEntry = m_entry == PortEntry::Listed && m_selection->hasTypedPort();
    if (typedEntry)
        entries.append(m_selection->portText());
    QStringList shown;
    for (int i = 0; i < m_port->count(); ++i)
        shown.append(m_port->itemText(i));
    if (shown != entries) {
        m_port->clear();
        m_port->addItems(entries);
        WidenDropDown(m_port);
    }
    m_port->setCurrentIndex(typedEntry ? static_cast<int>(entries.size()) - 1
                                       : m_selection->portIndex());
    if (m_entry == PortEntry::Typed && m_port->currentText() != m_selection->portText())
        m_port->setEditText(m_selection->portText());
    m_baud->setCurrentIndex(m_selection->baudIndex());
    m_parity->setCurrentIndex(m_selection->parityIndex());
    m_dataBits->setCurrentIndex(m_selection->dataBitsIndex());
    m_stopBits->setCurrentIndex(m_selection->stopBitsIndex());
}

} // namespace vantor
