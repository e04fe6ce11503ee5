// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The floating box: a small frameless window over the main window that shows the read-out, can
// be dragged by any point inside it, hidden from its popup menu and made see-through.
#include <QPoint>
#include <QSize>
#include <QWidget>
#include <memory>
#include <optional>

class QMenu;

namespace vantor {

// The box's layout for a read-out of `lines` lines (the header first), each lineHeight high: the
// lines after the header in as many columns of columnWidth as keep the box within maxHeight, as
// few as can, filled column by column.
struct FloatBoxLayout {
    int columns = 1;
    int rows = 0; // lines after the header in one column
    QSize size;
    bool operator==(const FloatBoxLayout&) const = default;
};
FloatBoxLayout LayOutFloatBox(int lines, int lineHeight, int columnWidth, int maxHeight);

class CFloatBoxDlg : public QWidget {
    Q_OBJECT
public:
    static constexpr int kOpaque = 255;

    explicit CFloatBoxDlg(QWidget* parent = nullptr);

    QString readout() const { return m_readout; }
    void setReadout(const QString& text);
    int fontPoints() const { return m_fontPoints; }
    void setFontPoints(int points);
    // 1..255 (255 opaque); shows the box again, since a change of it comes from the user.
    int transparency() const { return m_transparency; }
    void setTransparency(int alpha);
    // Laid out for the chart's series count (one line each, the time base's the header) at the
    // box's font, centred over the rectangle (global) and kept within it and the screen.
    void resizeFloatBox(int seriesCount, const QRect& over);
    const FloatBoxLayout& layout() const { return m_layout; }

    // Whether the user has dragged the box somewhere.
    bool movedByUser() const { return m_movedByUser; }

    // The popup of a right click: "关闭悬浮框" hides the box.
    std::unique_ptr<QMenu> createPopupMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void popupMenu(const QPoint& global);
    int headerWidth() const; // room for the widest read-out header at the box's font
    int columnWidth() const; // room for the header and every line of the read-out

    QString m_readout;
    int m_fontPoints = 9;
    int m_transparency = kOpaque;
    std::optional<QPoint> m_grab; // where the box was taken, relative to its top-left
    bool m_movedByUser = false;
    FloatBoxLayout m_layout;
    int m_lineHeight = 0;
};

} // namespace vantor
