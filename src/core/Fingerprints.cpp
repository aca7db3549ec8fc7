#include "Fingerprints.h"

#include "DocumentRecord.h"
#include "ProtocolRecord.h"
#include "TextField.h"
#include "WholeFile.h"
#include "platform/FileLock.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <memory>

namespace Fingerprints {
namespace {

using Journal::chopLineEnd;
using Journal::Entry;
using Journal::isDigest;
using Journal::Kind;
using Journal::kLineEnd;

constexpr int kColumns = 5;
constexpr qint64 kReadBlock = 1 << 20;

bool isField(const QString& field) {
    return std::find(kFields.begin(), kFields.end(), field) != kFields.end();
}

int fieldOrder(const QString& field) {
    return int(std::find(kFields.begin(), kFields.end(), field) - kFields.begin());
}

std::optional<Line> parseLine(QByteArrayView text) {
    const QList<QByteArrayView> columns = Journal::columns(text);
    if (columns.size() != kColumns || !isDigest(columns[4]))
        return std::nullopt;
    bool number = false;
    Line line;
    line.position = columns[1].toByteArray().toInt(&number);
    const auto archive = Journal::unescaped(columns[0]);
    const auto field = Journal::unescaped(columns[2]);
    const auto name = Journal::unescaped(columns[3]);
    if (!number || line.position < 1 || !archive || !field || !isField(*field) || !name)
        return std::nullopt;
    line.archive = *archive;
    line.field = *field;
    line.name = *name;
    line.sha256 = columns[4].toByteArray();
    return line;
}

// Visits the sound lines of the side file at `path`; what was wrong goes into the reading.
Reading scan(const QString& path, const std::function<void(const Line&)>& visit, bool keepDamaged) {
    Reading reading;
    if (!QFile::exists(path))
        return reading;
    reading.exists = true;
    QFile file;
    if (!FileLock::openForReading(file, path)) {
        reading.readable = false;
        return reading;
    }
    int number = 0;
    while (!file.atEnd()) {
        const QByteArray raw = file.readLine();
        if (raw.isEmpty() && file.error() != QFileDevice::NoError) {
            reading.readable = false;
            break;
        }
        ++number;
        const QByteArrayView text = chopLineEnd(raw);
        if (number == 1 && text == kHeader)
            continue;
        if (number == 1)
            reading.badHeader = true;
        if (text.isEmpty())
            continue;
        if (const auto line = parseLine(text)) {
            visit(*line);
        } else {
            reading.damagedLines.append(number);
            if (keepDamaged)
                reading.damaged.append(text.toByteArray());
        }
    }
    return reading;
}

// The block's own text for `field` (the file name the save stores), when it changed it.
std::optional<QString> nameInBlock(const QList<Entry>& block, const QString& field) {
    for (const Entry& e : block) {
        if (e.field == field && e.kind != Kind::Fingerprint && e.kind != Kind::Close &&
            e.kind != Kind::Annulment)
            return e.after;
    }
    return std::nullopt;
}

// What a save writes, as its journal entries were made: the record's SHA-256, its place
// and the names in its attachment fields.
struct Saved {
    QByteArray digest;
    int position = 0;
    QHash<QString, QString> names;
};

// Brings the side file to what the block says of the fingerprints. Taking a block twice
// gives the same file.
bool follow(const QString& path, const QList<Entry>& block, const std::optional<Saved>& saved) {
    QList<const Entry*> prints;
    for (const Entry& e : block) {
        if (e.kind == Kind::Fingerprint)
            prints.append(&e);
    }
    if (prints.isEmpty())
        return true;
    QList<Line> lines;
    const auto keep = [&](const Line& line) { lines.append(line); };
    const Reading now = scan(path, keep, true);
    if (!now.readable)
        return false;
    const QByteArray before = bytes(lines, now.damaged);
    const Entry& close = block.last();
    const bool ours = saved && close.kind == Kind::Close && close.position == saved->position &&
                      close.after.toLatin1() == saved->digest;
    for (const Entry* e : prints) {
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const Line& line) {
            return line.position == e->position && line.field == e->field;
        });
        if (e->after.isEmpty()) {
            if (at != lines.end())
                lines.erase(at);
            continue;
        }
        // The name the card stores: changed by this very block, or as it was.
        std::optional<QString> name = nameInBlock(block, e->field);
        if (!name && ours)
            name = saved->names.value(e->field);
        if (!name && at != lines.end())
            name = at->name;
        Line line{e->archive, e->position, e->field, name.value_or(QString()), e->after.toLatin1()};
        if (at != lines.end())
            *at = line;
        else
            lines.append(line);
    }
    const QByteArray after = bytes(lines, now.damaged);
    if (now.exists && !now.badHeader && after == before)
        return true;
    return WholeFile::replace(path, after);
}

// The layout and identity of the archive a side file belongs to, from its file name.
struct ArchiveKind {
    const RecordLayout* layout;
    Journal::Identity identity;
};
std::optional<ArchiveKind> archiveKind(const QString& archivePath) {
    const QString name = QFileInfo(archivePath).fileName();
    if (name == DocumentArchive::FileName)
        return ArchiveKind{&DocumentRecord::layout(), DocumentRecord::journalIdentity(archivePath)};
    static const QRegularExpression year(QStringLiteral("^[0-9]{4}\\.prt$"));
    if (year.match(name).hasMatch())
        return ArchiveKind{&ProtocolRecord::layout(), ProtocolRecord::journalIdentity(archivePath)};
    return std::nullopt;
}

} // namespace

QString fieldCaption(const QString& field) {
    if (field == QLatin1String("Copia"))
        return QStringLiteral("Copia digitale");
    return QStringLiteral("%1° file allegato").arg(field.right(1));
}

QString pathFor(const QString& archivePath) {
    return archivePath + kSuffix;
}

std::optional<QByteArray> ofFile(const QString& path,
                                 const std::function<bool(qint64 bytes)>& read) {
    QFile file;
    if (!FileLock::openForReading(file, path) || file.isSequential())
        return std::nullopt;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QByteArray block(kReadBlock, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 n = file.read(block.data(), block.size());
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            break;
        hash.addData(QByteArrayView(block.constData(), n));
        total += n;
        if (read && !read(n))
            return std::nullopt;
    }
    // A file cut or grown meanwhile was not read as it is.
    if (total != file.size())
        return std::nullopt;
    return hash.result().toHex();
}

QByteArray Reading::find(int position, const QString& field, const QString& name) const {
    for (const Line& line : lines) {
        if (line.position == position && line.field == field)
            return line.name == TextField::trimBlanks(name) ? line.sha256 : QByteArray();
    }
    return {};
}

Reading read(const QString& path) {
    QList<Line> lines;
    const auto keep = [&](const Line& line) { lines.append(line); };
    Reading reading = scan(path, keep, true);
    reading.lines = std::move(lines);
    return reading;
}

QByteArray bytes(QList<Line> lines, const QList<QByteArray>& damaged) {
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.position != b.position ? a.position < b.position
                                        : fieldOrder(a.field) < fieldOrder(b.field);
    });
    QByteArray out = kHeader + kLineEnd;
    for (const Line& line : lines) {
        out += Journal::escaped(line.archive) + '\t' + QByteArray::number(line.position) + '\t' +
               Journal::escaped(line.field) + '\t' + Journal::escaped(line.name) + '\t' +
               line.sha256 + kLineEnd;
    }
    // Lines this version cannot read stay for whoever looks into the file.
    for (const QByteArray& line : damaged)
        out += line + kLineEnd;
    return out;
}

void install(RecordArchive::Journaling& journaling, const QString& archivePath,
             const QList<Shown>& shown) {
    const QString path = pathFor(archivePath);
    const Journal::Identity identity = journaling.identity;
    const QDateTime at = journaling.at;
    auto saved = std::make_shared<std::optional<Saved>>();
    journaling.addExtra([=](int position, const Record& after) {
        // Read under the archive's lock, which every writer of the side file holds.
        const Reading now = read(path);
        const QString card = identity.cardNumber ? identity.cardNumber(after, position) : QString();
        Saved save{Journal::digest(after.bytes()), position, {}};
        QList<Entry> entries;
        for (const QString& field : kFields) {
            const int f = after.layout().indexOf(field);
            if (f < 0)
                continue;
            const QString name = TextField::trimBlanks(after.text(f));
            save.names.insert(field, name);
            QByteArray was;
            for (const Line& line : now.lines) {
                if (line.position == position && line.field == field)
                    was = line.sha256;
            }
            // A file attached since the card was shown brings its own; a name kept keeps
            // the one recorded for it; any other name has none.
            QByteArray next;
            if (!name.isEmpty()) {
                next = now.find(position, field, name);
                for (const Shown& s : shown) {
                    if (s.field == field && TextField::trimBlanks(s.name) == name)
                        next = s.sha256;
                }
            }
            if (was != next)
                entries.append({at,
                                identity.archive,
                                Kind::Fingerprint,
                                position,
                                card,
                                field,
                                QString::fromLatin1(was),
                                QString::fromLatin1(next),
                                {},
                                {}});
        }
        *saved = std::move(save);
        return entries;
    });
    journaling.addFollower([=](const QList<Entry>& block) { return follow(path, block, *saved); });
}

Search cardsHolding(const QString& programFolder, const QByteArray& sha256,
                    const QString& archivePath, std::optional<int> position) {
    Search search;
    const QString own = QFileInfo(archivePath).fileName();
    const QDir folder(programFolder);
    const QStringList sideFiles =
        folder.entryList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name);
    for (const QString& sideFile : sideFiles) {
        const QString archiveFile = sideFile.chopped(kSuffix.size());
        const auto kind = archiveKind(folder.filePath(archiveFile));
        if (!kind)
            continue;
        QList<Line> matches;
        const Reading reading = scan(
            folder.filePath(sideFile),
            [&](const Line& line) {
                if (line.sha256 == sha256)
                    matches.append(line);
            },
            false);
        if (reading.isDamaged())
            search.damagedFiles.append(sideFile);
        const RecordArchive archive(folder.filePath(archiveFile), *kind->layout);
        for (const Line& line : matches) {
            if (archiveFile == own && position && line.position == *position)
                continue;
            const auto record = archive.read(line.position);
            const int f = kind->layout->indexOf(line.field);
            // A line whose card names another file now is out of date: not a holder.
            if (!record || f < 0 || TextField::trimBlanks(record->text(f)) != line.name)
                continue;
            search.holders.append({archive.path(), kind->identity.archive, line.position,
                                   kind->identity.cardNumber(*record, line.position), line.field,
                                   line.name});
        }
    }
    return search;
}

QString holderText(const Holder& holder) {
    // "dello Schedario", "del Protocollo".
    const QString article = holder.archive.startsWith(QLatin1String("Sc")) ? QStringLiteral("dello")
                                                                           : QStringLiteral("del");
    return QStringLiteral("alla scheda n. %1 %2 %3 (%4)")
        .arg(holder.card, article, holder.archive, fieldCaption(holder.field));
}

} // namespace Fingerprints
