#include "Journal.h"

#include "RecordFile.h"
#include "RecordLayout.h"
#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QFile>
#include <array>
#include <utility>

namespace Journal {
namespace {

constexpr int kColumns = 10;
// A block holds at most every field of a card twice over, escaped: far less than this.
constexpr qint64 kTailBytes = 1 << 20;
// How often a long read reports how far it got.
constexpr int kProgressLines = 4096;

constexpr std::array<const char*, 6> kKindTexts{"nuova",        "modifica", "duplicato",
                                                "annullamento", "impronta", "chiusura"};

std::optional<Kind> kindFromText(QByteArrayView text) {
    for (std::size_t i = 0; i < kKindTexts.size(); ++i) {
        if (text == kKindTexts[i])
            return Kind(i);
    }
    return std::nullopt;
}

} // namespace

QByteArray escaped(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    QByteArray out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::optional<QString> unescaped(QByteArrayView column) {
    QByteArray utf8;
    utf8.reserve(column.size());
    for (qsizetype i = 0; i < column.size(); ++i) {
        const char c = column[i];
        if (c != '\\') {
            utf8 += c;
            continue;
        }
        if (++i == column.size())
            return std::nullopt;
        switch (column[i]) {
        case '\\':
            utf8 += '\\';
            break;
        case 't':
            utf8 += '\t';
            break;
        case 'r':
            utf8 += '\r';
            break;
        case 'n':
            utf8 += '\n';
            break;
        default:
            return std::nullopt;
        }
    }
    return QString::fromUtf8(utf8);
}

bool isDigest(QByteArrayView text) {
    if (text.size() != 64)
        return false;
    for (const char c : text) {
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f')))
            return false;
    }
    return true;
}

QList<QByteArrayView> columns(QByteArrayView line) {
    QList<QByteArrayView> out;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= line.size(); ++i) {
        if (i == line.size() || line[i] == '\t') {
            out.append(line.sliced(start, i - start));
            start = i + 1;
        }
    }
    return out;
}

namespace {

QByteArray headerDigest() {
    return digest(kHeader);
}

// The entries' lines, each with its line end.
QByteArray lines(QList<Entry>& entries, QByteArray previous) {
    QByteArray out;
    for (Entry& entry : entries) {
        entry.previous = previous;
        out += line(entry);
        out += kLineEnd;
        previous = entry.own;
    }
    return out;
}

// Whether the record a closing entry names is on the disk as the entry left it: true as
// well when it was changed since by something else (the block did happen), false only when
// the record is still the one before the block.
bool recordConfirms(RecordFile& archive, const Entry& close) {
    const auto count = archive.count();
    if (!count)
        return true;
    if (close.position > *count)
        return !close.before.isEmpty(); // a new card that never reached the disk
    QByteArray bytes;
    if (close.position < 1 || !archive.seek(close.position - 1) || !archive.read(bytes))
        return true;
    const QByteArray now = digest(bytes);
    return now == close.after.toLatin1() || now != close.before.toLatin1();
}

// A line's columns once its own SHA-256 holds and every column is well formed: checked
// without making a text of any, so that a reader may skip the entries it does not want.
struct Columns {
    std::array<QByteArrayView, kColumns - 1> at;
    QByteArrayView own;
    Kind kind;
    int position;
};

bool isEscaped(QByteArrayView column) {
    for (qsizetype i = 0; i < column.size(); ++i) {
        if (column[i] != '\\')
            continue;
        if (++i == column.size())
            return false;
        const char c = column[i];
        if (c != '\\' && c != 't' && c != 'r' && c != 'n')
            return false;
    }
    return true;
}

// The digits of text[from, from + count), or -1.
int digits(QByteArrayView text, qsizetype from, qsizetype count) {
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return -1;
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

// "yyyy-MM-dd hh:mm:ss", the date and the time valid.
std::optional<std::pair<QDate, QTime>> dateTimeOf(QByteArrayView text) {
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':')
        return std::nullopt;
    const int year = digits(text, 0, 4), month = digits(text, 5, 2), day = digits(text, 8, 2);
    const int hour = digits(text, 11, 2), minute = digits(text, 14, 2),
              second = digits(text, 17, 2);
    if (year < 0 || !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    return std::pair{QDate(year, month, day), QTime(hour, minute, second)};
}

std::optional<Columns> checkedColumns(QByteArrayView text) {
    const qsizetype ownAt = text.lastIndexOf('\t');
    if (ownAt < 0)
        return std::nullopt;
    Columns columns;
    const QByteArrayView content = text.first(ownAt);
    columns.own = text.sliced(ownAt + 1);
    if (!isDigest(columns.own) || digest(content) != columns.own)
        return std::nullopt;
    std::size_t n = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= content.size(); ++i) {
        if (i == content.size() || content[i] == '\t') {
            if (n == columns.at.size())
                return std::nullopt;
            columns.at[n++] = content.sliced(start, i - start);
            start = i + 1;
        }
    }
    if (n != columns.at.size() || !isDigest(columns.at[8]) || !dateTimeOf(columns.at[0]))
        return std::nullopt;
    const auto kind = kindFromText(columns.at[2]);
    bool number = false;
    columns.position = columns.at[3].toByteArray().toInt(&number);
    if (!kind || !number || columns.position < 1)
        return std::nullopt;
    columns.kind = *kind;
    for (const std::size_t column : {1, 4, 5, 6, 7}) {
        if (!isEscaped(columns.at[column]))
            return std::nullopt;
    }
    return columns;
}

Entry fullEntry(const Columns& columns) {
    Entry entry;
    const auto [date, time] = *dateTimeOf(columns.at[0]);
    entry.at = QDateTime(date, time);
    entry.kind = columns.kind;
    entry.position = columns.position;
    entry.archive = *unescaped(columns.at[1]);
    entry.card = *unescaped(columns.at[4]);
    entry.field = *unescaped(columns.at[5]);
    entry.before = *unescaped(columns.at[6]);
    entry.after = *unescaped(columns.at[7]);
    entry.previous = columns.at[8].toByteArray();
    entry.own = columns.own.toByteArray();
    return entry;
}

} // namespace

// A line's bytes without its line end (a lone LF is accepted as well).
QByteArrayView chopLineEnd(QByteArrayView line) {
    if (line.endsWith('\n'))
        line.chop(1);
    if (line.endsWith('\r'))
        line.chop(1);
    return line;
}

QString kindText(Kind kind) {
    return QString::fromLatin1(kKindTexts[std::size_t(kind)]);
}

QString pathFor(const QString& archivePath) {
    return archivePath + kSuffix;
}

QByteArray digest(QByteArrayView bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

std::optional<QDateTime> dateTime(QByteArrayView text) {
    const auto parts = dateTimeOf(text);
    if (!parts)
        return std::nullopt;
    return QDateTime(parts->first, parts->second);
}

QList<Entry> saveEntries(const Identity& identity, const QDateTime& at, Kind kind, int position,
                         const std::optional<Record>& before, const Record& after) {
    QList<Entry> entries;
    const QString card = identity.cardNumber ? identity.cardNumber(after, position) : QString();
    const RecordLayout& layout = after.layout();
    for (int f = 0; f < layout.fieldCount(); ++f) {
        const QString old = before ? before->text(f) : QString();
        const QString now = after.text(f);
        if (old == now)
            continue;
        entries.append({at,
                        identity.archive,
                        kind,
                        position,
                        card,
                        QString::fromLatin1(layout.field(f).name),
                        old,
                        now,
                        {},
                        {}});
    }
    entries.append({at,
                    identity.archive,
                    Kind::Close,
                    position,
                    card,
                    QString(),
                    before ? QString::fromLatin1(digest(before->bytes())) : QString(),
                    QString::fromLatin1(digest(after.bytes())),
                    {},
                    {}});
    return entries;
}

Entry closeEntry(const Identity& identity, const QDateTime& at, int position,
                 const Record& record) {
    const QString sum = QString::fromLatin1(digest(record.bytes()));
    return {at,
            identity.archive,
            Kind::Close,
            position,
            identity.cardNumber ? identity.cardNumber(record, position) : QString(),
            {},
            sum,
            sum,
            {},
            {}};
}

QByteArray line(Entry& entry) {
    QByteArray out = entry.at.toString(kDateTimeFormat).toLatin1();
    for (const QByteArray& column :
         {escaped(entry.archive), QByteArray(kKindTexts[std::size_t(entry.kind)]),
          QByteArray::number(entry.position), escaped(entry.card), escaped(entry.field),
          escaped(entry.before), escaped(entry.after), entry.previous}) {
        out += '\t';
        out += column;
    }
    entry.own = digest(out);
    out += '\t';
    out += entry.own;
    return out;
}

std::optional<Entry> parseLine(QByteArrayView text) {
    const auto columns = checkedColumns(text);
    if (!columns)
        return std::nullopt;
    return fullEntry(*columns);
}

namespace {

// What the line after `line` chains to: its own digest as its last column holds it, also
// when the rest of it was altered (that line alone then shows, not the next one too), or the
// digest of the whole line when it has no such column (the first line, a line cut short).
QByteArray chainValue(QByteArrayView line) {
    if (const auto entry = parseLine(line))
        return entry->own;
    const QByteArrayView last = line.sliced(line.lastIndexOf('\t') + 1);
    return isDigest(last) && last.size() < line.size() ? last.toByteArray() : digest(line);
}

} // namespace

struct Writer::File {
    QFile file;
    qint64 lengthBefore = -1; // before the last append
    QByteArray last;          // what the next line chains to
};

Writer::Writer(const QString& archivePath, RecordFile& archive)
    : m_path(pathFor(archivePath)), m_archive(archive) {}

Writer::~Writer() {
    delete m_file;
}

bool Writer::openFile() {
    if (m_file)
        return true;
    auto* file = new File;
    file->file.setFileName(m_path);
    // Unbuffered: a write the disk refuses fails at once, not at the close.
    if (!file->file.open(QIODevice::ReadWrite | QIODevice::Unbuffered)) {
        delete file;
        return false;
    }
    m_file = file;
    return true;
}

bool Writer::settle() {
    m_lastBlock.clear();
    if (!QFile::exists(m_path))
        return true;
    if (!openFile())
        return false;
    QFile& file = m_file->file;
    const qint64 size = file.size();
    const qint64 from = std::max<qint64>(0, size - kTailBytes);
    if (!file.seek(from))
        return false;
    const QByteArray tail = file.read(size - from);
    if (tail.size() != size - from)
        return false;

    // The tail's lines: where each begins and ends, and what it holds.
    struct Line {
        qint64 begin, end; // end: after the line end
        std::optional<Entry> entry;
        bool whole;
    };
    QList<Line> found;
    qsizetype at = 0;
    if (from > 0) {
        at = tail.indexOf('\n') + 1; // the first line is cut: start after it
        if (at == 0)
            return true;
    }
    qint64 headerEnd = -1;
    while (at < tail.size()) {
        const qsizetype nl = tail.indexOf('\n', at);
        const qsizetype stop = nl < 0 ? tail.size() : nl + 1;
        const QByteArrayView text = chopLineEnd(QByteArrayView(tail).sliced(at, stop - at));
        if (from == 0 && at == 0) {
            headerEnd = stop;
        } else {
            found.append(
                {from + at, from + stop, nl < 0 ? std::nullopt : parseLine(text), nl >= 0});
        }
        at = stop;
    }

    // The last closing entry, and the start of its block.
    qsizetype close = found.size() - 1;
    while (close >= 0 && !(found[close].entry && found[close].entry->kind == Kind::Close))
        --close;
    qint64 keep = close >= 0 ? found[close].end : (headerEnd >= 0 ? headerEnd : size);
    // After it, only a block cut short may stand: sound lines and at most a last partial
    // one. A damaged whole line there is left for the archive check to report.
    for (qsizetype i = close + 1; i < found.size(); ++i) {
        if (found[i].whole && !found[i].entry)
            return true;
    }
    if (close >= 0) {
        qsizetype first = close;
        while (first > 0 && found[first - 1].entry && found[first - 1].entry->kind != Kind::Close)
            --first;
        const bool startKnown = first > 0 || from == 0;
        if (!recordConfirms(m_archive, *found[close].entry) && startKnown) {
            keep = found[first].begin;
        } else {
            for (qsizetype i = first; i <= close; ++i) {
                if (found[i].entry)
                    m_lastBlock.append(*found[i].entry);
            }
        }
    }
    if (keep >= size)
        return true;
    return file.resize(keep) && FileLock::sync(file);
}

bool Writer::append(QList<Entry>& entries) {
    if (!openFile())
        return false;
    QFile& file = m_file->file;
    const qint64 length = file.size();
    if (length < 0)
        return false;
    QByteArray bytes;
    QByteArray previous;
    if (length == 0) {
        bytes = kHeader + kLineEnd;
        previous = headerDigest();
    } else {
        // The chain goes on from the last line as it stands.
        const qint64 from = std::max<qint64>(0, length - kTailBytes);
        if (!file.seek(from))
            return false;
        QByteArray tail = file.read(length - from);
        if (tail.size() != length - from)
            return false;
        if (!tail.endsWith('\n')) {
            // A last line without its end (cut short and not settled): end it.
            bytes = kLineEnd;
            tail += kLineEnd;
        }
        const QByteArrayView trimmed = chopLineEnd(tail);
        const QByteArrayView lastLine = trimmed.sliced(trimmed.lastIndexOf('\n') + 1);
        previous = chainValue(lastLine);
    }
    bytes += lines(entries, previous);
    m_file->lengthBefore = length;
    if (!file.seek(length) || file.write(bytes) != bytes.size() || !FileLock::sync(file)) {
        undo();
        return false;
    }
    if (length == 0)
        FileLock::syncFolderOf(m_path);
    return true;
}

bool Writer::undo() {
    if (!m_file || m_file->lengthBefore < 0)
        return false;
    QFile& file = m_file->file;
    const qint64 length = std::exchange(m_file->lengthBefore, -1);
    // A journal this save began goes again: the archive is as it was without one.
    if (length == 0) {
        file.close();
        if (QFile::remove(m_path))
            return true;
        if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered))
            return false;
    }
    return file.resize(length) && FileLock::sync(file);
}

std::optional<Reading> read(const QString& archivePath, int recordSize,
                            const std::function<void(const Entry& entry)>& visit,
                            const Progress& progress, const std::function<bool(int)>& wanted) {
    RecordFile archive(recordSize);
    if (!archive.open(archivePath, RecordFile::Access::Read))
        return std::nullopt;
    return read(archive, archivePath, visit, progress, wanted);
}

Reading read(RecordFile& archive, const QString& archivePath,
             const std::function<void(const Entry& entry)>& visit, const Progress& progress,
             const std::function<bool(int)>& wanted) {
    Reading reading;
    QFile file;
    const QString path = pathFor(archivePath);
    if (!QFile::exists(path)) {
        reading.exists = false;
        return reading;
    }
    reading.exists = true;
    if (!FileLock::openForReading(file, path)) {
        reading.readable = false;
        return reading;
    }
    if (file.size() == 0)
        return reading; // begun by a save that then failed
    const qint64 size = file.size();
    QByteArray first = file.readLine();
    if (chopLineEnd(first) != kHeader)
        reading.badHeader = true;
    QByteArray previous = digest(chopLineEnd(first));
    QList<Entry> block;     // wanted entries since the last closing entry
    QList<Entry> confirmed; // the last whole block's, handed on when the next one closes
    Entry confirming;       // that block's closing entry: what its record must hold
    bool anyBlock = false;
    int number = 1;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        ++number;
        if (progress && number % kProgressLines == 0)
            progress(file.pos(), size);
        if (!raw.endsWith('\n'))
            break; // a last line cut short: its block never closed
        const QByteArrayView text = chopLineEnd(raw);
        ++reading.lines;
        const auto columns = checkedColumns(text);
        if (!columns) {
            reading.damagedLines.append(number);
            previous = chainValue(text);
            continue;
        }
        if (columns->at[8] != QByteArrayView(previous))
            reading.brokenLinks.append(number);
        previous = columns->own.toByteArray();
        // Only the entries wanted become texts and dates: most of a long journal is only
        // checked.
        if (!wanted || wanted(columns->position))
            block.append(fullEntry(*columns));
        if (columns->kind != Kind::Close)
            continue;
        for (const Entry& e : confirmed)
            visit(e);
        confirmed.swap(block);
        block.clear();
        anyBlock = true;
        confirming.position = columns->position;
        confirming.before = *unescaped(columns->at[6]);
        confirming.after = *unescaped(columns->at[7]);
    }
    if (anyBlock && recordConfirms(archive, confirming)) {
        for (const Entry& e : confirmed)
            visit(e);
    }
    if (progress)
        progress(size, size);
    return reading;
}

} // namespace Journal
