// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window: menus, the tool bar, the status bar with its clock and progress bar, the
// function bar (left) and the data bar (bottom) around the main view.
#include <QKeySequence>
#include <QMainWindow>

#include <QTimer>
#include <array>
#include <optional>

class QDockWidget;
class QLabel;
class QMenu;
class QProgressBar;
class QScrollArea;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace vantor {

class Application;
class ProfileFile;
class CDataGridPanel;
class CPointListDlg;
class CVCKBASEDlg;
class UserNames;
class CZelvoView;
class ProjectController;
class PublishControls;
class WriteControls;

// The keys of the menu commands that have one.
inline const QKeySequence kOpenKey{Qt::CTRL | Qt::Key_O};
inline const QKeySequence kSaveAsKey{Qt::CTRL | Qt::SHIFT | Qt::Key_S};
inline const QKeySequence kQuitKey{Qt::CTRL | Qt::Key_Q};
inline const QKeySequence kAboutKey{Qt::Key_F1};

// The view tab a function tree item stands for; the root item stands for none.
std::optional<int> TabOfTreeItem(const QString& text);
// The window's size, place, state and bar sizes as Config.ini keeps them between runs (section
// "Window", base64 of QMainWindow's saveGeometry and saveState).
struct WindowMemory {
    QByteArray geometry;
    QByteArray state;
};
WindowMemory ReadWindowMemory(const ProfileFile& settings);
void WriteWindowMemory(ProfileFile& settings, const WindowMemory& memory);

// 0.65 of the screen's width by 0.8 of the bottom of its work area.
QSize WorkingSize(const QRect& screen, const QRect& workArea);

class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kPacketPages = 30;

    // Shows and drives the application's workspace, link and projects, which outlive it.
    explicit CMainFrame(Application* app, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CZelvoView* view() const { return m_view; }
    QDockWidget* functionBar() const { return m_functionBar; }
    QDockWidget* dataBar() const { return m_dataBar; }
    QTreeWidget* functionTree() const { return m_tree; }
    QTabWidget* dataPages() const { return m_dataTabs; }
    CDataGridPanel* gridPage(int packet); // 1..30, built on first use
    CPointListDlg* pointList();           // the page "曲线点位", built on first use
    CVCKBASEDlg* monitorPanel();          // the page "监控对象", built on first use
    QString releaseNote() const { return m_releaseNote; }
    WriteControls* writeControls() const { return m_writes; }
    PublishControls* publishControls() const { return m_publish; }
    // "版本更新...(&V)" and "升级": starts the updater; the status line says how it went.
    void StartUpdater();

    // Shows the window at its working size on the primary screen (or on the given one) with
    // the bars at their working sizes.
    void ShowAtWorkingSize();
    void ShowAtWorkingSize(const QRect& screen, const QRect& workArea);
    // As the window was at its last close (size, place, state, bars), or at the working size.
    void ShowRemembered();
    void UpdateClock();

    // Projects: "保存工程(&S)" and "打开工程(&O)" through their dialogs, or with a given path.
    // True when it was done; a refusal is shown with its reason and changes nothing.
    // Opening asks first whether to save a changed set-up, stops polling, and leaves the log
    // scrolling.
    bool SaveProject(const QString& path);
    bool OpenProject(const QString& path);
    // A changed set-up: asks "是否保存对当前工程的修改？"; "是" saves it (to its project, or
    // through the save dialog). False when the user cancelled or the save failed.
    bool SettleChanges();
    QMenu* recentMenu() const { return m_recentMenu; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    bool saveProjectThroughDialog();
    void connectProjects();
    void rebuildRecentMenu();
    void createMenus();
    void connectUpdateCheck();
    void createToolBar();
    void createStatusBar();
    void createKeys();
    void saveProject(); // Ctrl+S: to the project it came from, or through the dialog
    void createFunctionBar();
    void createDataBar();
    void onTreeSelection(QTreeWidgetItem* item);
    void selectTreeItemOf(int tab);
    void openCommSettings();
    void updateMinimumWidth();
    void applyWorkingDockSizes();
    void fitDocksToPanel();
    void rememberWindow(); // into Config.ini, at close
    void growDataBar(int room);

    static constexpr int kFitPasses = 4;

    ProjectController* m_projects;
    CZelvoView* m_view;
    WriteControls* m_writes;
    PublishControls* m_publish;
    QDockWidget* m_functionBar = nullptr;
    QDockWidget* m_dataBar = nullptr;
    QTabWidget* m_functionTabs = nullptr;
    QTabWidget* m_dataTabs = nullptr;
    QTreeWidget* m_tree = nullptr;
    std::array<CDataGridPanel*, kPacketPages> m_pages{};
    QWidget* m_pointListHolder = nullptr;
    QScrollArea* m_monitorHolder = nullptr;
    UserNames* m_names = nullptr;
    QMenu* m_recentMenu = nullptr;
    QAction* m_clearRecent = nullptr;
    CVCKBASEDlg* m_monitorPanel = nullptr;
    CPointListDlg* m_pointList = nullptr;
    QLabel* m_clock = nullptr;
    QProgressBar* m_progress = nullptr;
    QAction* m_commSettings = nullptr;
    QAction* m_promptAction = nullptr;
    QTimer m_clockTimer;
    QString m_releaseNote;
    int m_fitPasses = 0;             // measurements of the view left to fit the bars
    bool m_dockSizesFromWorkingSize = false; // not restored: the first grid page may grow them
    bool m_dockSizesPending = false; // the window state changed; its new size is still to come
};

} // namespace vantor
