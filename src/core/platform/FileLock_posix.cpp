#include "FileLock.h"

#include <QFile>
#include <QThread>

#include <cerrno>
#include <sys/file.h>
#include <unistd.h>

namespace FileLock {

bool acquire(QFile& file, Mode mode, int timeoutMs) {
    const int fd = file.handle();
    if (fd < 0)
        return false;
    const int op = (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB;
    for (int waited = 0;; waited += 10) {
        if (::flock(fd, op) == 0)
            return true;
        if (errno != EWOULDBLOCK && errno != EINTR)
            return false;
        if (waited >= timeoutMs)
            return false;
        QThread::msleep(10);
    }
}

void release(QFile& file) {
    if (file.handle() >= 0)
        ::flock(file.handle(), LOCK_UN);
}

bool sync(QFile& file) {
    return file.handle() >= 0 && ::fsync(file.handle()) == 0;
}

} // namespace FileLock
