// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/UpdatePromptDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "update/UpdateCheck.h"

namespace vantor {

CUpdatePromptDlg::CUpdatePromptDlg(UpdateCheck* check, QWidget* parent)
    : QDialog(parent), m_dontAsk(new QCheckBox(tr("不再提示该信息"))) {
    setWindowTitle(tr("是否升级（Y/N）"));
    auto* text = new QLabel(tr("检测到网络上有更新的软件版本，是否升级？"));
    auto* buttons = new QDialogButtonBox;
    QPushButton* upgrade = buttons->addButton(tr("升级"), QDialogButtonBox::AcceptRole);
    upgrade->setDefault(true);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_dontAsk, &QCheckBox::clicked, check, &UpdateCheck::setDontAskAgain);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(m_dontAsk);
    layout->addWidget(buttons);
}

} // namespace vantor
