#pragma once
// Starts the desktop program: the splash, then the main window; with --demo the window comes
// up connected to the built-in simulated device and polling it.
#include <memory>

#include "app/ConsoleOptions.h"

namespace vantor {

class CMainFrame;
class SimulatedDevice;

class GuiLauncher {
public:
    explicit GuiLauncher(const ConsoleOptions& options);
    ~GuiLauncher();

    // Builds the window; false (with the reason on standard error) when the demo device
    // cannot start.
    bool Start(bool splash);
    CMainFrame* frame() const { return m_frame.get(); }

private:
    bool startDemo();

    ConsoleOptions m_options;
    std::unique_ptr<SimulatedDevice> m_device;
    std::unique_ptr<CMainFrame> m_frame;
};

// Fills the communication panel with the options' packets and formats, configures, and opens
// the link through the panel's own controls, as a user would.
void ApplyOptionsToWindow(CMainFrame& frame, const ConsoleOptions& options);

} // namespace vantor
