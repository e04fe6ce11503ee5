#include "widgets/MessageBox.h"

#include <QCoreApplication>
#include <QMessageBox>

namespace vantor {

namespace {

MessageSink& Sink() {
    static MessageSink sink;
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

} // namespace vantor
