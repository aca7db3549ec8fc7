#include "RecordFile.h"

#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QtEndian>
#include <algorithm>
#include <climits>

namespace {

// The side file of a rewrite: a line naming the format, the record's byte offset (8 bytes)
// and size (4 bytes, little-endian), the record as it was, the record as it is to be, and
// the SHA-256 of all that.
const QByteArray kRewriteHeader("Faldora riscrittura 1\n");
constexpr int kOffsetBytes = 8;
constexpr int kSizeBytes = 4;
constexpr int kChecksumBytes = 32;

QByteArray checksum(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256);
}

QByteArray rewriteEntry(qint64 at, const QByteArray& before, const QByteArray& after) {
    QByteArray entry = kRewriteHeader;
    char number[kOffsetBytes];
    qToLittleEndian<qint64>(at, number);
    entry.append(number, kOffsetBytes);
    qToLittleEndian<qint32>(qint32(after.size()), number);
    entry.append(number, kSizeBytes);
    entry += before;
    entry += after;
    entry += checksum(entry);
    return entry;
}

struct PendingRewrite {
    qint64 at = 0;
    QByteArray before, after;
};

// The rewrite a side file describes, when it is whole and for records of `recordSize`.
std::optional<PendingRewrite> parseRewrite(const QByteArray& entry, int recordSize) {
    const qsizetype fixed = kRewriteHeader.size() + kOffsetBytes + kSizeBytes;
    if (entry.size() != fixed + 2 * qsizetype(recordSize) + kChecksumBytes ||
        !entry.startsWith(kRewriteHeader) ||
        checksum(QByteArrayView(entry).chopped(kChecksumBytes)) != entry.right(kChecksumBytes))
        return std::nullopt;
    const char* numbers = entry.constData() + kRewriteHeader.size();
    PendingRewrite pending;
    pending.at = qFromLittleEndian<qint64>(numbers);
    if (qFromLittleEndian<qint32>(numbers + kOffsetBytes) != recordSize || pending.at < 0 ||
        pending.at % recordSize != 0)
        return std::nullopt;
    pending.before = entry.mid(fixed, recordSize);
    pending.after = entry.mid(fixed + recordSize, recordSize);
    return pending;
}

// A record that a rewrite from `before` to `after` may have left: each byte is the old or
// the new one. Anything else means that someone else wrote the card since.
bool isBetween(const QByteArray& record, const QByteArray& before, const QByteArray& after) {
    if (record.size() != after.size())
        return false;
    for (qsizetype i = 0; i < record.size(); ++i) {
        if (record[i] != before[i] && record[i] != after[i])
            return false;
    }
    return true;
}

} // namespace

RecordFile::RecordFile(int recordSize) : m_recordSize(recordSize) {}

RecordFile::~RecordFile() {
    close();
}

bool RecordFile::open(const QString& path, Access access, int lockTimeoutMs) {
    close();
    m_file.setFileName(path);
    // Unbuffered: every write goes straight to the file, nothing waits in a buffer. A reader
    // also reads a register it may not write: a past year marked read-only, a copy on a
    // read-only share or disc.
    if (!m_file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) &&
        (access == Access::Write || !m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered)))
        return false;
    const auto lock = [&](FileLock::Mode mode) {
        return FileLock::take(m_file, mode, lockTimeoutMs, m_locked);
    };
    const auto fail = [&] {
        close();
        return false;
    };
    if (!lock(access == Access::Write ? FileLock::Mode::Exclusive : FileLock::Mode::Shared))
        return fail();
    // A rewrite left behind by a killed copy is finished by the next one that can write the
    // register; until then a reader that cannot sees the card as it lies.
    if (!QFile::exists(rewritePath()) || !m_file.isWritable())
        return true;
    // A rewrite left behind by a copy that was killed: a reader takes the writer's lock to
    // finish it, then goes back to sharing.
    if (access == Access::Read && m_locked) {
        FileLock::release(m_file);
        m_locked = false;
        if (!lock(FileLock::Mode::Exclusive))
            return fail();
    }
    const bool finished = finishPendingRewrite();
    if (access == Access::Read && m_locked) {
        FileLock::release(m_file);
        m_locked = false;
        if (!lock(FileLock::Mode::Shared))
            return fail();
    }
    // A reader of a folder it may not write still reads; a writer must not go on.
    if (!finished && access == Access::Write)
        return fail();
    return m_file.seek(0) || fail();
}

bool RecordFile::finishPendingRewrite() {
    QFile side(rewritePath());
    const qint64 expected = kRewriteHeader.size() + kOffsetBytes + kSizeBytes +
                            2 * qint64(m_recordSize) + kChecksumBytes;
    if (!side.open(QIODevice::ReadOnly))
        return false;
    const auto pending = parseRewrite(side.read(expected + 1), m_recordSize);
    side.close();
    if (pending) {
        const qint64 length = m_file.size();
        QByteArray stored;
        if (length >= pending->at + m_recordSize && m_file.seek(pending->at))
            stored = m_file.read(m_recordSize);
        // Only what that rewrite itself may have left is completed.
        if (isBetween(stored, pending->before, pending->after) && stored != pending->after &&
            !(m_file.seek(pending->at) && writeInPlace(pending->at, pending->after, length)))
            return false;
    }
    // An incomplete side file was cut short before the record was touched: the card is the
    // old one. Emptied first, so that a side file that cannot be removed never acts again.
    if (!QFile::remove(side.fileName()) && !QFile::resize(side.fileName(), 0))
        return false;
    return true;
}

std::optional<int> RecordFile::count() const {
    if (!m_file.isOpen())
        return std::nullopt;
    const qint64 size = m_file.size();
    if (size < 0)
        return std::nullopt;
    // The next append's position must still be a number of cards.
    const qint64 records = size / m_recordSize;
    if (records >= INT_MAX)
        return std::nullopt;
    return static_cast<int>(records);
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
    // Appending, or writing over an incomplete tail, leaves at worst a partial tail, which
    // does not count; writing over a whole card goes through the side file.
    if (length - at < m_recordSize)
        return writeInPlace(at, record, length);

    const QByteArray before = m_file.read(m_recordSize);
    if (before.size() != m_recordSize || !m_file.seek(at))
        return false;
    QFile side(rewritePath());
    if (!side.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    const QByteArray entry = rewriteEntry(at, before, record);
    const bool logged = side.write(entry) == entry.size() && FileLock::sync(side);
    side.close();
    if (!logged || !FileLock::syncFolderOf(side.fileName())) {
        QFile::remove(side.fileName());
        return false;
    }
    const bool written = writeInPlace(at, record, length, &before);
    // A failed write whose undo failed too keeps the side file: the next opening makes the
    // card whole again.
    QByteArray now;
    if (!written && m_file.seek(at))
        now = m_file.read(m_recordSize);
    if (written || now == before) {
        if (!QFile::remove(side.fileName()))
            QFile::resize(side.fileName(), 0);
    }
    m_file.seek(at + (written ? m_recordSize : 0));
    return written;
}

bool RecordFile::writeInPlace(qint64 at, const QByteArray& record, qint64 length,
                              const QByteArray* before) {
    QByteArray covered;
    if (before) {
        covered = *before;
    } else if (at < length) {
        covered = m_file.read(std::min<qint64>(m_recordSize, length - at));
        if (!m_file.seek(at))
            return false;
    }
    if (m_file.write(record) == m_recordSize && FileLock::sync(m_file))
        return true;
    undoWrite(at, covered, length);
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

bool RecordFile::truncate(int count) {
    return m_file.isOpen() && count >= 0 && m_file.resize(qint64(count) * m_recordSize) &&
           FileLock::sync(m_file) && m_file.seek(qint64(count) * m_recordSize);
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
