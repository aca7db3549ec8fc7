#include "FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileDevice>
#include <QThread>

#include <algorithm>

#include <io.h>
#include <windows.h>

namespace FileLock {
namespace {

// Windows locks are mandatory for the bytes they cover, so both parts of the lock sit far
// past any real record: copies of the program coordinate, other readers are not blocked.
constexpr DWORD kDataOffsetHigh = 0x7FFFFFFF;
constexpr DWORD kGateOffsetLow = 1; // the byte after the data lock's

HANDLE nativeHandle(QFileDevice& file) {
    const int fd = file.handle();
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

OVERLAPPED at(DWORD low) {
    OVERLAPPED o{};
    o.Offset = low;
    o.OffsetHigh = kDataOffsetHigh;
    return o;
}

bool tryLock(HANDLE h, DWORD low, bool exclusive) {
    OVERLAPPED o = at(low);
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY;
    if (exclusive)
        flags |= LOCKFILE_EXCLUSIVE_LOCK;
    return LockFileEx(h, flags, 0, 1, 0, &o);
}

void unlock(HANDLE h, DWORD low) {
    OVERLAPPED o = at(low);
    UnlockFileEx(h, 0, 1, 0, &o);
}

// Pauses grow from 1 ms to 10 ms, so a lock handed over changes hands at once.
template <typename Attempt> Result waitFor(Attempt attempt, const QDeadlineTimer& deadline) {
    for (int pause = 1;; pause = std::min(pause * 2, 10)) {
        if (attempt())
            return Result::Locked;
        const DWORD error = GetLastError();
        if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
            return Result::Unsupported;
        if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING)
            return Result::Failed;
        if (deadline.hasExpired())
            return Result::Busy;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}

} // namespace

Result acquire(QFileDevice& file, Mode mode, int timeoutMs) {
    HANDLE h = nativeHandle(file);
    if (h == INVALID_HANDLE_VALUE)
        return Result::Failed;
    const QDeadlineTimer deadline(timeoutMs);
    const bool writer = mode == Mode::Exclusive;
    const Result gate = waitFor([&] { return tryLock(h, kGateOffsetLow, writer); }, deadline);
    if (gate != Result::Locked)
        return gate;
    if (!writer)
        unlock(h, kGateOffsetLow);
    const Result data = waitFor([&] { return tryLock(h, 0, writer); }, deadline);
    if (writer)
        unlock(h, kGateOffsetLow);
    return data;
}

void release(QFileDevice& file) {
    HANDLE h = nativeHandle(file);
    if (h != INVALID_HANDLE_VALUE)
        unlock(h, 0);
}

bool sync(QFileDevice& file) {
    HANDLE h = nativeHandle(file);
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

bool syncFolderOf(const QString&) {
    return true; // a replacing rename is recorded by the file system's own journal
}

} // namespace FileLock
