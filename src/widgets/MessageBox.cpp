// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>

namespace vantor {

namespace {

MessageSink& Sink() {
    static MessageSink sink;
    return sink;
}

QuestionSink& Questions() {
    static QuestionSink sink;
    return sink;
}

ChoiceSink& Choices() {
    static ChoiceSink sink;
    return sink;
}

} // namespace

void ShowMessage(QWidget* parent, const QString& text, MessageKind kind) {
    if (Sink()) {
        Sink()(parent, text, kind);
        return;
    }
    const QString title = QCoreApplication::applicationName();
    switch (kind) {
    case MessageKind::Information:
        QMessageBox::information(parent, title, text);
        break;
    case MessageKind::Warning:
        QMessageBox::warning(parent, title, text);
        break;
    case MessageKind::Critical:
        QMessageBox::critical(parent, title, text);
        break;
    }
}

void SetMessageSink(MessageSink sink) {
    Sink() = std::move(sink);
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
    if (Questions())
        return Questions()(parent, title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QCoreApplication::translate("vantor::MessageBox", "是"),
                                     QMessageBox::YesRole);
    box.setDefaultButton(box.addButton(QCoreApplication::translate("vantor::MessageBox", "否"),
                                       QMessageBox::NoRole));
    box.exec();
    return box.clickedButton() == yes;
}

void SetQuestionSink(QuestionSink sink) {
    Questions() = std::move(sink);
}

Answer AskYesNoCancel(QWidget* parent, const QString& title, const QString& text) {
    if (Choices())
        return Choices()(parent, title, text);
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QCoreApplication::translate("vantor::MessageBox", "是"),
                                     QMessageBox::YesRole);
    QPushButton* no =
        box.addButton(QCoreApplication::translate("vantor::MessageBox", "否"), QMessageBox::NoRole);
    QPushButton* cancel = box.addButton(QCoreApplication::translate("vantor::MessageBox", "取消"),
                                        QMessageBox::RejectRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == yes)
        return Answer::Yes;
    return box.clickedButton() == no ? Answer::No : Answer::Cancel;
}

void SetChoiceSink(ChoiceSink sink) {
    Choices() = std::move(sink);
}

} // namespace vantor
