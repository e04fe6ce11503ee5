// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's texts in the chosen language: the English catalogues built into the program,
// Qt's own texts (standard buttons, file and colour dialogs) in the same language, and the
// protocol core's texts through the same catalogues.
#include <QTranslator>
#include <memory>
#include <vector>

#include "project/UiLanguage.h"

namespace vantor {

class Translations {
public:
    // Installs the catalogues of `language` into the running application; they stay installed
    // while this object lives. Chinese needs none of ours: it is the source language.
    explicit Translations(UiLanguage language);
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // The language from Config.ini, else from the system.
    static UiLanguage Chosen();

private:
    std::vector<std::unique_ptr<QTranslator>> m_installed;
};

} // namespace vantor
