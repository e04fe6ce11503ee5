// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/CommLog.h"

#include <QScrollBar>
#include <QTextBlock>
#include <utility>

#include "modbus/LogFormat.h"
#include "packets/CommPanelRules.h"

namespace vantor {

CommLog::CommLog(QWidget* parent) : QPlainTextEdit(parent) {
    // The user may select and copy lines, but the log is written only by the program.
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

int CommLog::writtenLines() const {
    if (m_restart)
        return m_restart->isEmpty() ? 0 : 1;
    return document()->isEmpty() ? 0 : document()->blockCount();
}

int CommLog::lineCount() const {
    return writtenLines() + pendingLines();
}

void CommLog::appendLine(const QString& line) {
    enqueue(line);
}

void CommLog::appendSessionEvent(const LogEvent& event) {
    if (!ShowLine(event.kind, m_paused))
        return;
    // The rule looks at the log as it will be once the queue is written, so a batch ends where
    // line-by-line writing would have left it.
    switch (HousekeepingFor(lineCount(), m_link)) {
    case LogHousekeeping::None:
        break;
    case LogHousekeeping::ReplaceWithNotice:
        m_pending.clear();
        m_restart = QString::fromUtf8(kLogOverflowNotice.data(),
                                      static_cast<qsizetype>(kLogOverflowNotice.size()));
        break;
    case LogHousekeeping::Empty:
        m_pending.clear();
        m_restart = QString();
        break;
    }
    enqueue(event.text);
}

void CommLog::setPaused(bool paused) {
    m_paused = paused;
}

void CommLog::setLinkKind(LinkKind link) {
    m_link = link;
}

void CommLog::enqueue(const QString& line) {
    m_pending.append(line);
    m_flushTimer.schedule();
}

// Lines always go to the end, wherever the user has clicked in the log, so that the log keeps
// the order in which things happened. The view follows the newest line only while it shows the
// end already: a user who scrolled up to read is left there.
void CommLog::flush() {
    m_flushTimer.cancel();
    if (m_pending.isEmpty() && !m_restart)
        return;
    QScrollBar* bar = verticalScrollBar();
    const bool follow = bar->value() == bar->maximum();
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    if (m_restart) {
        cursor.select(QTextCursor::Document);
        cursor.insertText(*std::exchange(m_restart, std::nullopt));
    }
    cursor.movePosition(QTextCursor::End);
    QString text;
    for (const QString& line : std::exchange(m_pending, {})) {
        if (!document()->isEmpty() || !text.isEmpty())
            text += QLatin1Char('\n');
        text += line;
    }
    cursor.insertText(text);
    cursor.endEditBlock();
    if (follow)
        bar->setValue(bar->maximum());
}

} // namespace vantor
