#pragma once
// The headless mode: fills the application's workspace from the options, polls one link through
// its link controller and prints every log line, the cell values after each accepted reply (as
// the register store decoded them), and the counters at the end.
#include <QObject>
#include <QTextStream>
#include <memory>

#include "app/Application.h"
#include "app/ConsoleOptions.h"
#include "modbus/Counters.h"

namespace vantor {

class ConsoleRunner : public QObject {
    Q_OBJECT
public:
    ConsoleRunner(const ConsoleOptions& options, QTextStream& out, QTextStream& err,
                  QObject* parent = nullptr);
    ~ConsoleRunner() override;

    // Configures and opens the link. The run ends with finished(exit code).
    void Start();
    // Stops polling, closes the link, prints the counters and emits finished(0).
    void Finish();

    Application* application() { return &m_app; }
    static QString CountersLine(const Counters& counters);

signals:
    void finished(int exitCode);

private:
    void printCells(int packet, int cells);
    void fail(const QString& message);

    ConsoleOptions m_options;
    QTextStream& m_out;
    QTextStream& m_err;
    Application m_app;
    bool m_done = false;
};

} // namespace vantor
