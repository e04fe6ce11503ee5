// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The headless mode: fills the application's workspace from the options, polls one link through
// its link controller and prints every log line, the cell values after each accepted reply (as
// the register store decoded them, also recorded as CSV rows with --csv), and the counters at
// the end.
#include <QElapsedTimer>
#include <QObject>
#include <QStringEncoder>
#include <QTextStream>
#include <QTimer>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "app/Application.h"
#include "app/ConsoleCsv.h"
#include "app/ConsoleOptions.h"
#include "modbus/Counters.h"
#include "project/ProjectFile.h"
#include "publish/Publisher.h"
#include "writes/WriteService.h"

namespace vantor {

class ConsoleRunner : public QObject {
    Q_OBJECT
public:
    ConsoleRunner(const ConsoleOptions& options, std::FILE* out, QTextStream& err,
                  QObject* parent = nullptr);
    ~ConsoleRunner() override;

    // Configures and opens the link. The run ends with finished(exit code).
    void Start();
    // Stops polling, closes the link, prints the counters and emits finished(0), or 1 when the
    // recording could not be written.
    void Finish();

    Application* application() { return &m_app; }
    static QString CountersLine(const Counters& counters);

signals:
    void finished(int exitCode);

private:
    // Prints the cells of an accepted reply and records them.
    void printCells(int packet, int cells);
    // Standard output is kept as UTF-8 bytes and written in one piece at a flush.
    void print(QStringView line);
    void printUtf8(std::string_view line);
    void flushOut();
    void flushSoon();
    void printLabels(const ProjectCounts& counts);
    // Creates the --csv file: false (and the run ends with status 2) when it cannot be made.
    bool openRecording();
    void recordingFailed(const QString& message);
    void fail(const QString& message, int exitCode = 1);
    // The writes and frames of the command line, checked against the configured packets and the
    // cells' formats: false (and the run ends with status 2) when one is refused.
    bool prepareWrites();
    QString writeText(const CellWriteOption& write, QString* text) const;
    void keepCommandLineLink();
    void sendWrites();
    // Opens the link as at the start (--reconnect after a lost link or a failed reopening).
    void reopen();
    void reopenLater();
    // --publish: the project's publishing settings (or the defaults) with the URL's broker.
    bool startPublishing();
    // Sends what is queued (a while at most), says "offline" and prints the message counts.
    void finishPublishing();

    ConsoleOptions m_options;
    std::FILE* m_out;
    std::string m_outBytes; // not yet written; keeps its storage from flush to flush
    QStringEncoder m_utf8{QStringEncoder::Utf8};
    QTextStream& m_err;
    // The session runs on the console's own thread: nothing here waits on a window, and every
    // reply then reaches its printing without a hand-over between threads.
    Application m_app{LinkController::Placement::CallerThread};
    WriteService m_writes{m_app.workspace(), m_app.link()};
    QStringList m_pendingWrites; // command texts, sent once after the first accepted reply
    ConsoleCsv m_csv;
    std::unique_ptr<Publisher> m_publisher; // with --publish
    static constexpr qint64 kFlushMs = 20;
    // The exit status of a run whose --write or --send the device refused.
    static constexpr int kDeviceRefusedExit = 3;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush; // since standard output was last flushed
    int m_exitCode = 0;
    bool m_done = false;
    bool m_reopening = false;   // a lost link is being opened again
    bool m_fromProject = false; // the line settings come from --project
};

} // namespace vantor
