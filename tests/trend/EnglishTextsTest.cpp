// SPDX-License-Identifier: GPL-3.0-or-later
// With the English catalogues installed the texts come out in English: a class's tr() and a
// file's translate() find the context they were extracted under, and a message put together
// from parts reads as one sentence.
#include <QCoreApplication>
#include <QToolButton>
#include <QTranslator>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

#include "curves/SettingsInput.h"
#include "registers/Workspace.h"
#include "trend/CurveCsvRead.h"
#include "trend/TChart.h"
#include "trend/TeeFile.h"
#include "trend/TrendPanelDlg.h"

using namespace vantor;

namespace {

class EnglishTexts : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* folder : {"trend", "curves"}) {
            auto& catalogue = m_catalogues.emplace_back(std::make_unique<QTranslator>());
            ASSERT_TRUE(catalogue->load(QStringLiteral(":/i18n/vantor_%1_en.qm").arg(folder)));
            QCoreApplication::installTranslator(catalogue.get());
        }
    }
    void TearDown() override {
        for (const auto& catalogue : m_catalogues)
            QCoreApplication::removeTranslator(catalogue.get());
    }

private:
    std::vector<std::unique_ptr<QTranslator>> m_catalogues;
};

} // namespace

TEST_F(EnglishTexts, PanelCaptionsAndFileMessages) {
    Workspace ws;
    CTrendPanelDlg panel(&ws);
    auto button = [&panel](const char* name) { return panel.findChild<QToolButton*>(name); };
    const std::array<QString, kUiFieldCount> texts{"10", "10", "2", "1", "0"}; // interval 0
    const struct {
        QString shown;
        const char* english;
    } cases[] = {
        {button("realTimeButton")->toolTip(), "Live trend"},
        {button("fastBackButton")->toolTip(), "Fast backward"},
        {button("axisLabelE")->text(), "E"},
        {button("axisLabelE")->toolTip(), "E Axis Range"},
        {panel.chart()->title(), "Live trend of communication points"},
        {AxisRangeCaption(TrendAxis::B), "B Axis Range"},
        {ReadUiSettings(TrendSettings{}, texts).error,
         "“Curve sampling interval” must be at least 1 ms"},
        {ReadCurveCsv("时间,T1\nyesterday,1\n", QStringLiteral("a.csv")).error,
         "Cannot open CSV file a.csv: line 2: the time is not recognised"},
        {ReadTeeBytes({}, QStringLiteral("empty.tee")).error, "Curve file empty.tee is empty."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown.toStdString(), c.english);
}
