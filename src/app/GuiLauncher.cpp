// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/GuiLauncher.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

#include "app/DemoPackets.h"
#include "app/MainFrame.h"
#include "app/ProjectController.h"
#include "app/StartupSplash.h"
#include "app/ZelvoView.h"
#include "packets/CommPanelDlg.h"
#include "registers/Workspace.h"
#include "trend/TrendPanelDlg.h"

namespace vantor {

GuiLauncher::GuiLauncher(const ConsoleOptions& options) : m_options(options) {}

GuiLauncher::~GuiLauncher() = default;

bool GuiLauncher::Start(bool splash) {
    if (m_options.demo && !startDemo())
        return false;
    m_frame = std::make_unique<CMainFrame>(&m_app);
    if (m_options.demo || m_options.packetCount > 0)
        ApplyOptionsToWindow(m_app, *m_frame, m_options);
    if (m_demoCurves)
        AddDemoCurves(*m_app.workspace());
    m_app.projects()->takeBaseline(); // what the command line set up is no change of the user's
    if (!m_options.project.isEmpty())
        // Once the window stands, so that a refusal shows over it. A curve file (a double click
        // on a .tee in a file manager) opens as history on the trend tab.
        QTimer::singleShot(0, m_frame.get(), [frame = m_frame.get(), path = m_options.project] {
            if (IsCurveFile(path)) {
                frame->view()->showPanel(CZelvoView::kTrendTab);
                frame->view()->trendPanel()->loadHistory(path);
            } else {
                frame->OpenProject(path);
            }
        });
    if (!splash) {
        m_frame->ShowRemembered();
        return true;
    }
    auto* screen = new CStartupSplash(m_frame.get());
    QObject::connect(screen, &CStartupSplash::finished, m_frame.get(),
                     [frame = m_frame.get()] { frame->ShowRemembered(); });
    screen->Start();
    return true;
}

bool GuiLauncher::startDemo() {
    m_device = std::make_unique<DemoDevice>();
    m_demoCurves = m_options.packetCount == 0; // the curves name cells of the demo packets
    if (m_device->Start(m_options))
        return true;
    QTextStream(stderr) << QCoreApplication::translate("vantor::DemoDevice", "无法启动模拟设备：%1")
                               .arg(m_device->errorString())
                        << '\n';
    return false;
}

bool IsCurveFile(const QString& path) {
    return path.endsWith(QLatin1String(".tee"), Qt::CaseInsensitive);
}

void ApplyOptionsToWindow(Application& app, CMainFrame& frame, const ConsoleOptions& options) {
    app.fillWorkspace(options);
    frame.view()->showPanel(CZelvoView::kCommTab);
    frame.view()->commPanel()->Configure();
    app.openLink();
}

} // namespace vantor
