#include "packets/CommPanelRules.h"

namespace vantor {

namespace {

// "hh:mm:ss:mmm": digits with colons at 2, 5 and 8.
bool StartsWithTimeStamp(const QString& line) {
    constexpr int kStampLength = 12;
    if (line.size() < kStampLength)
        return false;
    for (int i = 0; i < kStampLength; ++i) {
        const bool colon = i == 2 || i == 5 || i == 8;
        if (colon ? line[i] != QLatin1Char(':') : !line[i].isDigit())
            return false;
    }
    return true;
}

} // namespace

SelectAllStep NextSelectAll(bool state) {
    const bool next = !state;
    return {next, !next, next ? kSelectAllCaption : kUnselectAllCaption};
}

const char* PauseButtonCaption(bool scrolling) {
    return scrolling ? kPauseCaption : kResumeCaption;
}

CellEditor EditorForColumn(int column) {
    switch (column) {
    case 1:
    case 3:
    case 4:
        return CellEditor::Edit;
    case 2:
        return CellEditor::Combo;
    default:
        return CellEditor::None;
    }
}

ClickAction PlanClick(int row, int column, int openRow, int openColumn) {
    if (row < 0 || EditorForColumn(column) == CellEditor::None)
        return ClickAction::Commit;
    if (row == openRow && column == openColumn)
        return ClickAction::Refocus;
    return ClickAction::CommitAndOpen;
}

LogLineKind ClassifyLogLine(const QString& line) {
    // Both forms put one blank after the stamp: Tx lines carry it in the stamp, Rx lines before
    // "Rx".
    if (!StartsWithTimeStamp(line) || line.size() < 15 || line[12] != QLatin1Char(' '))
        return LogLineKind::Other;
    const QStringView tag = QStringView(line).mid(13, 2);
    if (tag == QLatin1String("Tx"))
        return LogLineKind::Tx;
    if (tag == QLatin1String("Rx"))
        return LogLineKind::Rx;
    return LogLineKind::Other;
}

bool ShowLine(LogLineKind kind, bool paused) {
    return !paused || kind == LogLineKind::Other;
}

LogHousekeeping HousekeepingFor(int lineCount, LinkKind link) {
    if (lineCount <= kLogLineLimit)
        return LogHousekeeping::None;
    return link == LinkKind::Tcp ? LogHousekeeping::Empty : LogHousekeeping::ReplaceWithNotice;
}

} // namespace vantor
