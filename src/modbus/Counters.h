// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vantor {

// The six counters of the communication panel. Address corrections, command corrections
// and valid time are shown and cleared but never counted.
struct Counters {
    int addressCorrections = 0;
    int commandCorrections = 0;
    int crcErrors = 0;
    int dataErrors = 0;
    int validTime = 0;
    int receivedPackets = 0;

    bool operator==(const Counters&) const = default;
};

} // namespace vantor
