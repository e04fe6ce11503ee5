// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/DataGridPanel.h"

#include <QColorDialog>
#include <QCoreApplication>
#include <QDrag>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QVBoxLayout>

#include "packets/GridModel.h"
#include "packets/MSHFlexGrid.h"
#include "registers/RegisterDecoder.h"
#include "registers/RegisterStore.h"
#include "widgets/MessageBox.h"

namespace vantor {

namespace {

constexpr int kTopMargin = 3;

QColor AskColor(QWidget* parent, const QColor& initial) {
    return QColorDialog::getColor(initial, parent);
}

void RunDrag(QWidget* source, const QString& payload) {
    auto* drag = new QDrag(source);
    auto* data = new QMimeData;
    data->setText(payload);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction);
}

} // namespace

QString PointDragPayload(const QString& label, int grid, int row, int labelColumn) {
    return QStringLiteral("%1 %2-%3-%4").arg(label).arg(grid).arg(row).arg(labelColumn + 1);
}

bool IsPressAndHold(const QPoint& pressed, const QPoint& now, bool released, qint64 heldMs) {
    return !released && pressed == now && heldMs >= kPressHoldMs;
}

CDataGridPanel::CDataGridPanel(int packet, RegisterStore* store, QWidget* parent)
    : QWidget(parent), m_packet(packet), m_store(store), m_colorPicker(AskColor),
      m_dragStarter(RunDrag) {
    setObjectName(QStringLiteral("Db_%1").arg(packet, 2, 10, QLatin1Char('0')));
    m_model = new GridModel(packet, store, this);
    m_grid = new CMSHFlexGrid(m_model, this);
    m_grid->setObjectName(QStringLiteral("grid"));
    m_grid->setAccessibleName(objectName());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, kTopMargin, 0, 0);
    layout->addWidget(m_grid);

    // Over the grid, outside the layout: placed on a label cell when it is double-clicked.
    m_labelEditor = new QLineEdit(this);
    m_labelEditor->setObjectName(QStringLiteral("labelEditor"));
    m_labelEditor->setAccessibleName(tr("点位名称"));
    m_labelEditor->setFrame(false); // the cell's own size: a frame would cut the label
    m_labelEditor->hide();
    connect(m_labelEditor, &QLineEdit::editingFinished, m_labelEditor, &QWidget::hide);
    connect(m_grid->horizontalScrollBar(), &QScrollBar::valueChanged, m_labelEditor,
            &QWidget::hide);
    connect(m_grid->verticalScrollBar(), &QScrollBar::valueChanged, m_labelEditor, &QWidget::hide);
    m_labelEditor->installEventFilter(this);
    m_holdTimer.setSingleShot(true);
    m_holdTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_holdTimer, &QTimer::timeout, this, &CDataGridPanel::onHoldElapsed);

    connect(m_grid, &CMSHFlexGrid::cellLeft, this, &CDataGridPanel::onCellLeft);
    connect(m_grid, &CMSHFlexGrid::cellEntered, this, &CDataGridPanel::onCellEntered);
    connect(m_grid, &CMSHFlexGrid::cellDoubleClicked, this, &CDataGridPanel::onCellDoubleClicked);
    connect(m_grid, &CMSHFlexGrid::contextMenuWanted, this, &CDataGridPanel::onContextMenu);
}

void CDataGridPanel::setColorPicker(ColorPicker picker) {
    m_colorPicker = picker ? std::move(picker) : ColorPicker(AskColor);
}

void CDataGridPanel::setDragStarter(DragStarter starter) {
    m_dragStarter = starter ? std::move(starter) : DragStarter(RunDrag);
}

// Watches the label editor's button and cursor while a press may still turn into a drag.
bool CDataGridPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_labelEditor)
        return QWidget::eventFilter(watched, event);
    // Only mouse events are looked at, so only they are taken as such.
    const auto mouseEvent = [event] { return static_cast<const QMouseEvent*>(event); };
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (const auto* mouse = mouseEvent(); mouse->button() == Qt::LeftButton) {
            m_pressPos = m_lastPos = mouse->globalPosition().toPoint();
            m_released = false;
            m_held.start();
            m_holdTimer.start(kPressHoldMs);
        }
        break;
    case QEvent::MouseMove:
        m_lastPos = mouseEvent()->globalPosition().toPoint();
        break;
    case QEvent::MouseButtonRelease:
        if (mouseEvent()->button() == Qt::LeftButton) {
            m_released = true;
            m_holdTimer.stop();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void CDataGridPanel::onHoldElapsed() {
    const qint64 held = m_held.elapsed();
    // A timer may come a little early; the press is judged once it has been held long enough.
    if (held < kPressHoldMs && !m_released) {
        m_holdTimer.start(static_cast<int>(kPressHoldMs - held));
        return;
    }
    if (!m_labelEditor->isVisible() || !IsPressAndHold(m_pressPos, m_lastPos, m_released, held))
        return;
    const QString payload =
        PointDragPayload(m_labelEditor->text(), m_packet, m_clickedRow, m_clickedColumn);
    m_dragging = true;
    m_dragStarter(m_labelEditor, payload);
    m_dragging = false;
    m_released = true; // the drag took the button's release
}

std::unique_ptr<QMenu> CDataGridPanel::createPopupMenu(QWidget* parent) {
    auto menu = std::make_unique<QMenu>(parent);
    const int row = m_grid->row();
    const int column = m_grid->col();
    const int code = m_store ? m_store->formatCode({PacketNo(m_packet), CellFromGrid(row, column)})
                             : kDefaultFormatCode;
    const std::optional<int> checked = CheckedFormatCode(row, column, code);
    for (const GridMenuEntry& entry : GridMenuEntries()) {
        if (entry.item == GridMenuItem::Separator) {
            menu->addSeparator();
            continue;
        }
        QAction* action = menu->addAction(entry.text);
        switch (entry.item) {
        case GridMenuItem::BackColor:
            connect(action, &QAction::triggered, this, &CDataGridPanel::chooseBackColor);
            break;
        case GridMenuItem::TextColor:
            connect(action, &QAction::triggered, this, &CDataGridPanel::chooseTextColor);
            break;
        case GridMenuItem::Restore:
            connect(action, &QAction::triggered, this, &CDataGridPanel::restoreColors);
            break;
        case GridMenuItem::Format:
            // Only the current format carries a check; the others show no box at all.
            action->setCheckable(checked == entry.code);
            action->setChecked(checked == entry.code);
            connect(action, &QAction::triggered, this,
                    [this, code = entry.code] { applyFormat(code); });
            break;
        case GridMenuItem::Separator:
            break;
        }
    }
    // A label cell can take the point's plant name; a project save keeps it.
    if (m_store && column % 2 == 1 && CellKind(row, column) != GridCellKind::Fixed) {
        menu->addSeparator();
        connect(menu->addAction(tr("重命名点位")), &QAction::triggered, this, [this, row, column] {
            const PointRef point{PacketNo(m_packet), CellFromGrid(row, column + 1)};
            bool ok = false;
            const QString name =
                QInputDialog::getText(this, tr("重命名点位"), tr("点位名称："), QLineEdit::Normal,
                                      m_store->labelText(point), &ok);
            if (ok)
                renamePoint(row, column, name);
        });
    }
    return menu;
}

void CDataGridPanel::renamePoint(int row, int labelColumn, const QString& name) {
    if (!m_store || labelColumn % 2 != 1)
        return;
    m_store->setCellLabel({PacketNo(m_packet), CellFromGrid(row, labelColumn + 1)}, name.trimmed());
}

void CDataGridPanel::onContextMenu(int row, int column, const QPoint& globalPos) {
    // Fixed cells have no menu (and never become current).
    if (CellKind(row, column) == GridCellKind::Fixed)
        return;
    // Not modal: the menu deletes itself once closed, its command already run.
    QMenu* menu = createPopupMenu(this).release();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(globalPos);
}

void CDataGridPanel::onCellLeft(int row, int column) {
    if (row != m_highlightRow || column != m_highlightColumn)
        return;
    m_model->setBackColor(row, column, m_remembered.back);
    m_model->setTextColor(row, column, m_remembered.text);
    m_highlightRow = m_highlightColumn = -1;
}

void CDataGridPanel::onCellEntered(int row, int column) {
    if (CellKind(row, column) == GridCellKind::Fixed)
        return;
    m_remembered = m_model->colors(row, column);
    m_highlightRow = row;
    m_highlightColumn = column;
    const CellColors highlight = HighlightColors();
    m_model->setBackColor(row, column, highlight.back);
    m_model->setTextColor(row, column, highlight.text);
}

void CDataGridPanel::onCellDoubleClicked(int row, int column) {
    const DoubleClickAction action = DoubleClickActionFor(row, column);
    if (action == DoubleClickAction::None)
        return;
    m_clickedRow = row;
    m_clickedColumn = column;
    if (action == DoubleClickAction::WriteValue)
        emit valueCellDoubleClicked(m_packet, CellFromGrid(row, column),
                                    m_grid->textMatrix(row, column));
    else
        showLabelEditor(row, column);
}

void CDataGridPanel::showLabelEditor(int row, int column) {
    m_grid->scrollTo(m_model->index(row, column));
    const QRect cell = m_grid->cellRect(row, column);
    m_labelEditor->setGeometry(QRect(m_grid->mapTo(this, cell.topLeft()), cell.size()));
    m_labelEditor->setText(m_grid->textMatrix(row, column));
    m_labelEditor->show();
    m_labelEditor->raise();
    m_labelEditor->setFocus(Qt::MouseFocusReason);
    m_labelEditor->selectAll();
}

CellColors CDataGridPanel::currentColors() const {
    if (currentIsHighlighted())
        return m_remembered;
    return m_model->colors(m_grid->row(), m_grid->col());
}

void CDataGridPanel::setCurrentColors(const CellColors& colors) {
    m_grid->setCellBackColor(colors.back);
    m_grid->setCellForeColor(colors.text);
    if (currentIsHighlighted())
        m_remembered = colors;
}

bool CDataGridPanel::currentIsHighlighted() const {
    return m_grid->row() == m_highlightRow && m_grid->col() == m_highlightColumn;
}

void CDataGridPanel::chooseBackColor() {
    CellColors colors = currentColors();
    const QColor chosen = m_colorPicker(this, colors.back);
    if (!chosen.isValid())
        return;
    colors.back = chosen;
    setCurrentColors(colors);
}

void CDataGridPanel::chooseTextColor() {
    CellColors colors = currentColors();
    const QColor chosen = m_colorPicker(this, colors.text);
    if (!chosen.isValid())
        return;
    colors.text = chosen;
    setCurrentColors(colors);
}

void CDataGridPanel::restoreColors() {
    const std::optional<CellColors> colors = RestoredColors(m_grid->row(), m_grid->col());
    if (colors)
        setCurrentColors(*colors);
}

void CDataGridPanel::applyFormat(int code) {
    const int row = m_grid->row();
    const int column = m_grid->col();
    switch (FormatCommandTarget(row, column)) {
    case FormatTarget::Invalid:
        ShowMessage(this, QCoreApplication::translate("vantor::GridRules", kInvalidCellMessage));
        return;
    case FormatTarget::Apply:
        if (m_store)
            m_store->setCellFormat({PacketNo(m_packet), CellFromGrid(row, column)}, code);
        return;
    case FormatTarget::Ignore:
        return;
    }
}

} // namespace vantor
