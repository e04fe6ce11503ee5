// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rules behind the communication panel's controls, kept apart from the widgets so that they
// can be checked without a window: captions of the toggling buttons, the in-place editor a click
// opens, and which log lines are shown and when the log is emptied.
#include <QString>

#include "modbus/CommandImages.h"
#include "modbus/LogEvent.h"

namespace vantor {

// ---- buttons -------------------------------------------------------------------------------

// The captions are source texts: CommPanelText gives them in the user's language.
inline constexpr const char* kSelectAllCaption =
    QT_TRANSLATE_NOOP("vantor::CommPanelRules", "全选");
inline constexpr const char* kUnselectAllCaption =
    QT_TRANSLATE_NOOP("vantor::CommPanelRules", "取消");
inline constexpr const char* kPauseCaption =
    QT_TRANSLATE_NOOP("vantor::CommPanelRules", "暂停数据滚动");
inline constexpr const char* kResumeCaption =
    QT_TRANSLATE_NOOP("vantor::CommPanelRules", "继续数据滚动");

// One of the captions above as shown.
QString CommPanelText(const char* caption);

// One press of "全选"/"取消". The state starts true; the press flips it and a false state checks
// every row, so the first press checks all.
struct SelectAllStep {
    bool state;
    bool checkAll;
    const char* caption;
};
SelectAllStep NextSelectAll(bool state);

// Caption of the pause button while the log scrolls (true) or is paused (false).
const char* PauseButtonCaption(bool scrolling);

// The main window's status line when an open link goes away: "串口已断开：<reason>" or
// "Modbus TCP/IP 连接已断开：<reason>".
QString LinkLostStatus(LinkKind link, const QString& reason);
// The status once a link stands again (after a loss it replaces the loss's): "Modbus TCP/IP
// 已连接：HOST:PORT" or "串口已打开：NAME".
QString LinkOpenedStatus(LinkKind link, const QString& where);
// The status once a link is closed as asked: "串口已关闭" or "Modbus TCP/IP 连接已关闭".
QString LinkClosedStatus(LinkKind link);

// ---- packet list editing -------------------------------------------------------------------

enum class CellEditor { None, Edit, Combo };

// Columns 1, 3 and 4 are edited in a line edit, column 2 in the function combo, column 0 never.
CellEditor EditorForColumn(int column);

enum class ClickAction {
    Commit,        // column 0 or no row: close any open editor
    Refocus,       // the open editor's own cell: keep typing there
    CommitAndOpen, // another editable cell: close the open editor, then open one here
};

// row -1 means the click hit no row; openRow -1 means no editor is open.
ClickAction PlanClick(int row, int column, int openRow, int openColumn);

// ---- communication log ---------------------------------------------------------------------

inline constexpr int kLogLineLimit = 200;

// Tx and Rx lines are dropped while the log is paused; notices are always shown.
bool ShowLine(LogKind kind, bool paused);

enum class LogHousekeeping { None, ReplaceWithNotice, Empty };

// Before a line from the session is written: above the limit a serial log is replaced by the
// overflow notice and a TCP log is emptied.
LogHousekeeping HousekeepingFor(int lineCount, LinkKind link);

} // namespace vantor
