// SPDX-License-Identifier: GPL-3.0-or-later
#include "modbus/Texts.h"

#include <atomic>

namespace vantor {

namespace {
std::atomic<CoreTranslator> g_translator{nullptr};
std::atomic<std::uint64_t> g_generation{1}; // a cache starts at 0: its first use looks up
} // namespace

void SetCoreTranslator(CoreTranslator translator) {
    g_translator.store(translator);
    g_generation.fetch_add(1, std::memory_order_release);
}

std::uint64_t CoreTranslatorGeneration() {
    return g_generation.load(std::memory_order_acquire);
}

std::string CoreText(const char* context, const char* source) {
    if (const CoreTranslator translator = g_translator.load())
        return translator(context, source);
    return source;
}

std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string text;
    text.reserve(pattern.size() + 16);
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size() && pattern[i + 1] >= '1' && pattern[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(pattern[i + 1] - '1');
            if (n < args.size()) {
                text += *(args.begin() + n);
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

} // namespace vantor
