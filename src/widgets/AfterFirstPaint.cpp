// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/AfterFirstPaint.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace vantor {

namespace {

class FirstPaintWatcher : public QObject {
public:
    FirstPaintWatcher(QWidget* widget, std::function<void()> work)
        : QObject(widget), m_work(std::move(work)) {
        widget->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                m_work();
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_work;
};

} // namespace

void AfterFirstPaint(QWidget* widget, std::function<void()> work) {
    new FirstPaintWatcher(widget, std::move(work));
}

} // namespace vantor
