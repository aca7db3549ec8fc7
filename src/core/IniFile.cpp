#include "IniFile.h"

#include "Cp1252.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QSaveFile>
#include <optional>

namespace {

struct Line {
    QString text;   // without its line end
    QByteArray end; // "\r\n", "\n" or "" for a last line without one
};

QList<Line> readLines(const QString& path) {
    QList<Line> lines;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    const QByteArray bytes = file.readAll();
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        const qsizetype stop = lf < 0 ? bytes.size() : lf;
        const bool cr = stop > start && bytes[stop - 1] == '\r';
        Line line;
        line.text =
            Cp1252::decode(QByteArrayView(bytes).sliced(start, stop - start - (cr ? 1 : 0)));
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

} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {}

QString IniFile::read(const QString& section, const QString& key) const {
    return read(section, QStringList{key}).first();
}

QStringList IniFile::read(const QString& section, const QStringList& keys) const {
    QStringList values(keys.size());
    QList<bool> found(keys.size(), false);
    bool inSection = false;
    for (const Line& line : readLines(m_path)) {
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
    // A read-only settings file is refused, as the system's own INI writer refuses it,
    // although replacing it by a rename would get past it (and past any administrator).
    const QFileInfo info(m_path);
    if (info.exists() && !(info.permissions() & QFileDevice::WriteOwner))
        return fail();

    QList<Line> lines = readLines(m_path);
    for (const auto& [key, value] : entries)
        setEntry(lines, section, key, value);

    QByteArray bytes;
    for (const Line& line : lines)
        bytes += Cp1252::encode(line.text) + line.end;

    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return fail();
    return true;
}
