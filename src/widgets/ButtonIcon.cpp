// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ButtonIcon.h"

#include <QAbstractButton>

#include "widgets/ThemedIcon.h"

namespace vantor {

void SetButtonIcon(QAbstractButton* button, const char* name) {
    button->setIcon(ThemedIcon(QStringLiteral(":/icons/buttons/%1.svg").arg(QLatin1String(name))));
    button->setIconSize(QSize(20, 20));
}

} // namespace vantor
