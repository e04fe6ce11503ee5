#pragma once
// One data grid page (Db_01 … Db_30): the grid of a packet's labels and values, its format and
// colour menu, and the label editor.
#include <QWidget>

namespace vantor {

class CMSHFlexGrid;
class RegisterStore;

class CDataGridPanel : public QWidget {
    Q_OBJECT
public:
    CDataGridPanel(int packet, RegisterStore* store, QWidget* parent = nullptr); // packet 1..30

    int packet() const { return m_packet; }
    CMSHFlexGrid* grid() const { return m_grid; }

signals:
    // A value cell was double-clicked (packet 1..30, cell 0..129); the write dialog hangs here.
    void valueCellDoubleClicked(int packet, int cell, const QString& text);

private:
    int m_packet;
    RegisterStore* m_store;
    CMSHFlexGrid* m_grid;
};

} // namespace vantor
