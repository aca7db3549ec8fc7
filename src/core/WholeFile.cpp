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

bool replace(const QString& path, QByteArrayView bytes) {
    QSaveFile file(path);
    // Unbuffered: a write the disk refuses fails here, not later inside commit().
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const qint64 n = file.write(bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            file.cancelWriting();
            return false;
        }
        done += n;
    }
    if (!FileLock::sync(file)) {
        file.cancelWriting();
        return false;
    }
    if (!(testCommit ? testCommit(file) : file.commit())) {
        file.cancelWriting();
        return false;
    }
    FileLock::syncFolderOf(path);
    return true;
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
