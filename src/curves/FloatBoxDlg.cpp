// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/FloatBoxDlg.h"

#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <algorithm>

namespace vantor {

namespace {

constexpr QSize kStartSize(207, 72); // 138 × 44 dialog units at the usual dialog font
constexpr int kMargin = 4;
// The widest header the read-out has; the box is kept wide enough for it at its font.
// The read-out's header is the same in every language: not translated.
const char* const kWidestHeader = "[Date＆Time] 2026/12/28 23:58:58";

QFont ReadoutFont(QFont font, int points) {
    font.setPointSize(std::max(points, 1)); // a size below 1 point cannot be drawn
    return font;
}

} // namespace

FloatBoxLayout LayOutFloatBox(int lines, int lineHeight, int columnWidth, int maxHeight) {
    lineHeight = std::max(lineHeight, 1);
    const int curves = std::max(lines - 1, 0);
    const int fitting = std::max((maxHeight - 2 * kMargin) / lineHeight - 1, 1);
    FloatBoxLayout layout;
    layout.columns = std::max((curves + fitting - 1) / fitting, 1);
    layout.rows = (curves + layout.columns - 1) / layout.columns;
    layout.size = QSize(layout.columns * columnWidth, (1 + layout.rows) * lineHeight + 2 * kMargin);
    return layout;
}

// Above the main window like any tool window, but never above a message box shown after it.
CFloatBoxDlg::CFloatBoxDlg(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint) {
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

int CFloatBoxDlg::columnWidth() const {
    const QFontMetrics metrics(ReadoutFont(font(), m_fontPoints));
    int widest = 0;
    for (const QString& line : QString(m_readout).replace(QStringLiteral("\r\n"), "\n").split('\n'))
        widest = std::max(widest, metrics.horizontalAdvance(line) + 3 * kMargin);
    return std::max({widest, headerWidth(), kStartSize.width()});
}

void CFloatBoxDlg::resizeFloatBox(int seriesCount, const QRect& over) {
    const QFontMetrics metrics(ReadoutFont(font(), m_fontPoints));
    m_lineHeight = metrics.lineSpacing();
    QRect room = over;
    if (const QScreen* shown = screen())
        room = room.intersected(shown->availableGeometry());
    const int lines = std::max(seriesCount, static_cast<int>(m_readout.count(QLatin1Char('\n'))) + 1);
    m_layout = LayOutFloatBox(lines, m_lineHeight, columnWidth(), room.height());
    QRect box(QPoint(0, 0), m_layout.size);
    box.moveCenter(over.center());
    // Within the chart's screen: moved in where it would stand out.
    if (const QScreen* shown = screen()) {
        const QRect screenRoom = shown->availableGeometry();
        box.moveLeft(std::clamp(box.left(), screenRoom.left(),
                                std::max(screenRoom.left(), screenRoom.right() - box.width())));
        box.moveTop(std::clamp(box.top(), screenRoom.top(),
                               std::max(screenRoom.top(), screenRoom.bottom() - box.height())));
    }
    setGeometry(box);
}

std::unique_ptr<QMenu> CFloatBoxDlg::createPopupMenu() {
    auto menu = std::make_unique<QMenu>(this);
    menu->addAction(tr("关闭悬浮框"), this, &QWidget::hide);
    return menu;
}

void CFloatBoxDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // In the palette's field colours, like a text box: readable under a light or a dark palette.
    painter.fillRect(rect(), palette().color(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.setFont(ReadoutFont(painter.font(), m_fontPoints));
    const QStringList lines =
        QString(m_readout).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split('\n');
    const QFontMetrics metrics = painter.fontMetrics();
    const int lineHeight = m_lineHeight > 0 ? m_lineHeight : metrics.lineSpacing();
    const int rows = std::max(m_layout.rows, 1);
    const int columnWidth = width() / std::max(m_layout.columns, 1);
    // The header across the top; the curves' lines below it, column by column.
    for (int i = 0; i < lines.size(); ++i) {
        const int column = i == 0 ? 0 : (i - 1) / rows;
        const int row = i == 0 ? 0 : (i - 1) % rows + 1;
        painter.drawText(QPoint(column * columnWidth + kMargin,
                                kMargin + row * lineHeight + metrics.ascent()),
                         lines[i]);
    }
    // A rule under the header line, and a frame that sets the box off from the chart.
    painter.setPen(palette().color(QPalette::Mid));
    const int rule = kMargin + lineHeight;
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
    if (event->button() == Qt::RightButton)
        popupMenu(event->globalPosition().toPoint());
    QWidget::mouseReleaseEvent(event);
}

// The Menu key (or Shift+F10) opens the same menu over the box.
void CFloatBoxDlg::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() == QContextMenuEvent::Keyboard)
        popupMenu(mapToGlobal(rect().center()));
}

void CFloatBoxDlg::popupMenu(const QPoint& global) {
    QMenu* menu = createPopupMenu().release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(global);
}

} // namespace vantor
