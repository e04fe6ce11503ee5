// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every message box of the program goes through here, so that tests can read the text instead
// of facing a modal loop.
#include <QString>
#include <functional>

class QWidget;

namespace vantor {

enum class MessageKind { Information, Warning, Critical };

using MessageSink = std::function<void(QWidget* parent, const QString& text, MessageKind kind)>;

void ShowMessage(QWidget* parent, const QString& text, MessageKind kind = MessageKind::Warning);
// Replaces the modal box (tests); an empty sink restores it.
void SetMessageSink(MessageSink sink);

// A modal question with the buttons "是" and "否"; true for "是".
using QuestionSink =
    std::function<bool(QWidget* parent, const QString& title, const QString& text)>;
bool AskYesNo(QWidget* parent, const QString& title, const QString& text);
// Replaces the modal question (tests); an empty sink restores it.
void SetQuestionSink(QuestionSink sink);

// A modal question with the buttons "是", "否" and "取消" (also the answer when the box is closed).
enum class Answer { Yes, No, Cancel };
using ChoiceSink =
    std::function<Answer(QWidget* parent, const QString& title, const QString& text)>;
Answer AskYesNoCancel(QWidget* parent, const QString& title, const QString& text);
// Replaces the modal question (tests); an empty sink restores it.
void SetChoiceSink(ChoiceSink sink);

} // namespace vantor
