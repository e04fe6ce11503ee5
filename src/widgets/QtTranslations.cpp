// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/QtTranslations.h"

#include <QLibraryInfo>
#include <QTextStream>

namespace vantor {

std::unique_ptr<QTranslator> LoadQtChinese() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto translator = std::make_unique<QTranslator>();
    if (translator->load(QStringLiteral("qtbase_zh_CN"), folder))
        return translator;
    QTextStream(stderr) << "vantor: qtbase_zh_CN.qm not found in " << folder
                        << "; Qt's dialogs stay in English (install qt6-translations-l10n)\n";
    return nullptr;
}

} // namespace vantor
