#include "FileLockPlatform.h"

#include <QDir>
#include <QFile>
#include <QFileDevice>
#include <fcntl.h>
#include <string>

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

} // namespace

namespace Platform {

bool hasHandle(QFileDevice& file) {
    return nativeHandle(file) != INVALID_HANDLE_VALUE;
}
bool tryGate(QFileDevice& file, bool exclusive) {
    return tryLock(nativeHandle(file), kGateOffsetLow, exclusive);
}
void openGate(QFileDevice& file) {
    unlock(nativeHandle(file), kGateOffsetLow);
}
bool tryData(QFileDevice& file, Mode mode) {
    return tryLock(nativeHandle(file), 0, mode == Mode::Exclusive);
}
void releaseData(QFileDevice& file) {
    unlock(nativeHandle(file), 0);
}

Result lastFailure() {
    const DWORD error = GetLastError();
    if (error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION)
        return Result::Unsupported;
    return error == ERROR_LOCK_VIOLATION || error == ERROR_IO_PENDING ? Result::Busy
                                                                      : Result::Failed;
}

bool sync(QFileDevice& file) {
    HANDLE h = nativeHandle(file);
    return h != INVALID_HANDLE_VALUE && FlushFileBuffers(h);
}

} // namespace Platform

bool openLockFile(QFile& file, const QString& path) {
    // A new file takes its rights from the folder's inherited access list, so every user who
    // can write the folder can open it too.
    file.setFileName(path);
    return file.open(QIODevice::ReadWrite);
}

namespace {

// An existing file opened with every sharing, delete included, so that a rename by anyone
// (this process too) is never refused while it is open.
bool openShared(QFile& file, const QString& path, bool write) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    HANDLE h = CreateFileW(name.c_str(), write ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const int fd =
        _open_osfhandle(reinterpret_cast<intptr_t>(h), (write ? _O_RDWR : _O_RDONLY) | _O_BINARY);
    if (fd < 0) {
        CloseHandle(h);
        return false;
    }
    if (file.open(fd, write ? QIODevice::ReadWrite : QIODevice::ReadOnly,
                  QFileDevice::AutoCloseHandle))
        return true;
    _close(fd);
    return false;
}

} // namespace

bool openForReading(QFile& file, const QString& path) {
    return openShared(file, path, false);
}

bool openForMoving(QFile& file, const QString& path) {
    return openShared(file, path, true);
}

bool syncFiles(const QStringList& paths) {
    for (const QString& path : paths) {
        QFile file;
        if (!openForMoving(file, path) || !sync(file))
            return false;
    }
    return true;
}

bool syncFolderOf(const QString&) {
    return true; // a replacing rename is recorded by the file system's own journal
}

} // namespace FileLock
