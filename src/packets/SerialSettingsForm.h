// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial line form shared by the communication panel and the communication settings dialog:
// the five labelled combos (port, baud rate, parity, data bits, stop bits), bound both ways to
// the workspace's serial selection. A choice goes straight into the selection, so every form
// shows it at once; while the port is open a choice is refused with "请先关闭串口".
#include <QWidget>

class QComboBox;

namespace vantor {

class SerialSelection;

class SerialSettingsForm : public QWidget {
    Q_OBJECT
public:
    enum class PortEntry {
        Typed,  // the port combo is editable: a device path can be typed into it
        Listed, // a typed path shows as an extra last entry of a fixed list
    };

    SerialSettingsForm(SerialSelection* selection, PortEntry entry, QWidget* parent = nullptr);

    QComboBox* portCombo() const { return m_port; }

private:
    // field: 0 on the left of the row, 1 on the right.
    QComboBox* addField(const QString& label, const char* name, const QStringList& items, int row,
                        int field);
    void bind(QComboBox* combo, int (SerialSelection::*getter)() const,
              void (SerialSelection::*setter)(int));
    void onSettingChosen(int index, int (SerialSelection::*getter)() const,
                         void (SerialSelection::*setter)(int));
    void onPortChosen(int index);
    void onPortTyped();
    void showSelection();
    bool refusedWhileOpen();

    SerialSelection* m_selection;
    PortEntry m_entry;
    QComboBox* m_port = nullptr;
    QComboBox* m_baud = nullptr;
    QComboBox* m_parity = nullptr;
    QComboBox* m_dataBits = nullptr;
    QComboBox* m_stopBits = nullptr;
};

} // namespace vantor
