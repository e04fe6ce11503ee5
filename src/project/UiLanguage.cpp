// SPDX-License-Identifier: GPL-3.0-or-later
#include "project/UiLanguage.h"

namespace vantor {

namespace {
const QString kSection = QStringLiteral("Language");
const QString kKey = QStringLiteral("Language");
} // namespace

std::optional<UiLanguage> StoredLanguage(const ProfileFile& settings) {
    const QString value = settings.fullValue(kSection, kKey).trimmed();
    if (value.startsWith(QLatin1String("zh"), Qt::CaseInsensitive))
        return UiLanguage::Chinese;
    if (value.startsWith(QLatin1String("en"), Qt::CaseInsensitive))
        return UiLanguage::English;
    return std::nullopt;
}

void StoreLanguage(ProfileFile& settings, std::optional<UiLanguage> language) {
    if (!language) {
        settings.removeSection(kSection);
        return;
    }
    settings.setValue(kSection, kKey,
                      *language == UiLanguage::Chinese ? QStringLiteral("zh_CN")
                                                       : QStringLiteral("en"));
}

UiLanguage SystemLanguage(const QStringList& uiLanguages) {
    // "C" and "POSIX" (no locale set) count as English, as a terminal shows them.
    if (!uiLanguages.isEmpty() && uiLanguages.first().startsWith(QLatin1String("zh")))
        return UiLanguage::Chinese;
    return UiLanguage::English;
}

UiLanguage ChosenLanguage(const ProfileFile& settings, const QStringList& uiLanguages) {
    return StoredLanguage(settings).value_or(SystemLanguage(uiLanguages));
}

} // namespace vantor
