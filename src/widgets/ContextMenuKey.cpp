// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/ContextMenuKey.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

namespace vantor {

ContextMenuKey::ContextMenuKey(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

bool ContextMenuKey::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (key->key() != Qt::Key_F10 || key->modifiers() != Qt::ShiftModifier || !widget ||
        widget != QApplication::focusWidget() || !widget->isEnabled())
        return false;
    // Where the Menu key would put it: at the text cursor or the current item.
    const QPoint pos = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
    QContextMenuEvent menu(QContextMenuEvent::Keyboard, pos, widget->mapToGlobal(pos),
                           key->modifiers());
    QApplication::sendEvent(widget, &menu);
    return true;
}

} // namespace vantor
