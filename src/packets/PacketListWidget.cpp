// SPDX-License-Identifier: GPL-3.0-or-later
#include "packets/PacketListWidget.h"

#include <QEvent>
#include <QHeaderView>
#include <QScrollBar>

#include "packets/CommPanelRules.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

// The five columns of the set-up, then the read-only statistics of the link.
constexpr int kColumnCount = 5;
constexpr int kAllColumns = kColumnCount + kStatColumnCount;
constexpr std::array<const char*, kColumnCount> kHeaders = {
    QT_TRANSLATE_NOOP("vantor::PacketListWidget", "数据包号"),
    QT_TRANSLATE_NOOP("vantor::PacketListWidget", "从机地址"),
    QT_TRANSLATE_NOOP("vantor::PacketListWidget", "功能码"),
    QT_TRANSLATE_NOOP("vantor::PacketListWidget", "地址"),
    QT_TRANSLATE_NOOP("vantor::PacketListWidget", "数据个数")};
constexpr int kVisibleRows = 10; // rows shown at the preferred height
constexpr int kMinimumRows = 5;  // rows always shown, however small the window
constexpr int kCellPadding = 16; // the header's margins and sort space around its text

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

PacketListWidget::PacketListWidget(Workspace* workspace, QWidget* parent)
    : QTableWidget(kPacketCount, kAllColumns, parent), m_workspace(workspace) {
    QStringList headers;
    for (const char* header : kHeaders)
        headers << tr(header);
    for (int c = 0; c < kStatColumnCount; ++c)
        headers << QString::fromUtf8(StatHeader(static_cast<StatColumn>(c)));
    setHorizontalHeaderLabels(headers);
    fitSizes();
    verticalHeader()->hide();
    setShowGrid(true);
    setWordWrap(false);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Cells are edited only through the in-place editors below.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    createItems();
    showAllRows();

    connect(this, &QTableWidget::itemChanged, this, &PacketListWidget::onItemChanged);
    connect(m_workspace, &Workspace::rowsChanged, this, &PacketListWidget::showAllRows);
    connect(m_workspace, &Workspace::allChecksChanged, this, &PacketListWidget::showAllRows);
    connect(m_workspace, &Workspace::rowChanged, this, [this](int packet) { showRow(packet - 1); });
    // An editor sits in the viewport: it is committed before the list moves under it.
    for (QScrollBar* bar : {verticalScrollBar(), horizontalScrollBar()})
        connect(bar, &QAbstractSlider::actionTriggered, this, [this] { commitEditor(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this] { commitEditor(); });
}

// Columns as wide as their headers (the first also holds the check box and "30"), rows as high
// as the text: the list stays narrow and shows many rows.
void PacketListWidget::fitSizes() {
    const QFontMetrics metrics = horizontalHeader()->fontMetrics();
    const int indicator = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, this);
    for (int c = 0; c < kAllColumns; ++c) {
        int text = metrics.horizontalAdvance(horizontalHeaderItem(c)->text());
        if (c >= kColumnCount) // room for a count of five digits or a time
            text = std::max(text, fontMetrics().horizontalAdvance(QStringLiteral("99999")));
        if (c == 0)
            text = std::max(text,
                            indicator + 4 + fontMetrics().horizontalAdvance(QStringLiteral("30")));
        setColumnWidth(c, text + kCellPadding);
    }
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    updateGeometry();
}

void PacketListWidget::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitSizes();
}

void PacketListWidget::createItems() {
    for (int r = 0; r < kPacketCount; ++r) {
        auto* number = new QTableWidgetItem(QString::number(r + 1));
        number->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        number->setCheckState(Qt::Unchecked);
        setItem(r, 0, number);
        for (int c = 1; c < kAllColumns; ++c) {
            auto* cell = new QTableWidgetItem;
            cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (c >= kColumnCount)
                cell->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            setItem(r, c, cell);
        }
    }
}

PacketRows PacketListWidget::rows() const {
    return m_workspace->rows();
}

void PacketListWidget::setRows(const PacketRows& rows) {
    commitEditor();
    m_workspace->setRows(rows);
}

// The workspace replaced the table (or every check box): an open editor's text would belong to
// a row that is no longer there.
void PacketListWidget::showAllRows() {
    commitEditor();
    for (int r = 0; r < kPacketCount; ++r)
        showRow(r);
}

void PacketListWidget::showRow(int r) {
    if (r < 0 || r >= kPacketCount)
        return;
    const DataPacket& row = m_workspace->row(PacketNo(r + 1));
    m_showing = true;
    item(r, 1)->setText(Text(row.slave));
    item(r, 2)->setText(Text(row.function));
    item(r, 3)->setText(Text(row.address));
    item(r, 4)->setText(Text(row.count));
    item(r, 0)->setCheckState(row.enabled ? Qt::Checked : Qt::Unchecked);
    m_showing = false;
}

void PacketListWidget::showStats(const PacketStatsTable& stats) {
    m_showing = true;
    for (int r = 0; r < kPacketCount; ++r) {
        const PacketStats& s = stats[static_cast<std::size_t>(r)];
        for (int c = 0; c < kStatColumnCount; ++c) {
            const QString text =
                s.empty() ? QString() : Text(StatText(s, static_cast<StatColumn>(c)));
            QTableWidgetItem* cell = item(r, kColumnCount + c);
            if (cell->text() != text)
                cell->setText(text);
        }
    }
    m_showing = false;
}

void PacketListWidget::setLocked(bool locked) {
    if (locked == m_locked)
        return;
    commitEditor();
    m_locked = locked;
    m_showing = true;
    for (int r = 0; r < kPacketCount; ++r)
        for (int c = 0; c < kColumnCount; ++c) {
            QTableWidgetItem* cell = item(r, c);
            cell->setFlags(locked ? cell->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable)
                                  : cell->flags() | Qt::ItemIsEnabled |
                                        (c == 0 ? Qt::ItemIsUserCheckable : Qt::NoItemFlags));
        }
    m_showing = false;
}

int PacketListWidget::statisticsWidth() const {
    int width = 0;
    for (int c = kColumnCount; c < kAllColumns; ++c)
        width += columnWidth(c);
    return width;
}

bool PacketListWidget::isChecked(int row) const {
    return row >= 0 && row < kPacketCount && m_workspace->isChecked(PacketNo(row + 1));
}

void PacketListWidget::setAllChecked(bool checked) {
    m_workspace->setAllChecked(checked);
}

QSize PacketListWidget::sizeHint() const {
    return sizeForRows(kVisibleRows);
}

QSize PacketListWidget::minimumSizeHint() const {
    return sizeForRows(kMinimumRows);
}

// The set-up's columns and the vertical scroll bar, and that many rows between the header and
// the horizontal scroll bar; the statistics are scrolled to or shown when the panel is wider.
QSize PacketListWidget::sizeForRows(int rows) const {
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    int width = 2 * frameWidth() + bar;
    for (int c = 0; c < kColumnCount; ++c)
        width += columnWidth(c);
    const int height = 2 * frameWidth() + horizontalHeader()->sizeHint().height() +
                       rows * verticalHeader()->defaultSectionSize() + bar;
    return {width, height};
}

// A check box clicked or a cell's text committed: the workspace takes it.
void PacketListWidget::onItemChanged(QTableWidgetItem* changed) {
    if (m_showing)
        return;
    const int r = changed->row();
    if (changed->column() == 0) {
        m_workspace->setPacketChecked(PacketNo(r + 1), changed->checkState() == Qt::Checked);
        return;
    }
    DataPacket row = m_workspace->row(PacketNo(r + 1));
    const std::string text = changed->text().toStdString();
    switch (changed->column()) {
    case 1:
        row.slave = text;
        break;
    case 2:
        row.function = text;
        break;
    case 3:
        row.address = text;
        break;
    default:
        row.count = text;
        break;
    }
    m_workspace->setRow(PacketNo(r + 1), row);
}

} // namespace vantor
