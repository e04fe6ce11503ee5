// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Auto-save of the live chart ("自动保存曲线"), the role of the dump thread: while running, every
// 60 s the chart is saved with its data to one file per recording run, named after the project
// and the minute the run started. The chart is copied on the GUI thread (a copy shares the point
// blocks, so it is cheap) and the file is written on a worker thread of idle priority, one file
// at a time: a run's first round writes its file whole and atomically, each later round appends
// only what is new (TeeRunWriter). Stopping saves once more at once, so nothing sampled since the last
// round is lost, and a later round never writes other data into this run's file.
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

#include "trend/ChartSnapshot.h"

class QThread;

namespace vantor {

class TeeRunWriter;

// "yyyyMMddHHmm" of local time: the stamp of a recording run.
QString AutoSaveStamp(const QDateTime& local);
// The project file's path without its last four characters (its ".ini"), then the stamp and
// ".tee"; without a project (or with a path shorter than four characters) the stamp and ".tee"
// in the current directory.
QString AutoSaveFileName(const QString& projectPath, const QString& stamp);

class CurveRecorder : public QObject {
    Q_OBJECT
public:
    static constexpr int kPeriodMs = 60000;
    static constexpr int kDoneDelayMs = 2000;
    static constexpr int kProgressStep = 10;

    using SnapshotSource = std::function<ChartSnapshot()>;
    // Writes a snapshot to a path; returns the error text, or nothing on success. progress is
    // called with 0..100 on the writing thread.
    using Saver = std::function<std::optional<QString>(const QString& path, const ChartSnapshot&,
                                                       const std::function<void(int)>& progress)>;

    explicit CurveRecorder(SnapshotSource source, QObject* parent = nullptr);
    ~CurveRecorder() override; // waits for the writes asked so far

    bool running() const { return m_running; }
    QString stamp() const { return m_stamp; }
    // The run's file: the project's name and the run's minute, with "-2", "-3" … where an
    // earlier run's file of that minute exists, so that a finished run is never overwritten.
    QString fileName() const;
    void setProjectPath(const QString& path) { m_projectPath = path; }
    bool writing() const { return m_pending > 0; }

    // A new run: a stamp from `now`, a round every period from now on.
    void start(const QDateTime& now = QDateTime::currentDateTime());
    // Runs on without a new stamp (one is taken when there is none yet).
    void resume();
    // Saves once more at once when running, then stops.
    void stop();
    // Waits until every write asked so far has ended (the program's end, tests).
    void waitForWrites();

    // Another way of writing (tests); the run's own writer no longer reports what it saved.
    void setSaver(Saver saver) {
        m_saver = std::move(saver);
        m_ownSaver = false;
    }
    void setPeriod(int ms) { m_timer.setInterval(ms); }

signals:
    void statusText(const QString& text);
    void progress(int percent);
    void saved(const QString& path);
    void saveFailed(const QString& message);
    void runningChanged(bool running);
    // A round saved `saved` to the run's file, whose values `source` reads back.
    void recorded(const ChartSnapshot& saved, const std::shared_ptr<const ValueSource>& source);

private:
    void round();
    void finished(const QString& path, const std::optional<QString>& error);

    SnapshotSource m_source;
    std::shared_ptr<std::unique_ptr<TeeRunWriter>> m_writer; // used on the worker only
    Saver m_saver;
    bool m_ownSaver = true;
    QTimer m_timer;
    QTimer m_doneTimer;
    QThread* m_thread;
    QObject* m_worker;
    QString m_projectPath;
    QString m_stamp;
    QString m_runFile;               // chosen when the run starts; kept by resume()
    QStringList m_earlierRuns;       // files of the runs before this one
    QString m_lastSaved;
    bool m_running = false;
    int m_pending = 0; // writes asked and not yet ended
    int m_progress = 0;
};

} // namespace vantor
