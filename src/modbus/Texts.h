// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Translatable texts of the protocol core, which links no Qt: CoreText returns a text in the
// user's language through a translator the application installs once at start (without one, the
// Chinese source text). The translation tools find the texts as calls of `CoreText(context,
// text)`, so the context and the text must stand there as literals.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace vantor {

using CoreTranslator = std::string (*)(const char* context, const char* source);

// Installed before any thread that logs starts; null restores the source texts.
void SetCoreTranslator(CoreTranslator translator);
std::string CoreText(const char* context, const char* source);

// The pattern with %1 .. %9 replaced by the arguments in order (a "%" before anything else
// stays as it is), so that a translation may put them in another order.
std::string FormatText(std::string_view pattern, std::initializer_list<std::string_view> args);

// Counts the translators set: a text looked up under an older count is stale.
std::uint64_t CoreTranslatorGeneration();

// A looked-up text (or a table of them) kept until another translator is set, for texts built
// per reply on the link thread, where a translator's lookup per line would cost a hash lookup
// and a conversion. Kept thread_local at the place of use, so that no lock is needed:
//     thread_local CoreTextCache<std::string> pattern;
//     FormatText(pattern.get([] { return CoreText("vantor::Context", "… %1"); }), {…});
// A plain static would keep whatever the first call saw, even when that call came before the
// translator was installed (or a test set another one).
template <typename Texts> class CoreTextCache {
public:
    const Texts& get(Texts (*lookUp)()) {
        const std::uint64_t generation = CoreTranslatorGeneration();
        if (generation != m_generation) {
            m_texts = lookUp();
            m_generation = generation;
        }
        return m_texts;
    }

private:
    std::uint64_t m_generation = 0; // never looked up
    Texts m_texts{};
};

} // namespace vantor
