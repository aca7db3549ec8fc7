#include "RecordFile.h"

#include "platform/FileLock.h"

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
    if (!FileLock::acquire(m_file, mode, lockTimeoutMs)) {
        m_file.close();
        return false;
    }
    m_locked = true;
    return true;
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
    if (!m_file.isOpen())
        return false;
    records.resize(qsizetype(maxRecords) * m_recordSize);
    const qint64 got = m_file.read(records.data(), records.size());
    if (got < 0)
        return false;
    const qint64 whole = got / m_recordSize * m_recordSize;
    records.truncate(whole);
    // Leave the position after the last whole record read.
    return whole == got || m_file.seek(m_file.pos() - (got - whole));
}

bool RecordFile::write(const QByteArray& record) {
    if (!m_file.isOpen() || record.size() != m_recordSize)
        return false;
    if (m_file.write(record) != m_recordSize)
        return false;
    return FileLock::sync(m_file);
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
