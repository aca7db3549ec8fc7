#include "Messages.h"

#include "Services.h"

namespace Messages {

const QString kArchiveAccessError = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");

void notice(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Notice, text);
}
void warning(QWidget* parent, const QString& text) {
    Services::messages().show(parent, MessageKind::Warning, text);
}
bool warningAccepted(QWidget* parent, const QString& text) {
    return Services::messages().show(parent, MessageKind::Warning, text);
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
