#pragma once
// Translatable texts of the protocol core, which links no Qt: CoreText returns a text in the
// user's language through a translator the application installs once at start (without one, the
// Chinese source text). The translation tools find the texts as calls of `CoreText(context,
// text)`, so the context and the text must stand there as literals.
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

} // namespace vantor
