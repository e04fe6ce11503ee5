// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "06号命令写入单个Input寄存器": the value of one cell as decimal, binary, hexadecimal and
// unsigned text and as sixteen bit boxes, kept in step by the conversions of WriteFields. Each
// edit reacts only to the user's own typing, so the updates it makes do not echo back.
#include <QDialog>
#include <array>
#include <functional>

#include "writes/WriteFields.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vantor {

class CWriteRegDlg : public QDialog {
    Q_OBJECT
public:
    // Called on "写入" with the decimal and unsigned texts; a non-empty answer is a refusal,
    // shown in the dialog, which then stays open.
    using Writer = std::function<QString(const QString& decimal, const QString& unsignedText)>;

    CWriteRegDlg(const QString& cellText, Writer writer, QWidget* parent = nullptr);

    QLineEdit* decimalEdit() const { return m_decimal; }
    QLineEdit* binaryEdit() const { return m_binary; }
    QLineEdit* hexEdit() const { return m_hex; }
    QLineEdit* unsignedEdit() const { return m_unsigned; }
    QCheckBox* bitBox(int bit) const { return m_bits[static_cast<std::size_t>(bit)]; }
    QPushButton* writeButton() const { return m_write; }
    QString refusal() const;

private:
    QWidget* buildBitGroup();
    void show(const WriteFields& fields);
    void onBitClicked();
    void onWrite();

    Writer m_writer;
    QLineEdit* m_decimal;
    QLineEdit* m_binary;
    QLineEdit* m_hex;
    QLineEdit* m_unsigned;
    std::array<QCheckBox*, 16> m_bits{};
    QLabel* m_message;
    QPushButton* m_write;
};

} // namespace vantor
