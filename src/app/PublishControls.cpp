// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PublishControls.h"

#include <QLabel>
#include <QMenu>
#include <QStatusBar>

#include "app/PublishDlg.h"
#include "publish/Publisher.h"
#include "registers/Workspace.h"

namespace vantor {

PublishControls::PublishControls(Workspace* workspace, LinkController* link, QWidget* window)
    : QObject(window), m_workspace(workspace), m_window(window),
      m_publisher(new Publisher(workspace, link, this)) {
    connect(workspace, &Workspace::publishSettingsChanged, this, &PublishControls::apply);
    connect(m_publisher, &Publisher::message, this, &PublishControls::showMessage);
    connect(m_publisher, &Publisher::statusChanged, this, [this] {
        if (m_field)
            m_field->setText(m_publisher->statusText());
    });
    apply();
}

PublishControls::~PublishControls() {
    m_publisher->stop(500);
}

void PublishControls::addTo(QMenu* menu, QStatusBar* bar) {
    QAction* action = menu->addAction(tr("数据发布..."), this, &PublishControls::openDialog);
    action->setObjectName(QStringLiteral("publishAction"));
    action->setStatusTip(tr("把数据点发布到 MQTT 代理服务器"));
    m_bar = bar;
    m_field = new QLabel(m_publisher->statusText());
    m_field->setObjectName(QStringLiteral("publishPane"));
    bar->addPermanentWidget(m_field);
}

void PublishControls::openDialog() {
    PublishDlg dialog(m_workspace->publishSettings(), m_window);
    if (dialog.exec() == QDialog::Accepted)
        m_workspace->setPublishSettings(dialog.settings());
}

void PublishControls::apply() {
    const PublishSettings& settings = m_workspace->publishSettings();
    if (!settings.enabled) {
        m_publisher->stop(500);
        return;
    }
    if (const QString refusal = m_publisher->start(settings); !refusal.isEmpty())
        showMessage(QStringLiteral("MQTT: ") + refusal);
}

void PublishControls::showMessage(const QString& text) {
    if (m_bar)
        m_bar->showMessage(text, 10000);
    if (m_field)
        m_field->setToolTip(text);
}

} // namespace vantor
