// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Two pseudo-terminals joined back to back inside this process: what is written to one comes
// out of the other, like a null-modem cable. The built-in simulated device sits on one end.
#include <QObject>
#include <QString>

class QSocketNotifier;

namespace vantor {

class PtyPair : public QObject {
    Q_OBJECT
public:
    explicit PtyPair(QObject* parent = nullptr);
    ~PtyPair() override;

    // Creates both terminals (raw mode) and starts relaying. False with errorString() set
    // when the system has no pseudo-terminals.
    bool Create();
    QString endA() const { return m_nameA; } // device paths, e.g. "/dev/pts/5"
    QString endB() const { return m_nameB; }
    QString errorString() const { return m_error; }

private:
    void relay(int from, int to);

    int m_masterA = -1, m_masterB = -1;
    int m_slaveA = -1, m_slaveB = -1; // held open so the terminals stay up between users
    QString m_nameA, m_nameB, m_error;
    QSocketNotifier* m_notifierA = nullptr;
    QSocketNotifier* m_notifierB = nullptr;
};

} // namespace vantor
