// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's size and layout: the working size of a first start, the size, place, state
// and bar sizes remembered in Config.ini from the last close, and the bars giving up room to the
// communication panel in a small window.
#include <QApplication>
#include <QDockWidget>
#include <QResizeEvent>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>

#include "app/MainFrame.h"
#include "app/ProjectController.h"
#include "app/ZelvoView.h"
#include "modbus/ResizeQuiet.h"
#include "packets/CommLog.h"
#include "packets/CommPanelDlg.h"
#include "packets/DataGridPanel.h"
#include "packets/GridModel.h"
#include "packets/MSHFlexGrid.h"
#include "project/AppSettings.h"

namespace vantor {

namespace {

constexpr int kExtraMinimumWidth = 120;
// Working sizes of the two bars; the user may drag them smaller or larger. In a small window
// they give up room to the communication panel, down to the floors.
constexpr QSize kFunctionBarSize(300, 260);
constexpr QSize kDataBarSize(500, 275);
constexpr int kFunctionBarFloor = 120;
constexpr int kTabsMargin = 12; // the bar's frame around its tabs
constexpr int kDataBarFloor = 120;
constexpr int kLogLinesFirst = 8; // grid rows and log lines a growing window shows first
constexpr int kLayoutVersion = 1; // of saveState(): a state of another layout is not restored
const QString kWindowSection = QStringLiteral("Window");

} // namespace

WindowMemory ReadWindowMemory(const ProfileFile& settings) {
    const auto bytes = [&settings](const char* key) {
        return QByteArray::fromBase64(
            settings.fullValue(kWindowSection, QLatin1String(key)).toLatin1());
    };
    return {bytes("Geometry"), bytes("State")};
}

void WriteWindowMemory(ProfileFile& settings, const WindowMemory& memory) {
    settings.setValue(kWindowSection, QStringLiteral("Geometry"),
                      QString::fromLatin1(memory.geometry.toBase64()));
    settings.setValue(kWindowSection, QStringLiteral("State"),
                      QString::fromLatin1(memory.state.toBase64()));
}

// The frame may not be dragged narrower than the function bar plus 120 pixels (and the view
// keeps its own minimum inside that).
void CMainFrame::updateMinimumWidth() {
    const bool docked = m_functionBar->isVisible() && !m_functionBar->isFloating();
    setMinimumWidth((docked ? m_functionBar->width() : 0) + kExtraMinimumWidth);
}

void CMainFrame::ShowAtWorkingSize() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        ShowAtWorkingSize(screen->geometry(), screen->availableGeometry());
    else
        show();
}

void CMainFrame::ShowAtWorkingSize(const QRect& screen, const QRect& area) {
    const QSize size =
        WorkingSize(screen, area).expandedTo(minimumSizeHint()).boundedTo(area.size());
    resize(size);
    // Centred, but never with the title bar or the menus above the screen's edge.
    const QPoint centred = area.center() - rect().center();
    move(std::max(centred.x(), area.left()), std::max(centred.y(), area.top()));
    show();
    applyWorkingDockSizes();
    updateMinimumWidth();
}

void CMainFrame::applyWorkingDockSizes() {
    m_dockSizesFromWorkingSize = true;
    // Wide enough for the four tab captions, where the window has room.
    const int tabs = m_functionTabs->tabBar()->sizeHint().width();
    resizeDocks({m_functionBar}, {std::max(kFunctionBarSize.width(), tabs + kTabsMargin)},
                Qt::Horizontal);
    // The data bar is at least tall enough for a whole grid page where the window has room.
    resizeDocks({m_dataBar}, {std::max(kDataBarSize.height(), m_dataBar->sizeHint().height())},
                Qt::Vertical);
    // The bars have their new sizes once the window's layout has run.
    m_fitPasses = kFitPasses;
    QTimer::singleShot(0, this, &CMainFrame::fitDocksToPanel);
}

// Where the view is too small for the whole communication panel, the bars give up the room
// it lacks, down to their floors; what is still missing is scrolled. A bar may take less than
// it was given (its own minimum, the splitters), so the view is measured again after each pass.
void CMainFrame::fitDocksToPanel() {
    const QSize missing = m_view->missingPanelRoom();
    if (missing.isNull() || --m_fitPasses < 0)
        return;
    const auto docked = [this](QDockWidget* bar, Qt::Orientation orientation) {
        const Qt::DockWidgetArea area = dockWidgetArea(bar);
        const bool across = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        return bar->isVisible() && !bar->isFloating() && across == (orientation == Qt::Horizontal);
    };
    if (missing.width() > 0 && docked(m_functionBar, Qt::Horizontal))
        resizeDocks({m_functionBar},
                    {std::max(kFunctionBarFloor, m_functionBar->width() - missing.width())},
                    Qt::Horizontal);
    if (missing.height() > 0 && docked(m_dataBar, Qt::Vertical))
        resizeDocks({m_dataBar}, {std::max(kDataBarFloor, m_dataBar->height() - missing.height())},
                    Qt::Vertical);
    updateMinimumWidth();
    QTimer::singleShot(0, this, &CMainFrame::fitDocksToPanel);
}

// The size, place, state and bar sizes of the last close; the working size on a first start (or
// when the remembered geometry is unusable).
void CMainFrame::ShowRemembered() {
    const WindowMemory memory = ReadWindowMemory(m_projects->settings()->profile());
    if (memory.geometry.isEmpty() || !restoreGeometry(memory.geometry)) {
        ShowAtWorkingSize();
        return;
    }
    const bool barsRestored = restoreState(memory.state, kLayoutVersion);
    show();
    if (!barsRestored)
        applyWorkingDockSizes();
    updateMinimumWidth();
}

void CMainFrame::rememberWindow() {
    const WindowMemory memory{saveGeometry(), saveState(kLayoutVersion)};
    if (const auto error = m_projects->settings()->update(
            [&memory](ProfileFile& settings) { WriteWindowMemory(settings, memory); }))
        qWarning("%s", qUtf8Printable(*error));
}

void CMainFrame::resizeEvent(QResizeEvent* event) {
    ResizeQuietFlag() = true;
    QMainWindow::resizeEvent(event);
    if (m_dockSizesPending) {
        m_dockSizesPending = false;
        applyWorkingDockSizes();
    } else if (isVisible() && event->oldSize().isValid()) {
        growDataBar(event->size().height() - event->oldSize().height());
    }
}

// Maximised or restored: the bars take their working sizes for the new window size again
// (otherwise they keep what a smaller window left them).
void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isVisible()) {
        m_dockSizesPending = true;
        applyWorkingDockSizes();
    }
}

// Height the window gains goes to the data bar until it shows a whole grid page; the rest goes
// to the view, where the log and the packet list take it.
void CMainFrame::growDataBar(int room) {
    const Qt::DockWidgetArea area = dockWidgetArea(m_dataBar);
    if (room <= 0 || !m_dataBar->isVisible() || m_dataBar->isFloating() ||
        (area != Qt::BottomDockWidgetArea && area != Qt::TopDockWidgetArea))
        return;
    // Up to 8 grid rows from the height gained, then what the log can give while it keeps 8
    // lines, up to the whole page.
    const int height = m_dataBar->height();
    const int whole = m_dataBar->sizeHint().height();
    const CCommPanelDlg* panel = m_view->hasCommPanel() ? m_view->commPanel() : nullptr;
    const CDataGridPanel* page = m_pages[0];
    int target = std::min(whole, height + room);
    if (panel && page) {
        const int eightRows = whole - (kGridRows - 1 - kLogLinesFirst) * page->grid()->rowHeight(1);
        target = std::min(eightRows, height + room);
        const CommLog* log = panel->commLog();
        const int logSpare =
            log->viewport()->height() - kLogLinesFirst * log->fontMetrics().lineSpacing();
        if (const int spare = logSpare - (target - height); spare > 0)
            target = std::min(whole, target + spare);
    }
    // Never so far that the communication panel would have to scroll.
    if (panel) { // every tab page has the room of the one shown
        const int viewSpare =
            m_view->tabs()->currentWidget()->height() - panel->minimumSizeHint().height();
        target = std::min(target, height + std::max(0, viewSpare));
    }
    if (target > height)
        resizeDocks({m_dataBar}, {target}, Qt::Vertical);
}

} // namespace vantor
