// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/PointLabel.h"

namespace vantor {

std::string PointLabel(int function, int start, int addressBase, int cell) {
    // Summed wide so that no typed start address can overflow.
    const long long address = static_cast<long long>(start) + addressBase + cell;
    std::string digits = std::to_string(address);
    if (digits.size() < 5)
        digits.insert(0, 5 - digits.size(), '0');
    const char* prefix = function == 3 ? "4x" : function == 1 ? "0x" : "3x";
    return prefix + digits;
}

} // namespace vantor
