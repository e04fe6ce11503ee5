// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An object that lives on a thread of its own: made here, moved to the thread, and destroyed on
// it (with the sockets and timers it made there) before the thread ends.
#include <QMetaObject>
#include <QString>
#include <QThread>
#include <utility>

namespace vantor {

template <class T> class ObjectThread {
public:
    explicit ObjectThread(const QString& name) : m_object(new T) {
        m_thread.setObjectName(name);
        m_object->moveToThread(&m_thread);
        m_thread.start();
    }
    ~ObjectThread() {
        QMetaObject::invokeMethod(
            m_object, [object = m_object] { delete object; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    ObjectThread(const ObjectThread&) = delete;
    ObjectThread& operator=(const ObjectThread&) = delete;

    // Call its slots through queued connections, invokeMethod or run().
    T* object() const { return m_object; }
    // Runs call on the object's thread and waits until it has run.
    template <class Call> void run(Call call) {
        QMetaObject::invokeMethod(m_object, std::move(call), Qt::BlockingQueuedConnection);
    }

private:
    QThread m_thread;
    T* m_object;
};

} // namespace vantor
