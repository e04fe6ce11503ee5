// SPDX-License-Identifier: GPL-3.0-or-later
#include "writes/WriteRegDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vantor {

CWriteRegDlg::CWriteRegDlg(const QString& cellText, Writer writer, QWidget* parent)
    : QDialog(parent), m_writer(std::move(writer)), m_decimal(new QLineEdit(this)),
      m_binary(new QLineEdit(this)), m_hex(new QLineEdit(this)), m_unsigned(new QLineEdit(this)),
      m_message(new QLabel(this)) {
    setWindowTitle(tr("06号命令写入单个Input寄存器"));
    setObjectName(QStringLiteral("writeRegDlg"));
    m_decimal->setObjectName(QStringLiteral("decimalEdit"));
    m_binary->setObjectName(QStringLiteral("binaryEdit"));
    m_hex->setObjectName(QStringLiteral("hexEdit"));
    m_unsigned->setObjectName(QStringLiteral("unsignedEdit"));
    m_message->setObjectName(QStringLiteral("refusalLabel"));
    m_message->setStyleSheet(QStringLiteral("color: #c00000"));
    m_message->setWordWrap(true);
    m_message->hide();

    auto* form = new QFormLayout;
    form->addRow(tr("十进制:"), m_decimal);
    form->addRow(tr("二进制:"), m_binary);
    form->addRow(tr("16进制:"), m_hex);
    form->addRow(tr("无符号:"), m_unsigned);

    auto* buttons = new QDialogButtonBox(this);
    m_write = buttons->addButton(tr("写入"), QDialogButtonBox::AcceptRole);
    m_write->setObjectName(QStringLiteral("writeButton"));
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &CWriteRegDlg::onWrite);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buildBitGroup());
    layout->addWidget(m_message);
    layout->addWidget(buttons);

    // textEdited comes from typing only, never from setText: no echo between the edits.
    const auto typed = [this](QLineEdit* edit, WriteFields (*convert)(std::string_view)) {
        connect(edit, &QLineEdit::textEdited, this,
                [this, convert](const QString& text) { show(convert(text.toStdString())); });
    };
    typed(m_decimal, &FieldsFromDecimal);
    typed(m_binary, &FieldsFromBinary);
    typed(m_hex, &FieldsFromHex);
    typed(m_unsigned, &FieldsFromUnsigned);
    show(FieldsFromDecimal(cellText.trimmed().toStdString()));
}

// Bit 15 at the left to bit 0 at the right, in four groups of four under "15 12 11 8 7 4 3 0".
QWidget* CWriteRegDlg::buildBitGroup() {
    auto* group = new QGroupBox(QStringLiteral("Bit"), this);
    auto* grid = new QGridLayout(group);
    grid->setHorizontalSpacing(2);
    for (int position = 0; position < 16; ++position) {
        const int bit = 15 - position;
        const int column = position + position / 4; // a blank column between the groups
        auto* box = new QCheckBox(group);
        box->setObjectName(QStringLiteral("bit%1").arg(bit));
        m_bits[static_cast<std::size_t>(bit)] = box;
        grid->addWidget(box, 1, column);
        if (position % 4 == 0 || position % 4 == 3)
            grid->addWidget(new QLabel(QString::number(bit), group), 0, column);
        connect(box, &QCheckBox::clicked, this, &CWriteRegDlg::onBitClicked);
    }
    for (int gap = 4; gap < 19; gap += 5)
        grid->setColumnMinimumWidth(gap, 8);
    return group;
}

// The field the user is typing in keeps its text as typed; the others follow.
void CWriteRegDlg::show(const WriteFields& f) {
    const auto put = [](QLineEdit* edit, const std::string& text) {
        const QString value = QString::fromStdString(text);
        if (edit->text() != value)
            edit->setText(value);
    };
    put(m_decimal, f.decimal);
    put(m_binary, f.binary);
    put(m_hex, f.hex);
    put(m_unsigned, f.unsignedText);
    for (std::size_t bit = 0; bit < m_bits.size(); ++bit)
        m_bits[bit]->setChecked(f.bits[bit]);
    m_message->hide();
}

void CWriteRegDlg::onBitClicked() {
    std::array<bool, 16> bits{};
    for (std::size_t bit = 0; bit < bits.size(); ++bit)
        bits[bit] = m_bits[bit]->isChecked();
    show(FieldsFromBits(bits));
}

void CWriteRegDlg::onWrite() {
    const QString refusal = m_writer ? m_writer(m_decimal->text(), m_unsigned->text()) : QString();
    if (refusal.isEmpty()) {
        accept();
        return;
    }
    m_message->setText(refusal);
    m_message->show();
}

QString CWriteRegDlg::refusal() const {
    return m_message->isHidden() ? QString() : m_message->text();
}

} // namespace vantor
