#pragma once
#include "app/ConsoleOptions.h"

namespace vantor {

// The packet set and cell formats that show off the simulated device: holding registers with a
// counter, a sine wave as a float, a sawtooth, status bits and a long counter; the discrete
// inputs; and a few input registers.
void ApplyDemoPackets(ConsoleOptions& options);

class SimulatedDevice;

// Starts the simulated device (RTU over a pseudo-terminal pair, or Modbus TCP on loopback where
// there are none) and points the options' link at it, with the demo packets unless packets
// were given. False when neither can start; the device's errorString() says why.
bool StartDemoDevice(SimulatedDevice& device, ConsoleOptions& options);

} // namespace vantor
