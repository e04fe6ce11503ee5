// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/MainFrame.h"
#include "app/LanguageMenu.h"
#include "app/Version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/AboutDlg.h"
#include "app/Application.h"
#include "app/CommSettingsDlg.h"
#include "app/ProjectController.h"
#include "app/PublishControls.h"
#include "app/UpdatePromptDlg.h"
#include "app/UserNames.h"
#include "app/ZelvoView.h"
#include "curves/PointListDlg.h"
#include "modbus/ResizeQuiet.h"
#include "monitor/VckBaseDlg.h"
#include "packets/CommPanelDlg.h"
#include "packets/ConnectionControls.h"
#include "packets/DataGridPanel.h"
#include "registers/RegisterStore.h"
#include "registers/SerialSelection.h"
#include "registers/Workspace.h"
#include "trend/TrendPanelDlg.h"
#include "update/UpdateCheck.h"
#include "widgets/AfterFirstPaint.h"
#include "widgets/MessageBox.h"
#include "widgets/Resources.h"
#include "widgets/ThemedIcon.h"
#include "writes/CustomSendDlg.h"
#include "writes/WriteControls.h"
#include "writes/WriteService.h"

namespace vantor {

namespace {

// The tree's, tabs' and tool bar's icons follow the palette (their ink is "currentColor").
QIcon Icon(const char* name) {
    return ThemedIcon(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
}

} // namespace

std::optional<int> TabOfTreeItem(const QString& text) {
    if (text == CMainFrame::tr("通信状态"))
        return CZelvoView::kCommTab;
    if (text == CMainFrame::tr("趋势曲线"))
        return CZelvoView::kTrendTab;
    return std::nullopt;
}

QSize WorkingSize(const QRect& screen, const QRect& workArea) {
    return {static_cast<int>(0.65 * screen.width()),
            static_cast<int>(0.8 * (workArea.y() + workArea.height()))};
}

CMainFrame::CMainFrame(Application* app, QWidget* parent)
    : QMainWindow(parent), m_projects(app->projects()),
      m_view(new CZelvoView(app->workspace(), app->trend(), app->link(), this)) {
    InitResources();
    Workspace* workspace = app->workspace();
    LinkController* link = app->link();
    // The writes act on the packet of the grid page shown.
    m_writes = new WriteControls(
        new WriteService(workspace, link, this), [this] { return m_dataTabs->currentIndex() + 1; },
        this);
    m_publish = new PublishControls(workspace, link, this);
    setWindowTitle(QStringLiteral("Vantor %1").arg(QLatin1String(kVersion)));
    setWindowIcon(QIcon(QStringLiteral(":/icons/app.svg"))); // in its own colours, on any desktop
    setObjectName(QStringLiteral("mainFrame"));
    setCentralWidget(m_view);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowTabbedDocks);
    createFunctionBar();
    createDataBar();
    m_names = new UserNames(workspace, this);
    createMenus();
    createToolBar();
    createStatusBar();
    createKeys();
    updateMinimumWidth();

    m_clockTimer.setInterval(1000);
    connect(&m_clockTimer, &QTimer::timeout, this, &CMainFrame::UpdateClock);
    m_clockTimer.start();
    UpdateClock();
    connectUpdateCheck();
    connectProjects();
    // Records the running version in the settings and looks for a newer one, once the window
    // is on the screen: the settings file's write waits for the disk.
    AfterFirstPaint(this, [this] { m_projects->startUpdateCheck(); });
    m_projects->takeBaseline();
}

// The bars hide while the window's base class takes them down; by then this part of the window
// is gone, so they must no longer reach it.
CMainFrame::~CMainFrame() {
    m_functionBar->disconnect(this);
    m_dataBar->disconnect(this);
}

void CMainFrame::createMenus() {
    QMenu* file = menuBar()->addMenu(tr("文件(&F)"));
    file->addAction(tr("最近文件"))->setEnabled(false);
    file->addSeparator();
    file->addAction(tr("保存工程(&S)"), this, &CMainFrame::saveProjectThroughDialog)
        ->setShortcut(kSaveAsKey);
    QAction* open = file->addAction(tr("打开工程(&O)"), this, [this] {
        const QString path =
            QFileDialog::getOpenFileName(this, tr("打开工程"), QStringLiteral("*.ini"),
                                         QStringLiteral("Executable Files (*.ini)"));
        if (!path.isEmpty())
            OpenProject(path);
    });
    open->setShortcut(kOpenKey);
    file->addSeparator();
    m_recentMenu = file->addMenu(tr("最近打开工程"));
    m_recentMenu->setObjectName(QStringLiteral("recentMenu"));
    m_clearRecent =
        m_recentMenu->addAction(tr("清除最近文件"), m_projects, &ProjectController::clearRecent);
    m_clearRecent->setStatusTip(tr("清除最近文件列表"));
    rebuildRecentMenu();
    file->addSeparator();
    file->addAction(tr("退出(&X)"), this, &QWidget::close)->setShortcut(kQuitKey);

    QMenu* comm = menuBar()->addMenu(tr("通信(&E)"));
    m_commSettings = comm->addAction(tr("通信设置(&T)"), this, &CMainFrame::openCommSettings);
    connect(m_view->serialSelection(), &SerialSelection::portOpenChanged, m_commSettings,
            [this](bool open) { m_commSettings->setEnabled(!open); });
    m_publish->addTo(comm, statusBar());

    QMenu* view = menuBar()->addMenu(tr("查看(&V)"));
    QAction* statusBarAction = view->addAction(tr("状态栏(&S)"));
    statusBarAction->setCheckable(true);
    statusBarAction->setChecked(true);
    connect(statusBarAction, &QAction::toggled, this,
            [this](bool on) { statusBar()->setVisible(on); });

    AddLanguageMenu(menuBar(), m_projects->settings(), this);

    QMenu* help = menuBar()->addMenu(tr("帮助(&H)"));
    help->addAction(tr("关于 Vantor %1(&A)...").arg(QLatin1String(kVersion)), this,
                    [this] {
                        CAboutDlg about(m_releaseNote, this);
                        about.exec();
                    })
        ->setShortcut(kAboutKey);
    help->addAction(tr("版本更新...(&V)"), this, &CMainFrame::StartUpdater);
    m_promptAction = help->addAction(tr("提示更新信息"));
    m_promptAction->setCheckable(true);
    UpdateCheck* update = m_projects->updateCheck();
    m_promptAction->setChecked(update->promptEnabled());
    connect(m_promptAction, &QAction::triggered, update, &UpdateCheck::togglePrompt);
}

void CMainFrame::connectUpdateCheck() {
    UpdateCheck* update = m_projects->updateCheck();
    connect(update, &UpdateCheck::tipsChanged, m_promptAction, &QAction::setChecked);
    connect(update, &UpdateCheck::releaseNote, this,
            [this](const QString& note) { m_releaseNote = note; });
    connect(update, &UpdateCheck::statusMessage, statusBar(),
            [bar = statusBar()](const QString& text) { bar->showMessage(text); });
    connect(update, &UpdateCheck::promptWanted, this, [this, update] {
        // Modal to the window, without a nested event loop.
        auto* prompt = new CUpdatePromptDlg(update, this);
        prompt->setObjectName(QStringLiteral("updatePrompt"));
        prompt->setAttribute(Qt::WA_DeleteOnClose);
        connect(prompt, &QDialog::accepted, this, &CMainFrame::StartUpdater);
        prompt->open();
    });
}

void CMainFrame::StartUpdater() {
    statusBar()->showMessage(m_projects->startUpdater());
}

void CMainFrame::createToolBar() {
    QToolBar* bar = new QToolBar(tr("工具栏"), this);
    bar->setObjectName(QStringLiteral("toolBar"));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon); // narrow at the left edge
    QAction* control = m_functionBar->toggleViewAction();
    control->setText(tr(" 控制 "));
    control->setIcon(Icon("control"));
    QAction* edit = m_dataBar->toggleViewAction();
    edit->setText(tr(" 编辑 "));
    edit->setIcon(Icon("edit"));
    bar->addAction(control);
    bar->addAction(edit);
    addToolBar(Qt::LeftToolBarArea, bar);
}

void CMainFrame::createStatusBar() {
    QStatusBar* bar = statusBar();
    // "就绪" stays underneath; menu help and panel messages show over it for a while.
    auto* ready = new QLabel(tr("就绪"));
    ready->setObjectName(QStringLiteral("messagePane"));
    bar->addWidget(ready, 1);
    m_clock = new QLabel(tr("时钟"));
    m_clock->setObjectName(QStringLiteral("clockPane"));
    m_progress = new QProgressBar;
    m_progress->setObjectName(QStringLiteral("progressPane"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumWidth(160);
    bar->addPermanentWidget(m_clock);
    bar->addPermanentWidget(m_progress);
    // The keyboard's lock states cannot be read portably; the panes keep their place, greyed.
    for (const char* text : {QT_TR_NOOP("大写"), QT_TR_NOOP("数字"), QT_TR_NOOP("滚动")}) {
        auto* pane = new QLabel(tr(text));
        pane->setEnabled(false);
        bar->addPermanentWidget(pane);
    }
    // The view builds its communication panel after the window's first paint.
    connect(m_view, &CZelvoView::commPanelBuilt, this, [this, bar](CCommPanelDlg* panel) {
        connect(panel, &CCommPanelDlg::statusMessage, bar,
                [bar](const QString& text) { bar->showMessage(text); });
        m_writes->attachPanel(panel);
        m_names->attachPanel(panel);
        if (isVisible()) {
            m_fitPasses = kFitPasses;
            QTimer::singleShot(0, this, &CMainFrame::fitDocksToPanel);
        }
    });
    connect(m_view->trendPanel(), &CTrendPanelDlg::progressChanged, m_progress,
            &QProgressBar::setValue);
    connect(m_names, &UserNames::statusMessage, bar,
            [bar](const QString& text) { bar->showMessage(text); });
    connect(m_writes->service(), &WriteService::statusMessage, bar,
            [bar](const QString& text) { bar->showMessage(text); });
}

void CMainFrame::createFunctionBar() {
    m_functionBar = new QDockWidget(tr("我的控制条"), this);
    m_functionBar->setObjectName(QStringLiteral("functionBar"));
    m_functionTabs = new QTabWidget;
    m_functionTabs->setObjectName(QStringLiteral("functionTabs"));
    m_functionTabs->tabBar()->setElideMode(Qt::ElideNone); // whole captions; the bar scrolls
    m_tree = new QTreeWidget;
    m_tree->setObjectName(QStringLiteral("functionTree"));
    m_tree->header()->hide();
    auto* root = new QTreeWidgetItem(m_tree, {tr("功能界面")});
    root->setIcon(0, Icon("tree_root"));
    auto* comm = new QTreeWidgetItem(root, {tr("通信状态")});
    comm->setIcon(0, Icon("tree_comm"));
    auto* trend = new QTreeWidgetItem(root, {tr("趋势曲线")});
    trend->setIcon(0, Icon("tree_trend"));
    m_tree->expandAll();
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { onTreeSelection(item); });
    // The tree and the view's tabs always name the same page, whichever of them was used.
    connect(m_view, &CZelvoView::panelShown, this, &CMainFrame::selectTreeItemOf);
    selectTreeItemOf(m_view->tabs()->currentIndex());

    m_functionTabs->addTab(m_tree, Icon("tree_root"), tr("功能选择"));
    m_monitorHolder = new QScrollArea;
    m_monitorHolder->setObjectName(QStringLiteral("monitorScroll"));
    const int monitors = m_functionTabs->addTab(m_monitorHolder, Icon("monitor"), tr("监控对象"));
    m_pointListHolder = new QWidget;
    (new QVBoxLayout(m_pointListHolder))->setContentsMargins(0, 0, 0, 0);
    const int points = m_functionTabs->addTab(m_pointListHolder, Icon("points"), tr("曲线点位"));
    m_functionTabs->addTab(new CCustomSendDlg(m_writes->service()), Icon("tree_send"),
                           tr("发送命令"));
    m_functionTabs->setCurrentIndex(0);
    connect(m_functionTabs, &QTabWidget::currentChanged, this, [this, points, monitors](int index) {
        if (index == points)
            pointList();
        if (index == monitors)
            monitorPanel();
    });
    m_functionBar->setWidget(m_functionTabs);
    addDockWidget(Qt::LeftDockWidgetArea, m_functionBar);
    connect(m_functionBar, &QDockWidget::topLevelChanged, this, &CMainFrame::updateMinimumWidth);
    connect(m_functionBar, &QDockWidget::visibilityChanged, this, &CMainFrame::updateMinimumWidth);
}

void CMainFrame::createDataBar() {
    m_dataBar = new QDockWidget(tr("我的控制条2"), this);
    m_dataBar->setObjectName(QStringLiteral("dataBar"));
    m_dataTabs = new QTabWidget;
    m_dataTabs->setObjectName(QStringLiteral("dataTabs"));
    // Each tab starts as an empty holder; its grid page is built when the tab is first shown,
    // which keeps start-up short.
    for (int packet = 1; packet <= kPacketPages; ++packet) {
        auto* holder = new QWidget;
        (new QVBoxLayout(holder))->setContentsMargins(0, 0, 0, 0);
        m_dataTabs->addTab(holder, QStringLiteral("Db_%1").arg(packet, 2, 10, QLatin1Char('0')));
    }
    m_dataTabs->setCurrentIndex(0);
    // The first page comes right after the window's first paint (or when first asked for).
    AfterFirstPaint(m_dataTabs->widget(0), [this] { gridPage(1); });
    connect(m_dataTabs, &QTabWidget::currentChanged, this,
            [this](int index) { gridPage(index + 1); });
    m_dataBar->setWidget(m_dataTabs);
    addDockWidget(Qt::BottomDockWidgetArea, m_dataBar);
}

void CMainFrame::onTreeSelection(QTreeWidgetItem* item) {
    if (!item)
        return;
    if (const auto tab = TabOfTreeItem(item->text(0)))
        m_view->showPanel(*tab);
}

void CMainFrame::selectTreeItemOf(int tab) {
    QTreeWidgetItem* root = m_tree->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        if (TabOfTreeItem(root->child(i)->text(0)) == tab &&
            m_tree->currentItem() != root->child(i))
            m_tree->setCurrentItem(root->child(i));
}

void CMainFrame::openCommSettings() {
    const int mode = static_cast<int>(m_view->workspace()->linkKind());
    CCommSettingsDlg dialog(m_view->serialSelection(), mode, this, m_view->workspace());
    dialog.exec();
}

void CMainFrame::UpdateClock() {
    m_clock->setText(QDateTime::currentDateTime().toString(QStringLiteral("HH:mm:ss")));
}

// Closing the window ends the program; the settings were written when they changed, a changed
// set-up is saved or given up as the user answers.
void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!SettleChanges()) {
        event->ignore();
        return;
    }
    event->accept();
    rememberWindow();
    QApplication::quit();
}

} // namespace vantor
