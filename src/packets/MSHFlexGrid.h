// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid of a data page: a table view over a GridModel offering the grid operations the
// program relies on (current cell, cell texts and colours, header texts, redraw). The current
// cell set through setRow/setCol is a cursor for those operations; the user's selection moves
// it too and is reported by cellLeft/cellEntered. Positions are grid rows 0..10 and columns
// 0..26 throughout; row 0 and column 0 are shown by the view's headers and its top-left corner,
// so they stay in sight while the data cells scroll.
#include <QTableView>

#include "packets/GridModel.h"

class QLabel;

namespace vantor {

// The tool tip of a cell whose text is cut by a column of that width: the whole text; empty
// when the text fits.
QString CutTextToolTip(const QFontMetrics& metrics, const QString& text, int columnWidth);

class CMSHFlexGrid : public QTableView {
    Q_OBJECT
public:
    // Tall enough for the header and all ten data rows, so a page never hides its last row.
    QSize sizeHint() const override;

    explicit CMSHFlexGrid(GridModel* model, QWidget* parent = nullptr);

    GridModel* gridModel() const { return m_model; }

    int rows() const { return kGridRows; }
    int cols() const { return kGridColumns; }
    int row() const { return m_row; }
    int col() const { return m_col; }
    void setRow(int row);
    void setCol(int column);

    QString text() const; // of the current cell
    void setText(const QString& text);
    QString textMatrix(int row, int column) const;
    void setTextMatrix(int row, int column, const QString& text);
    QColor cellBackColor() const;
    void setCellBackColor(const QColor& color);
    QColor cellForeColor() const;
    void setCellForeColor(const QColor& color);
    void setColumnHeader(int column, const QString& text); // row 0 of that column
    void refresh();

    // The cell's rectangle in this widget's coordinates (empty outside the grid); row 0 and
    // column 0 give their header section, cell (0, 0) the corner.
    QRect cellRect(int row, int column) const;
    // Widths that show "4x00001", "第13列", "Page30" and values such as "-12345.678" uncut in
    // the current font; never narrower than 740 twips.
    void fitColumnWidths();

signals:
    void cellLeft(int row, int column);    // the selection leaves this cell
    void cellEntered(int row, int column); // the selection arrives at this cell
    // A double click on a cell, or Enter on the current one.
    void cellDoubleClicked(int row, int column);
    // The context menu of a cell: the one under the mouse, or the current one for the Menu key
    // and Shift+F10; the menu goes at globalPos.
    void contextMenuWanted(int row, int column, const QPoint& globalPos);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void updateGeometries() override;

private:
    void setUpHeaders();
    void onHeaderDataChanged(Qt::Orientation orientation, int first, int last);
    QRect headerCellRect(int row, int column) const;

    GridModel* m_model;
    QLabel* m_corner = nullptr; // over the corner button: the page name of cell (0, 0)
    int m_row = 1;
    int m_col = 1;
};

} // namespace vantor
