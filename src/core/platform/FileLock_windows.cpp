#include "FileLock.h"

#include <QFile>
#include <QThread>

#include <io.h>
#include <windows.h>

namespace FileLock {
namespace {

// Windows locks are mandatory for the bytes they cover, so the lock sits on one byte far
// past any real record: copies of the program coordinate, other readers are not blocked.
constexpr DWORD kLockOffsetHigh = 0x7FFFFFFF;

HANDLE nativeHandle(QFile& file) {
    const int fd = file.handle();
    return fd < 0 ? INVALID_HANDLE_VALUE : reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

} // namespace

bool acquire(QFile& file, Mode mode, int timeoutMs) {
    HANDLE h = nativeHandle(file);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD flags = LOCKFILE_FAIL_IMMEDIATELY;
    if (mode == Mode::Exclusive)
        flags |= LOCKFILE_EXCLUSIVE_LOCK;
    for (int waited = 0;; waited += 10) {
        OVERLAPPED at{};
        at.OffsetHigh = kLockOffsetHigh;
        if (LockFileEx(h, flags, 0, 1, 0, &at))
            return true;
        if (GetLastError() != ERROR_LOCK_VIOLATION || waited >= timeoutMs)
            return false;
        QThread::msleep(10);
    }
}

void release(QFile& file) {
    HANDLE h = nativeHandle(file);
    if (h == INVALID_HANDLE_VALUE)
        return;
    OVERLAPPED at{};
    at.OffsetHigh = kLockOffsetHigh;
    UnlockFileEx(h, 0, 1, 0, &at);
}

bool sync(QFile& file) {
    HANDLE h = nativeHandle(file);
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

} // namespace FileLock
