// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/MSHFlexGrid.h"

#include <QScrollBar>

#include <QContextMenuEvent>
#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QToolTip>
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

// Headers and the corner painted flat in the grid's fixed-cell grey, ruled like the cells, their
// text in the cells' text colour: the grey stays under a dark palette, so must the text on it.
QString HeaderStyleSheet(const QColor& line) {
    return QStringLiteral("QHeaderView::section, QLabel#gridCorner { background-color: %1;"
                          " color: %3; border: none; border-right: 1px solid %2;"
                          " border-bottom: 1px solid %2; padding: 0px; }")
        .arg(ColorFromRef(kFixedBackRef).name(), line.name(), ColorFromRef(kTextRef).name());
}

} // namespace

QString CutTextToolTip(const QFontMetrics& metrics, const QString& text, int columnWidth) {
    const QString shown = text.trimmed();
    if (shown.isEmpty() || metrics.horizontalAdvance(shown) + kTextPadding <= columnWidth)
        return {};
    return shown;
}

CMSHFlexGrid::CMSHFlexGrid(GridModel* model, QWidget* parent) : QTableView(parent), m_model(model) {
    setModel(model);
    setItemDelegate(new GridCellDelegate(this));
    setUpHeaders();
    // The page paints the selected cell itself (highlight colours); the view only tracks it.
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    fitColumnWidths();
}

void CMSHFlexGrid::setUpHeaders() {
    // Row 0 and column 0 stay in the model (grid positions are unchanged) but are shown by the
    // headers, which do not scroll away.
    setRowHidden(0, true);
    setColumnHidden(0, true);
    for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
        header->setSectionsClickable(false); // a header click selects nothing
        header->setHighlightSections(false);
    }
    // Widths start from fitColumnWidths; a column can be dragged wider for long values.
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_corner = new QLabel(m_model->text(0, 0), this);
    m_corner->setObjectName(QStringLiteral("gridCorner"));
    m_corner->setAlignment(Qt::AlignCenter);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int line = style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this);
    setStyleSheet(HeaderStyleSheet(QColor::fromRgba(static_cast<QRgb>(line))));
    connect(m_model, &QAbstractItemModel::headerDataChanged, this,
            &CMSHFlexGrid::onHeaderDataChanged);
}

void CMSHFlexGrid::onHeaderDataChanged(Qt::Orientation orientation, int first, int last) {
    if (orientation == Qt::Horizontal && first <= 0 && last >= 0)
        m_corner->setText(m_model->text(0, 0));
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
    switch (CellKind(row, column)) {
    case GridCellKind::Outside:
        return {};
    case GridCellKind::Fixed:
        return headerCellRect(row, column);
    case GridCellKind::Label:
    case GridCellKind::Value:
        break;
    }
    return visualRect(m_model->index(row, column)).translated(viewport()->pos());
}

QRect CMSHFlexGrid::headerCellRect(int row, int column) const {
    const QHeaderView* top = horizontalHeader();
    const QHeaderView* side = verticalHeader();
    if (row == 0 && column == 0)
        return QRect(side->x(), top->y(), side->width(), top->height());
    if (row == 0)
        return QRect(top->x() + top->sectionViewportPosition(column), top->y(),
                     top->sectionSize(column), top->height());
    return QRect(side->x(), side->y() + side->sectionViewportPosition(row), side->width(),
                 side->sectionSize(row));
}

void CMSHFlexGrid::fitColumnWidths() {
    const QFontMetrics metrics = fontMetrics();
    const int minimum = kColumnTwips * logicalDpiX() / kTwipsPerInch;
    const int fixed = WidestText(metrics, {"Page30", "9"});
    // The widest label header is the last one's, in the user's language.
    const int label = std::max(WidestText(metrics, {"4x00001", "3x65535"}),
                               metrics.horizontalAdvance(FixedCellText(1, 0, kGridColumns - 2)));
    const int value = WidestText(metrics, {"-12345.678", "-2147483648", "Value"});
    // Column 0 is the vertical header, as wide as the column it stands for.
    verticalHeader()->setMinimumWidth(std::max(minimum, fixed + kTextPadding));
    for (int column = 1; column < kGridColumns; ++column) {
        const int text = column % 2 == 1 ? label : value;
        setColumnWidth(column, std::max(minimum, text + kTextPadding));
    }
    const int rowHeight = metrics.height() + 6;
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeight);
    horizontalHeader()->setMinimumHeight(rowHeight); // row 0 as high as the others
}

// A value wider than its column shows whole in a tool tip; a value that fits shows none.
bool CMSHFlexGrid::viewportEvent(QEvent* event) {
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const QModelIndex index = indexAt(help->pos());
    const QString tip = index.isValid() ? CutTextToolTip(viewport()->fontMetrics(),
                                                         m_model->text(index.row(), index.column()),
                                                         columnWidth(index.column()))
                                        : QString();
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), tip, viewport(), visualRect(index));
    return true;
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

// The mouse's menu is for the cell under it (its press made that cell current); the
// keyboard's is for the current cell and opens over it.
void CMSHFlexGrid::contextMenuEvent(QContextMenuEvent* event) {
    const bool mouse = event->reason() == QContextMenuEvent::Mouse;
    const QModelIndex index = mouse ? indexAt(event->pos()) : currentIndex();
    if (!index.isValid())
        return;
    const QPoint global =
        mouse ? event->globalPos() : viewport()->mapToGlobal(visualRect(index).center());
    emit contextMenuWanted(index.row(), index.column(), global);
}

void CMSHFlexGrid::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier && currentIndex().isValid()) {
        emit cellDoubleClicked(currentIndex().row(), currentIndex().column());
        return;
    }
    QTableView::keyPressEvent(event);
}

void CMSHFlexGrid::changeEvent(QEvent* event) {
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitColumnWidths();
}

void CMSHFlexGrid::updateGeometries() {
    QTableView::updateGeometries();
    if (!m_corner) // called while the model is being set, before the corner exists
        return;
    m_corner->setGeometry(headerCellRect(0, 0));
    m_corner->raise();
}

QSize CMSHFlexGrid::sizeHint() const {
    const int height = 2 * frameWidth() + horizontalHeader()->height() +
                       verticalHeader()->length() + horizontalScrollBar()->sizeHint().height();
    return {QTableView::sizeHint().width(), height};
}

} // namespace vantor
