#pragma once
// The list of the 30 data packets: packet number with its check box, slave address, function
// code, start address and count. Cells are edited in place after a single click, in a line edit
// (slave, address, count) or in the function combo; the text is written back into the cell when
// the editor loses the focus, when another cell or column 0 is clicked, or before the list
// scrolls. No check is made on the text: configure reads it leniently.
#include <QPointer>
#include <QTableWidget>
#include <array>

#include "registers/PacketTable.h"

namespace vantor {

class PacketListWidget : public QTableWidget {
    Q_OBJECT
public:
    static constexpr std::array<int, 5> kColumnWidths = {100, 80, 80, 80, 90};

    explicit PacketListWidget(QWidget* parent = nullptr);

    PacketRows rows() const; // as typed, with the check boxes
    // Replaces the table without reporting check changes (the caller passes them on).
    void setRows(const PacketRows& rows);
    bool isChecked(int row) const;    // row 0..29
    void setAllChecked(bool checked); // without reporting each row

    QWidget* cellEditor() const { return m_editor; } // the open in-place editor, or null
    int editorRow() const { return m_editRow; }
    int editorColumn() const { return m_editColumn; }

    QSize sizeHint() const override;

public slots:
    // Writes the open editor's text into its cell and closes it; nothing happens when no
    // editor is open.
    void commitEditor();

signals:
    void packetCheckChanged(int packet, bool checked); // packet 1..30, a check box clicked

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillDefaults();
    void openEditorAt(int row, int column);
    QWidget* createLineEdit(const QRect& cell, const QString& text);
    QWidget* createCombo(const QRect& cell, const QString& text);
    void onItemChanged(QTableWidgetItem* item);
    void editorLostFocus(Qt::FocusReason reason);

    QPointer<QWidget> m_editor;
    int m_editRow = -1;
    int m_editColumn = -1;
    int m_pressRow = -1;
    int m_pressColumn = -1;
    bool m_commitPending = false; // the editor lost the focus to a click on the list
    bool m_quietChecks = false;   // check changes made by the program are not reported
    std::array<bool, kPacketCount> m_checked{};
};

} // namespace vantor
