// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the tests of the connection controls and the settings dialog.
#include <QComboBox>
#include <QList>
#include <QStringList>
#include <QTest>

#include "transport/SerialPortInfo.h"

namespace vantor::test {

// Picks an entry as a user does from the keyboard, one arrow key per step; stops when a step
// is refused (the combo goes back to where it was).
inline void ChooseByKeys(QComboBox* combo, int index) {
    while (combo->currentIndex() != index) {
        const int before = combo->currentIndex();
        QTest::keyClick(combo, index > before ? Qt::Key_Down : Qt::Key_Up);
        if (combo->currentIndex() == before)
            return;
    }
}

inline QStringList Items(const QComboBox* combo) {
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    return items;
}

// A port record as the enumeration gives it, for substituted port lists.
inline SerialPortInfo FakePort(const QString& description, const QString& name) {
    SerialPortInfo info;
    info.portName = name;
    info.devicePath = QStringLiteral("/dev/") + name;
    info.description = description;
    info.friendlyName = QStringLiteral("%1 (%2)").arg(description, name);
    return info;
}

} // namespace vantor::test
