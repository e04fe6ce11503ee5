// SPDX-License-Identifier: GPL-3.0-or-later
#include "curves/DropListCtrl.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QStyledItemDelegate>

#include "curves/CurveListModel.h"
#include "registers/CurveTable.h"
#include "widgets/MessageBox.h"

namespace vantor {

namespace {

constexpr int kColumnWidths[kCurveColumnCount] = {75, 50, 20, 41, 27, 33, 33, 50};
constexpr int kComboListHeight = 150;

QColor AskColor(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

// The colour cell is filled with the row's colour, selected or not.
class ColorCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        if (index.column() != static_cast<int>(CurveColumn::Color)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->fillRect(option.rect.adjusted(1, 1, -1, -1),
                          index.data(Qt::BackgroundRole).value<QColor>());
    }
};

bool Inside(const QWidget* outer, const QWidget* w) {
    return outer && w && (outer == w || outer->isAncestorOf(w));
}

} // namespace

CurveCellEditor EditorOfColumn(int column) {
    switch (static_cast<CurveColumn>(column)) {
    case CurveColumn::Name:
    case CurveColumn::Rate:
    case CurveColumn::Unit:
        return CurveCellEditor::Text;
    case CurveColumn::Axis:
        return CurveCellEditor::Axis;
    default:
        return CurveCellEditor::None;
    }
}

CDropListCtrl::CDropListCtrl(CurveTable* curves, QWidget* parent)
    : QTableView(parent), m_curves(curves), m_model(new CurveListModel(curves, this)),
      m_colorPicker(AskColor) {
    setObjectName(QStringLiteral("dropList"));
    setModel(m_model);
    setItemDelegate(new ColorCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A click on the list leaves the focus with an open editor, which commits only when the
    // focus goes elsewhere; so a second click on the edited cell keeps the same editor.
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    for (int column = 0; column < kCurveColumnCount; ++column)
        setColumnWidth(column, kColumnWidths[column]);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDropIndicatorShown(false);
    connect(qApp, &QApplication::focusChanged, this, &CDropListCtrl::onFocusChanged);
    // A removal or a new table moves rows under the editors: they go without writing.
    connect(curves, &CurveTable::curveRemoved, this, &CDropListCtrl::discardEditors);
    connect(curves, &CurveTable::rowsReset, this, &CDropListCtrl::discardEditors);
}

QLineEdit* CDropListCtrl::textEditor() const {
    return m_edit;
}

QComboBox* CDropListCtrl::axisEditor() const {
    return m_combo;
}

void CDropListCtrl::setColorPicker(ColorPicker picker) {
    m_colorPicker = picker ? std::move(picker) : ColorPicker(AskColor);
}

bool CDropListCtrl::dropText(const QString& text) {
    const CurveDrop result = m_curves->drop(text);
    if (result.result == CurveDrop::LimitReached) {
        ShowMessage(this, QString::fromUtf8(CurveTable::kLimitMessage), MessageKind::Information);
        return false;
    }
    return true;
}

void CDropListCtrl::dragEnterEvent(QDragEnterEvent* event) {
    // Accepted here so that the moves over the list are reported; the effect is given there.
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
    else
        event->ignore();
}

void CDropListCtrl::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasText()) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

void CDropListCtrl::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText()) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    dropText(event->mimeData()->text());
}

void CDropListCtrl::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        clickCell(index.isValid() ? index.row() : -1, index.column());
}

void CDropListCtrl::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() != Qt::RightButton)
        return;
    // A right click outside the rows keeps the row chosen before.
    const QModelIndex index = indexAt(event->position().toPoint());
    if (index.isValid())
        m_menuRow = index.row();
    popupMenu(event->globalPosition().toPoint());
}

// The mouse's menu comes on the release above; the Menu key's (or Shift+F10's) is for the
// current row and opens over it.
void CDropListCtrl::contextMenuEvent(QContextMenuEvent* event) {
    if (event->reason() != QContextMenuEvent::Keyboard || !currentIndex().isValid())
        return;
    m_menuRow = currentIndex().row();
    popupMenu(viewport()->mapToGlobal(visualRect(currentIndex()).center()));
}

void CDropListCtrl::popupMenu(const QPoint& global) {
    QMenu* menu = createPopupMenu(this).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(global);
}

void CDropListCtrl::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableView::mouseDoubleClickEvent(event);
    const QModelIndex index = indexAt(event->position().toPoint());
    if (!index.isValid() || event->button() != Qt::LeftButton)
        return;
    m_menuRow = index.row();
    if (index.column() == static_cast<int>(CurveColumn::Color))
        chooseColor(index.row());
}

std::unique_ptr<QMenu> CDropListCtrl::createPopupMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    menu->addAction(tr("移除曲线"), this, &CDropListCtrl::removeMenuRow);
    return menu;
}

void CDropListCtrl::removeMenuRow() {
    if (m_menuRow >= 0 && m_menuRow < m_curves->rowCount())
        m_curves->removeRow(m_menuRow);
}

void CDropListCtrl::chooseColor(int row) {
    if (row < 0 || row >= m_curves->rowCount())
        return;
    const QColor chosen = m_colorPicker(this, Qt::black);
    if (!chosen.isValid())
        return;
    m_curves->setColor(row, CurveColorRef(chosen));
    clearSelection();
}

void CDropListCtrl::clickCell(int row, int column) {
    if (row < 0 || row >= m_curves->rowCount()) {
        commitEditors();
        return;
    }
    switch (EditorOfColumn(column)) {
    case CurveCellEditor::Text:
        commitAxis();
        if (m_edit && m_editRow == row && m_editColumn == column) {
            m_edit->setFocus(Qt::MouseFocusReason);
            return;
        }
        commitText();
        openTextEditor(row, column);
        return;
    case CurveCellEditor::Axis:
        commitText();
        if (m_combo && m_comboRow == row && m_comboColumn == column) {
            m_combo->setFocus(Qt::MouseFocusReason);
            return;
        }
        commitAxis();
        openAxisEditor(row, column);
        return;
    case CurveCellEditor::None:
        return;
    }
}

void CDropListCtrl::openTextEditor(int row, int column) {
    m_edit = new QLineEdit(viewport());
    m_edit->setObjectName(QStringLiteral("cellEditor"));
    m_edit->setFont(font());
    m_edit->setGeometry(visualRect(m_model->index(row, column)));
    m_edit->setText(m_curves->row(row).text(static_cast<CurveColumn>(column)));
    m_editRow = row;
    m_editColumn = column;
    m_edit->show();
    m_edit->setFocus(Qt::MouseFocusReason);
    m_edit->end(false);
}

void CDropListCtrl::openAxisEditor(int row, int column) {
    m_combo = new QComboBox(viewport());
    m_combo->setObjectName(QStringLiteral("axisEditor"));
    m_combo->setEditable(true);
    m_combo->setInsertPolicy(QComboBox::NoInsert);
    m_combo->setFont(font());
    m_combo->addItems(CurveAxisNames());
    m_combo->setEditText(m_curves->row(row).axis);
    m_combo->view()->setMinimumHeight(kComboListHeight);
    const QRect cell = visualRect(m_model->index(row, column));
    m_combo->setGeometry(cell.x(), cell.y(),
                         std::max(cell.width(), m_combo->minimumSizeHint().width()), cell.height());
    m_comboRow = row;
    m_comboColumn = column;
    m_combo->show();
    m_combo->setFocus(Qt::MouseFocusReason);
    m_combo->showPopup();
}

void CDropListCtrl::commitEditors() {
    commitText();
    commitAxis();
}

void CDropListCtrl::commitText() {
    QLineEdit* edit = m_edit;
    if (!edit)
        return;
    m_edit = nullptr; // first, so that the focus leaving it during the commit ends nothing
    m_curves->setText(m_editRow, static_cast<CurveColumn>(m_editColumn), edit->text());
    edit->hide();
    edit->deleteLater();
}

void CDropListCtrl::commitAxis() {
    QComboBox* combo = m_combo;
    if (!combo)
        return;
    m_combo = nullptr;
    m_curves->setText(m_comboRow, CurveColumn::Axis, combo->currentText());
    combo->hidePopup();
    combo->hide();
    combo->deleteLater();
}

void CDropListCtrl::discardEditors() {
    for (QWidget* editor :
         {static_cast<QWidget*>(m_edit.data()), static_cast<QWidget*>(m_combo.data())}) {
        if (editor) {
            editor->hide();
            editor->deleteLater();
        }
    }
    m_edit = nullptr;
    m_combo = nullptr;
}

void CDropListCtrl::onFocusChanged(QWidget* old, QWidget* now) {
    if (m_edit && Inside(m_edit, old) && !Inside(m_edit, now))
        commitText();
    if (m_combo && Inside(m_combo, old) && !Inside(m_combo, now) &&
        !Inside(m_combo->view()->window(), now))
        commitAxis();
}

} // namespace vantor
