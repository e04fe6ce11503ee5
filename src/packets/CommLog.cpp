#include "packets/CommLog.h"

#include <QScrollBar>
#include <QTextBlock>

#include "modbus/LogFormat.h"
#include "packets/CommPanelRules.h"

namespace vantor {

CommLog::CommLog(QWidget* parent) : QPlainTextEdit(parent) {
    // The user may select and copy lines, but the log is written only by the program.
    setReadOnly(true);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setUndoRedoEnabled(false);
}

int CommLog::lineCount() const {
    return document()->isEmpty() ? 0 : document()->blockCount();
}

void CommLog::appendLine(const QString& line) {
    writeAtEnd(line);
}

void CommLog::appendSessionEvent(const LogEvent& event) {
    if (!ShowLine(event.kind, m_paused))
        return;
    switch (HousekeepingFor(lineCount(), m_link)) {
    case LogHousekeeping::None:
        break;
    case LogHousekeeping::ReplaceWithNotice:
        setPlainText(QString::fromUtf8(kLogOverflowNotice.data(),
                                       static_cast<qsizetype>(kLogOverflowNotice.size())));
        break;
    case LogHousekeeping::Empty:
        clear();
        break;
    }
    writeAtEnd(event.text);
}

void CommLog::setPaused(bool paused) {
    m_paused = paused;
}

void CommLog::setLinkKind(LinkKind link) {
    m_link = link;
}

// Lines always go to the end, wherever the user has clicked in the log, so that the log keeps
// the order in which things happened.
void CommLog::writeAtEnd(const QString& line) {
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    if (!document()->isEmpty())
        cursor.insertBlock();
    cursor.insertText(line);
    // Follow the newest line; the horizontal position stays where the user left it.
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

} // namespace vantor
