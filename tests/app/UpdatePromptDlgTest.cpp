// SPDX-License-Identifier: GPL-3.0-or-later
// The update prompt as the user meets it, and the About box's release note.
#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include "app/AboutDlg.h"
#include "app/UpdatePromptDlg.h"
#include "project/AppSettings.h"
#include "support/QtPrinters.h"
#include "update/UpdateCheck.h"

using namespace vantor;

namespace {

// On the box itself: a check box takes clicks on its box and text only.
void ClickBox(QCheckBox* box) {
    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
}

QPushButton* Button(QDialog& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

TEST(UpdatePrompt, EveryClickOnTheCheckBoxIsStoredWhicheverButtonFollows) {
    QTemporaryDir dir;
    AppSettings settings(dir.filePath("Config.ini"));
    UpdateCheck check(&settings, dir.filePath("version.ini"));
    const auto tips = [&] {
        return ProfileFile::Read(settings.path()).profile->value("Tips", "Tips");
    };
    for (const char* button : {"取消", "升级"}) {
        CUpdatePromptDlg prompt(&check);
        EXPECT_EQ(prompt.windowTitle(), "是否升级（Y/N）");
        ASSERT_NE(prompt.findChild<QLabel*>(), nullptr);
        EXPECT_EQ(prompt.findChild<QLabel*>()->text(), "检测到网络上有更新的软件版本，是否升级？");
        EXPECT_FALSE(prompt.dontAskAgain()->isChecked());
        prompt.show();
        ClickBox(prompt.dontAskAgain());
        EXPECT_EQ(tips(), "No");
        ClickBox(prompt.dontAskAgain());
        EXPECT_EQ(tips(), "Yes");
        EXPECT_TRUE(check.promptEnabled());
        ClickBox(prompt.dontAskAgain());
        ASSERT_NE(Button(prompt, button), nullptr);
        QTest::mouseClick(Button(prompt, button), Qt::LeftButton);
        EXPECT_EQ(prompt.result(),
                  QString(button) == "升级" ? QDialog::Accepted : QDialog::Rejected);
        EXPECT_EQ(tips(), "No");
        EXPECT_FALSE(check.promptEnabled());
    }
}

TEST(AboutBox, ShowsTheReleaseNoteAsPlainText) {
    CAboutDlg about(QStringLiteral("<b>修正</b> &amp;"));
    auto* note = about.findChild<QPlainTextEdit*>("releaseNote");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->toPlainText(), "<b>修正</b> &amp;");
}

} // namespace
