#include "FileLock.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace FileLock {
namespace {

// Open-file-description locks where the system has them (Linux): tied to the open file
// like Windows locks, so two handles conflict even inside one process, and unlike flock
// they also work on network file systems. flock elsewhere.
bool tryLock(int fd, Mode mode) {
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = mode == Mode::Shared ? F_RDLCK : F_WRLCK;
    lock.l_whence = SEEK_SET; // start 0, length 0: the whole file, however it grows
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
#else
    return ::flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0;
#endif
}

bool isBusy(int error) {
    return error == EAGAIN || error == EACCES || error == EWOULDBLOCK || error == EINTR;
}

} // namespace

bool acquire(QFile& file, Mode mode, int timeoutMs) {
    const int fd = file.handle();
    if (fd < 0)
        return false;
    for (int waited = 0;; waited += 10) {
        if (tryLock(fd, mode))
            return true;
        if (!isBusy(errno) || waited >= timeoutMs)
            return false;
        QThread::msleep(10);
    }
}

void release(QFile& file) {
    const int fd = file.handle();
    if (fd < 0)
        return;
#ifdef F_OFD_SETLK
    struct flock lock {};
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
    ::fcntl(fd, F_OFD_SETLK, &lock);
#else
    ::flock(fd, LOCK_UN);
#endif
}

bool sync(QFile& file) {
    if (file.handle() < 0)
        return false;
#if defined(__linux__)
    return ::fdatasync(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

} // namespace FileLock
