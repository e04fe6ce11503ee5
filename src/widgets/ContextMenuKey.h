// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shift+F10 opens the context menu of the focused widget, as the Menu key does: the desktop's
// convention on keyboards without a Menu key. The X11 platform turns only the Menu key into a
// keyboard context-menu event; this turns Shift+F10 into the same event.
#include <QObject>

namespace vantor {

class ContextMenuKey : public QObject {
    Q_OBJECT
public:
    // Watches every key press of the application while it lives.
    explicit ContextMenuKey(QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace vantor
