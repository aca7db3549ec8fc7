#pragma once

#include <QString>
#include <QStringList>

class QFile;
class QFileDevice;

// Advisory locks that two copies of the program sharing a folder respect, and the flushes
// that put written bytes on the disk. One implementation per platform.
//
// A lock has two parts: the data lock (shared for readers, exclusive for writers) and a
// gate. A writer holds the gate while it waits for the data lock, and readers pass
// through the gate before they take theirs, so a waiting writer is served before readers
// that arrive after it: a busy stream of readers cannot starve a save.
namespace FileLock {

enum class Mode { Shared, Exclusive };

enum class Result {
    Locked,      // held until release()
    Unsupported, // the file system keeps no locks: the file is used without one
    Busy,        // another copy kept it past the timeout
    Failed,      // any other error
};

// Waits up to `timeoutMs` for the lock on the open file.
Result acquire(QFileDevice& file, Mode mode, int timeoutMs);
void release(QFileDevice& file);
// The same, as every user of a lock takes it: true when the lock is held, and also when the
// file system keeps no locks (the file is then used without one); `held` says whether a
// release() is owed.
bool take(QFileDevice& file, Mode mode, int timeoutMs, bool& held);

// Opens the lock file `path` for reading and writing, making it when it is missing, so that
// every user who can write its folder can open and lock it, whatever this user's own
// defaults for new files. False when it cannot be opened (then it cannot be locked either).
bool openLockFile(QFile& file, const QString& path);

// Opens an existing file for reading in a way that never stands in the way of a writer
// replacing it meanwhile (on Windows a file open without delete sharing refuses the rename
// that puts a new version in its place).
bool openForReading(QFile& file, const QString& path);

// Opens an existing file so that it can be locked (shared or exclusive) and still be moved
// to another name or folder while the lock is held; the lock goes with the file.
bool openForMoving(QFile& file, const QString& path);

// Asks the system to put the file's written bytes on the disk.
bool sync(QFileDevice& file);

// Puts the written bytes of every file in `paths` (closed, all on one volume) on the disk,
// and their folders' entries too: one call for the whole volume where the system has it,
// one flush per file elsewhere.
bool syncFiles(const QStringList& paths);

// Moves `from` to `to` (a file or a folder) in one call to the system, never by copying as
// QFile::rename does between volumes: on one volume a power cut cannot leave it half done.
// A file already at `to` is replaced.
bool rename(const QString& from, const QString& to);

// After a file was put in place by a rename: makes the rename itself durable (the folder's
// entry). True where the system needs nothing for it.
bool syncFolderOf(const QString& path);

// Seams through which a test makes the system refuse one call, as a full disk, a dropped
// network share or a file system without locks would. The program never sets them.
struct Faults {
    // Syncs still to succeed before one fails; negative: none fails.
    int syncsBeforeFailure = -1;
    // Syncs still to succeed before the process dies at the next, as in a power cut;
    // negative: none.
    int syncsBeforeDeath = -1;
    // Every lock attempt fails as on a file system that keeps no locks.
    bool noLocks = false;
    // Every wait for a lock held elsewhere gives up after at most this long, as the full
    // wait would; negative: each waits as long as it asks.
    int longestWaitMs = -1;
    // Lock attempts made so far (gate and data lock alike).
    int lockAttempts = 0;
};
Faults& faults();

} // namespace FileLock
