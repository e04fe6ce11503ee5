// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/MonitorPictures.h"

#include <QCoreApplication>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <utility>

namespace vantor {

namespace {

// The bands behind the rows of objects (switches, lamps, two rows of analogue objects), as top
// and height in logical pixels: each holds its row's pictures and captions.
constexpr std::pair<int, int> kBands[] = {{30, 134}, {166, 86}, {264, 100}, {374, 100}};
constexpr int kGridStep = 32;

QFont BoldFont(qreal pixelSize) {
    QFont font;
    font.setBold(true);
    font.setPixelSize(qMax(1, qRound(pixelSize)));
    return font;
}

// A rocker switch: a dark housing, a label plate on top and a lever that stands up (on,
// green, "ON") or lies down (off, grey with a red mark, "OFF").
void DrawSwitch(QPainter& p, bool on) {
    const QRectF housing(6, 14, 58, 80);
    QLinearGradient metal(housing.topLeft(), housing.topRight());
    metal.setColorAt(0, QColor(70, 74, 80));
    metal.setColorAt(0.5, QColor(105, 110, 118));
    metal.setColorAt(1, QColor(60, 64, 70));
    p.setPen(QPen(QColor(35, 38, 42), 1.5));
    p.setBrush(metal);
    p.drawRoundedRect(housing, 8, 8);

    // Label plate above the housing.
    const QRectF plate(14, 1, 42, 14);
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(on ? QColor(46, 160, 67) : QColor(200, 200, 200));
    p.drawRoundedRect(plate, 3, 3);
    p.setFont(BoldFont(10));
    p.setPen(on ? Qt::white : QColor(170, 30, 30));
    p.drawText(plate, Qt::AlignCenter, on ? QStringLiteral("ON") : QStringLiteral("OFF"));

    // The slot the lever moves in.
    const QRectF slot(20, 24, 30, 60);
    p.setPen(QPen(QColor(20, 20, 20), 1));
    p.setBrush(QColor(28, 30, 33));
    p.drawRoundedRect(slot, 5, 5);

    // The lever: the half it points to is raised and lit.
    const QRectF lever = on ? QRectF(22, 26, 26, 30) : QRectF(22, 52, 26, 30);
    QLinearGradient face(lever.topLeft(), lever.bottomLeft());
    if (on) {
        face.setColorAt(0, QColor(120, 230, 120));
        face.setColorAt(1, QColor(30, 150, 50));
    } else {
        face.setColorAt(0, QColor(150, 150, 150));
        face.setColorAt(1, QColor(95, 95, 95));
    }
    p.setPen(QPen(on ? QColor(20, 100, 30) : QColor(60, 60, 60), 1));
    p.setBrush(face);
    p.drawRoundedRect(lever, 4, 4);
    p.setFont(BoldFont(16));
    p.setPen(on ? Qt::white : QColor(220, 60, 60));
    p.drawText(lever, Qt::AlignCenter, on ? QStringLiteral("1") : QStringLiteral("0"));

    // The other half of the rocker, sunk into the slot.
    const QRectF rest = on ? QRectF(24, 58, 22, 22) : QRectF(24, 30, 22, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(55, 58, 62));
    p.drawRoundedRect(rest, 3, 3);
}

// A round indicator lamp in a bezel: lit green with a soft glow, or dark grey.
void DrawLamp(QPainter& p, bool on) {
    const QPointF centre(25, 25);
    if (on) {
        QRadialGradient glow(centre, 25);
        glow.setColorAt(0.55, QColor(80, 255, 80, 150));
        glow.setColorAt(1, QColor(80, 255, 80, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(centre, 25, 25);
    }
    QLinearGradient bezel(QPointF(0, 6), QPointF(0, 44));
    bezel.setColorAt(0, QColor(200, 200, 205));
    bezel.setColorAt(1, QColor(90, 92, 98));
    p.setPen(QPen(QColor(50, 50, 55), 1));
    p.setBrush(bezel);
    p.drawEllipse(centre, 18, 18);

    QRadialGradient lens(QPointF(21, 20), 16);
    if (on) {
        lens.setColorAt(0, QColor(235, 255, 225));
        lens.setColorAt(0.35, QColor(90, 240, 90));
        lens.setColorAt(1, QColor(20, 150, 40));
    } else {
        lens.setColorAt(0, QColor(150, 152, 155));
        lens.setColorAt(0.5, QColor(95, 98, 102));
        lens.setColorAt(1, QColor(55, 57, 60));
    }
    p.setPen(QPen(QColor(30, 30, 30, 160), 1));
    p.setBrush(lens);
    p.drawEllipse(centre, 14, 14);

    // A small highlight so the lens reads as glass in both states.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, on ? 170 : 90));
    p.drawEllipse(QPointF(20, 19), 4, 3);
}

// A small button-like plate: greyed with "AO" while unbound, blue with a gauge mark once bound.
void DrawAnalogue(QPainter& p, bool bound) {
    const QRectF plate(0.5, 0.5, 58, 20);
    QLinearGradient face(plate.topLeft(), plate.bottomLeft());
    if (bound) {
        face.setColorAt(0, QColor(110, 165, 235));
        face.setColorAt(1, QColor(35, 95, 180));
    } else {
        face.setColorAt(0, QColor(236, 236, 236));
        face.setColorAt(1, QColor(200, 200, 200));
    }
    p.setPen(QPen(bound ? QColor(20, 60, 130) : QColor(150, 150, 150), 1));
    p.setBrush(face);
    p.drawRoundedRect(plate, 4, 4);

    if (!bound) {
        p.setFont(BoldFont(11));
        p.setPen(QColor(150, 150, 150));
        p.drawText(plate, Qt::AlignCenter, QStringLiteral("AO"));
        return;
    }
    // A little dial on the left: an arc and a needle.
    const QRectF dial(5, 4, 18, 18);
    p.setPen(QPen(Qt::white, 1.5, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(dial, 20 * 16, 140 * 16);
    const QPointF hub(14, 13);
    p.drawLine(hub, hub + QPointF(5 * std::cos(0.9), -5 * std::sin(0.9)));
    p.setBrush(Qt::white);
    p.drawEllipse(hub, 1.5, 1.5);
    // Tick marks standing for a reading.
    p.setPen(QPen(QColor(255, 255, 255, 210), 1.2));
    for (int i = 0; i < 5; ++i) {
        const qreal x = 28 + i * 6;
        p.drawLine(QPointF(x, 14), QPointF(x, i % 2 ? 10 : 7));
    }
}

// A calm light panel: a soft vertical gradient, a faint grid, and four soft bands behind the
// rows of objects. Kept light so black labels stay readable.
void DrawBackground(QPainter& p, QSize size) {
    QLinearGradient fill(QPointF(0, 0), QPointF(0, size.height()));
    fill.setColorAt(0, QColor(246, 248, 250));
    fill.setColorAt(1, QColor(228, 233, 238));
    p.fillRect(QRect(QPoint(0, 0), size), fill);

    p.setPen(QPen(QColor(205, 212, 220, 110), 1));
    for (int x = kGridStep; x < size.width(); x += kGridStep)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, size.height()));
    for (int y = kGridStep; y < size.height(); y += kGridStep)
        p.drawLine(QPointF(0, y + 0.5), QPointF(size.width(), y + 0.5));

    for (const auto& [top, height] : kBands) {
        const QRectF band(6, top, size.width() - 12, height);
        p.setPen(QPen(QColor(190, 200, 212), 1));
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawRoundedRect(band, 10, 10);
    }
}

using PictureCache = QHash<QPair<int, qreal>, QPixmap>;

// Pixmaps belong to the GUI thread, the only place the panel draws; the cache is emptied while
// the application object still exists.
PictureCache& Cache() {
    static PictureCache cache;
    static const bool cleared = [] {
        qAddPostRoutine([] { Cache().clear(); });
        return true;
    }();
    Q_UNUSED(cleared);
    return cache;
}

QPixmap Draw(MonitorPicture picture, qreal ratio) {
    const QSize size = MonitorPictureSize(picture);
    QPixmap pixmap(size * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    switch (picture) {
    case MonitorPicture::SwitchOn:
    case MonitorPicture::SwitchOff:
        DrawSwitch(p, picture == MonitorPicture::SwitchOn);
        break;
    case MonitorPicture::LampOn:
    case MonitorPicture::LampOff:
        DrawLamp(p, picture == MonitorPicture::LampOn);
        break;
    case MonitorPicture::AnalogueUnbound:
    case MonitorPicture::AnalogueBound:
        DrawAnalogue(p, picture == MonitorPicture::AnalogueBound);
        break;
    case MonitorPicture::Background:
        DrawBackground(p, size);
        break;
    }
    return pixmap;
}

} // namespace

QSize MonitorPictureSize(MonitorPicture picture) {
    switch (picture) {
    case MonitorPicture::SwitchOn:
    case MonitorPicture::SwitchOff:
        return {70, 100};
    case MonitorPicture::LampOn:
    case MonitorPicture::LampOff:
        return {50, 50};
    case MonitorPicture::AnalogueUnbound:
    case MonitorPicture::AnalogueBound:
        return {59, 21};
    case MonitorPicture::Background:
        return {1024, 722};
    }
    return {};
}

QPixmap MonitorPixmap(MonitorPicture picture, qreal devicePixelRatio) {
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    PictureCache& cache = Cache();
    const QPair<int, qreal> key(static_cast<int>(picture), ratio);
    auto it = cache.constFind(key);
    if (it == cache.constEnd())
        it = cache.insert(key, Draw(picture, ratio));
    return *it;
}

} // namespace vantor
