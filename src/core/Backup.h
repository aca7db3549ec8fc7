#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <atomic>
#include <functional>

// The backup of a program folder: one zip holding the registers, the document index, their
// side files, the settings, the credential and the attachments folder, with the list of
// its contents (BackupManifest.h) as the entry "Faldora_Backup.txt".
namespace Backup {

// How far a backup or a restore is (bytes read of all to read), and the request to stop.
struct Control {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancel{false};
    // Called now and then, for a window that keeps itself alive meanwhile.
    std::function<void()> tick;
};

// "Faldora_Backup_2026-03-05_1030.zip".
QString fileName(const QDateTime& at);

// One file of the data a backup takes, as a path relative to the program folder with "/"
// between folders.
struct Item {
    QString path;
    // The file whose lock covers it: an archive (its record lock) or the settings or the
    // credential (their lock files); empty for attachments, which are only ever replaced
    // whole by a rename.
    QString lockedBy;
};

// What a backup of `programFolder` (ending with its separator) takes now, archives first,
// each followed by its side files, then the settings, the credential and the attachments.
// Lock files and a rewrite's passing ".riscrittura" are left out: a lock file holds nothing,
// and the reading lock completes a pending rewrite before the archive is read. Copies still
// on their way into the attachments folder (".allegato-...") are left out too.
QList<Item> dataIn(const QString& programFolder);

// True for a path that can be part of a program folder's data as dataIn() lists it: an
// archive or one of its side files, the settings, the credential, or a file inside the
// attachments folder. Anything else (a path that climbs out with "..", an absolute path,
// a drive letter, a backslash, a name Windows opens a device for, any other file) is not.
bool isDataPath(const QString& path);

// The side files an archive may have beside it, as suffixes of its name.
QStringList sideSuffixes();

enum class Outcome { Written, Cancelled, Failed };
struct Result {
    Outcome outcome = Outcome::Failed;
    QString path;  // the zip written
    QString error; // why not, in Italian
};

// Writes the backup of `programFolder` into `targetFolder`, named after `at`
// (with "_2", "_3"... when that name is taken). Each archive with its side files is first
// copied aside under its shared lock (a copy of the program saving meanwhile waits only
// for that copy, never for the compression), and so are the settings and the credential
// under their lock files: no save is ever half in the backup. The zip is written under a
// temporary name and takes its own only once whole and on the disk: a failure or a cancel
// leaves nothing behind.
Result write(const QString& programFolder, const QString& targetFolder, const QDateTime& at,
             Control& control);

} // namespace Backup
