// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of the 30 data packets: packet number with its check box, slave address, function
// code, start address and count, then the link's statistics of each packet (read-only, not part
// of the set-up). Cells are edited in place after a single click, in a line edit
// (slave, address, count) or in the function combo; the text is written back into the cell on
// Enter, when the editor loses the focus, when another cell or column 0 is clicked, or before
// the list scrolls; Escape closes the editor and leaves the cell as it was. No check is made on
// the text: configure reads it leniently. The rows live in the
// workspace: every commit and check click goes there, and the list shows what it holds.
#include <QPointer>
#include <QTableWidget>
#include <array>

#include "modbus/PacketStats.h"
#include "registers/PacketTable.h"

namespace vantor {

class Workspace;

class PacketListWidget : public QTableWidget {
    Q_OBJECT
public:
    explicit PacketListWidget(Workspace* workspace, QWidget* parent = nullptr);

    // The workspace's rows; setRows replaces them there (an open editor is committed first).
    PacketRows rows() const;
    void setRows(const PacketRows& rows);
    bool isChecked(int row) const; // row 0..29 of the list
    void setAllChecked(bool checked);
    // The link's per-packet statistics, in the read-only columns after the set-up's five.
    void showStats(const PacketStatsTable& stats);
    int statisticsWidth() const; // of the statistics' columns together
    // While packets are sent the set-up cannot be changed: its cells and check boxes are
    // disabled and no editor opens, while the list still scrolls to the statistics.
    void setLocked(bool locked);
    bool locked() const { return m_locked; }

    QWidget* cellEditor() const { return m_editor; } // the open in-place editor, or null
    int editorRow() const { return m_editRow; }
    int editorColumn() const { return m_editColumn; }

    QSize sizeHint() const override;        // ten rows
    QSize minimumSizeHint() const override; // five rows

public slots:
    // Writes the open editor's text into its cell and closes it; nothing happens when no
    // editor is open.
    void commitEditor();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createItems();
    void fitSizes();
    QSize sizeForRows(int rows) const;
    void showAllRows();
    void showRow(int row);
    void openEditorAt(int row, int column);
    QWidget* createLineEdit(const QRect& cell, const QString& text);
    QWidget* createCombo(const QRect& cell, const QString& text);
    void onItemChanged(QTableWidgetItem* item);
    void editorLostFocus(Qt::FocusReason reason);
    bool isEditorPart(QObject* watched) const;
    bool editorKey(QObject* watched, int key); // true: the key was used
    void closeEditor(bool keepText);

    QPointer<QWidget> m_editor;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_pressRow = -1;
    int m_pressColumn = -1;
    bool m_commitPending = false; // the editor lost the focus to a click on the list
    bool m_showing = false;       // items being filled from the workspace
    bool m_locked = false;
    Workspace* m_workspace;
};

} // namespace vantor
