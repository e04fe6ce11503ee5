#include "app/DemoPackets.h"

#include "packets/ValueFormat.h"

namespace vantor {

void ApplyDemoPackets(ConsoleOptions& options) {
    options.rows = PacketRows{};
    options.rows[0] = {"1", "03", "0", "10", true};
    options.rows[1] = {"1", "02", "0", "8", true};
    options.rows[2] = {"1", "04", "0", "4", true};
    options.packetCount = 3;
    options.formats = {
        {0, 1, static_cast<int>(ValueFormat::FloatABCD)},  // sine
        {0, 3, static_cast<int>(ValueFormat::Unsigned16)}, // sawtooth
        {0, 4, static_cast<int>(ValueFormat::Unsigned16)}, // status bits
        {0, 5, static_cast<int>(ValueFormat::LongABCD)},   // long counter
        {0, 9, static_cast<int>(ValueFormat::Unsigned16)}, // 0xBEEF
        {2, 3, static_cast<int>(ValueFormat::Unsigned16)},
    };
}

} // namespace vantor
