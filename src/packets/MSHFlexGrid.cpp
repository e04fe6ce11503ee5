#include "packets/MSHFlexGrid.h"

#include <QEvent>
#include <QHeaderView>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <initializer_list>

namespace vantor {

namespace {

constexpr int kColumnTwips = 740;
constexpr int kTwipsPerInch = 1440;
constexpr int kTextPadding = 12; // the delegate's text margins, the grid line and some air

// The selected cell is shown by its colours alone, as the page paints it; no focus frame.
class GridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

int WidestText(const QFontMetrics& metrics, std::initializer_list<const char*> samples) {
    int widest = 0;
    for (const char* sample : samples)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromUtf8(sample)));
    return widest;
}

} // namespace

CMSHFlexGrid::CMSHFlexGrid(GridModel* model, QWidget* parent) : QTableView(parent), m_model(model) {
    setModel(model);
    setItemDelegate(new GridCellDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    // The page paints the selected cell itself (highlight colours); the view only tracks it.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    fitColumnWidths();
}

void CMSHFlexGrid::setRow(int row) {
    if (row >= 0 && row < kGridRows)
        m_row = row;
}

void CMSHFlexGrid::setCol(int column) {
    if (column >= 0 && column < kGridColumns)
        m_col = column;
}

QString CMSHFlexGrid::text() const {
    return m_model->text(m_row, m_col);
}

void CMSHFlexGrid::setText(const QString& text) {
    m_model->setText(m_row, m_col, text);
}

QString CMSHFlexGrid::textMatrix(int row, int column) const {
    return m_model->text(row, column);
}

void CMSHFlexGrid::setTextMatrix(int row, int column, const QString& text) {
    m_model->setText(row, column, text);
}

QColor CMSHFlexGrid::cellBackColor() const {
    return m_model->colors(m_row, m_col).back;
}

void CMSHFlexGrid::setCellBackColor(const QColor& color) {
    m_model->setBackColor(m_row, m_col, color);
}

QColor CMSHFlexGrid::cellForeColor() const {
    return m_model->colors(m_row, m_col).text;
}

void CMSHFlexGrid::setCellForeColor(const QColor& color) {
    m_model->setTextColor(m_row, m_col, color);
}

void CMSHFlexGrid::setColumnHeader(int column, const QString& text) {
    m_model->setText(0, column, text);
}

void CMSHFlexGrid::refresh() {
    viewport()->update();
}

QRect CMSHFlexGrid::cellRect(int row, int column) const {
    if (CellKind(row, column) == GridCellKind::Outside)
        return {};
    return visualRect(m_model->index(row, column)).translated(viewport()->pos());
}

void CMSHFlexGrid::fitColumnWidths() {
    const QFontMetrics metrics = fontMetrics();
    const int minimum = kColumnTwips * logicalDpiX() / kTwipsPerInch;
    const int fixed = WidestText(metrics, {"Page30", "9"});
    const int label = WidestText(metrics, {"4x00001", "3x65535", "第13列"});
    const int value = WidestText(metrics, {"-12345.678", "-2147483648", "Value"});
    for (int column = 0; column < kGridColumns; ++column) {
        const int text = column == 0 ? fixed : (column % 2 == 1 ? label : value);
        setColumnWidth(column, std::max(minimum, text + kTextPadding));
    }
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(metrics.height() + 6);
}

void CMSHFlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (previous.isValid())
        emit cellLeft(previous.row(), previous.column());
    if (!current.isValid())
        return;
    m_row = current.row();
    m_col = current.column();
    emit cellEntered(m_row, m_col);
}

void CMSHFlexGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    const QModelIndex index = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
    if (index.isValid() && event->button() == Qt::LeftButton)
        emit cellDoubleClicked(index.row(), index.column());
}

void CMSHFlexGrid::mouseReleaseEvent(QMouseEvent* event) {
    QTableView::mouseReleaseEvent(event);
    if (event->button() == Qt::RightButton)
        emit rightButtonReleased(event->globalPosition().toPoint());
}

void CMSHFlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitColumnWidths();
}

} // namespace vantor
