#pragma once

class QFile;

// Advisory whole-file locks that two copies of the program sharing a folder respect,
// and a flush to the disk. One implementation per platform.
namespace FileLock {

enum class Mode { Shared, Exclusive };

// Waits up to `timeoutMs` for the lock on the open file; false when it was not had.
bool acquire(QFile& file, Mode mode, int timeoutMs);
void release(QFile& file);

// Asks the system to put the file's written bytes on the disk.
bool sync(QFile& file);

} // namespace FileLock
