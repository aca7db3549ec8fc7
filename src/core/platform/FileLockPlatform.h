#pragma once

#include "FileLock.h"

class QFileDevice;

// What each platform gives the lock protocol that FileLock.cpp runs the same way on every
// platform: single attempts that never wait, and what the last failed one meant.
namespace FileLock::Platform {

// False when the file has no system handle (not open).
bool hasHandle(QFileDevice& file);

// The gate: shared for a reader passing through, exclusive for a writer waiting.
bool tryGate(QFileDevice& file, bool exclusive);
void openGate(QFileDevice& file);

// The data lock.
bool tryData(QFileDevice& file, Mode mode);
void releaseData(QFileDevice& file);

// Puts the file's written bytes on the disk.
bool sync(QFileDevice& file);

// Why the attempt just made failed: Busy (another copy holds it: try again), Unsupported
// or Failed.
Result lastFailure();

} // namespace FileLock::Platform
