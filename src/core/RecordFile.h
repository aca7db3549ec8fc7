#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

// A file of fixed-size records without header. One object serves one action: open,
// work, close; the destructor closes on every path, failures included.
//
// Reading actions hold a shared lock, writing actions an exclusive one, so two copies of
// the program that share a folder never write over each other's cards. A file system that
// keeps no locks is used without them rather than refused.
//
// A card rewritten in place is first written, with its place and a checksum, to a side file
// beside the archive (its name followed by ".riscrittura"); only then is the record
// overwritten, and the side file goes once the record is on the disk. A copy killed in the
// middle (a power cut, a dropped network share) leaves the side file behind, and the next
// opening completes the rewrite from it, or discards it when it is itself incomplete: a
// card is always either the old one or the new one, never a mix.
class RecordFile {
public:
    enum class Access { Read, Write };
    static constexpr int kLockTimeoutMs = 5000;
    static inline const QString kRewriteSuffix = QStringLiteral(".riscrittura");

    explicit RecordFile(int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Opens for reading and writing at record 0, creating the file empty when missing.
    // An existing file is never truncated or recreated.
    // Waits up to `lockTimeoutMs` for another copy of the program to finish its action.
    bool open(const QString& path, Access access, int lockTimeoutMs = kLockTimeoutMs);
    bool isOpen() const { return m_file.isOpen(); }

    // Whole records only: the bytes of an incomplete last record do not count. A file with
    // more records than a position can number is refused (empty), never counted short.
    std::optional<int> count() const;
    // 0-based; seeking to the count positions at the end, ready to append.
    bool seek(int index);
    // Reads the record at the current position and advances by one.
    bool read(QByteArray& record);
    // Reads up to `maxRecords` whole records from the current position (for scans).
    bool readBlock(int maxRecords, QByteArray& records);
    // The same into `into` (room for `maxRecords`): the records read, or -1 on failure.
    int readBlock(int maxRecords, char* into);
    // Writes the record at the current position (over a record, or appending at the
    // count) and advances by one. The bytes reach the disk before it returns. A write that
    // fails, or whose flush to the disk fails, is undone: the file is left byte for byte
    // as it was (a partial tail cut back, the bytes written over put back), so a retry
    // never stores the card twice.
    bool write(const QByteArray& record);
    // Cuts the file back to its first `count` records and puts that on the disk (a new card
    // taken back).
    bool truncate(int count);
    // 0-based index of the next record: after a read or write, the 1-based position of
    // the record just handled.
    int position() const;
    void close();

    int recordSize() const { return m_recordSize; }

private:
    // Completes or discards a rewrite that a killed copy left behind; needs the exclusive
    // lock. False when a rewrite that must be completed could not be.
    bool finishPendingRewrite();
    // `before`: the bytes the write covers, when the caller has read them already.
    bool writeInPlace(qint64 at, const QByteArray& record, qint64 length,
                      const QByteArray* before = nullptr);
    QString rewritePath() const { return m_file.fileName() + kRewriteSuffix; }

    // Puts back the bytes from `at` on as `before` holds them and the length `length`.
    void undoWrite(qint64 at, const QByteArray& before, qint64 length);

    int m_recordSize;
    QFile m_file;
    bool m_locked = false;
};
