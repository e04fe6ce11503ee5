// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the main window next to an empty QMainWindow with the same Qt. Built twice: as
// startup_bench (the main window, with the program's libraries) and as startup_bench_empty (an
// empty QMainWindow, Qt Widgets only). Each prints the CLOCK_MONOTONIC time in seconds at which
// its window's first paint has ended; scripts/measure-startup takes the time from the process
// start, alternates the two and compares medians.
#include <QApplication>
#include <QMainWindow>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#ifdef VANTOR_STARTUP_FRAME
#include "app/Application.h"
#include "app/MainFrame.h"
#include "app/Translations.h"
#endif

namespace {

double MonotonicSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Notes the time once the repaint cycle that first painted the window is over, and ends the
// event loop. The time is taken there, not after the loop: work the window defers until after
// its first paint (posted in the same cycle) must not count.
class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, qApp, [this] {
                end = MonotonicSeconds();
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

    double end = 0;

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    FirstPaint firstPaint;
#ifdef VANTOR_STARTUP_FRAME
    // As the program starts: the language chosen and its catalogues installed before the window.
    const vantor::Translations translations(vantor::Translations::Chosen());
    vantor::Application application;
    vantor::CMainFrame window(&application);
    window.installEventFilter(&firstPaint);
    window.ShowAtWorkingSize();
#else
    QMainWindow window;
    window.installEventFilter(&firstPaint);
    const QScreen* screen = QGuiApplication::primaryScreen();
    // The main window's starting size: 0.65 of the screen's width by 0.8 of its work area.
    const QRect area = screen->availableGeometry();
    window.resize(static_cast<int>(0.65 * screen->geometry().width()),
                  static_cast<int>(0.8 * (area.y() + area.height())));
    window.show();
#endif
    app.exec();
    std::printf("%.6f\n", firstPaint.end);
    return 0;
}
