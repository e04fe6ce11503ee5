// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Starts the desktop program: the splash, then the main window; with --demo the window comes
// up connected to the built-in simulated device and polling it.
#include <memory>

#include "app/Application.h"
#include "app/ConsoleOptions.h"

namespace vantor {

class CMainFrame;
class DemoDevice;

class GuiLauncher {
public:
    explicit GuiLauncher(const ConsoleOptions& options);
    ~GuiLauncher();

    // Builds the window; false (with the reason on standard error) when the demo device
    // cannot start.
    bool Start(bool splash);
    CMainFrame* frame() const { return m_frame.get(); }
    Application* application() { return &m_app; }

private:
    bool startDemo();

    ConsoleOptions m_options;
    std::unique_ptr<DemoDevice> m_device;
    bool m_demoCurves = false;
    Application m_app; // made before the window and destroyed after it
    std::unique_ptr<CMainFrame> m_frame;
};

// A file named on the command line is a curve file (opened as history) by its suffix ".tee",
// otherwise a project.
bool IsCurveFile(const QString& path);

// Fills the workspace with the options' packets and formats, configures through the
// communication panel (its log shows the configure line) and opens the options' link; the window
// shows the link as it opens.
void ApplyOptionsToWindow(Application& app, CMainFrame& frame, const ConsoleOptions& options);

} // namespace vantor
