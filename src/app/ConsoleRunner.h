#pragma once
// The headless mode: polls one link with the session on its link thread and prints every log
// line, the cell values after each accepted reply, and the counters at the end.
#include <QObject>
#include <QTextStream>
#include <memory>

#include "app/ConsoleOptions.h"
#include "modbus/Counters.h"
#include "registers/FormatStore.h"
#include "registers/RegisterImage.h"

namespace vantor {

class LinkThread;

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

    const RegisterImage& image() const { return m_image; }
    static QString CountersLine(const Counters& counters);

signals:
    void finished(int exitCode);

private:
    void onRegisters(int packet, const QByteArray& data, int registerCount);
    void onBits(int packet, const QByteArray& data, int bitCount);
    void printCells(int packet, int cells);
    void fail(const QString& message);

    ConsoleOptions m_options;
    QTextStream& m_out;
    QTextStream& m_err;
    std::unique_ptr<LinkThread> m_link;
    FormatStore m_formats;
    RegisterImage m_image;
    bool m_done = false;
};

} // namespace vantor
