// SPDX-License-Identifier: GPL-3.0-or-later
// Under a dark palette: the grid's headers and the read-out box keep their text readable, and the
// trend buttons' icons are drawn in the palette's text colour at the screen's pixel ratio.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QMap>
#include <QPalette>
#include <QRect>
#include <cmath>

#include "curves/FloatBoxDlg.h"
#include "packets/GridModel.h"
#include "packets/MSHFlexGrid.h"
#include "registers/RegisterStore.h"
#include "trend/TrendIcons.h"

using namespace vantor;

namespace {

QPalette DarkPalette() {
    QPalette dark(QColor(45, 45, 48)); // button and window
    for (const QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text,
                                           QPalette::ButtonText, QPalette::ToolTipText})
        dark.setColor(role, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    dark.setColor(QPalette::ToolTipBase, QColor(60, 60, 60));
    return dark;
}

// Sets the application's palette for the test's life, as a dark desktop theme does.
class PaletteScope {
public:
    explicit PaletteScope(const QPalette& palette) : m_kept(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~PaletteScope() { QApplication::setPalette(m_kept); }

private:
    QPalette m_kept;
};

double Luminance(QRgb pixel) {
    return qGray(pixel) / 255.0;
}

// The largest luminance difference between any pixel and the picture's most common colour (its
// background): text that can be read stands well apart from what it is written on.
double TextContrast(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QMap<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y)];
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    double widest = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        widest = std::max(widest, std::abs(Luminance(it.key()) - Luminance(background)));
    return widest;
}

bool HasPixelOf(const QImage& image, const QColor& colour) {
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            if (argb.pixel(x, y) == colour.rgba())
                return true;
    return false;
}

constexpr double kReadable = 0.5;

} // namespace

TEST(DarkPalette, GridHeadersAndReadoutBoxKeepTheirTextReadable) {
    const PaletteScope dark(DarkPalette());
    RegisterStore store;
    GridModel model(1, &store);
    CMSHFlexGrid grid(&model);
    grid.resize(600, 300);
    grid.show();
    // One section of each header ("第1列" and the first row's number), inside its rules.
    for (QHeaderView* header : {grid.horizontalHeader(), grid.verticalHeader()}) {
        const int start = header->sectionViewportPosition(1);
        const int size = header->sectionSize(1);
        const QRect section = header->orientation() == Qt::Horizontal
                                  ? QRect(start, 0, size, header->height())
                                  : QRect(0, start, header->width(), size);
        EXPECT_GT(TextContrast(header->grab(section.adjusted(2, 2, -2, -2)).toImage()), kReadable)
            << (header == grid.horizontalHeader() ? "column header" : "row header");
    }

    CFloatBoxDlg box;
    box.setReadout(QStringLiteral("[Date＆Time] 2026/12/09 07:00:00\n4x00000: 12.5"));
    box.resize(260, 80);
    EXPECT_GT(TextContrast(box.grab().toImage()), kReadable) << "read-out box";
}

// Each icon at a pixel ratio of 2: drawn at twice its size (not a blown-up 20-pixel picture),
// its ink in the button text colour of the palette in force when it is drawn.
TEST(DarkPalette, TrendIconsDrawInThePaletteTextColourAtThePixelRatio) {
    struct Case {
        TrendIconKind kind;
        QSize size;
    };
    const Case cases[] = {{TrendIconKind::Pause, {20, 20}},
                          {TrendIconKind::History, {20, 20}},
                          {TrendIconKind::TextBox, {20, 20}}};
    QPalette light(QColor(239, 239, 239));
    light.setColor(QPalette::ButtonText, QColor(10, 10, 10));
    for (const QPalette& palette : {DarkPalette(), light}) {
        const PaletteScope scope(palette);
        const QColor ink = palette.color(QPalette::ButtonText);
        for (const Case& c : cases) {
            const QPixmap pixmap = TrendIcon(c.kind).pixmap(c.size, 2.0);
            EXPECT_EQ(pixmap.size(), c.size * 2) << static_cast<int>(c.kind);
            EXPECT_DOUBLE_EQ(pixmap.devicePixelRatio(), 2.0);
            EXPECT_TRUE(HasPixelOf(pixmap.toImage(), ink))
                << static_cast<int>(c.kind) << " ink " << ink.name().toStdString();
        }
    }
    // The wide pictures keep their proportions in their 35 x 16 room.
    const QPixmap wide = TrendIcon(TrendIconKind::FastForward).pixmap(QSize(35, 16), 2.0);
    EXPECT_EQ(wide.size(), QSize(70, 32));
    EXPECT_NE(wide.toImage().pixelColor(35, 16).alpha(), 0) << "the arrows meet mid-picture";
}
