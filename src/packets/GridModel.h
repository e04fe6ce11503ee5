#pragma once
// The cells of one packet's grid page (11 rows by 27 columns). Value and label texts come from
// the register store. Row 0 and column 0 hold the header texts and are offered as header data
// too, so the view can show them in its own headers, which stay in sight while the cells scroll.
// Cell colours belong to the page and live here.
#include <QAbstractTableModel>
#include <QColor>
#include <array>

#include "packets/GridRules.h"

namespace vantor {

class RegisterStore;

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(int packet, RegisterStore* store, QObject* parent = nullptr); // packet 1..30

    int packet() const { return m_packet; }
    RegisterStore* store() const { return m_store; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Horizontal section c is row 0's text of column c, vertical section r column 0's of row r.
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // Cells outside the grid read as empty / default and are ignored on set.
    QString text(int row, int column) const;
    // Value cells go to the register store; labels set here last until the next label rebuild.
    void setText(int row, int column, const QString& text);
    CellColors colors(int row, int column) const;
    void setBackColor(int row, int column, const QColor& color);
    void setTextColor(int row, int column, const QColor& color);

private:
    static int Slot(int row, int column) { return row * kGridColumns + column; }
    void onPacketChanged(int packet0);
    void onLabelsRebuilt();
    void emitCellChanged(int row, int column, int role);

    int m_packet;
    RegisterStore* m_store;
    // Texts kept by the page itself: fixed cells always, label cells when set through the grid
    // (a null string means "as the store has it").
    std::array<QString, kGridRows * kGridColumns> m_texts;
    std::array<CellColors, kGridRows * kGridColumns> m_colors;
};

} // namespace vantor
