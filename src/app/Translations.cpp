// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>

#include "modbus/Texts.h"
#include "project/AppSettings.h"
#include "widgets/QtTranslations.h"

namespace vantor {

namespace {

const QString kCatalogues = QStringLiteral(":/i18n");

std::string TranslateCore(const char* context, const char* source) {
    return QCoreApplication::translate(context, source).toStdString();
}

} // namespace

Translations::Translations(UiLanguage language) {
    if (language == UiLanguage::Chinese) {
        if (auto qt = LoadQtChinese())
            m_installed.push_back(std::move(qt));
    } else {
        const QDir folder(kCatalogues);
        for (const QString& name : folder.entryList({QStringLiteral("*_en.qm")}, QDir::Files)) {
            auto catalogue = std::make_unique<QTranslator>();
            if (catalogue->load(folder.filePath(name)))
                m_installed.push_back(std::move(catalogue));
            else
                qWarning("vantor: the catalogue %s cannot be loaded", qUtf8Printable(name));
        }
        SetCoreTranslator(&TranslateCore);
    }
    for (const auto& catalogue : m_installed)
        QCoreApplication::installTranslator(catalogue.get());
}

Translations::~Translations() {
    SetCoreTranslator(nullptr);
    for (const auto& catalogue : m_installed)
        QCoreApplication::removeTranslator(catalogue.get());
}

UiLanguage Translations::Chosen() {
    const AppSettings settings;
    return ChosenLanguage(settings.profile(), QLocale::system().uiLanguages());
}

} // namespace vantor
