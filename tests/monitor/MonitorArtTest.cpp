// SPDX-License-Identifier: GPL-3.0-or-later
// The monitoring object dialog's refusals and the drawn pictures of the monitoring panel.
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QStringList>
#include <gtest/gtest.h>

#include "monitor/MonitorConfigDlg.h"
#include "monitor/MonitorPictures.h"
#include "widgets/MessageBox.h"

namespace vantor {
namespace {

const QString kValueRefused = QStringLiteral("变更值必须是数字");
const QString kRateRefused = QStringLiteral("倍率必须是不为 0 的数字");

TEST(MonitorConfigRefusal, ValueFirstThenNonZeroRate) {
    const struct {
        const char* value;
        const char* rate;
        QString refusal;
    } cases[] = {
        {"12", "1", {}},
        {" -3.5 ", " 0.1 ", {}},
        {"1e3", "-2", {}},
        {"", "1", kValueRefused},
        {"abc", "1", kValueRefused},
        {"1 2", "1", kValueRefused},
        {"abc", "0", kValueRefused},
        {"5", "0", kRateRefused},
        {"5", "0.0", kRateRefused},
        {"5", "x", kRateRefused},
        {"5", "", kRateRefused},
        {"5", "inf", kRateRefused},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MonitorConfigRefusal(QString::fromUtf8(c.value), QString::fromUtf8(c.rate)),
                  c.refusal)
            << c.value << " / " << c.rate;
}

class MonitorConfigDlgTest : public ::testing::Test {
protected:
    MonitorConfigDlgTest() {
        SetMessageSink([this](QWidget*, const QString& text, MessageKind) { messages << text; });
    }
    ~MonitorConfigDlgTest() override { SetMessageSink({}); }

    QLineEdit* edit(const char* name) { return dlg.findChild<QLineEdit*>(QString::fromUtf8(name)); }

    CMonitorConfigDlg dlg{QStringLiteral("7"), 0.1, QStringLiteral("℃")};
    QStringList messages;
};

TEST_F(MonitorConfigDlgTest, RefusesUntilEveryCheckPassesThenAccepts) {
    EXPECT_EQ(edit("rateEdit")->text(), QStringLiteral("0.1"));
    EXPECT_EQ(edit("unitEdit")->text(), QStringLiteral("℃"));

    QList<std::pair<double, double>> checked;
    dlg.setCheck([&](double value, double rate) {
        checked.append({value, rate});
        return value > 100 ? QStringLiteral("超出范围") : QString();
    });
    dlg.show();

    edit("valueEdit")->setText(QStringLiteral("x"));
    dlg.accept();
    edit("valueEdit")->setText(QStringLiteral(" 250 "));
    edit("rateEdit")->setText(QStringLiteral("0"));
    dlg.accept();
    edit("rateEdit")->setText(QStringLiteral("2"));
    dlg.accept();
    EXPECT_EQ(messages, QStringList({kValueRefused, kRateRefused, QStringLiteral("超出范围")}));
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(edit("valueEdit")->selectedText(), QStringLiteral(" 250 "));

    edit("valueEdit")->setText(QStringLiteral("-40"));
    edit("unitEdit")->setText(QStringLiteral("kPa"));
    dlg.accept();
    EXPECT_EQ(messages.size(), 3);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ((QList<std::pair<double, double>>{{250, 2}, {-40, 2}}), checked);
    EXPECT_EQ(dlg.valueText(), QStringLiteral("-40"));
    EXPECT_EQ(dlg.value(), -40);
    EXPECT_EQ(dlg.rate(), 2);
    EXPECT_EQ(dlg.unit(), QStringLiteral("kPa"));
}

int DifferingPixels(const QImage& a, const QImage& b) {
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

TEST(MonitorPictures, DrawnAtTheirSizeTimesRatioAndStatesDiffer) {
    const struct {
        MonitorPicture picture;
        QSize size;
        MonitorPicture other; // the other state, or itself for the background
    } cases[] = {
        {MonitorPicture::SwitchOn, {70, 100}, MonitorPicture::SwitchOff},
        {MonitorPicture::SwitchOff, {70, 100}, MonitorPicture::SwitchOn},
        {MonitorPicture::LampOn, {50, 50}, MonitorPicture::LampOff},
        {MonitorPicture::LampOff, {50, 50}, MonitorPicture::LampOn},
        {MonitorPicture::AnalogueUnbound, {59, 21}, MonitorPicture::AnalogueBound},
        {MonitorPicture::AnalogueBound, {59, 21}, MonitorPicture::AnalogueUnbound},
        {MonitorPicture::Background, {1024, 722}, MonitorPicture::Background},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(MonitorPictureSize(c.picture), c.size);
        for (qreal ratio : {1.0, 2.0}) {
            const QPixmap pixmap = MonitorPixmap(c.picture, ratio);
            const QImage image = pixmap.toImage();
            SCOPED_TRACE(testing::Message() << int(c.picture) << " at " << ratio);
            EXPECT_EQ(pixmap.size(), c.size * ratio);
            EXPECT_EQ(pixmap.devicePixelRatio(), ratio);
            // Not blank: the centre is painted, and the drawing is not one flat colour.
            EXPECT_GT(qAlpha(image.pixel(image.width() / 2, image.height() / 2)), 0);
            QImage flat(image.size(), image.format());
            flat.fill(image.pixel(0, 0));
            EXPECT_GT(DifferingPixels(image, flat), image.width() * image.height() / 20);
            if (c.other != c.picture) {
                EXPECT_GT(DifferingPixels(image, MonitorPixmap(c.other, ratio).toImage()),
                          image.width() * image.height() / 20);
            }
        }
    }
    // A contact sheet of every picture for a look by eye, when asked for.
    const QString sheetPath = qEnvironmentVariable("VANTOR_MONITOR_SHEET");
    if (!sheetPath.isEmpty()) {
        QImage sheet(1024 + 260, 760, QImage::Format_ARGB32);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        p.drawPixmap(0, 0, MonitorPixmap(MonitorPicture::Background));
        int y = 10;
        for (const auto& c : cases) {
            if (c.picture == MonitorPicture::Background)
                continue;
            p.drawPixmap(1034, y, MonitorPixmap(c.picture));
            QPixmap twice = MonitorPixmap(c.picture, 2.0);
            twice.setDevicePixelRatio(1.0); // shown at its device size
            p.drawPixmap(1114, y, twice);
            y += c.size.height() * 2 + 8;
        }
        p.end();
        EXPECT_TRUE(sheet.save(sheetPath));
    }
}

} // namespace
} // namespace vantor
