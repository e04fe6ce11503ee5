// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The point list's list: a view and editor of the workspace's curve rows. Text dropped on it
// becomes a curve; a click opens the in-place editor of a name, rate, unit or axis cell (at most
// one edit box and one axis combo, committed when they lose the focus); a double click on the
// colour cell picks the row's colour; its popup removes a curve.
#include <QColor>
#include <QPointer>
#include <QTableView>
#include <functional>
#include <memory>

class QComboBox;
class QLineEdit;
class QMenu;

namespace vantor {

class CurveListModel;
class CurveTable;

// What a click on a column of the list opens.
enum class CurveCellEditor { None, Text, Axis };
CurveCellEditor EditorOfColumn(int column);

class CDropListCtrl : public QTableView {
    Q_OBJECT
public:
    CurveListModel* curveModel() const { return m_model; }
    // Asks the user for a colour; an invalid colour means the dialog was cancelled.
    using ColorPicker = std::function<QColor(QWidget* parent, const QColor& initial)>;

    explicit CDropListCtrl(CurveTable* curves, QWidget* parent = nullptr);

    CurveTable* curves() const { return m_curves; }
    QLineEdit* textEditor() const;            // the open edit box, if any
    QComboBox* axisEditor() const;            // the open axis combo, if any
    int menuRow() const { return m_menuRow; } // the row "移除曲线" applies to; -1 before any

    // A drop of text: a new curve, or the message "曲线数达到最大限制" at the limit. True when a
    // row was added.
    bool dropText(const QString& text);
    // The click rules on a cell (row -1: outside the rows).
    void clickCell(int row, int column);
    // Commits whichever editor is open.
    void commitEditors();
    void chooseColor(int row);
    void removeMenuRow();
    void setColorPicker(ColorPicker picker);
    std::unique_ptr<QMenu> createPopupMenu(QWidget* parent = nullptr);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void popupMenu(const QPoint& global);
    void openTextEditor(int row, int column);
    void openAxisEditor(int row, int column);
    void commitText();
    void commitAxis();
    void discardEditors();
    void onFocusChanged(QWidget* old, QWidget* now);

    CurveTable* m_curves;
    CurveListModel* m_model;
    ColorPicker m_colorPicker;
    QPointer<QLineEdit> m_edit;
    QPointer<QComboBox> m_combo;
    int m_editRow = -1, m_editColumn = -1;
    int m_comboRow = -1, m_comboColumn = -1;
    int m_menuRow = -1;
};

} // namespace vantor
