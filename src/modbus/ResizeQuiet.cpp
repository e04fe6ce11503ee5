// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/ResizeQuiet.h"

namespace vantor {

std::atomic<bool>& ResizeQuietFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

} // namespace vantor
