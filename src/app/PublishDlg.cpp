// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/PublishDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "publish/PublishConfig.h"
#include "widgets/MessageBox.h"

namespace vantor {

namespace {

QLineEdit* Line(const char* name, const QString& text, const QString& placeholder = {}) {
    auto* edit = new QLineEdit(text);
    edit->setObjectName(QLatin1String(name));
    edit->setPlaceholderText(placeholder);
    return edit;
}

QSpinBox* Spin(const char* name, int low, int high, int value) {
    auto* spin = new QSpinBox;
    spin->setObjectName(QLatin1String(name));
    spin->setRange(low, high);
    spin->setValue(value);
    return spin;
}

} // namespace

PublishDlg::PublishDlg(const PublishSettings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("数据发布"));
    setObjectName(QStringLiteral("publishDlg"));
    setMinimumWidth(420);
    m_form = new QFormLayout;
    m_enabled = new QCheckBox(tr("发布到 MQTT 代理服务器"));
    m_enabled->setObjectName(QStringLiteral("enabledCheck"));
    m_enabled->setChecked(s.enabled);
    m_form->addRow(m_enabled);
    m_host = Line("hostEdit", s.host);
    m_form->addRow(tr("代理服务器地址"), m_host);
    m_port = Spin("portSpin", 1, 65535, s.port);
    m_form->addRow(tr("端口"), m_port);
    m_clientId = Line("clientIdEdit", s.clientId, tr("vantor-<主机名>-<进程号>"));
    m_form->addRow(tr("客户端标识"), m_clientId);
    m_prefix = Line("prefixEdit", s.prefix, tr("vantor/<主机名>/"));
    m_form->addRow(tr("主题前缀"), m_prefix);
    m_interval = Spin("intervalSpin", 0, 86400, s.intervalS);
    m_interval->setSuffix(tr(" 秒"));
    m_interval->setSpecialValueText(tr("每次应答"));
    m_form->addRow(tr("至少每隔"), m_interval);
    m_deadband = new QDoubleSpinBox;
    m_deadband->setObjectName(QStringLiteral("deadbandSpin"));
    m_deadband->setRange(0, 1e9);
    m_deadband->setDecimals(4);
    m_deadband->setValue(s.deadband);
    m_form->addRow(tr("死区"), m_deadband);
    m_qos = new QComboBox;
    m_qos->setObjectName(QStringLiteral("qosCombo"));
    m_qos->addItems({QStringLiteral("0"), QStringLiteral("1")});
    m_qos->setCurrentIndex(s.qos > 0 ? 1 : 0);
    m_form->addRow(QStringLiteral("QoS"), m_qos);
    m_queue = Spin("queueSpin", 0, 100000000, s.queueLimit);
    m_queue->setSpecialValueText(tr("自动 (10 分钟的流量)"));
    m_form->addRow(tr("离线队列 (条)"), m_queue);
    m_user = Line("userEdit", s.user);
    m_form->addRow(tr("用户名"), m_user);
    m_passwordFile = fileRow("passwordFileEdit", s.passwordFile, {});
    m_passwordFile->setPlaceholderText(tr("空: 环境变量 %1").arg(kPasswordVariable));
    m_form->addRow(tr("密码文件"), m_passwordFile->parentWidget());
    m_tls = new QCheckBox(QStringLiteral("TLS"));
    m_tls->setObjectName(QStringLiteral("tlsCheck"));
    m_tls->setChecked(s.tls);
    m_form->addRow(m_tls);
    const QString pem = QStringLiteral("PEM (*.pem *.crt *.key);;* (*)");
    m_caFile = fileRow("caFileEdit", s.caFile, pem);
    m_form->addRow(tr("CA 文件"), m_caFile->parentWidget());
    m_certFile = fileRow("certFileEdit", s.certFile, pem);
    m_form->addRow(tr("客户端证书"), m_certFile->parentWidget());
    m_keyFile = fileRow("keyFileEdit", s.keyFile, pem);
    m_form->addRow(tr("客户端密钥"), m_keyFile->parentWidget());

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &PublishDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(m_form);
    layout->addWidget(buttons);
}

// A line for a file name with a "..." button that chooses one.
QLineEdit* PublishDlg::fileRow(const char* name, const QString& text, const QString& filter) {
    auto* holder = new QWidget(this);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    QLineEdit* edit = Line(name, text);
    auto* browse = new QPushButton(QStringLiteral("..."));
    browse->setMaximumWidth(32);
    row->addWidget(edit, 1);
    row->addWidget(browse);
    connect(browse, &QPushButton::clicked, this, [this, edit, filter] {
        const QString chosen =
            QFileDialog::getOpenFileName(this, tr("选择文件"), edit->text(), filter);
        if (!chosen.isEmpty())
            edit->setText(chosen);
    });
    return edit;
}

PublishSettings PublishDlg::settings() const {
    PublishSettings s;
    s.enabled = m_enabled->isChecked();
    s.host = m_host->text().trimmed();
    s.port = m_port->value();
    s.clientId = m_clientId->text().trimmed();
    s.prefix = m_prefix->text().trimmed();
    s.intervalS = m_interval->value();
    s.deadband = m_deadband->value();
    s.qos = m_qos->currentIndex();
    s.queueLimit = m_queue->value();
    s.user = m_user->text().trimmed();
    s.passwordFile = m_passwordFile->text().trimmed();
    s.tls = m_tls->isChecked();
    s.caFile = m_caFile->text().trimmed();
    s.certFile = m_certFile->text().trimmed();
    s.keyFile = m_keyFile->text().trimmed();
    return s;
}

void PublishDlg::accept() {
    if (const QString refusal = PublishSettingsRefusal(settings()); !refusal.isEmpty()) {
        ShowMessage(this, refusal);
        return;
    }
    QDialog::accept();
}

} // namespace vantor
