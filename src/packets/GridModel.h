// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cells of one packet's grid page (11 rows by 27 columns): a view of the register store,
// which holds the value and label texts and the colours. Row 0 and column 0 hold the header
// texts and are offered as header data too, so the view can show them in its own headers, which
// stay in sight while the cells scroll.
#include <QAbstractTableModel>
#include <QColor>
#include <array>
#include <optional>

#include "packets/GridRules.h"
#include "registers/CellColors.h"
#include "registers/PointRef.h"

namespace vantor {

class RegisterStore;

class GridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    GridModel(int packet, RegisterStore* store,
              QObject* parent = nullptr); // packet 1..30; store set

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
    // Labels set here last until the next label rebuild.
    void setText(int row, int column, const QString& text);
    CellColors colors(int row, int column) const;
    void setBackColor(int row, int column, const QColor& color);
    void setTextColor(int row, int column, const QColor& color);

private:
    static int Slot(int row, int column) { return row * kGridColumns + column; }
    void setColors(int row, int column, std::optional<QColor> back, std::optional<QColor> text);
    void onPacketChanged(int packet);
    void onColorsChanged(vantor::PointRef point, vantor::CellPart part);

    int m_packet;
    RegisterStore* m_store;
    // The header cells (row 0 and column 0) belong to the page: their texts and colours.
    std::array<QString, kGridRows * kGridColumns> m_fixed;
    std::array<CellColors, kGridRows * kGridColumns> m_fixedColors;
    std::array<QString, kGridRows * kGridColumns> m_shown; // label and value texts last reported
};

} // namespace vantor
