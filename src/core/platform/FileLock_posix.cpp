#include "FileLock.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileDevice>
#include <QFileInfo>
#include <QThread>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace FileLock {
namespace {

bool isBusy(int error) {
    return error == EAGAIN || error == EACCES || error == EWOULDBLOCK || error == EINTR;
}

bool isUnsupported(int error) {
    return error == ENOLCK || error == EOPNOTSUPP || error == ENOSYS || error == EINVAL;
}

#ifdef F_OFD_SETLK
// Open-file-description locks (Linux): tied to the open file like Windows locks, so two
// handles conflict even inside one process, and they work on network file systems. The
// data lock covers everything below the gate byte, however far the file grows.
constexpr off_t kGate = off_t(1) << 62;

bool setLock(int fd, short type, off_t start, off_t length) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

bool tryGate(int fd, bool exclusive) {
    return setLock(fd, exclusive ? F_WRLCK : F_RDLCK, kGate, 1);
}
void openGate(int fd) {
    setLock(fd, F_UNLCK, kGate, 1);
}
bool tryData(int fd, Mode mode) {
    return setLock(fd, mode == Mode::Shared ? F_RDLCK : F_WRLCK, 0, kGate);
}
void releaseData(int fd) {
    setLock(fd, F_UNLCK, 0, kGate);
}
#else
// Elsewhere flock, which knows one whole-file lock only: no gate.
bool tryGate(int, bool) {
    return true;
}
void openGate(int) {}
bool tryData(int fd, Mode mode) {
    return ::flock(fd, (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0;
}
void releaseData(int fd) {
    ::flock(fd, LOCK_UN);
}
#endif

// Polls `attempt` until it succeeds, fails for good or the time is up; the pauses grow
// from 1 ms to 10 ms, so a lock handed over between two copies changes hands at once.
template <typename Attempt> Result waitFor(Attempt attempt, const QDeadlineTimer& deadline) {
    for (int pause = 1;; pause = std::min(pause * 2, 10)) {
        if (attempt())
            return Result::Locked;
        const int error = errno;
        if (isUnsupported(error))
            return Result::Unsupported;
        if (!isBusy(error))
            return Result::Failed;
        if (deadline.hasExpired())
            return Result::Busy;
        QThread::msleep(static_cast<unsigned long>(pause));
    }
}

} // namespace

Result acquire(QFileDevice& file, Mode mode, int timeoutMs) {
    const int fd = file.handle();
    if (fd < 0)
        return Result::Failed;
    const QDeadlineTimer deadline(timeoutMs);
    const bool writer = mode == Mode::Exclusive;
    // A reader passes through the gate; a writer keeps it until it has the data lock.
    const Result gate = waitFor([&] { return tryGate(fd, writer); }, deadline);
    if (gate != Result::Locked)
        return gate;
    if (!writer)
        openGate(fd);
    const Result data = waitFor([&] { return tryData(fd, mode); }, deadline);
    if (writer)
        openGate(fd);
    return data;
}

void release(QFileDevice& file) {
    const int fd = file.handle();
    if (fd >= 0)
        releaseData(fd);
}

bool sync(QFileDevice& file) {
    if (file.handle() < 0)
        return false;
#if defined(__linux__)
    return ::fdatasync(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

bool syncFolderOf(const QString& path) {
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    // Some file systems cannot sync a folder; the rename is then as durable as they make it.
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL || errno == EROFS;
    ::close(fd);
    return ok;
}

} // namespace FileLock
