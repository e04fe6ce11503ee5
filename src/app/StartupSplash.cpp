// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/StartupSplash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "widgets/Resources.h"

namespace vantor {

CStartupSplash::CStartupSplash(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture((InitResources(), QStringLiteral(":/icons/splash.svg"))) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    // 1024 x 568, or less on a small screen, keeping the picture's proportions.
    QSize size = kPictureSize;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = kPictureSize.boundedTo(screen->availableGeometry().size() * 9 / 10);
    setFixedSize(kPictureSize.scaled(size, Qt::KeepAspectRatio));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShowMs);
    connect(&m_timer, &QTimer::timeout, this, &CStartupSplash::finish);
}

CStartupSplash::~CStartupSplash() {
    qApp->removeEventFilter(this);
}

void CStartupSplash::Start() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
    show();
    m_timer.start();
}

void CStartupSplash::paintEvent(QPaintEvent*) {
    // Drawn from the vector picture at the screen's pixel density, so it stays sharp at 200 %.
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0x1f, 0x4e, 0x79));
    m_picture.paint(&painter, rect());
}

// Any key or mouse button ends the splash at once; that event goes no further.
bool CStartupSplash::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::NonClientAreaMouseButtonPress:
        finish();
        return true;
    default:
        return false;
    }
}

void CStartupSplash::finish() {
    if (m_done)
        return;
    m_done = true;
    qApp->removeEventFilter(this);
    m_timer.stop();
    emit finished();
    close();
}

} // namespace vantor
