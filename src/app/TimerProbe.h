// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A measuring aid for the desktop program: with VANTOR_PROBE_FILE=path set, a 10 ms timer on the
// GUI thread records how late each tick comes and rewrites that file once a second with the
// median, the 99th percentile and the largest lateness in milliseconds. Ticks in the first two
// seconds (the window being built and shown) are not counted. Unset, it does nothing.
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <vector>

namespace vantor {

class TimerProbe : public QObject {
public:
    static constexpr int kTickMs = 10;
    static constexpr int kWarmUpMs = 2000;

    // Starts a probe owned by parent when the environment asks for one.
    static void StartFromEnvironment(QObject* parent);

private:
    TimerProbe(const QString& path, QObject* parent);
    void tick();
    void write();

    QString m_path;
    QTimer m_tick;
    QTimer m_report;
    QElapsedTimer m_clock;
    qint64 m_lastNs = 0;
    std::vector<double> m_lateMs;
};

} // namespace vantor
