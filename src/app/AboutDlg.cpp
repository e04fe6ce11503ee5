// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/AboutDlg.h"
#include "app/Version.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

#include "widgets/Resources.h"

namespace vantor {

CAboutDlg::CAboutDlg(const QString& releaseNote, QWidget* parent) : QDialog(parent) {
    setWindowTitle(tr("关于 Vantor %1").arg(QLatin1String(kVersion)));
    auto* icon = new QLabel;
    InitResources();
    icon->setPixmap(QIcon(QStringLiteral(":/icons/app.svg")).pixmap(48, 48));
    auto* version = new QLabel(tr("Vantor %1 版").arg(QLatin1String(kVersion)));
    auto* note = new QPlainTextEdit(releaseNote);
    note->setObjectName(QStringLiteral("releaseNote"));
    note->setReadOnly(true);
    note->setMinimumSize(330, 90);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(version, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

} // namespace vantor
