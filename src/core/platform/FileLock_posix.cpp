#include "FileLockPlatform.h"

#include <QFile>
#include <QFileDevice>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
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
#endif

} // namespace

namespace Platform {

bool hasHandle(QFileDevice& file) {
    return file.handle() >= 0;
}

#ifdef F_OFD_SETLK
bool tryGate(QFileDevice& file, bool exclusive) {
    return setLock(file.handle(), exclusive ? F_WRLCK : F_RDLCK, kGate, 1);
}
void openGate(QFileDevice& file) {
    setLock(file.handle(), F_UNLCK, kGate, 1);
}
bool tryData(QFileDevice& file, Mode mode) {
    return setLock(file.handle(), mode == Mode::Shared ? F_RDLCK : F_WRLCK, 0, kGate);
}
void releaseData(QFileDevice& file) {
    setLock(file.handle(), F_UNLCK, 0, kGate);
}
#else
// Elsewhere flock, which knows one whole-file lock only: no gate.
bool tryGate(QFileDevice&, bool) {
    return true;
}
void openGate(QFileDevice&) {}
bool tryData(QFileDevice& file, Mode mode) {
    return ::flock(file.handle(), (mode == Mode::Shared ? LOCK_SH : LOCK_EX) | LOCK_NB) == 0;
}
void releaseData(QFileDevice& file) {
    ::flock(file.handle(), LOCK_UN);
}
#endif

Result lastFailure() {
    const int error = errno;
    if (isUnsupported(error))
        return Result::Unsupported;
    return isBusy(error) ? Result::Busy : Result::Failed;
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

} // namespace Platform

bool openLockFile(QFile& file, const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    constexpr mode_t kEveryone = 0666;
    // Two tries: a lock file removed between "it exists" and opening it is made again.
    for (int attempt = 0; attempt < 2; ++attempt) {
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kEveryone);
        if (fd >= 0) {
            // The umask took rights from the others; only the maker can give them back.
            (void)::fchmod(fd, kEveryone);
        } else if (errno == EEXIST) {
            // Made by another copy, maybe of another user, maybe a moment ago.
            fd = ::open(name.constData(), O_RDWR | O_CLOEXEC);
            if (fd < 0 && errno == ENOENT)
                continue;
            // An earlier copy made it with its user's umask: its owner opens it up.
            struct stat st {};
            if (fd >= 0 && ::fstat(fd, &st) == 0 && st.st_uid == ::geteuid() &&
                (st.st_mode & kEveryone) != kEveryone)
                (void)::fchmod(fd, (st.st_mode & 07777) | kEveryone);
        }
        if (fd < 0)
            return false;
        if (file.open(fd, QIODevice::ReadWrite, QFileDevice::AutoCloseHandle))
            return true;
        ::close(fd);
        return false;
    }
    return false;
}

bool openForReading(QFile& file, const QString& path) {
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

bool openForMoving(QFile& file, const QString& path) {
    // Written to nowhere: open for writing only because an exclusive lock needs it.
    file.setFileName(path);
    return file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly);
}

bool syncFiles(const QStringList& paths) {
    if (paths.isEmpty())
        return true;
#if defined(__linux__)
    // One call for the volume instead of one per file: a backup holds thousands of them.
    const int fd = ::open(QFile::encodeName(paths.first()).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::syncfs(fd) == 0;
    ::close(fd);
    return ok;
#else
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly) || !sync(file))
            return false;
    }
    for (const QString& path : paths)
        syncFolderOf(path);
    return true;
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
