#include "widgets/ButtonIcon.h"

#include <QAbstractButton>
#include <QIcon>

#include "widgets/Resources.h"

namespace vantor {

void SetButtonIcon(QAbstractButton* button, const char* name) {
    InitResources();
    button->setIcon(QIcon(QStringLiteral(":/icons/buttons/%1.svg").arg(QLatin1String(name))));
    button->setIconSize(QSize(20, 20));
}

} // namespace vantor
