#pragma once

#include "core/Restore.h"

#include <QString>

class QWidget;

// The backup and the restore of the program folder, as the main menu runs them: the file
// dialogs, the progress windows, the confirmation and the messages around core/Backup and
// core/Restore.
namespace BackupFlow {

// "Backup": asks for the folder (the last one used first), writes the backup there and says
// how it went.
void backup(QWidget* from);

// "Ripristina backup": asks for the zip, checks it whole, shows what it holds and asks;
// then restores it. True when the program folder now holds the restored files.
bool restore(QWidget* from);

// What the restore asks before it begins: the backup's date, the cards of each archive, the
// attachments, and where the current files go.
QString confirmation(const Restore::Contents& contents);

// At the start, before anything opens an archive: a restore that was killed in the middle is
// undone. False when it could not be, and then the program must not go on (it would make
// files where the previous ones are to come back).
bool recoverAtStart();

} // namespace BackupFlow
