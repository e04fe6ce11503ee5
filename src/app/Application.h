// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own state, apart from any window: the workspace with the whole set-up, the
// trend's samples beside it, the link controller and the project controller. The desktop program
// and the console each make one; windows and the console runner are views and drivers of it.
// Accepted replies go into the workspace's register store here, before anyone else hears of them.
#include <QObject>
#include <memory>

#include "modbus/LinkController.h"
#include "registers/Workspace.h"
#include "trend/TrendData.h"

namespace vantor {

struct ConsoleOptions;
class ProjectController;

class Application : public QObject {
    Q_OBJECT
public:
    explicit Application(
        LinkController::Placement placement = LinkController::Placement::LinkThread,
        QObject* parent = nullptr);
    ~Application() override;

    Workspace* workspace() { return &m_workspace; }
    TrendData* trend() { return &m_trend; } // what the trend panel samples into and shows
    LinkController* link() { return &m_link; }
    // Built on first use: the console never reads or writes the settings file.
    ProjectController* projects();

    // The packets, formats, address base, interval and link of the command line (or the demo)
    // go into the workspace; nothing is configured or opened here.
    void fillWorkspace(const ConsoleOptions& options);
    // Configures from the workspace and hands the images to the link; the rows refused.
    ConfigureResult configure();
    // Opens the workspace's link: its serial port, or a connection to its TCP server after which
    // polling starts once.
    void openLink();

private:
    Workspace m_workspace;
    TrendData m_trend;
    LinkController m_link;
    std::unique_ptr<ProjectController> m_projects; // holds the two above, so it goes first
};

} // namespace vantor
