// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "project/UiLanguage.h"

namespace vantor {
namespace {

TEST(UiLanguage, StoredChoiceWinsOverTheSystem) {
    struct Case {
        const char* stored; // nullptr: no key
        QStringList system;
        UiLanguage expected;
    };
    const Case cases[] = {
        {nullptr, {"zh-CN"}, UiLanguage::Chinese},
        {nullptr, {"zh-Hant-TW", "en"}, UiLanguage::Chinese},
        {nullptr, {"en-US", "zh-CN"}, UiLanguage::English}, // the preferred one counts
        {nullptr, {"C"}, UiLanguage::English},
        {nullptr, {}, UiLanguage::English},
        {"en", {"zh-CN"}, UiLanguage::English},
        {"zh_CN", {"de-DE"}, UiLanguage::Chinese},
        {"klingon", {"zh-CN"}, UiLanguage::Chinese}, // an unknown value: the system decides
    };
    for (const Case& c : cases) {
        ProfileFile settings;
        if (c.stored)
            settings.setValue("Language", "Language", c.stored);
        EXPECT_EQ(ChosenLanguage(settings, c.system), c.expected)
            << (c.stored ? c.stored : "-") << " " << c.system.join(',').toStdString();
    }
}

TEST(UiLanguage, ChoiceRoundTripsAndSystemRemovesIt) {
    ProfileFile settings;
    settings.setValue("Window", "State", "x");
    StoreLanguage(settings, UiLanguage::English);
    EXPECT_EQ(StoredLanguage(settings), UiLanguage::English);
    StoreLanguage(settings, UiLanguage::Chinese);
    EXPECT_EQ(StoredLanguage(settings), UiLanguage::Chinese);
    StoreLanguage(settings, std::nullopt);
    EXPECT_EQ(StoredLanguage(settings), std::nullopt);
    EXPECT_EQ(settings.fullValue("Window", "State"), "x");
}

} // namespace
} // namespace vantor
