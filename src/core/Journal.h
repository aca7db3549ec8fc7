#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

class Record;
class RecordFile;

// The change journal of one archive: a side file beside it (the archive's name followed by
// ".cronologia"), UTF-8 text, a first line naming its format, then one line per entry:
//
//   date and time, archive, kind, position, card number, field, old text, new text,
//   SHA-256 of the line before, SHA-256 of this line up to here
//
// tab-separated, with backslash, tab, CR and LF written as \\, \t, \r, \n. Each save of a
// card writes one entry per changed field and ends with a closing entry that holds the
// SHA-256 of the record before and after, so that the journal and the archive vouch for each
// other: an entry altered or removed breaks the chain, and a card whose bytes are not those
// of its last closing entry was changed outside the program.
//
// The journal is written ahead of the record, under the archive's lock: its entries are on
// the disk before the record is touched. A block whose record never reached the disk (a full
// disk, a copy killed in the middle) is cut off by the next writer (settle()), and a reader
// leaves it out, so a record never stands without its entries nor entries without their
// record.
namespace Journal {

inline const QString kSuffix = QStringLiteral(".cronologia");
inline const QByteArray kHeader = QByteArrayLiteral("Faldora cronologia 1");

enum class Kind {
    New,         // a field of a new card ("nuova")
    Rewrite,     // a field of a stored card saved again ("modifica")
    Duplicate,   // a field of a duplicate saved as a new card ("duplicato")
    Annulment,   // the reason and the authorisation of an annulment ("annullamento")
    Fingerprint, // the SHA-256 of an attached file ("impronta")
    Close,       // the end of a block: the record's SHA-256 before and after ("chiusura")
};

struct Entry {
    QDateTime at;
    QString archive; // "Protocollo 2026", "Schedario documenti"
    Kind kind = Kind::New;
    int position = 0; // 1-based place of the card in the archive
    QString card;     // the card's number as its window shows it
    QString field;    // the record field's name; empty on a closing entry
    QString before, after;
    QByteArray previous; // hex SHA-256 of the line before (of the first line for the first)
    QByteArray own;      // hex SHA-256 of this line up to its own column
};

QString kindText(Kind kind);
// The text conventions the side files beside an archive share: lines ended by CR LF (a lone
// LF read as well), dates and times as "yyyy-MM-dd hh:mm:ss".
inline const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
inline const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// Such a date and time, read by hand: QDateTime::fromString takes microseconds a line, which
// a side file read on each listing cannot afford. Nothing unless exactly that, and valid.
std::optional<QDateTime> dateTime(QByteArrayView text);
QByteArrayView chopLineEnd(QByteArrayView line);
// A text as one column of a line: UTF-8 with backslash, tab, CR and LF as \\, \t, \r, \n;
// and back (nothing for a column with a stray backslash). Side files that keep lines of
// the same kind use them too.
QByteArray escaped(const QString& text);
std::optional<QString> unescaped(QByteArrayView column);
// A line's tab-separated columns, views into it.
QList<QByteArrayView> columns(QByteArrayView line);
QString pathFor(const QString& archivePath);
QByteArray digest(QByteArrayView bytes); // hex SHA-256
bool isDigest(QByteArrayView text);      // 64 lower-case hex digits

// What the journal of an archive says of a card's number and archive name.
struct Identity {
    QString archive;
    std::function<QString(const Record& record, int position)> cardNumber;
};

// The entries of one save: one per field whose text differs (every non-empty field of a
// new card), then the closing entry. `before` is empty for a card not yet in the archive.
QList<Entry> saveEntries(const Identity& identity, const QDateTime& at, Kind kind, int position,
                         const std::optional<Record>& before, const Record& after);
// The closing entry of a block that leaves the record as it is (an annulment).
Entry closeEntry(const Identity& identity, const QDateTime& at, int position, const Record& record);

// One line's bytes (without the line end), with `entry.previous` set and `entry.own`
// computed into it.
QByteArray line(Entry& entry);
// A line that parses and whose own SHA-256 holds; nothing otherwise.
std::optional<Entry> parseLine(QByteArrayView line);

// Adds to the journal of the archive open in `archive`, which must hold the archive's
// exclusive lock for the life of the object. The journal file is opened on first use and
// made with its first line when missing.
class Writer {
public:
    Writer(const QString& archivePath, RecordFile& archive);
    ~Writer();
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;

    // Cuts off a last block whose record is not on the disk (see above). False when the
    // journal cannot be read or cut; a journal that does not exist yet is in order.
    bool settle();
    // Appends the entries, chained to the last line, and puts them on the disk. On failure
    // the journal is cut back to its length before.
    bool append(QList<Entry>& entries);
    // Cuts the journal back to its length before the last append (its record failed).
    bool undo();
    // The last block that settle() found confirmed: its entries, closing entry last.
    const QList<Entry>& lastBlock() const { return m_lastBlock; }

private:
    bool openFile();

    QString m_path;
    RecordFile& m_archive;
    struct File;
    File* m_file = nullptr;
    QList<Entry> m_lastBlock;
};

// Reading a whole journal, for the card history, the daily register and the archive check.
struct Reading {
    bool exists = false;  // false: the archive was never saved with a journal
    bool readable = true; // false: the file could not be read at all
    bool badHeader = false;
    // 1-based line numbers of lines that do not parse or whose own SHA-256 fails, and of
    // lines whose link to the line before fails (a line altered, removed or put in).
    QList<int> damagedLines;
    QList<int> brokenLinks;
    int lines = 0; // entry lines read
};

// Reads the journal of `archivePath` line by line under the archive's shared lock and hands
// each sound entry of a confirmed block to `visit`, in order. A last block whose record is
// not on the disk is left out. Nothing when the archive cannot be opened. `progress`, when
// given, hears the bytes read and the journal's size now and then (every few thousand
// lines, and at the end). `wanted`, when given, picks the cards whose entries `visit` gets
// (by position); every line is checked all the same.
using Progress = std::function<void(qint64 done, qint64 total)>;
std::optional<Reading> read(const QString& archivePath, int recordSize,
                            const std::function<void(const Entry& entry)>& visit,
                            const Progress& progress = {},
                            const std::function<bool(int position)>& wanted = {});
// The same within an action that holds the archive open already (a lock of its own), so that
// the journal and the records are read as one. Leaves the archive's position anywhere.
Reading read(RecordFile& archive, const QString& archivePath,
             const std::function<void(const Entry& entry)>& visit, const Progress& progress = {},
             const std::function<bool(int position)>& wanted = {});

} // namespace Journal
