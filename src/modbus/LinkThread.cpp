#include "modbus/LinkThread.h"

#include "modbus/CommSession.h"

namespace vantor {

void RegisterSessionTypes() {
    qRegisterMetaType<CommandImages>("vantor::CommandImages");
    qRegisterMetaType<Counters>("vantor::Counters");
    qRegisterMetaType<SerialSettings>("vantor::SerialSettings");
    qRegisterMetaType<LinkKind>("vantor::LinkKind");
    qRegisterMetaType<LogEvent>("vantor::LogEvent");
}

LinkThread::LinkThread(QObject* parent) : QObject(parent), m_session(new CommSession) {
    RegisterSessionTypes();
    m_thread.setObjectName(QStringLiteral("link"));
    m_session->moveToThread(&m_thread);
    m_thread.start();
}

// The session and its transports are destroyed on their own thread, then the thread ends.
LinkThread::~LinkThread() {
    QMetaObject::invokeMethod(
        m_session, [session = m_session] { delete session; }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

} // namespace vantor
