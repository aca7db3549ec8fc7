#include "WholeFile.h"

#include "platform/FileLock.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace WholeFile {
namespace {

Commit testCommit = nullptr;

} // namespace

void setCommitForTests(Commit commit) {
    testCommit = commit;
}

Stream::Stream(const QString& path)
    : m_file(std::make_unique<QSaveFile>(path)),
      // Unbuffered: a write the disk refuses fails here, not later inside commit().
      m_ok(m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {}

Stream::~Stream() {
    if (m_file->isOpen())
        m_file->cancelWriting();
}

bool Stream::write(QByteArrayView bytes) {
    qint64 done = 0;
    while (m_ok && done < bytes.size()) {
        const qint64 n = m_file->write(bytes.data() + done, bytes.size() - done);
        m_ok = n > 0;
        done += n;
    }
    return m_ok;
}

bool Stream::commit() {
    if (!m_ok || !FileLock::sync(*m_file) ||
        !(testCommit ? testCommit(*m_file) : m_file->commit())) {
        m_ok = false;
        if (m_file->isOpen())
            m_file->cancelWriting();
        return false;
    }
    FileLock::syncFolderOf(m_file->fileName());
    return true;
}

bool replace(const QString& path, QByteArrayView bytes) {
    Stream file(path);
    return file.write(bytes) && file.commit();
}

QByteArray read(const QString& path, qint64 maxBytes) {
    QFile file;
    // Never in the way of another copy that replaces the file meanwhile.
    if (!FileLock::openForReading(file, path))
        return {};
    // Asking for the limit itself would reserve it whole, however small the file.
    return file.read(std::min(file.size(), maxBytes));
}

} // namespace WholeFile
