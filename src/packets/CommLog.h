#pragma once
// The communication log of the panel: every line is written at the end of the log and scrolled
// into view. Lines from the session obey the pause button and keep the log from growing without
// end.
#include <QPlainTextEdit>

#include "modbus/CommandImages.h"
#include "modbus/LogEvent.h"

namespace vantor {

class CommLog : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit CommLog(QWidget* parent = nullptr);

    bool paused() const { return m_paused; }
    LinkKind linkKind() const { return m_link; }
    int lineCount() const; // lines written, 0 when empty

public slots:
    // A line of the panel itself (configure): always written, no housekeeping.
    void appendLine(const QString& line);
    // A line from the session: Tx and Rx lines are dropped while paused; before any line is
    // written, a log above the line limit is emptied (TCP) or replaced by the overflow notice.
    void appendSessionEvent(const vantor::LogEvent& event);
    void setPaused(bool paused);
    void setLinkKind(vantor::LinkKind link);

private:
    void writeAtEnd(const QString& line);

    bool m_paused = false;
    LinkKind m_link = LinkKind::Serial;
};

} // namespace vantor
