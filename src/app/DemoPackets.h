// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

#include "app/ConsoleOptions.h"
#include "modbus/ObjectThread.h"

namespace vantor {

// The packet set and cell formats that show off the simulated device: holding registers with a
// counter, a sine wave as a float, a sawtooth, status bits and a long counter; the discrete
// inputs; and a few input registers.
void ApplyDemoPackets(ConsoleOptions& options);

class SimulatedDevice;
class Workspace;

// The demo's three curves on the point list: the counter, the sine and the sawtooth of the demo
// packets, named by their grid labels (configure first), scaled to fit a Y axis of -50..100.
void AddDemoCurves(Workspace& workspace);

// Starts the simulated device (RTU over a pseudo-terminal pair, or Modbus TCP on loopback where
// there are none) and points the options' link at it, with the demo packets unless packets
// were given. False when neither can start; the device's errorString() says why.
bool StartDemoDevice(SimulatedDevice& device, ConsoleOptions& options);

// The simulated device on a thread of its own ("device"), as a real peer is apart from the
// master: serving the master and moving its registers neither waits for the window nor loads
// the GUI thread.
class DemoDevice {
public:
    DemoDevice();
    ~DemoDevice();

    // StartDemoDevice on the device's thread; false with errorString() when it cannot start.
    bool Start(ConsoleOptions& options);
    QString errorString() const { return m_error; }

private:
    ObjectThread<SimulatedDevice> m_device;
    QString m_error;
};

} // namespace vantor
