// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CommSettingsDlg.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "packets/SerialSettingsForm.h"
#include "registers/Workspace.h"

namespace vantor {

namespace {

QComboBox* MakeCombo(const char* name, const QStringList& items, QWidget* parent) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    combo->addItems(items);
    return combo;
}

} // namespace

CCommSettingsDlg::CCommSettingsDlg(SerialSelection* selection, int connectionIndex, QWidget* parent,
                                   Workspace* workspace)
    : QDialog(parent) {
    setWindowTitle(tr("通信设置"));

    auto* connectionGroup = new QGroupBox(QStringLiteral("Connection"), this);
    // Shows the panel's mode, read-only: the panel's combo is where the mode is switched.
    m_connection = MakeCombo("connectionCombo",
                             {QStringLiteral("1. Serial Port"), QStringLiteral("2. Tcp/Ip"),
                              QStringLiteral("3. RTU over TCP")},
                             connectionGroup);
    m_connection->setCurrentIndex(connectionIndex);
    m_connection->setEnabled(false);
    m_connection->setToolTip(tr("连接方式在通信面板中切换"));
    (new QVBoxLayout(connectionGroup))->addWidget(m_connection);

    auto* serialGroup = new QGroupBox(QStringLiteral("Serial Settings"), this);
    // Each choice goes straight into the shared selection, so the panel shows it at once.
    (new QVBoxLayout(serialGroup))
        ->addWidget(
            new SerialSettingsForm(selection, SerialSettingsForm::PortEntry::Listed, serialGroup));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(connectionGroup);
    layout->addWidget(serialGroup);
    if (workspace) {
        auto* replyGroup = new QGroupBox(tr("应答"), this);
        auto* timeout = new QSpinBox(replyGroup);
        timeout->setObjectName(QStringLiteral("replyTimeoutSpin"));
        timeout->setRange(Workspace::kMinReplyTimeoutMs, Workspace::kMaxReplyTimeoutMs);
        timeout->setSingleStep(100);
        timeout->setSuffix(QStringLiteral(" ms"));
        timeout->setValue(workspace->replyTimeoutMs());
        timeout->setToolTip(tr("请求超过此时间未收到应答即计为无应答；"
                               "发包间隔为 0 时，下一请求在应答判定后或超时后立即发送"));
        connect(timeout, &QSpinBox::valueChanged, workspace, &Workspace::setReplyTimeout);
        auto* row = new QGridLayout(replyGroup);
        row->addWidget(new QLabel(tr("应答超时"), replyGroup), 0, 0);
        row->addWidget(timeout, 0, 1);
        layout->addWidget(replyGroup);
    }
    layout->addWidget(buttons);
}

} // namespace vantor
