#pragma once
// The floating box: a small frameless window over the main window that shows the read-out, can
// be dragged by any point inside it, hidden from its popup menu and made see-through.
#include <QPoint>
#include <QWidget>
#include <memory>
#include <optional>

class QMenu;

namespace vantor {

// The box's place after a change of the curve count: height (font × series + font) × 1.33
// truncated, the given width, centred over the rectangle.
QRect FloatBoxGeometry(int fontPoints, int seriesCount, int width, const QRect& over);

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
    // Height for the chart's series count, width kept (widened if the header no longer fits
    // at the font), centred over the rectangle (global).
    void resizeFloatBox(int seriesCount, const QRect& over);

    // Whether the user has dragged the box somewhere.
    bool movedByUser() const { return m_movedByUser; }

    // The popup of a right click: "关闭悬浮框" hides the box.
    std::unique_ptr<QMenu> createPopupMenu();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int headerWidth() const; // room for the widest read-out header at the box's font

    QString m_readout;
    int m_fontPoints = 9;
    int m_transparency = kOpaque;
    std::optional<QPoint> m_grab; // where the box was taken, relative to its top-left
    bool m_movedByUser = false;
};

} // namespace vantor
