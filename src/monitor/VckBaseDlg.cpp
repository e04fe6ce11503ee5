// SPDX-License-Identifier: GPL-3.0-or-later
#include "monitor/VckBaseDlg.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "monitor/MonitorConfigDlg.h"
#include "monitor/MonitorPictures.h"
#include "registers/RegisterStore.h"
#include "registers/Workspace.h"
#include "writes/WriteService.h"

namespace vantor {

namespace {

constexpr int kColumn = 100;   // switches and lamps: one column each
constexpr int kAnalogue = 120; // analogue objects: five a row
constexpr int kLabelHeight = 18;

std::size_t At(MonitorKind kind) {
    return static_cast<std::size_t>(kind);
}

MonitorPicture PictureOf(MonitorKind kind, bool on) {
    switch (kind) {
    case MonitorKind::Switch:
        return on ? MonitorPicture::SwitchOn : MonitorPicture::SwitchOff;
    case MonitorKind::Lamp:
        return on ? MonitorPicture::LampOn : MonitorPicture::LampOff;
    case MonitorKind::Analogue:
        break;
    }
    return on ? MonitorPicture::AnalogueBound : MonitorPicture::AnalogueUnbound;
}

// The text in the value window, in a smaller font where a long value would not fit.
void ShowFitted(QLabel* window, const QString& text) {
    if (window->text() == text)
        return;
    QFont font = window->font();
    font.setPointSizeF(QApplication::font().pointSizeF() * 1.3);
    const int room = window->contentsRect().width() - 4;
    while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > room)
        font.setPointSizeF(font.pointSizeF() - 0.5);
    window->setFont(font);
    window->setText(text);
}

} // namespace

// ---- MonitorObjectButton ----

MonitorObjectButton::MonitorObjectButton(const QPixmap* background, QWidget* parent)
    : QAbstractButton(parent), m_background(background) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAcceptDrops(true);
    setCursor(Qt::PointingHandCursor);
}

void MonitorObjectButton::setPicture(const QPixmap& picture) {
    if (picture.cacheKey() == m_pictureKey)
        return;
    m_picture = picture;
    m_pictureKey = picture.cacheKey();
    update();
}

void MonitorObjectButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const qreal ratio = m_background->devicePixelRatio();
    const QRect source(QPointF(pos() * ratio).toPoint(), QSizeF(size() * ratio).toSize());
    painter.drawPixmap(rect(), *m_background, source);
    const QSizeF picture = m_picture.deviceIndependentSize();
    painter.drawPixmap(QPointF((width() - picture.width()) / 2, (height() - picture.height()) / 2),
                       m_picture);
    if (isDown()) {
        painter.setPen(QPen(palette().highlight().color(), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void MonitorObjectButton::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void MonitorObjectButton::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasText())
        event->acceptProposedAction();
}

void MonitorObjectButton::dropEvent(QDropEvent* event) {
    if (!event->mimeData()->hasText())
        return;
    event->acceptProposedAction();
    dropText(event->mimeData()->text());
}

// ---- CVCKBASEDlg ----

CVCKBASEDlg::CVCKBASEDlg(Workspace* workspace, WriteService* writes, QWidget* parent)
    : QWidget(parent), m_workspace(workspace), m_table(workspace->monitors()), m_writes(writes),
      m_renameEdit(new QLineEdit(this)) {
    setObjectName(QStringLiteral("monitorPanel"));
    setFixedSize(kWidth, kHeight);
    // The panel's picture stays light under a dark palette too: its hint and captions stay dark.
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, Qt::black);
    setPalette(colours);
    m_background = MonitorPixmap(MonitorPicture::Background, devicePixelRatioF());
    for (MonitorKind kind : {MonitorKind::Analogue, MonitorKind::Switch, MonitorKind::Lamp})
        for (bool on : {false, true})
            m_pictures[At(kind) * 2 + on] = MonitorPixmap(PictureOf(kind, on), devicePixelRatioF());
    build();
    connect(m_table, &MonitorTable::captionChanged, this, [this](MonitorKind kind, int index) {
        object(kind, index).label->setText(m_table->caption(kind, index));
        nameObject(kind, index);
        if (!m_table->binding(kind, index).bound())
            showUnbound(kind, index);
        refresh();
    });
    m_refreshTimer.setInterval(kRefreshMs);
    connect(&m_refreshTimer, &QTimer::timeout, this, [this] {
        if (isVisible()) // a hidden page has nothing to show; it refreshes when shown
            refresh();
    });
    m_refreshTimer.start();
}

CVCKBASEDlg::Object& CVCKBASEDlg::object(MonitorKind kind, int index) {
    return m_objects[At(kind)][static_cast<std::size_t>(index)];
}

const CVCKBASEDlg::Object& CVCKBASEDlg::object(MonitorKind kind, int index) const {
    return m_objects[At(kind)][static_cast<std::size_t>(index)];
}

MonitorObjectButton* CVCKBASEDlg::button(MonitorKind kind, int index) const {
    return object(kind, index).button;
}

QLabel* CVCKBASEDlg::captionLabel(MonitorKind kind, int index) const {
    return object(kind, index).label;
}

bool CVCKBASEDlg::isOn(MonitorKind kind, int index) const {
    return object(kind, index).on;
}

void CVCKBASEDlg::build() {
    auto* tip = new QLabel(tr("提示：双击并长按点位，拖到控件上形成监控对象"), this);
    tip->setObjectName(QStringLiteral("monitorTip"));
    tip->move(12, 8);
    for (int k = 0; k < MonitorTable::kPerKind; ++k) {
        const int x = 10 + kColumn * k;
        addObject(MonitorKind::Switch, k, QRect(x + 10, 36, 70, 100),
                  QRect(x, 140, kColumn - 6, kLabelHeight));
        addObject(MonitorKind::Lamp, k, QRect(x + 20, 172, 50, 50),
                  QRect(x, 226, kColumn - 6, kLabelHeight));
    }
    for (int n = 0; n < MonitorTable::kPerKind; ++n) {
        const int x = 18 + kAnalogue * (n % 5);
        const int y = n < 5 ? 300 : 410; // the value window's top
        addObject(MonitorKind::Analogue, n, QRect(x + 16, y - 28, 59, 21),
                  QRect(x, y + 40, kAnalogue - 10, kLabelHeight));
        auto* value = new QLabel(this);
        value->setObjectName(QStringLiteral("monitorValue%1").arg(n + 1));
        value->setGeometry(x, y, 92, 36);
        value->setAlignment(Qt::AlignCenter);
        value->setFrameShape(QFrame::Panel);
        value->setFrameShadow(QFrame::Sunken);
        value->setAutoFillBackground(true);
        QPalette palette = value->palette();
        palette.setColor(QPalette::Window, Qt::white);
        palette.setColor(QPalette::WindowText, QColor(0x0d, 0x47, 0xa1));
        value->setPalette(palette);
        QFont font = value->font();
        font.setBold(true);
        value->setFont(font);
        m_values[static_cast<std::size_t>(n)] = value;
    }
    m_renameEdit->setObjectName(QStringLiteral("monitorRenameEdit"));
    m_renameEdit->hide();
    connect(m_renameEdit, &QLineEdit::editingFinished, this, &CVCKBASEDlg::endRename);
}

void CVCKBASEDlg::addObject(MonitorKind kind, int index, QRect buttonRect, QRect labelRect) {
    Object& o = object(kind, index);
    const char* names[] = {"analogue", "switch", "lamp"};
    o.button = new MonitorObjectButton(&m_background, this);
    o.button->setObjectName(
        QStringLiteral("%1Button%2").arg(QLatin1String(names[At(kind)])).arg(index + 1));
    o.button->setGeometry(buttonRect);
    o.button->setPicture(picture(kind, false));
    o.label = new QLabel(m_table->caption(kind, index), this);
    o.label->setObjectName(
        QStringLiteral("%1Label%2").arg(QLatin1String(names[At(kind)])).arg(index + 1));
    o.label->setGeometry(labelRect);
    o.label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    o.label->setToolTip(tr("单击改名"));
    o.label->installEventFilter(this);
    nameObject(kind, index);
    connect(o.button, &MonitorObjectButton::textDropped, this,
            [this, kind, index](const QString& text) { m_table->setCaption(kind, index, text); });
    if (kind == MonitorKind::Switch)
        connect(o.button, &QAbstractButton::clicked, this, [this, index] { clickSwitch(index); });
    else if (kind == MonitorKind::Analogue)
        connect(o.button, &QAbstractButton::clicked, this, [this, index] { clickAnalogue(index); });
}

// The drawn object's name for screen readers: its kind, number and caption.
void CVCKBASEDlg::nameObject(MonitorKind kind, int index) {
    const char* kinds[] = {QT_TR_NOOP("模拟量"), QT_TR_NOOP("开关"), QT_TR_NOOP("指示灯")};
    object(kind, index)
        .button->setAccessibleName(tr("%1 %2：%3")
                                       .arg(tr(kinds[At(kind)]))
                                       .arg(index + 1)
                                       .arg(m_table->caption(kind, index)));
}

void CVCKBASEDlg::showState(MonitorKind kind, int index, bool on) {
    Object& o = object(kind, index);
    o.on = on;
    o.button->setPicture(picture(kind, on));
}

// An object that lost its cell (a project opened, a caption renamed) shows nothing it had: a
// lamp is dark, a switch off, an analogue object's window empty.
void CVCKBASEDlg::showUnbound(MonitorKind kind, int index) {
    showState(kind, index, false);
    if (kind == MonitorKind::Analogue) {
        m_table->setValueText(index, QString());
        m_values[static_cast<std::size_t>(index)]->clear();
    }
}

const QPixmap& CVCKBASEDlg::picture(MonitorKind kind, bool on) const {
    return m_pictures[At(kind) * 2 + on];
}

QString CVCKBASEDlg::cellText(const MonitorBinding& binding) const {
    return MonitorInGrid(binding)
               ? m_workspace->store()->gridText(binding.grid, binding.row, binding.column)
               : QString();
}

void CVCKBASEDlg::refresh() {
    for (int n = 0; n < MonitorTable::kPerKind; ++n) {
        const MonitorBinding binding = m_table->binding(MonitorKind::Analogue, n);
        if (!binding.bound())
            continue;
        showState(MonitorKind::Analogue, n, true);
        const QString text = AnalogueValueText(cellText(binding), m_table->rate(n));
        m_table->setValueText(n, text);
        ShowFitted(m_values[static_cast<std::size_t>(n)], text + m_table->unit(n));
    }
    for (MonitorKind kind : {MonitorKind::Switch, MonitorKind::Lamp})
        for (int k = 0; k < MonitorTable::kPerKind; ++k) {
            const MonitorBinding binding = m_table->binding(kind, k);
            if (binding.bound())
                showState(kind, k, MonitorIsOn(cellText(binding)));
        }
}

// Writes to the object's cell; false (and told) when it names no cell or the write is refused.
bool CVCKBASEDlg::writeBound(MonitorKind kind, int index, const QString& decimal) {
    const QString caption = m_table->caption(kind, index);
    const auto point = MonitorPoint(ParseMonitorCaption(caption));
    if (!point) {
        emit statusMessage(tr("监控对象“%1”指向的单元格不存在，未发送").arg(caption));
        return false;
    }
    const WriteService::Outcome outcome = m_writes->writeMonitorCell(*point, decimal);
    if (!outcome.refusal.isEmpty()) {
        emit statusMessage(tr("监控对象“%1”：%2").arg(caption, outcome.refusal));
        return false;
    }
    return true;
}

// The switch shows its new state at once; a bound one writes it (the grid shows it before the
// device answers), an unbound one only changes its look.
void CVCKBASEDlg::clickSwitch(int index) {
    const bool on = !object(MonitorKind::Switch, index).on;
    showState(MonitorKind::Switch, index, on);
    if (m_table->binding(MonitorKind::Switch, index).bound())
        writeBound(MonitorKind::Switch, index, on ? QStringLiteral("1") : QStringLiteral("0"));
}

void CVCKBASEDlg::clickAnalogue(int index) {
    CMonitorConfigDlg dialog(m_table->valueText(index), m_table->rate(index), m_table->unit(index),
                             this);
    dialog.setCheck([this, index](double value, double) { return analogueRefusal(index, value); });
    if (dialog.exec() == QDialog::Accepted)
        applyAnalogue(index, dialog.value(), dialog.unit(), dialog.rate());
}

QString CVCKBASEDlg::analogueRefusal(int index, double value) const {
    const auto point = MonitorPoint(m_table->binding(MonitorKind::Analogue, index));
    if (!point)
        return {};
    const double raw = AnalogueRaw(value, m_table->rate(index));
    if (!std::isfinite(raw) || std::fabs(raw) > 4294967295.0)
        return tr("数值 %1 超出范围").arg(value);
    return m_writes->monitorValueRefusal(*point, QString::number(qint64(raw)));
}

// raw = ceil(value / the rate in force before the dialog); the unit and the new rate are kept
// for a bound object. An unbound object keeps what it had.
void CVCKBASEDlg::applyAnalogue(int index, double value, const QString& unit, double rate) {
    if (!m_table->binding(MonitorKind::Analogue, index).bound())
        return;
    const double raw = AnalogueRaw(value, m_table->rate(index));
    writeBound(MonitorKind::Analogue, index, QString::number(qint64(raw)));
    m_table->setUnit(index, unit);
    m_table->setRate(index, rate);
    refresh();
}

// ---- rename in place ----

void CVCKBASEDlg::beginRename(MonitorKind kind, int index) {
    endRename();
    QLabel* label = object(kind, index).label;
    m_renameKind = kind;
    m_renameIndex = index;
    m_renameCaption = m_table->caption(kind, index);
    label->hide();
    m_renameEdit->setText(MonitorCaptionName(m_renameCaption));
    m_renameEdit->setGeometry(label->geometry());
    m_renameEdit->show();
    m_renameEdit->setFocus();
    m_renameEdit->selectAll();
}

void CVCKBASEDlg::endRename() {
    if (m_renameIndex < 0)
        return;
    const int index = std::exchange(m_renameIndex, -1);
    m_renameEdit->hide();
    m_table->setCaption(m_renameKind, index,
                        RenamedMonitorCaption(m_renameEdit->text(), m_renameCaption));
    object(m_renameKind, index).label->show();
}

bool CVCKBASEDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress)
        for (MonitorKind kind : {MonitorKind::Analogue, MonitorKind::Switch, MonitorKind::Lamp})
            for (int k = 0; k < MonitorTable::kPerKind; ++k)
                if (watched == object(kind, k).label) {
                    beginRename(kind, k);
                    return true;
                }
    return QWidget::eventFilter(watched, event);
}

// The background. Lamps keep their state: a lamp's own redraw repaints the panel beneath it, so
// lamps that went dark on every repaint of the panel would never show the device's state.
void CVCKBASEDlg::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.drawPixmap(event->rect(), m_background,
                       QRectF(QPointF(event->rect().topLeft()) * m_background.devicePixelRatio(),
                              QSizeF(event->rect().size()) * m_background.devicePixelRatio()));
}

} // namespace vantor
