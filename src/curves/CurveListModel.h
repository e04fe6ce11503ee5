#pragma once
// The point list's table model: a view of the workspace's curve table, never a copy of it. The
// "Color" cell carries the row's colour as its background.
#include <QAbstractTableModel>
#include <QColor>
#include <cstdint>

namespace vantor {

class CurveTable;

QColor CurveColor(std::uint32_t ref);         // 0x00BBGGRR
std::uint32_t CurveColorRef(const QColor& c); // the reverse

class CurveListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CurveListModel(CurveTable* curves, QObject* parent = nullptr);

    CurveTable* curves() const { return m_curves; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CurveTable* m_curves;
};

} // namespace vantor
