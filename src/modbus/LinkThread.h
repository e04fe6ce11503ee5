// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Owns the link thread and the session that lives on it. Destroying it stops the thread.
#include <QObject>

#include "modbus/ObjectThread.h"

namespace vantor {

class CommSession;

class LinkThread : public QObject {
    Q_OBJECT
public:
    explicit LinkThread(QObject* parent = nullptr);
    ~LinkThread() override;

    // The session; call its slots through queued connections or QMetaObject::invokeMethod.
    CommSession* session() const { return m_session.object(); }

private:
    ObjectThread<CommSession> m_session;
};

// Registers the session's value types for queued connections; idempotent.
void RegisterSessionTypes();

} // namespace vantor
