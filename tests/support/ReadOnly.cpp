#include "ReadOnly.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryFile>

namespace {

bool runChattr(const QString& flag, const QString& path) {
    return QProcess::execute(QStringLiteral("chattr"), {flag, path}) == 0;
}

// Whether a new file can still be made next to (or in) `path`.
bool canCreateIn(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/probe-XXXXXX"));
    return probe.open();
}

// Whether the file still opens for writing: the permission bits alone do not tell for root,
// nor under Wine run by root.
bool opensForWriting(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadWrite);
}

} // namespace

ReadOnly::ReadOnly(const QString& path) : m_path(path) {
    const QFileInfo info(path);
    const auto perms = info.permissions();
    QFile::setPermissions(path, perms & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                          QFileDevice::WriteGroup | QFileDevice::WriteOther));
    const bool refused = info.isDir() ? !canCreateIn(path) : !opensForWriting(path);
    if (refused) {
        m_ok = true;
        return;
    }
    // Root writes through permission bits.
    QFile::setPermissions(path, perms);
    m_immutable = runChattr(QStringLiteral("+i"), path);
    m_ok = m_immutable && (info.isDir() ? !canCreateIn(path) : !opensForWriting(path));
}

ReadOnly::~ReadOnly() {
    if (m_immutable)
        runChattr(QStringLiteral("-i"), m_path);
    QFile::setPermissions(m_path, QFileInfo(m_path).permissions() | QFileDevice::WriteOwner |
                                      QFileDevice::WriteUser);
}
