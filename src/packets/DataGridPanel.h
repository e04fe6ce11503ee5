// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One data grid page (Db_01 … Db_30): the grid of a packet's labels and values, its format and
// colour menu, and the label editor.
#include <QColor>
#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "packets/GridRules.h"

class QLineEdit;
class QMenu;

namespace vantor {

// The text a point carries when dragged from its label: the label, one blank and "g-r-c", the
// grid g (1..30), its row r and the value column c to the right of the label column.
QString PointDragPayload(const QString& label, int grid, int row, int labelColumn);

// A press on the label editor becomes a drag once held this long with the button down and the
// cursor where it was pressed; anything else is a click.
inline constexpr int kPressHoldMs = 250;
bool IsPressAndHold(const QPoint& pressed, const QPoint& now, bool released, qint64 heldMs);

class CMSHFlexGrid;
class GridModel;
class RegisterStore;

class CDataGridPanel : public QWidget {
    Q_OBJECT
public:
    // Asks the user for a colour; an invalid colour means the dialog was cancelled.
    using ColorPicker = std::function<QColor(QWidget* parent, const QColor& initial)>;
    // Runs the drag of a payload from the label editor (tests replace the modal drag).
    using DragStarter = std::function<void(QWidget* source, const QString& payload)>;

    CDataGridPanel(int packet, RegisterStore* store, QWidget* parent = nullptr); // packet 1..30

    int packet() const { return m_packet; }
    CMSHFlexGrid* grid() const { return m_grid; }
    QLineEdit* labelEditor() const { return m_labelEditor; }
    // The cell last double-clicked (row, column of the grid); 0, 0 before any.
    int clickedRow() const { return m_clickedRow; }
    int clickedColumn() const { return m_clickedColumn; }

    // Replaces the colour dialog (tests).
    void setColorPicker(ColorPicker picker);
    void setDragStarter(DragStarter starter);
    bool isDragging() const { return m_dragging; }
    // The popup menu for the grid's current cell, its commands wired to this page; shown for a
    // right click on a cell, the Menu key or Shift+F10.
    std::unique_ptr<QMenu> createPopupMenu(QWidget* parent = nullptr);
    // "重命名点位": the label of the point whose label cell this is.
    void renamePoint(int row, int labelColumn, const QString& name);

signals:
    // A value cell was double-clicked or Enter pressed on it (packet 1..30, cell 0..129); the
    // write dialog hangs here.
    void valueCellDoubleClicked(int packet, int cell, const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onHoldElapsed();
    void onCellLeft(int row, int column);
    void onCellEntered(int row, int column);
    void onCellDoubleClicked(int row, int column);
    void onContextMenu(int row, int column, const QPoint& globalPos);
    void showLabelEditor(int row, int column);
    void chooseBackColor();
    void chooseTextColor();
    void restoreColors();
    void applyFormat(int code);
    // Colours of the current cell as they are when not highlighted.
    CellColors currentColors() const;
    void setCurrentColors(const CellColors& colors);
    bool currentIsHighlighted() const;

    int m_packet;
    RegisterStore* m_store;
    GridModel* m_model;
    CMSHFlexGrid* m_grid;
    QLineEdit* m_labelEditor;
    ColorPicker m_colorPicker;
    int m_clickedRow = 0;
    int m_clickedColumn = 0;
    // The highlighted cell and the colours it had before (restored when the selection leaves).
    int m_highlightRow = -1;
    int m_highlightColumn = -1;
    CellColors m_remembered;
    // The press on the label editor that may become a drag.
    DragStarter m_dragStarter;
    QTimer m_holdTimer;
    QElapsedTimer m_held;
    QPoint m_pressPos;
    QPoint m_lastPos;
    bool m_released = true;
    bool m_dragging = false;
};

} // namespace vantor
