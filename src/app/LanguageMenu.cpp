// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/LanguageMenu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>
#include <optional>

#include "project/AppSettings.h"
#include "project/UiLanguage.h"
#include "widgets/MessageBox.h"

namespace vantor {

void AddLanguageMenu(QMenuBar* bar, AppSettings* settings, QWidget* parent) {
    // In both languages, so that it is found whichever one the window shows.
    QMenu* menu = bar->addMenu(QStringLiteral("语言 / Language")); // not translated
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const std::optional<UiLanguage> stored = StoredLanguage(settings->profile());
    const auto add = [&](const QString& caption, std::optional<UiLanguage> language) {
        QAction* action = menu->addAction(caption);
        action->setCheckable(true);
        action->setChecked(stored == language);
        group->addAction(action);
        QObject::connect(action, &QAction::triggered, parent, [settings, parent, language] {
            if (const auto error = settings->update(
                    [language](ProfileFile& profile) { StoreLanguage(profile, language); })) {
                ShowMessage(parent, *error);
                return;
            }
            ShowMessage(parent,
                        QStringLiteral("界面语言在程序下次启动时更换。\n" // not translated
                                       "The language changes when the program starts again."),
                        MessageKind::Information);
        });
    };
    add(QCoreApplication::translate("vantor::LanguageMenu", "跟随系统"), std::nullopt);
    add(QStringLiteral("中文"), UiLanguage::Chinese); // not translated
    add(QStringLiteral("English"), UiLanguage::English);
}

} // namespace vantor
