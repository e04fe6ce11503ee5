// SPDX-License-Identifier: GPL-3.0-or-later
// The axis range and interface settings dialogs store what is valid and refuse the rest with a
// message; the floating box's size and popup.
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <gtest/gtest.h>

#include "curves/AxisRangeDlg.h"
#include "curves/FloatBoxDlg.h"
#include "curves/SettingsInput.h"
#include "curves/UiSettingsDlg.h"
#include "registers/Workspace.h"
#include "support/QtPrinters.h"

using namespace vantor;

TEST(SettingsInput, Int16Texts) {
    const struct {
        const char* text;
        std::optional<std::int16_t> value;
    } cases[] = {{"32767", 32767},      {" -32768 ", -32768}, {"32768", std::nullopt},
                 {"1.5", std::nullopt}, {"", std::nullopt},   {"12a", std::nullopt}};
    for (const auto& c : cases)
        EXPECT_EQ(ParseInt16(c.text), c.value) << c.text;
}

TEST(AxisRangeDlg, StoresAValidPairAndRefusesTheRest) {
    Workspace workspace;
    CAxisRangeDlg dialog(&workspace, TrendAxis::C);
    EXPECT_EQ(dialog.windowTitle(), "C轴范围调节");
    auto* max = dialog.findChild<QLineEdit*>("maxEdit");
    auto* min = dialog.findChild<QLineEdit*>("minEdit");
    ASSERT_TRUE(max && min);
    EXPECT_EQ(max->text(), "110");
    const TrendSettings before = workspace.trendSettings();

    max->setText("70000"); // would wrap to 4464 if truncated
    dialog.accept();
    EXPECT_NE(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(dialog.findChild<QLabel*>("errorLabel")->text().contains("最大值"));
    EXPECT_EQ(workspace.trendSettings(), before);

    max->setText("120");
    min->setText("-5");
    dialog.reject();
    EXPECT_EQ(workspace.trendSettings(), before);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(workspace.trendSettings().range(TrendAxis::C), (AxisRange{-5, 120}));
}

TEST(UiSettingsDlg, StoresAllFiveAndRefusesBadTextsAndAZeroInterval) {
    Workspace workspace;
    CUiSettingsDlg dialog(&workspace);
    EXPECT_EQ(dialog.edit(UiField::LegendSpacing)->text(), "-5");
    EXPECT_EQ(dialog.edit(UiField::SampleMs)->text(), "1000");
    const TrendSettings before = workspace.trendSettings();
    const struct {
        UiField field;
        const char* text;
        const char* message;
    } refused[] = {{UiField::LegendFont, "abc", "勾选框字体"},
                   {UiField::SampleMs, "0", "曲线采样间隔"}};
    for (const auto& c : refused) {
        dialog.edit(c.field)->setText(c.text);
        dialog.accept();
        EXPECT_NE(dialog.result(), QDialog::Accepted) << c.text;
        EXPECT_TRUE(dialog.findChild<QLabel*>("errorLabel")->text().contains(c.message));
        EXPECT_EQ(workspace.trendSettings(), before);
        dialog.edit(c.field)->setText("7");
    }
    dialog.edit(UiField::FloatBoxFont)->setText("12");
    dialog.edit(UiField::LineWidth)->setText("2");
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    const TrendSettings& s = workspace.trendSettings();
    EXPECT_EQ(s.floatBoxFont, 12);
    EXPECT_EQ(s.legendFont, 7);
    EXPECT_EQ(s.legendSpacing, -5);
    EXPECT_EQ(s.lineWidth, 2);
    EXPECT_EQ(s.sampleMs, 7);
    EXPECT_EQ(s.ranges, before.ranges);
}

TEST(FloatBox, SizeTransparencyAndPopup) {
    // A header and three curves in one column; 99 curves in as many columns as fit the height.
    EXPECT_EQ(LayOutFloatBox(4, 15, 200, 600), (FloatBoxLayout{1, 3, QSize(200, 68)}));
    EXPECT_EQ(LayOutFloatBox(100, 15, 200, 600), (FloatBoxLayout{3, 33, QSize(600, 518)}));
    EXPECT_EQ(LayOutFloatBox(1, 15, 200, 10), (FloatBoxLayout{1, 0, QSize(200, 23)}));
    {
        // 99 curves over a 600-pixel chart: every line has a place, the box stays within it.
        CFloatBoxDlg many;
        QStringList lines{QStringLiteral("[Date＆Time] 2026/12/28 23:58:58")};
        for (int i = 1; i <= 99; ++i)
            lines << QStringLiteral("曲线 %1: %2").arg(i).arg(i * 1.5);
        many.setReadout(lines.join(QStringLiteral("\r\n")));
        many.resizeFloatBox(100, QRect(0, 0, 1000, 600));
        EXPECT_GE(many.layout().columns * many.layout().rows, 99);
        EXPECT_LE(many.height(), 600);
    }
    CFloatBoxDlg box;
    box.setTransparency(0);
    EXPECT_EQ(box.transparency(), 1);
    EXPECT_TRUE(box.isVisible()); // a change of transparency shows the box again
    auto menu = box.createPopupMenu();
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions()[0]->text(), "关闭悬浮框");
    menu->actions()[0]->trigger();
    EXPECT_FALSE(box.isVisible());
    box.setTransparency(300);
    EXPECT_EQ(box.transparency(), 255);
    EXPECT_TRUE(box.isVisible());
}
