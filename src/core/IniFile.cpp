#include "IniFile.h"

#include "Cp1252.h"
#include "WholeFile.h"
#include "platform/FileLock.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <optional>

namespace {

struct Line {
    QString text;   // without its line end
    QByteArray end; // "\r\n", "\n" or "" for a last line without one
};

QList<Line> splitLines(QByteArrayView bytes) {
    QList<Line> lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        const qsizetype stop = lf < 0 ? bytes.size() : lf;
        const bool cr = stop > start && bytes[stop - 1] == '\r';
        Line line;
        line.text = Cp1252::decode(bytes.sliced(start, stop - start - (cr ? 1 : 0)));
        line.end = lf < 0 ? QByteArray() : (cr ? QByteArray("\r\n") : QByteArray("\n"));
        lines.append(line);
        start = stop + 1;
    }
    return lines;
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
// last line, or in a new section at the end.
void setEntry(QList<Line>& lines, const QString& section, const QString& key,
              const QString& value) {
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
        lines[keyAt].text = entry;
        return;
    }
    const QByteArray crlf("\r\n");
    // A line added after a last line without an end needs one first.
    const auto endLast = [&](qsizetype at) {
        if (at >= 0 && lines[at].end.isEmpty())
            lines[at].end = crlf;
    };
    if (sectionAt >= 0) {
        endLast(lastInSection);
        lines.insert(lastInSection + 1, Line{entry, crlf});
    } else {
        endLast(lines.size() - 1);
        lines.append(Line{u'[' + section.trimmed() + u']', crlf});
        lines.append(Line{entry, crlf});
    }
}

// Serialises the writers of one settings file among copies of the program, also of other
// users sharing the folder. A lock file that cannot be opened or locked (another copy keeps
// it past the timeout, or this user has no right to it) fails the write; only a file system
// that keeps no locks at all is written without one.
class WriterLock {
public:
    explicit WriterLock(const QString& path) {
        if (!FileLock::openLockFile(m_file, path + QStringLiteral(".lock")))
            return;
        switch (FileLock::acquire(m_file, FileLock::Mode::Exclusive, kTimeoutMs)) {
        case FileLock::Result::Locked:
            m_locked = m_ok = true;
            break;
        case FileLock::Result::Unsupported:
            m_ok = true;
            break;
        case FileLock::Result::Busy:
        case FileLock::Result::Failed:
            break;
        }
    }
    ~WriterLock() {
        if (m_locked)
            FileLock::release(m_file);
    }
    WriterLock(const WriterLock&) = delete;
    WriterLock& operator=(const WriterLock&) = delete;

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
    return valuesIn(WholeFile::read(m_path, kMaxFileSize), section, keys);
}

QStringList IniFile::valuesIn(QByteArrayView bytes, const QString& section,
                              const QStringList& keys) {
    QStringList values(keys.size());
    QList<bool> found(keys.size(), false);
    bool inSection = false;
    for (const Line& line : splitLines(bytes)) {
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
    // A settings file that refuses writes is refused, as the system's own INI writer refuses
    // it, although replacing it by a rename would get past it (and past any administrator).
    QFile existing(m_path);
    if (existing.exists() && (!(existing.permissions() & QFileDevice::WriteOwner) ||
                              !existing.open(QIODevice::ReadWrite)))
        return fail();
    existing.close();

    const WriterLock lock(m_path);
    if (!lock.ok())
        return fail();
    QByteArray before;
    // Read under the lock: another copy may have just made or replaced it.
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly) || existing.size() > kMaxFileSize)
            return fail();
        before = existing.readAll();
        existing.close();
    }
    QList<Line> lines = splitLines(before);
    for (const auto& [key, value] : entries)
        setEntry(lines, section, key, value);

    QByteArray bytes;
    for (const Line& line : lines)
        bytes += Cp1252::encode(line.text) + line.end;

    if (!WholeFile::replace(m_path, bytes))
        return fail();
    return true;
}
