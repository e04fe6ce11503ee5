// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/TimerProbe.h"

#include <QFile>
#include <QTextStream>
#include <algorithm>

namespace vantor {

namespace {

double Quantile(std::vector<double> values, double q) {
    if (values.empty())
        return 0.0;
    const auto k = static_cast<std::size_t>(q * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

} // namespace

void TimerProbe::StartFromEnvironment(QObject* parent) {
    const QString path = qEnvironmentVariable("VANTOR_PROBE_FILE");
    if (!path.isEmpty())
        new TimerProbe(path, parent);
}

TimerProbe::TimerProbe(const QString& path, QObject* parent) : QObject(parent), m_path(path) {
    m_tick.setTimerType(Qt::PreciseTimer);
    connect(&m_tick, &QTimer::timeout, this, &TimerProbe::tick);
    connect(&m_report, &QTimer::timeout, this, &TimerProbe::write);
    m_clock.start();
    m_tick.start(kTickMs);
    m_report.start(1000);
}

// Lateness of a tick: how much longer than the interval it came after the one before.
void TimerProbe::tick() {
    const qint64 now = m_clock.nsecsElapsed();
    if (now > kWarmUpMs * 1000000LL && m_lastNs > 0)
        m_lateMs.push_back(std::max(0.0, static_cast<double>(now - m_lastNs) / 1e6 - kTickMs));
    m_lastNs = now;
}

void TimerProbe::write() {
    QFile file(m_path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        qWarning("timer probe: cannot write %s", qPrintable(m_path));
        return;
    }
    QTextStream(&file) << "samples=" << m_lateMs.size() << " p50_ms=" << Quantile(m_lateMs, 0.5)
                       << " p99_ms=" << Quantile(m_lateMs, 0.99)
                       << " max_ms=" << Quantile(m_lateMs, 1.0) << '\n';
}

} // namespace vantor
