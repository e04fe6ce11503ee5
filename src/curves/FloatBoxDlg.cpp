#include "curves/FloatBoxDlg.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace vantor {

namespace {

constexpr QSize kStartSize(207, 72); // 138 × 44 dialog units at the usual dialog font
constexpr int kMargin = 4;
// The widest header the read-out has; the box is kept wide enough for it at its font.
const char* const kWidestHeader = "[Date＆Time] 2026/12/28 23:58:58";

QFont ReadoutFont(QFont font, int points) {
    font.setPointSize(std::max(points, 1)); // a size below 1 point cannot be drawn
    return font;
}

} // namespace

QRect FloatBoxGeometry(int fontPoints, int seriesCount, int width, const QRect& over) {
    const int height = static_cast<int>((fontPoints * seriesCount + fontPoints) * 1.33);
    QRect box(0, 0, width, std::max(height, 1));
    box.moveCenter(over.center());
    return box;
}

CFloatBoxDlg::CFloatBoxDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("floatBox"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    resize(kStartSize); // widened for its header when first placed (resizeFloatBox)
}

int CFloatBoxDlg::headerWidth() const {
    const QFontMetrics metrics(ReadoutFont(font(), m_fontPoints));
    return metrics.horizontalAdvance(QString::fromUtf8(kWidestHeader)) + 3 * kMargin;
}

void CFloatBoxDlg::setReadout(const QString& text) {
    m_readout = text;
    update();
}

void CFloatBoxDlg::setFontPoints(int points) {
    m_fontPoints = points;
    update();
}

void CFloatBoxDlg::setTransparency(int alpha) {
    m_transparency = std::clamp(alpha, 1, kOpaque);
    setWindowOpacity(m_transparency / static_cast<double>(kOpaque));
    show();
}

void CFloatBoxDlg::resizeFloatBox(int seriesCount, const QRect& over) {
    // A larger font widens the box so that the header keeps its time.
    setGeometry(
        FloatBoxGeometry(m_fontPoints, seriesCount, std::max(width(), headerWidth()), over));
}

std::unique_ptr<QMenu> CFloatBoxDlg::createPopupMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(QStringLiteral("关闭悬浮框"), this, &QWidget::hide);
    return menu;
}

void CFloatBoxDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setFont(ReadoutFont(painter.font(), m_fontPoints));
    QString text = m_readout;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    painter.drawText(rect().adjusted(kMargin, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, text);
    // A rule under the header line, and a frame that sets the box off from the white chart.
    painter.setPen(Qt::gray);
    const int rule = painter.fontMetrics().height();
    painter.drawLine(0, rule, width() - 1, rule);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CFloatBoxDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_grab = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QWidget::mousePressEvent(event);
}

void CFloatBoxDlg::mouseMoveEvent(QMouseEvent* event) {
    if (m_grab && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - *m_grab);
        m_movedByUser = true;
    }
    QWidget::mouseMoveEvent(event);
}

void CFloatBoxDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_grab.reset();
    if (event->button() == Qt::RightButton) {
        QMenu* menu = createPopupMenu().release();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(event->globalPosition().toPoint());
    }
    QWidget::mouseReleaseEvent(event);
}

} // namespace vantor
