#pragma once
#include "app/ConsoleOptions.h"

namespace vantor {

// The packet set and cell formats that show off the simulated device: holding registers with a
// counter, a sine wave as a float, a sawtooth, status bits and a long counter; the discrete
// inputs; and a few input registers.
void ApplyDemoPackets(ConsoleOptions& options);

} // namespace vantor
