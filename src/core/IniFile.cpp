#include "IniFile.h"

#include "Cp1252.h"
#include "WholeFile.h"
#include "platform/FileLock.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <algorithm>
#include <optional>

namespace {

// How a settings file's text is stored. A file without a byte-order mark is in the code
// page, as the program has always written it; one saved by a text editor with a mark is
// read in the mark's encoding, as the system's own INI functions read it, and rewritten in it.
enum class Encoding { Cp1252, Utf8, Utf16LE, Utf16BE };

struct Line {
    QByteArray bytes; // as in the file, without the line end
    QByteArray end;   // the line end's bytes; empty for a last line without one
    QString text;     // the bytes decoded
};

// A settings file taken apart. Lines not written to keep their bytes, so the rest of the
// file stays as it was even where its bytes are not valid in its encoding.
struct Text {
    Encoding encoding = Encoding::Cp1252;
    QByteArray mark; // the byte-order mark
    QList<Line> lines;
    QByteArray tail; // a UTF-16 file's dangling odd byte, which no reader can use
};

int unitSize(Encoding encoding) {
    return encoding == Encoding::Utf16LE || encoding == Encoding::Utf16BE ? 2 : 1;
}

char16_t unitAt(Encoding encoding, QByteArrayView bytes, qsizetype at) {
    const auto byte = [&](qsizetype i) { return char16_t(static_cast<unsigned char>(bytes[i])); };
    switch (encoding) {
    case Encoding::Utf16LE:
        return char16_t(byte(at) | byte(at + 1) << 8);
    case Encoding::Utf16BE:
        return char16_t(byte(at) << 8 | byte(at + 1));
    case Encoding::Cp1252:
    case Encoding::Utf8:
        break;
    }
    return byte(at);
}

QString decode(Encoding encoding, QByteArrayView bytes) {
    switch (encoding) {
    case Encoding::Cp1252:
        return Cp1252::decode(bytes);
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(unitAt(encoding, bytes, 2 * i));
    return text;
}

QByteArray encode(Encoding encoding, const QString& text) {
    switch (encoding) {
    case Encoding::Cp1252:
        return Cp1252::encode(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf16LE:
    case Encoding::Utf16BE:
        break;
    }
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    const bool little = encoding == Encoding::Utf16LE;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        bytes[2 * i + (little ? 0 : 1)] = char(unit & 0xFF);
        bytes[2 * i + (little ? 1 : 0)] = char(unit >> 8);
    }
    return bytes;
}

Line makeLine(Encoding encoding, const QString& text, const QByteArray& end) {
    return Line{encode(encoding, text), end, text};
}

Text parse(QByteArrayView bytes) {
    Text t;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        t.encoding = Encoding::Utf8;
    else if (bytes.startsWith("\xFF\xFE"))
        t.encoding = Encoding::Utf16LE;
    else if (bytes.startsWith("\xFE\xFF"))
        t.encoding = Encoding::Utf16BE;
    const int unit = unitSize(t.encoding);
    const qsizetype markSize = t.encoding == Encoding::Cp1252 ? 0 : (unit == 2 ? 2 : 3);
    t.mark = bytes.first(markSize).toByteArray();
    QByteArrayView body = bytes.sliced(markSize);
    if (body.size() % unit != 0) {
        t.tail = body.last(1).toByteArray();
        body.chop(1);
    }
    const auto isUnit = [&](qsizetype at, char16_t c) { return unitAt(t.encoding, body, at) == c; };
    qsizetype start = 0;
    while (start < body.size()) {
        qsizetype lf = start;
        while (lf < body.size() && !isUnit(lf, u'\n'))
            lf += unit;
        // A last line without a line feed keeps a CR of its own in its bytes.
        const bool cr = lf < body.size() && lf > start && isUnit(lf - unit, u'\r');
        const qsizetype stop = lf - (cr ? unit : 0);
        Line line;
        line.bytes = body.sliced(start, stop - start).toByteArray();
        line.end = body.sliced(stop, std::min(lf + unit, body.size()) - stop).toByteArray();
        line.text = decode(t.encoding, line.bytes);
        t.lines.append(line);
        start = lf + unit;
    }
    return t;
}

QByteArray join(const Text& t) {
    QByteArray bytes = t.mark;
    for (const Line& line : t.lines)
        bytes += line.bytes + line.end;
    return bytes + t.tail;
}

// The section a line opens, if it is a "[name]" line.
std::optional<QString> sectionName(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = t.indexOf(u']');
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

// The key and value of a "key = value" line.
std::optional<std::pair<QString, QString>> keyValue(const QString& line) {
    const qsizetype eq = line.indexOf(u'=');
    if (eq < 0)
        return std::nullopt;
    QString value = line.mid(eq + 1).trimmed();
    // A value written in double quotes reads without them.
    if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
        value = value.mid(1, value.size() - 2);
    return std::make_pair(line.left(eq).trimmed(), value);
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Puts key=value into the section: in place of the key's line, or after the section's
// last line, or in a new section at the end; in the file's own encoding.
void setEntry(Text& t, const QString& section, const QString& key, const QString& value) {
    QList<Line>& lines = t.lines;
    const QString entry = key.trimmed() + u'=' + value;
    qsizetype sectionAt = -1;     // the section's header line
    qsizetype lastInSection = -1; // its last non-blank line
    qsizetype keyAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = sectionName(lines[i].text)) {
            if (sectionAt >= 0)
                break;
            if (sameName(*name, section.trimmed()))
                sectionAt = lastInSection = i;
            continue;
        }
        if (sectionAt < 0)
            continue;
        if (!lines[i].text.trimmed().isEmpty())
            lastInSection = i;
        if (const auto kv = keyValue(lines[i].text); kv && sameName(kv->first, key.trimmed())) {
            keyAt = i;
            break;
        }
    }
    if (keyAt >= 0) {
        lines[keyAt] = makeLine(t.encoding, entry, lines[keyAt].end);
        return;
    }
    const QByteArray crlf = encode(t.encoding, QStringLiteral("\r\n"));
    // A line added after a last line without an end needs one first.
    const auto endLast = [&](qsizetype at) {
        if (at >= 0 && lines[at].end.isEmpty())
            lines[at].end = crlf;
    };
    if (sectionAt >= 0) {
        endLast(lastInSection);
        lines.insert(lastInSection + 1, makeLine(t.encoding, entry, crlf));
    } else {
        endLast(lines.size() - 1);
        lines.append(makeLine(t.encoding, u'[' + section.trimmed() + u']', crlf));
        lines.append(makeLine(t.encoding, entry, crlf));
    }
}

// Serialises the writers of one settings file among copies of the program, also of other
// users sharing the folder, and keeps readers out while one writes (shared for them). A lock
// file that cannot be opened or locked (another copy keeps it past the timeout, or this user
// has no right to it) fails the write; only a file system that keeps no locks at all is
// written without one.
class SettingsLock {
public:
    SettingsLock(const QString& path, FileLock::Mode mode) {
        if (!FileLock::openLockFile(m_file, path + QStringLiteral(".lock")))
            return;
        m_ok = FileLock::take(m_file, mode, kTimeoutMs, m_locked);
    }
    ~SettingsLock() {
        if (m_locked)
            FileLock::release(m_file);
    }
    SettingsLock(const SettingsLock&) = delete;
    SettingsLock& operator=(const SettingsLock&) = delete;

    bool ok() const { return m_ok; }

private:
    static constexpr int kTimeoutMs = 5000;
    QFile m_file;
    bool m_ok = false;
    bool m_locked = false;
};

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::read(const QString& section, const QString& key) const {
    return read(section, QStringList{key}).first();
}

QStringList IniFile::read(const QString& section, const QStringList& keys) const {
    // Read between writes: on Windows a file held open refuses the rename of a writer. A
    // folder where no lock file can be made is read all the same.
    const SettingsLock lock(m_path, FileLock::Mode::Shared);
    return valuesIn(WholeFile::read(m_path, kMaxFileSize), section, keys);
}

QStringList IniFile::valuesIn(QByteArrayView bytes, const QString& section,
                              const QStringList& keys) {
    QStringList values(keys.size());
    QList<bool> found(keys.size(), false);
    bool inSection = false;
    for (const Line& line : parse(bytes).lines) {
        if (const auto name = sectionName(line.text)) {
            inSection = sameName(*name, section.trimmed());
            continue;
        }
        const auto kv = inSection ? keyValue(line.text) : std::nullopt;
        if (!kv)
            continue;
        // The first line of a key counts, as the system's reader takes it.
        for (qsizetype k = 0; k < keys.size(); ++k) {
            if (!found[k] && sameName(kv->first, keys[k].trimmed())) {
                values[k] = kv->second.left(kMaxValueLength);
                found[k] = true;
            }
        }
    }
    return values;
}

QByteArray IniFile::merged(QByteArrayView before, const QString& section,
                           const QList<std::pair<QString, QString>>& entries) {
    Text t = parse(before);
    for (const auto& [key, value] : entries)
        setEntry(t, section, key, value);
    return join(t);
}

QList<std::pair<QString, QString>> IniFile::keysIn(QByteArrayView bytes) {
    QList<std::pair<QString, QString>> keys;
    std::optional<QString> section;
    for (const Line& line : parse(bytes).lines) {
        if (const auto name = sectionName(line.text))
            section = name;
        else if (const auto kv = section ? keyValue(line.text) : std::nullopt)
            keys.append({*section, kv->first});
    }
    return keys;
}

bool IniFile::write(const QString& section, const QString& key, const QString& value,
                    QString* error) const {
    return write(section, {{key, value}}, error);
}

bool IniFile::write(const QString& section, const QList<std::pair<QString, QString>>& entries,
                    QString* error) const {
    const auto fail = [&] {
        if (error)
            *error = QStringLiteral("Unable to write to %1").arg(QDir::toNativeSeparators(m_path));
        return false;
    };
    const SettingsLock lock(m_path, FileLock::Mode::Exclusive);
    if (!lock.ok())
        return fail();
    // A settings file that refuses writes is refused, as the system's own INI writer refuses
    // it, although replacing it by a rename would get past it (and past any administrator).
    // Tried under the lock: on Windows a file held open refuses another copy's rename.
    QFile existing(m_path);
    if (existing.exists() && (!(existing.permissions() & QFileDevice::WriteOwner) ||
                              !existing.open(QIODevice::ReadWrite)))
        return fail();
    existing.close();
    QByteArray before;
    // Read under the lock: another copy may have just made or replaced it.
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly) || existing.size() > kMaxFileSize)
            return fail();
        before = existing.readAll();
        existing.close();
    }
    if (!WholeFile::replace(m_path, merged(before, section, entries)))
        return fail();
    return true;
}
