#include "Messages.h"

#include "Services.h"

namespace Messages {

void notice(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Notice, text);
}
void warning(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Warning, text);
}
void information(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Information, text);
}
void error(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Error, text);
}
bool question(QWidget* parent, const QString& text) {
    return Services::messages().show(parent, MessageKind::Question, text);
}

} // namespace Messages
