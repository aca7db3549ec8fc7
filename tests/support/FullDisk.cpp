#include "FullDisk.h"

#include <QFile>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <csignal>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#endif

#ifdef Q_OS_LINUX

FileSizeLimit::FileSizeLimit(long long bytes) {
    struct rlimit limit {};
    m_why = QStringLiteral("the file-size limit cannot be set here");
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0)
        return;
    m_previous = limit.rlim_cur;
    std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = rlim_t(bytes);
    m_ok = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    struct rlimit limit {};
    if (m_ok && ::getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = rlim_t(m_previous);
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
}

TinyDisk::TinyDisk(const QString& folder, long long bytes) : m_folder(folder) {
    const QByteArray options = "size=" + QByteArray::number(bytes);
    if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) !=
        0) {
        m_why = QStringLiteral("cannot mount a tmpfs here: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_ok = true;
}

TinyDisk::~TinyDisk() {
    if (m_ok)
        ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
}

bool TinyDisk::fill() {
    QFile filler(m_folder + QStringLiteral("/riempimento.bin"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'x');
    while (filler.write(block) == block.size()) {
    }
    // The last, partly used page too.
    while (filler.write("x", 1) == 1) {
    }
    return true;
}

#else

FileSizeLimit::FileSizeLimit(long long) {
    m_why = QStringLiteral("a per-process file-size limit is a Linux facility");
}
FileSizeLimit::~FileSizeLimit() = default;
TinyDisk::TinyDisk(const QString& folder, long long) : m_folder(folder) {
    m_why = QStringLiteral("tmpfs is a Linux file system");
}
TinyDisk::~TinyDisk() = default;
bool TinyDisk::fill() {
    return false;
}

#endif
