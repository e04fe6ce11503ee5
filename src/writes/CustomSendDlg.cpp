// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/CustomSendDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "writes/WriteService.h"

namespace vantor {

CCustomSendDlg::CCustomSendDlg(WriteService* writes, QWidget* parent)
    : QWidget(parent), m_writes(writes), m_text(new QPlainTextEdit(this)),
      m_send(new QPushButton(tr("发送"), this)), m_message(new QLabel(this)) {
    setObjectName(QStringLiteral("customSendPanel"));
    m_text->setObjectName(QStringLiteral("customText"));
    m_send->setObjectName(QStringLiteral("customSendButton"));
    m_message->setObjectName(QStringLiteral("customMessage"));
    m_message->setWordWrap(true);
    m_message->setStyleSheet(QStringLiteral("color: #c00000"));
    m_message->hide();

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(m_send);
    // Small enough that the function bar never makes the window taller than the grids allow.
    m_text->setMinimumHeight(3 * m_text->fontMetrics().lineSpacing());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* caption = new QLabel(tr("自定义发送数据包（不需+CRC校验）"), this);
    caption->setWordWrap(true); // a narrow function bar wraps it rather than widening
    caption->setBuddy(m_text);  // the text's name for screen readers
    layout->addWidget(caption);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_message);
    layout->addLayout(buttons);
    connect(m_send, &QPushButton::clicked, this, &CCustomSendDlg::send);
    connect(m_text, &QPlainTextEdit::textChanged, m_message, &QLabel::hide);
}

void CCustomSendDlg::send() {
    const QString refusal = m_writes->sendCustom(m_text->toPlainText());
    m_message->setText(refusal);
    m_message->setVisible(!refusal.isEmpty());
}

QString CCustomSendDlg::message() const {
    return m_message->isHidden() ? QString() : m_message->text();
}

} // namespace vantor
