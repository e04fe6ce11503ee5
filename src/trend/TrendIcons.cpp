#include "trend/TrendIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace vantor {

namespace {

const QColor kInk(0x37, 0x47, 0x4f);
const QColor kBlue(0x1e, 0x88, 0xe5);
const QColor kGreen(0x43, 0xa0, 0x47);

QPolygonF Triangle(double x, double y, double w, double h, bool right) {
    return right ? QPolygonF({QPointF(x, y), QPointF(x + w, y + h / 2), QPointF(x, y + h)})
                 : QPolygonF({QPointF(x + w, y), QPointF(x, y + h / 2), QPointF(x + w, y + h)});
}

void DrawCheckBox(QPainter& p, QRectF box, bool checked) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(box);
    if (checked) {
        p.setPen(QPen(kGreen, 2));
        p.drawPolyline(QPolygonF({QPointF(box.left() + 2, box.center().y()),
                                  QPointF(box.center().x() - 1, box.bottom() - 2),
                                  QPointF(box.right() - 1.5, box.top() + 2)}));
    }
}

void DrawFloppy(QPainter& p) {
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kBlue);
    p.drawRect(QRectF(3, 3, 14, 14));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 3, 8, 5));
    p.drawRect(QRectF(5, 11, 10, 6));
}

// Draws one picture into a w x h pixmap.
QPixmap Picture(TrendIconKind kind, bool on, int w = 20, int h = 20) {
    QPixmap pixmap(w, h);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    switch (kind) {
    case TrendIconKind::RealTime:
        p.setPen(QPen(kGreen, 2));
        p.drawPolyline(QPolygonF({QPointF(2, 14), QPointF(6, 8), QPointF(10, 12), QPointF(13, 5)}));
        p.setPen(Qt::NoPen);
        p.setBrush(kGreen);
        p.drawPolygon(Triangle(12, 9, 7, 9, true));
        break;
    case TrendIconKind::History:
        p.setPen(QPen(kInk, 1.5));
        p.drawEllipse(QRectF(3, 3, 14, 14));
        p.drawPolyline(QPolygonF({QPointF(10, 6), QPointF(10, 10), QPointF(13, 12)}));
        break;
    case TrendIconKind::Pause:
        p.setBrush(kInk);
        p.drawRect(QRectF(5, 4, 3.5, 12));
        p.drawRect(QRectF(11.5, 4, 3.5, 12));
        break;
    case TrendIconKind::Move:
        p.setBrush(kBlue);
        p.drawPolygon(Triangle(6, 4, 9, 12, true));
        break;
    case TrendIconKind::Save:
        DrawFloppy(p);
        break;
    case TrendIconKind::FastBack:
    case TrendIconKind::FastForward: {
        const bool right = kind == TrendIconKind::FastForward;
        p.setBrush(kBlue);
        p.drawPolygon(Triangle(w / 2.0 - 9, 3, 9, 10, right));
        p.drawPolygon(Triangle(w / 2.0, 3, 9, 10, right));
        break;
    }
    case TrendIconKind::Legend:
        DrawCheckBox(p, QRectF(3, 3, 9, 9), on);
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(6, 15), QPointF(18, 15));
        p.drawLine(QPointF(14, 7), QPointF(18, 7));
        break;
    case TrendIconKind::AxisReset:
    case TrendIconKind::AxisZero: {
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(4, 2), QPointF(4, 17));
        p.drawLine(QPointF(4, 17), QPointF(18, 17));
        QFont font = p.font();
        font.setPixelSize(10);
        font.setBold(true);
        p.setFont(font);
        p.setPen(kind == TrendIconKind::AxisZero ? kBlue : kGreen);
        p.drawText(QRectF(6, 2, 13, 13), Qt::AlignCenter,
                   kind == TrendIconKind::AxisZero ? QStringLiteral("0") : QStringLiteral("Y"));
        break;
    }
    case TrendIconKind::AutoSave:
        DrawFloppy(p);
        DrawCheckBox(p, QRectF(11, 11, 8, 8), on);
        break;
    case TrendIconKind::TextBox: {
        p.setPen(QPen(kInk, 1.2));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 3.5, 15, 13));
        p.drawLine(QPointF(5, 7.5), QPointF(15, 7.5));
        p.drawLine(QPointF(5, 10.5), QPointF(13, 10.5));
        p.drawLine(QPointF(5, 13.5), QPointF(14, 13.5));
        break;
    }
    }
    return pixmap;
}

} // namespace

QIcon TrendIcon(TrendIconKind kind) {
    const bool wide = kind == TrendIconKind::FastBack || kind == TrendIconKind::FastForward;
    const int w = wide ? 35 : 20;
    const int h = wide ? 16 : 20;
    QIcon icon;
    icon.addPixmap(Picture(kind, true, w, h), QIcon::Normal, QIcon::On);
    icon.addPixmap(Picture(kind, false, w, h), QIcon::Normal, QIcon::Off);
    return icon;
}

} // namespace vantor
