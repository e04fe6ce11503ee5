// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Gathers changes that come faster than a view can repaint and runs one update for all of them,
// at most once per interval: the first change starts the wait, later ones join it.
#include <QTimer>
#include <functional>

namespace vantor {

class Coalescer {
public:
    Coalescer(int intervalMs, std::function<void()> update) {
        m_timer.setSingleShot(true);
        m_timer.setInterval(intervalMs);
        QObject::connect(&m_timer, &QTimer::timeout, std::move(update));
    }

    void schedule() {
        if (!m_timer.isActive())
            m_timer.start();
    }
    void cancel() { m_timer.stop(); } // the update ran early, by hand

private:
    QTimer m_timer;
};

} // namespace vantor
