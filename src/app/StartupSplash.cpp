#include "app/StartupSplash.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "widgets/Resources.h"

namespace vantor {

CStartupSplash::CStartupSplash(QWidget* owner)
    : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_picture((InitResources(), QStringLiteral(":/icons/splash.svg")))
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(m_picture.isNull() ? QSize(1024, 568) : m_picture.size());
    m_timer.setSingleShot(true);
    m_timer.setInterval(kShowMs);
    connect(&m_timer, &QTimer::timeout, this, &CStartupSplash::finish);
}

CStartupSplash::~CStartupSplash() { qApp->removeEventFilter(this); }

void CStartupSplash::Start()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    qApp->installEventFilter(this);
    show();
    m_timer.start();
}

void CStartupSplash::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), QColor(0x1f, 0x4e, 0x79));
    else
        painter.drawPixmap(0, 0, m_picture);
}

// Any key or mouse button ends the splash at once; that event goes no further.
bool CStartupSplash::eventFilter(QObject*, QEvent* event)
{
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

void CStartupSplash::finish()
{
    if (m_done)
        return;
    m_done = true;
    qApp->removeEventFilter(this);
    m_timer.stop();
    emit finished();
    close();
}

} // namespace vantor
