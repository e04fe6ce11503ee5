// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/DropDown.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QStyle>
#include <algorithm>

namespace vantor {

void WidenDropDown(QComboBox* combo) {
    QAbstractItemView* list = combo->view();
    const QFontMetrics metrics(list->font());
    int widest = 0;
    for (int i = 0; i < combo->count(); ++i)
        widest = std::max(widest, metrics.horizontalAdvance(combo->itemText(i)));
    const QStyle* style = combo->style();
    const int edges = metrics.averageCharWidth() + style->pixelMetric(QStyle::PM_ScrollBarExtent) +
                      2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    list->setMinimumWidth(std::max({list->minimumWidth(), combo->width(), widest + edges}));
}

} // namespace vantor
