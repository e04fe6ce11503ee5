// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The language of the user interface: chosen in the window's "语言 / Language" menu and kept in
// Config.ini (section "Language", key "Language": "zh_CN" or "en"); without a choice, the
// system's: Chinese for a Chinese locale, English for every other.
#include <QString>
#include <QStringList>
#include <optional>

#include "project/ProfileFile.h"

namespace vantor {

enum class UiLanguage { Chinese, English };

// The user's choice kept in the settings; nothing when the system decides.
std::optional<UiLanguage> StoredLanguage(const ProfileFile& settings);
void StoreLanguage(ProfileFile& settings, std::optional<UiLanguage> language);
// uiLanguages as QLocale::uiLanguages() lists them, the preferred first.
UiLanguage SystemLanguage(const QStringList& uiLanguages);
UiLanguage ChosenLanguage(const ProfileFile& settings, const QStringList& uiLanguages);

} // namespace vantor
