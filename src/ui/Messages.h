#pragma once

#include <QString>

class QWidget;

// The five kinds of message box. Each waits for the user's answer.
namespace Messages {

// An archive file could not be opened, created, read or written.
extern const QString kArchiveAccessError;

void notice(QWidget* parent, const QString& text);
void warning(QWidget* parent, const QString& text);
// A warning whose two buttons mean something: true for OK, false for Cancel.
bool warningAccepted(QWidget* parent, const QString& text);
void information(QWidget* parent, const QString& text);
void error(QWidget* parent, const QString& text);
// True when the user answers Yes.
bool question(QWidget* parent, const QString& text);

} // namespace Messages
