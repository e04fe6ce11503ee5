#include "modbus/ResizeQuiet.h"

namespace vantor {

std::atomic<bool>& ResizeQuietFlag() {
    static std::atomic<bool> flag{false};
    return flag;
}

} // namespace vantor
