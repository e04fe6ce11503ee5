// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/FitScrollArea.h"

#include <QEvent>
#include <QScrollBar>

namespace vantor {

FitScrollArea::FitScrollArea(QWidget* content, QWidget* parent) : QScrollArea(parent) {
    setWidget(content);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    content->installEventFilter(this);
}

// The content's minimum can grow while the area keeps its size (a status line wraps, a group
// is shown): fit again whenever its layout asks.
bool FitScrollArea::eventFilter(QObject* watched, QEvent* event) {
    if (watched == widget() && event->type() == QEvent::LayoutRequest)
        QMetaObject::invokeMethod(this, &FitScrollArea::fit, Qt::QueuedConnection);
    return QScrollArea::eventFilter(watched, event);
}

void FitScrollArea::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    fit();
}

// The base class would bring the whole focused control into view, sideways too, which moves the
// panel under the user; only the vertical position follows the focus here.
bool FitScrollArea::focusNextPrevChild(bool next) {
    if (!QWidget::focusNextPrevChild(next))
        return false;
    QWidget* focused = focusWidget();
    if (focused && widget() && widget()->isAncestorOf(focused)) {
        const int x = horizontalScrollBar()->value();
        ensureWidgetVisible(focused, 0);
        horizontalScrollBar()->setValue(x);
    }
    return true;
}

void FitScrollArea::fit() {
    if (QWidget* content = widget())
        content->resize(maximumViewportSize().expandedTo(content->minimumSizeHint()));
}

} // namespace vantor
