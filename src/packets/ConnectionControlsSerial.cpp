// SPDX-License-Identifier: GPL-3.0-or-later
// The serial side of the connection controls: open/close with the status line and the indicator,
// and the port list kept up to date.
#include <QAbstractItemView>
#include <QComboBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "modbus/LinkController.h"
#include "packets/ConnectionControls.h"
#include "registers/SerialSelection.h"
#include "widgets/DropDown.h"
#include "widgets/MessageBox.h"
#include "widgets/Resources.h"

namespace vantor {

namespace {

QPixmap IndicatorPixmap(bool open, qreal ratio) {
    InitResources();
    const QString path =
        open ? QStringLiteral(":/icons/port_open.svg") : QStringLiteral(":/icons/port_closed.svg");
    return QIcon(path).pixmap(QSize(16, 16), ratio);
}

} // namespace

void ConnectionControls::onSelectionChanged() {
    const SerialSettings now = m_selection->settings();
    if (SameSettings(now, m_shownSettings))
        return;
    m_shownSettings = now;
    if (!m_rebuilding && !m_selection->portOpen())
        showPortState(false, PortStatusText(now, false));
}

void ConnectionControls::onPortOpenChanged(bool open) {
    m_openClose->setText(open ? tr("关闭串口") : tr("打开串口"));
}

// The caption is the record: a press on "打开串口" asks for the port and shows "关闭串口" at
// once; a failed open shows "打开串口" again. Without a port name nothing is asked.
void ConnectionControls::onOpenClose() {
    if (m_selection->portOpen()) {
        m_link->closeSerial();
        emit linkStoppedByUser(LinkKind::Serial);
        return;
    }
    const SerialSettings settings = m_selection->settings();
    if (settings.portName.trimmed().isEmpty()) {
        ShowMessage(this, tr("请选择串口"));
        return;
    }
    emit linkOpeningByUser(LinkKind::Serial);
    m_link->openSerial(settings);
}

// The line failed while open (device unplugged): the link has closed it and stopped polling.
// The link reports a loss only for a line it had open.
void ConnectionControls::onSerialLost() {
    m_selection->setPortOpen(false);
    showPortState(false, PortStatusText(m_link->serialSettings(), false));
}

void ConnectionControls::showPortState(bool open, const QString& status) {
    m_indicator->setPixmap(IndicatorPixmap(open, devicePixelRatioF()));
    m_indicator->setProperty("portOpen", open);
    m_status->setText(status);
}

void ConnectionControls::onPortsChanged(bool removed) {
    const QString previous = removed ? m_selection->portText() : QString();
    if (rebuildPorts(previous))
        ShowMessage(this, tr("选中的设备被拔除"));
}

bool ConnectionControls::rebuildPorts(const QString& previousText) {
    m_rebuilding = true;
    const bool gone = m_selection->RebuildPorts(m_watcher->ports(), previousText);
    m_rebuilding = false;
    return gone;
}

} // namespace vantor
