// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The communication log of the panel: every line is written at the end of the log. Lines from the
// session obey the pause button and keep the log from growing without end. Lines are queued and
// written together, at most 10 times a second, so a fast polling cycle costs one edit and one
// repaint per batch instead of one per line; the log shows the same lines as if each had been
// written at once. (A batch re-lays the log's text and redraws its scroll bar, the costliest
// repaint of a polling window; nobody reads lines faster than this.)
#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <optional>

#include "modbus/CommandImages.h"
#include "modbus/LogEvent.h"
#include "registers/Coalescer.h"

namespace vantor {

class CommLog : public QPlainTextEdit {
    Q_OBJECT
public:
    static constexpr int kFlushMs = 100;

    explicit CommLog(QWidget* parent = nullptr);

    bool paused() const { return m_paused; }
    LinkKind linkKind() const { return m_link; }
    // Lines in the log, those still queued included; 0 when empty.
    int lineCount() const;
    // Lines still queued for the next batch.
    int pendingLines() const { return static_cast<int>(m_pending.size()); }

public slots:
    // A line of the panel itself (configure): always written, no housekeeping.
    void appendLine(const QString& line);
    // A line from the session: Tx and Rx lines are dropped while paused; before any line is
    // written, a log above the line limit is emptied (TCP) or replaced by the overflow notice.
    void appendSessionEvent(const vantor::LogEvent& event);
    void setPaused(bool paused);
    void setLinkKind(vantor::LinkKind link);
    // Writes the queued lines now (the batch timer does this on its own).
    void flush();

private:
    void enqueue(const QString& line);
    int writtenLines() const;

    bool m_paused = false;
    LinkKind m_link = LinkKind::Serial;
    QStringList m_pending;
    // Set when housekeeping has decided the log starts over: the text it starts from (the
    // overflow notice, or empty) replaces the written lines at the next batch.
    std::optional<QString> m_restart;
    Coalescer m_flushTimer{kFlushMs, [this] { flush(); }};
};

} // namespace vantor
