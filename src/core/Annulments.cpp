#include "Annulments.h"

#include "ProtocolRecord.h"

#include "WholeFile.h"

#include <QFileInfo>

namespace Annulments {
namespace {

constexpr int kColumns = 5;
// Far more than a register's annulments ever take; a larger file is not ours.
constexpr qint64 kMaxBytes = 64 << 20;
using Journal::chopLineEnd;
using Journal::kDateTimeFormat;
using Journal::kLineEnd;

// The file's lines after the first, each handed to `visit` with its 1-based number.
Reading parse(const QByteArray& bytes) {
    Reading reading;
    reading.exists = true;
    qsizetype at = 0;
    int number = 0;
    while (at < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', at);
        const qsizetype stop = nl < 0 ? bytes.size() : nl + 1;
        const QByteArrayView text = chopLineEnd(QByteArrayView(bytes).sliced(at, stop - at));
        at = stop;
        if (++number == 1) {
            reading.badHeader = text != kHeader;
            continue;
        }
        if (text.isEmpty() && nl < 0)
            break;
        const auto annulment = parseLine(text);
        if (!annulment) {
            reading.damagedLines.append(number);
            continue;
        }
        // A card is annulled once; a repeated line keeps the first.
        if (!reading.byPosition.contains(annulment->position))
            reading.byPosition.insert(annulment->position, *annulment);
    }
    return reading;
}

// The annulment a journal block records, if it is one.
std::optional<Annulment> fromBlock(const QList<Journal::Entry>& block) {
    std::optional<Annulment> found;
    for (const Journal::Entry& entry : block) {
        if (entry.kind != Journal::Kind::Annulment)
            continue;
        if (!found)
            found = Annulment{entry.position, entry.card, entry.at, {}, {}};
        if (entry.field == kReasonField)
            found->reason = entry.after;
        else if (entry.field == kAuthorisationField)
            found->authorisedBy = entry.after;
    }
    return found;
}

} // namespace

QString pathFor(const QString& registerPath) {
    return registerPath + kSuffix;
}

QByteArray line(const Annulment& annulment) {
    QByteArray out = QByteArray::number(annulment.position);
    for (const QByteArray& column :
         {Journal::escaped(annulment.number), annulment.at.toString(kDateTimeFormat).toLatin1(),
          Journal::escaped(annulment.reason), Journal::escaped(annulment.authorisedBy)}) {
        out += '\t';
        out += column;
    }
    return out;
}

std::optional<Annulment> parseLine(QByteArrayView text) {
    const QList<QByteArrayView> columns = Journal::columns(text);
    if (columns.size() != kColumns)
        return std::nullopt;
    Annulment annulment;
    bool number = false;
    annulment.position = columns[0].toByteArray().toInt(&number);
    const auto at = Journal::dateTime(columns[2]);
    const auto card = Journal::unescaped(columns[1]);
    const auto reason = Journal::unescaped(columns[3]);
    const auto authorisedBy = Journal::unescaped(columns[4]);
    if (!number || annulment.position < 1 || !at || !card || !reason || !authorisedBy)
        return std::nullopt;
    annulment.at = *at;
    annulment.number = *card;
    annulment.reason = *reason;
    annulment.authorisedBy = *authorisedBy;
    return annulment;
}

Reading read(const QString& registerPath) {
    const QFileInfo info(pathFor(registerPath));
    if (!info.exists())
        return {};
    const QByteArray bytes = WholeFile::read(info.filePath(), kMaxBytes);
    if (bytes.isEmpty() && info.size() != 0) {
        Reading reading;
        reading.exists = true;
        reading.readable = false;
        return reading;
    }
    Reading reading = parse(bytes);
    if (info.size() > kMaxBytes)
        reading.damagedLines.append(0); // cut short: what follows was not read
    return reading;
}

QList<Journal::Entry> entries(const Journal::Identity& identity, const QDateTime& at, int position,
                              const QString& number, const QString& reason,
                              const QString& authorisedBy) {
    const auto entry = [&](const QString& field, const QString& text) {
        return Journal::Entry{
            at, identity.archive, Journal::Kind::Annulment, position, number, field, {}, text, {},
            {}};
    };
    return {entry(kReasonField, reason), entry(kAuthorisationField, authorisedBy)};
}

RecordArchive::Follow follower(const QString& registerPath) {
    return [path = pathFor(registerPath)](const QList<Journal::Entry>& block) {
        const auto annulment = fromBlock(block);
        if (!annulment)
            return true;
        const QFileInfo info(path);
        QByteArray bytes;
        if (info.exists()) {
            bytes = WholeFile::read(path, kMaxBytes);
            if ((bytes.isEmpty() && info.size() != 0) || info.size() > kMaxBytes)
                return false; // what is there cannot be kept whole
            if (parse(bytes).find(annulment->position))
                return true; // this block was followed already
        }
        if (bytes.isEmpty())
            bytes = kHeader + kLineEnd;
        else if (!bytes.endsWith('\n'))
            bytes += kLineEnd;
        bytes += line(*annulment) + kLineEnd;
        return WholeFile::replace(path, bytes);
    };
}

RecordArchive::Allow allowance(const QString& registerPath) {
    return [registerPath](int position) { return !read(registerPath).find(position); };
}

void install(RecordArchive::Journaling& journaling, const QString& registerPath) {
    journaling.addFollower(follower(registerPath));
    journaling.allow = allowance(registerPath);
}

RecordArchive::Journaling journaling(const QString& registerPath, const QDateTime& at,
                                     Journal::Kind kind) {
    RecordArchive::Journaling out{ProtocolRecord::journalIdentity(registerPath), at, kind};
    install(out, registerPath);
    return out;
}

QStringList markLines(const Annulment& annulment) {
    return {QStringLiteral("ANNULLATA il %1 alle %2")
                .arg(annulment.at.toString(QStringLiteral("dd/MM/yyyy")),
                     annulment.at.toString(QStringLiteral("hh:mm"))),
            QStringLiteral("Motivo: ") + annulment.reason,
            QStringLiteral("Autorizzato da: ") + annulment.authorisedBy};
}

QString markText(const Annulment& annulment) {
    return markLines(annulment).join(QStringLiteral(" - "));
}

} // namespace Annulments
