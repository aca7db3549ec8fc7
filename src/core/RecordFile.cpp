#include "RecordFile.h"

#include "platform/FileLock.h"

#include <algorithm>

RecordFile::RecordFile(int recordSize) : m_recordSize(recordSize) {}

RecordFile::~RecordFile() {
    close();
}

bool RecordFile::open(const QString& path, Access access, int lockTimeoutMs) {
    close();
    m_file.setFileName(path);
    // Unbuffered: every write goes straight to the file, nothing waits in a buffer.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
        return false;
    const auto mode = access == Access::Write ? FileLock::Mode::Exclusive : FileLock::Mode::Shared;
    switch (FileLock::acquire(m_file, mode, lockTimeoutMs)) {
    case FileLock::Result::Locked:
        m_locked = true;
        return true;
    case FileLock::Result::Unsupported:
        return true;
    case FileLock::Result::Busy:
    case FileLock::Result::Failed:
        break;
    }
    m_file.close();
    return false;
}

std::optional<int> RecordFile::count() const {
    if (!m_file.isOpen())
        return std::nullopt;
    const qint64 size = m_file.size();
    if (size < 0)
        return std::nullopt;
    return static_cast<int>(size / m_recordSize);
}

bool RecordFile::seek(int index) {
    const auto n = count();
    if (!n || index < 0 || index > *n)
        return false;
    return m_file.seek(qint64(index) * m_recordSize);
}

bool RecordFile::read(QByteArray& record) {
    if (!m_file.isOpen())
        return false;
    record = m_file.read(m_recordSize);
    return record.size() == m_recordSize;
}

bool RecordFile::readBlock(int maxRecords, QByteArray& records) {
    records.resize(qsizetype(maxRecords) * m_recordSize);
    const int got = readBlock(maxRecords, records.data());
    records.truncate(got < 0 ? 0 : qsizetype(got) * m_recordSize);
    return got >= 0;
}

int RecordFile::readBlock(int maxRecords, char* into) {
    if (!m_file.isOpen())
        return -1;
    const qint64 got = m_file.read(into, qint64(maxRecords) * m_recordSize);
    if (got < 0)
        return -1;
    const qint64 whole = got / m_recordSize * m_recordSize;
    // Leave the position after the last whole record read.
    if (whole != got && !m_file.seek(m_file.pos() - (got - whole)))
        return -1;
    return int(whole / m_recordSize);
}

bool RecordFile::write(const QByteArray& record) {
    if (!m_file.isOpen() || record.size() != m_recordSize)
        return false;
    const qint64 at = m_file.pos();
    const qint64 length = m_file.size();
    if (at < 0 || length < 0)
        return false;
    // The bytes this write covers (a record, or an incomplete tail), to put back on failure.
    QByteArray before;
    if (at < length) {
        before = m_file.read(std::min<qint64>(m_recordSize, length - at));
        if (!m_file.seek(at))
            return false;
    }
    if (m_file.write(record) == m_recordSize && FileLock::sync(m_file))
        return true;
    undoWrite(at, before, length);
    return false;
}

void RecordFile::undoWrite(qint64 at, const QByteArray& before, qint64 length) {
    // Bytes written over go back in place first: they lie in room the file already had,
    // which even a full disk gives back.
    if (!before.isEmpty() && m_file.seek(at))
        m_file.write(before);
    m_file.resize(length);
    FileLock::sync(m_file);
    m_file.seek(at);
}

int RecordFile::position() const {
    return m_file.isOpen() ? static_cast<int>(m_file.pos() / m_recordSize) : 0;
}

void RecordFile::close() {
    if (!m_file.isOpen())
        return;
    if (m_locked)
        FileLock::release(m_file);
    m_locked = false;
    m_file.close();
}
