// SPDX-License-Identifier: GPL-3.0-or-later
// The packet list's editing in place: a click opens a line edit (or, in the function column, an
// editable combo) over the cell; Enter, a click elsewhere, the wheel or the focus leaving commit
// it, Escape drops it.
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTimer>

#include "packets/CommPanelRules.h"
#include "packets/PacketListWidget.h"
#include "registers/PacketTable.h"

namespace vantor {

void PacketListWidget::mousePressEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    const int row = index.isValid() ? index.row() : -1;
    const int column = index.isValid() ? index.column() : -1;
    if (m_editor && PlanClick(row, column, m_editRow, m_editColumn) == ClickAction::Refocus) {
        // The editor's own cell (its one-pixel margin): the editor stays open.
        m_commitPending = false;
        m_pressRow = m_pressColumn = -1;
        m_editor->setFocus(Qt::MouseFocusReason);
        event->accept();
        return;
    }
    commitEditor();
    QTableWidget::mousePressEvent(event);
    m_pressRow = row;
    m_pressColumn = column;
}

void PacketListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QTableWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    const QModelIndex index = indexAt(event->position().toPoint());
    const bool click =
        index.isValid() && index.row() == m_pressRow && index.column() == m_pressColumn;
    m_pressRow = m_pressColumn = -1;
    if (!click || m_locked)
        return;
    if (PlanClick(index.row(), index.column(), m_editRow, m_editColumn) ==
        ClickAction::CommitAndOpen) {
        commitEditor();
        openEditorAt(index.row(), index.column());
    }
}

void PacketListWidget::wheelEvent(QWheelEvent* event) {
    commitEditor();
    QTableWidget::wheelEvent(event);
}

bool PacketListWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_editor && event->type() == QEvent::FocusOut)
        editorLostFocus(static_cast<QFocusEvent*>(event)->reason());
    if (event->type() == QEvent::KeyPress && m_editor && isEditorPart(watched))
        return editorKey(watched, static_cast<QKeyEvent*>(event)->key());
    return QTableWidget::eventFilter(watched, event);
}

// The editor itself, the combo's line edit or its drop-down list.
bool PacketListWidget::isEditorPart(QObject* watched) const {
    if (watched == m_editor)
        return true;
    const auto* combo = qobject_cast<QComboBox*>(m_editor.data());
    return combo && (watched == combo->lineEdit() || watched == combo->view());
}

// Enter writes the text into the cell (in the drop-down list: the highlighted code), Escape
// leaves the cell as it was; either closes the editor. Other keys go on to the editor.
bool PacketListWidget::editorKey(QObject* watched, int key) {
    auto* combo = qobject_cast<QComboBox*>(m_editor.data());
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (combo && watched == combo->view() && combo->view()->currentIndex().isValid())
            combo->setCurrentIndex(combo->view()->currentIndex().row());
        commitEditor();
        return true;
    case Qt::Key_Escape:
        closeEditor(false);
        return true;
    default:
        return false;
    }
}

void PacketListWidget::editorLostFocus(Qt::FocusReason reason) {
    // The combo's own drop-down list, or the line edit's context menu: the focus comes back when
    // the popup closes.
    if (reason == Qt::PopupFocusReason || QApplication::activePopupWidget())
        return;
    if (reason == Qt::MouseFocusReason && QApplication::focusWidget() == this) {
        // A press on the list: the press itself decides whether the editor stays (its own cell)
        // or is committed; the posted check catches a press that no cell handler sees.
        m_commitPending = true;
        QTimer::singleShot(0, this, [this] {
            if (m_commitPending)
                commitEditor();
        });
        return;
    }
    commitEditor();
}

void PacketListWidget::openEditorAt(int row, int column) {
    const QRect cell = visualRect(model()->index(row, column));
    const QString text = item(row, column)->text();
    QWidget* editor = EditorForColumn(column) == CellEditor::Combo ? createCombo(cell, text)
                                                                   : createLineEdit(cell, text);
    m_editor = editor;
    m_editRow = row;
    m_editColumn = column;
    m_commitPending = false;
    editor->installEventFilter(this);
    editor->show();
    editor->setFocus(Qt::MouseFocusReason);
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->lineEdit()->installEventFilter(this);
        combo->view()->installEventFilter(this); // ahead of the drop-down's own key handling
        combo->lineEdit()->selectAll();
        combo->showPopup();
    } else {
        static_cast<QLineEdit*>(editor)->selectAll();
    }
}

QWidget* PacketListWidget::createLineEdit(const QRect& cell, const QString& text) {
    auto* edit = new QLineEdit(text, viewport());
    edit->setObjectName(QStringLiteral("packetCellEdit"));
    edit->setFrame(false);
    edit->setGeometry(cell.adjusted(1, 1, -1, -1));
    return edit;
}

QWidget* PacketListWidget::createCombo(const QRect& cell, const QString& text) {
    auto* combo = new QComboBox(viewport());
    combo->setObjectName(QStringLiteral("packetFunctionCombo"));
    combo->setEditable(true);
    // Typed text stays as typed: no completion to an entry, no entries added by Return.
    combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    for (const char* entry : kSerialFunctionTexts)
        combo->addItem(QString::fromLatin1(entry));
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
    else
        combo->setEditText(text);
    combo->setGeometry(cell.left(), cell.top(), columnWidth(2) + 1, cell.height());
    return combo;
}

void PacketListWidget::commitEditor() {
    closeEditor(true);
}

void PacketListWidget::closeEditor(bool keepText) {
    m_commitPending = false;
    if (!m_editor)
        return;
    QWidget* editor = m_editor;
    const int row = m_editRow;
    const int column = m_editColumn;
    m_editor = nullptr;
    m_editRow = m_editColumn = -1;
    editor->removeEventFilter(this);

    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        combo->lineEdit()->removeEventFilter(this);
        combo->view()->removeEventFilter(this);
        combo->hidePopup();
        text = combo->currentText();
    } else {
        text = static_cast<QLineEdit*>(editor)->text();
    }
    // Keep the keyboard in the list rather than letting it jump to the next control.
    if (editor->hasFocus())
        setFocus(Qt::OtherFocusReason);
    editor->hide();
    editor->deleteLater();
    if (keepText)
        item(row, column)->setText(text);
}

} // namespace vantor
