// SPDX-License-Identifier: GPL-3.0-or-later
#include "trend/CurveRecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include "trend/TeeRunWriter.h"

namespace vantor {

QString AutoSaveStamp(const QDateTime& local) {
    return local.toString(QStringLiteral("yyyyMMddHHmm"));
}

QString AutoSaveFileName(const QString& projectPath, const QString& stamp) {
    const QString base = projectPath.size() < 4 ? QString() : projectPath.chopped(4);
    return base + stamp + QStringLiteral(".tee");
}

QString CurveRecorder::fileName() const {
    return m_runFile.isEmpty() ? AutoSaveFileName(m_projectPath, m_stamp) : m_runFile;
}

CurveRecorder::CurveRecorder(SnapshotSource source, QObject* parent)
    : QObject(parent), m_source(std::move(source)),
      m_writer(std::make_shared<std::unique_ptr<TeeRunWriter>>()),
      // The run's writer, used on the worker only: it knows what the run's file holds, so a
      // round appends what is new; a run of another file gets a writer of its own.
      m_saver([writer = m_writer](const QString& path, const ChartSnapshot& chart,
                  const std::function<void(int)>& progress) {
          if (!*writer || (*writer)->path() != path)
              *writer = std::make_unique<TeeRunWriter>(path);
          return (*writer)->save(chart, progress);
      }),
      m_thread(new QThread(this)), m_worker(new QObject) {
    m_timer.setInterval(kPeriodMs);
    connect(&m_timer, &QTimer::timeout, this, &CurveRecorder::round);
    m_doneTimer.setSingleShot(true);
    m_doneTimer.setTimerType(Qt::PreciseTimer);
    m_doneTimer.setInterval(kDoneDelayMs);
    connect(&m_doneTimer, &QTimer::timeout, this, [this] {
        emit statusText(QCoreApplication::translate("vantor::CurveRecorder", "曲线数据转存完成：%1")
                            .arg(QDir::toNativeSeparators(m_lastSaved)));
        m_progress = 0;
        emit progress(0);
    });
    m_thread->setObjectName(QStringLiteral("curve saver"));
    m_worker->moveToThread(m_thread);
}

CurveRecorder::~CurveRecorder() {
    waitForWrites();
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

void CurveRecorder::waitForWrites() {
    if (m_pending == 0)
        return;
    // The worker runs its jobs in order: once this one has run, every earlier write has ended.
    QMetaObject::invokeMethod(
        m_worker, [] {}, Qt::BlockingQueuedConnection);
    // Their results were posted here; take them now.
    QCoreApplication::sendPostedEvents(this);
}

void CurveRecorder::start(const QDateTime& now) {
    const QString stamp = AutoSaveStamp(now);
    if (!m_running || stamp != m_stamp) {
        // A new run: the file of the one before is finished and never written again.
        if (!m_runFile.isEmpty())
            m_earlierRuns << m_runFile;
        m_stamp = stamp;
        m_runFile.clear();
    }
    resume();
}

void CurveRecorder::resume() {
    if (m_stamp.isEmpty())
        m_stamp = AutoSaveStamp(QDateTime::currentDateTime());
    if (m_runFile.isEmpty()) {
        const QString first = AutoSaveFileName(m_projectPath, m_stamp);
        m_runFile = first;
        for (int n = 2; QFileInfo::exists(m_runFile) || m_earlierRuns.contains(m_runFile); ++n)
            m_runFile = first.chopped(4) + QStringLiteral("-%1.tee").arg(n);
    }
    // One timer: starting again within a round's wait restarts the wait, never adds a saver.
    m_timer.start();
    if (!m_running) {
        m_running = true;
        emit runningChanged(true);
    }
}

void CurveRecorder::stop() {
    if (!m_running)
        return;
    m_timer.stop();
    round();
    m_running = false;
    emit runningChanged(false);
}

void CurveRecorder::round() {
    emit statusText(tr("曲线数据转存中……"));
    m_doneTimer.stop();
    m_progress = m_progress + kProgressStep > 100 ? 0 : m_progress + kProgressStep;
    emit progress(m_progress);
    const QString path = fileName();
    ChartSnapshot chart = m_source();
    // The worker's thread starts with the first save. Writing a file must not take time from
    // sampling or the window.
    if (!m_thread->isRunning())
        m_thread->start(QThread::IdlePriority);
    ++m_pending;
    auto writer = m_ownSaver ? m_writer : nullptr;
    QMetaObject::invokeMethod(m_worker, [this, path, chart = std::move(chart), saver = m_saver,
                                         writer] {
        const auto report = [this](int percent) {
            QMetaObject::invokeMethod(this, [this, percent] {
                if (percent > m_progress) {
                    m_progress = percent;
                    emit progress(percent);
                }
            });
        };
        const std::optional<QString> error = saver(path, chart, report);
        std::shared_ptr<const ValueSource> spans;
        if (!error && writer && *writer)
            spans = (*writer)->spans();
        QMetaObject::invokeMethod(this, [this, path, error, chart, spans] {
            finished(path, error);
            if (spans)
                emit recorded(chart, spans);
        });
    });
}

void CurveRecorder::finished(const QString& path, const std::optional<QString>& error) {
    --m_pending;
    if (error) {
        // The run goes on: the next round may succeed (space freed, folder back).
        m_progress = 0;
        emit progress(0);
        emit statusText(*error);
        emit saveFailed(*error);
        return;
    }
    m_progress = 100;
    emit progress(100);
    m_lastSaved = path;
    emit saved(path);
    m_doneTimer.start();
}

} // namespace vantor
