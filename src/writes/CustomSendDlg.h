// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The function bar page "发送命令": a frame typed in hexadecimal, sent once without its CRC
// (the serial sender appends it; over Modbus TCP it goes out in an MBAP header).
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vantor {

class WriteService;

class CCustomSendDlg : public QWidget {
    Q_OBJECT
public:
    explicit CCustomSendDlg(WriteService* writes, QWidget* parent = nullptr);

    QPlainTextEdit* textEdit() const { return m_text; }
    QPushButton* sendButton() const { return m_send; }
    QString message() const; // the refusal shown, or ""

private:
    void send();

    WriteService* m_writes;
    QPlainTextEdit* m_text;
    QPushButton* m_send;
    QLabel* m_message;
};

} // namespace vantor
