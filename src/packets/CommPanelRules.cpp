// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/CommPanelRules.h"

#include <QCoreApplication>

namespace vantor {

SelectAllStep NextSelectAll(bool state) {
    const bool next = !state;
    return {next, !next, next ? kSelectAllCaption : kUnselectAllCaption};
}

QString CommPanelText(const char* caption) {
    return QCoreApplication::translate("vantor::CommPanelRules", caption);
}

const char* PauseButtonCaption(bool scrolling) {
    return scrolling ? kPauseCaption : kResumeCaption;
}

QString LinkLostStatus(LinkKind link, const QString& reason) {
    const bool tcp = link == LinkKind::Tcp;
    if (reason.isEmpty())
        return tcp ? QCoreApplication::translate("vantor::CommPanelRules",
                                                 "Modbus TCP/IP 连接已断开")
                   : QCoreApplication::translate("vantor::CommPanelRules", "串口已断开");
    return (tcp ? QCoreApplication::translate("vantor::CommPanelRules",
                                              "Modbus TCP/IP 连接已断开：%1")
                : QCoreApplication::translate("vantor::CommPanelRules", "串口已断开：%1"))
        .arg(reason);
}

QString LinkOpenedStatus(LinkKind link, const QString& where) {
    return (link == LinkKind::Serial
                ? QCoreApplication::translate("vantor::CommPanelRules", "串口已打开：%1")
                : QCoreApplication::translate("vantor::CommPanelRules", "Modbus TCP/IP 已连接：%1"))
        .arg(where);
}

QString LinkClosedStatus(LinkKind link) {
    return link == LinkKind::Serial
               ? QCoreApplication::translate("vantor::CommPanelRules", "串口已关闭")
               : QCoreApplication::translate("vantor::CommPanelRules", "Modbus TCP/IP 连接已关闭");
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

bool ShowLine(LogKind kind, bool paused) {
    return !paused || kind == LogKind::Notice;
}

LogHousekeeping HousekeepingFor(int lineCount, LinkKind link) {
    if (lineCount <= kLogLineLimit)
        return LogHousekeeping::None;
    return link == LinkKind::Tcp ? LogHousekeeping::Empty : LogHousekeeping::ReplaceWithNotice;
}

} // namespace vantor
