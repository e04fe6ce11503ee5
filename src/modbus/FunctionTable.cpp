// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/FunctionTable.h"

#include "modbus/RxAssembly.h"

namespace vantor {

std::size_t ReplyDataSize(const FunctionInfo& function, std::size_t count) {
    const auto bits = static_cast<std::size_t>(function.replyBitsPerItem);
    return (count * bits + 7) / 8;
}

int SerialCountLimit(const FunctionInfo& function) {
    switch (function.serial) {
    case SerialUse::Polled:
        // The largest count whose data bytes still fit beside the reply's own five bytes.
        return static_cast<int>((RxAssembly::kCapacity - kReplyOverhead) * 8 /
                                static_cast<std::size_t>(function.replyBitsPerItem));
    case SerialUse::PolledFixed:
        return 0xFFFF;
    case SerialUse::None:
    case SerialUse::Written:
        break;
    }
    return 0;
}

} // namespace vantor
