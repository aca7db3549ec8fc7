#include "ArchiveCheck.h"

#include "Annulments.h"
#include "AttachmentFolder.h"
#include "Cp1252.h"
#include "DocumentRecord.h"
#include "Fingerprints.h"
#include "Journal.h"
#include "Numbering.h"
#include "ProtocolRecord.h"
#include "RecordFile.h"
#include "TextField.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <algorithm>
#include <map>
#include <optional>

namespace ArchiveCheck {
namespace {

// Plain parsing rather than regular expressions: it runs for every file name in the folder.
bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

QString attachmentCaption(const QString& field) {
    return field == QLatin1String("Copia") ? QStringLiteral("copia digitale")
                                           : QStringLiteral("allegato ") + field.right(1);
}

// What the damage of a side file is, as a finding's detail: nothing when it is sound.
QStringList sideFileDamage(const QString& what, bool readable, bool badHeader,
                           const QList<int>& damagedLines) {
    if (!readable)
        return {QStringLiteral("il file %1 non si può leggere").arg(what)};
    if (badHeader)
        return {QStringLiteral("la prima riga del file %1 non è quella del suo formato").arg(what)};
    QStringList out;
    for (int line : damagedLines)
        out << QStringLiteral("la riga %1 del file %2 è stata alterata").arg(line).arg(what);
    return out;
}

// The SHA-256 of the attached files, each read once however many cards name it.
class AttachmentDigests {
public:
    explicit AttachmentDigests(Control& control) : m_control(control) {}
    std::optional<QByteArray> of(const QString& path) {
        const auto known = m_digests.constFind(path);
        if (known != m_digests.cend())
            return *known;
        const auto digest = Fingerprints::ofFile(path, [&](qint64 bytes) {
            m_control.done += bytes;
            if (m_control.tick)
                m_control.tick();
            return !m_control.cancel;
        });
        m_digests.insert(path, digest);
        return digest;
    }

private:
    Control& m_control;
    QHash<QString, std::optional<QByteArray>> m_digests;
};

// One archive, read under one shared lock: its journal first, then its records.
class ArchiveReader {
public:
    ArchiveReader(const QString& folder, const QString& name, Control& control, Result& result,
                  QSet<QString>& named, AttachmentDigests& digests)
        : m_folder(folder), m_name(name), m_path(folder + name), m_control(control),
          m_result(result), m_named(named), m_digests(digests), m_protocol(isRegisterName(name)),
          m_layout(m_protocol ? ProtocolRecord::layout() : DocumentRecord::layout()) {}

    void run() {
        {
            RecordFile file(m_layout.size());
            if (!file.open(m_path, RecordFile::Access::Read)) {
                add(0, {}, Problem::Unreadable, QStringLiteral("l'archivio non si può aprire"));
                return;
            }
            readJournal(file);
            readSideFiles();
            if (m_control.tick)
                m_control.tick();
            if (m_control.cancel)
                return;
            readRecords(file);
        }
        // Attached files are read after the archive is closed: a large file would keep its
        // saves waiting for the lock.
        for (const Pending& p : m_pending) {
            if (m_control.cancel)
                return;
            checkFingerprint(p);
        }
    }

private:
    void add(int position, const QString& card, Problem problem, const QString& detail) {
        m_result.findings.append({m_name, position, card, problem, detail});
    }

    void readJournal(RecordFile& file) {
        const QString journal = Journal::pathFor(m_path);
        const qint64 size = QFileInfo(journal).size();
        const Journal::Reading reading = Journal::read(file, m_path, [&](const Journal::Entry& e) {
            if (e.kind == Journal::Kind::Close)
                m_lastClose[e.position] = e.after.toLatin1();
        });
        m_control.done += size;
        if (!reading.exists)
            return;
        const QString what =
            QStringLiteral("cronologia delle modifiche (%1)").arg(QFileInfo(journal).fileName());
        if (!reading.readable)
            add(0, {}, Problem::Unreadable, QStringLiteral("la %1 non si può leggere").arg(what));
        if (reading.badHeader)
            add(0, {}, Problem::JournalDamaged,
                QStringLiteral("la prima riga della %1 non è quella di una cronologia").arg(what));
        for (int line : reading.damagedLines)
            add(0, {}, Problem::JournalDamaged,
                QStringLiteral("la riga %1 della %2 è stata alterata").arg(line).arg(what));
        for (int line : reading.brokenLinks)
            add(0, {}, Problem::JournalBroken,
                QStringLiteral("prima della riga %1 della %2 una riga è stata tolta, aggiunta o "
                               "spostata")
                    .arg(line)
                    .arg(what));
    }

    // The fingerprints and the annulments beside the archive: their damage, and the
    // fingerprints to hold the attached files to.
    void readSideFiles() {
        const QString prints = Fingerprints::pathFor(m_path);
        const Fingerprints::Reading reading = Fingerprints::read(prints);
        for (const QString& detail :
             sideFileDamage(QStringLiteral("delle impronte (%1)").arg(QFileInfo(prints).fileName()),
                            reading.readable, reading.badHeader, reading.damagedLines))
            add(0, {}, Problem::SideFileDamaged, detail);
        for (const Fingerprints::Line& line : reading.lines)
            m_prints.insert({line.position, line.field}, {line.name, line.sha256});
        if (!m_protocol)
            return;
        const Annulments::Reading annulled = Annulments::read(m_path);
        for (const QString& detail :
             sideFileDamage(QStringLiteral("delle schede annullate (%1)")
                                .arg(QFileInfo(Annulments::pathFor(m_path)).fileName()),
                            annulled.readable, annulled.badHeader, annulled.damagedLines))
            add(0, {}, Problem::SideFileDamaged, detail);
    }

    QString cardLabel(QByteArrayView record, int position) const {
        if (!m_protocol)
            return QString::number(position);
        const FieldSpec& f = m_layout.field(ProtocolRecord::Numero);
        return Cp1252::decode(TextField::loadBytes(record, f.offset, f.capacity));
    }

    void readRecords(RecordFile& file) {
        const auto count = file.count();
        if (!count || !file.seek(0)) {
            add(0, {}, Problem::Unreadable, QStringLiteral("l'archivio non si può leggere"));
            return;
        }
        const int size = m_layout.size();
        const qint64 bytes = QFileInfo(m_path).size();
        if (bytes % size != 0)
            add(*count + 1, {}, Problem::PartialRecord,
                QStringLiteral("l'archivio finisce con una scheda incompleta di %1 byte: "
                               "una scrittura interrotta")
                    .arg(bytes % size));
        constexpr int kPerBlock = 256;
        QByteArray block;
        int position = 0;
        while (position < *count) {
            if (m_control.cancel)
                return;
            if (!file.readBlock(std::min(kPerBlock, *count - position), block) || block.isEmpty()) {
                add(position + 1, {}, Problem::Unreadable,
                    QStringLiteral("la lettura dell'archivio si è interrotta"));
                return;
            }
            for (qsizetype at = 0; at < block.size(); at += size)
                checkRecord(QByteArrayView(block).sliced(at, size), ++position);
            m_control.done += block.size();
            if (m_control.tick)
                m_control.tick();
        }
        m_control.done += bytes % size;
        if (m_protocol)
            checkNumbers();
    }

    void checkRecord(QByteArrayView record, int position) {
        const QString card = cardLabel(record, position);
        const QStringList damaged = m_layout.overlongFields(record);
        if (!damaged.isEmpty())
            add(position, card, Problem::DamagedRecord,
                QStringLiteral("lunghezza oltre lo spazio del campo: %1")
                    .arg(damaged.join(QStringLiteral(", "))));
        if (m_protocol)
            noteNumber(card, position);
        for (const QString& field : Fingerprints::kFields) {
            const FieldSpec& f = m_layout.field(m_layout.indexOf(field));
            const QString file = Cp1252::decode(TextField::loadBytes(record, f.offset, f.capacity));
            if (file.isEmpty())
                continue;
            m_named.insert(file.toCaseFolded());
            const QString path = AttachmentFolder::fileFor(m_folder, file);
            if (path.isEmpty() || !QFileInfo(path).isFile()) {
                add(position, card, Problem::AttachmentMissing,
                    QStringLiteral("manca il file «%1» (%2)").arg(file, attachmentCaption(field)));
                continue;
            }
            noteFingerprint(position, card, field, file, path);
        }
        const auto close = m_lastClose.constFind(position);
        if (close != m_lastClose.cend() && Journal::digest(record) != *close)
            add(position, card, Problem::CardChangedOutside,
                QStringLiteral("la scheda non è quella che la cronologia ha registrato per ultima: "
                               "è stata modificata fuori dal programma"));
    }

    // An attached file with a recorded fingerprint, to read once the archive is closed.
    struct Pending {
        int position;
        QString card, field, file, path;
        QByteArray recorded;
    };

    // A fingerprint recorded for another name belongs to a file the card named before.
    void noteFingerprint(int position, const QString& card, const QString& field,
                         const QString& file, const QString& path) {
        const auto recorded = m_prints.constFind({position, field});
        if (recorded != m_prints.cend() && recorded->first == TextField::trimBlanks(file))
            m_pending.append({position, card, field, file, path, recorded->second});
    }

    void checkFingerprint(const Pending& p) {
        const auto now = m_digests.of(p.path);
        if (m_control.cancel)
            return;
        if (!now)
            add(p.position, p.card, Problem::Unreadable,
                QStringLiteral("il file «%1» (%2) non si può leggere per confrontarne l'impronta")
                    .arg(p.file, attachmentCaption(p.field)));
        else if (*now != p.recorded)
            add(p.position, p.card, Problem::FingerprintChanged,
                QStringLiteral("il file «%1» (%2) non è più quello allegato: la sua impronta "
                               "SHA-256 è cambiata")
                    .arg(p.file, attachmentCaption(p.field)));
    }

    void noteNumber(const QString& card, int position) {
        const auto progressive = Numbering::progressive(card);
        if (!progressive) {
            add(position, card, Problem::NumberMissing,
                card.isEmpty() ? QStringLiteral("la scheda non ha un numero di protocollo")
                               : QStringLiteral("«%1» non è un numero di protocollo").arg(card));
            return;
        }
        const qint64 number = *progressive;
        const auto [it, fresh] = m_numbers.emplace(number, position);
        if (fresh)
            m_cards.insert(position, card);
        if (!fresh)
            add(position, card, Problem::NumberTwice,
                QStringLiteral("il numero %1 è già della scheda in posizione %2")
                    .arg(number)
                    .arg(it->second));
    }

    void checkNumbers() {
        qint64 previous = -1;
        for (const auto& [number, position] : m_numbers) {
            if (previous >= 0 && number > previous + 1) {
                add(position, m_cards.value(position), Problem::NumbersSkipped,
                    number == previous + 2
                        ? QStringLiteral("il numero %1 non è stato dato a nessuna scheda")
                              .arg(previous + 1)
                        : QStringLiteral("i numeri da %1 a %2 non sono stati dati a nessuna "
                                         "scheda")
                              .arg(previous + 1)
                              .arg(number - 1));
            }
            previous = number;
        }
    }

    QString m_folder, m_name, m_path;
    Control& m_control;
    Result& m_result;
    QSet<QString>& m_named;
    AttachmentDigests& m_digests;
    bool m_protocol;
    const RecordLayout& m_layout;
    QHash<int, QByteArray> m_lastClose; // position: the digest its journal last recorded
    // (position, field): the file name and SHA-256 recorded when it was attached
    QHash<std::pair<int, QString>, std::pair<QString, QByteArray>> m_prints;
    QList<Pending> m_pending;
    std::map<qint64, int> m_numbers; // progressive number: its first position
    QHash<int, QString> m_cards;     // those positions: the card's number as written
};

} // namespace

QString describe(const Finding& finding) {
    return finding.detail;
}

bool isRegisterName(const QString& name) {
    return name.size() == 8 && name.endsWith(QLatin1String(".prt")) &&
           allDigits(QStringView(name).left(4));
}

const RecordLayout* archiveLayout(const QString& name) {
    if (isRegisterName(name))
        return &ProtocolRecord::layout();
    return name == DocumentArchive::FileName ? &DocumentRecord::layout() : nullptr;
}

QStringList archivesIn(const QString& programFolder) {
    QStringList names;
    const QDir folder(programFolder);
    for (const QString& name :
         folder.entryList({QStringLiteral("*.prt")}, QDir::Files, QDir::Name)) {
        if (isRegisterName(name))
            names << name;
    }
    if (QFileInfo::exists(programFolder + DocumentArchive::FileName))
        names << DocumentArchive::FileName;
    return names;
}

Result run(const QString& programFolder, Control& control) {
    Result result;
    const QStringList archives = archivesIn(programFolder);
    qint64 total = 0;
    for (const QString& name : archives) {
        total += QFileInfo(programFolder + name).size();
        total += QFileInfo(Journal::pathFor(programFolder + name)).size();
    }
    const QDir attachments(AttachmentFolder::path(programFolder));
    const QFileInfoList files =
        attachments.entryInfoList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QFileInfo& file : files)
        total += file.size();
    control.total = total;
    QSet<QString> named;
    AttachmentDigests digests(control);
    for (const QString& name : archives) {
        ArchiveReader(programFolder, name, control, result, named, digests).run();
        if (control.cancel) {
            result.cancelled = true;
            return result;
        }
    }
    // Files read for no fingerprint count as done all the same.
    control.done = total;
    for (const QFileInfo& info : files) {
        const QString file = info.fileName();
        if (!named.contains(file.toCaseFolded()))
            result.findings.append(
                {AttachmentFolder::Name,
                 0,
                 {},
                 Problem::FileUnnamed,
                 QStringLiteral("il file «%1» non è allegato a nessuna scheda").arg(file)});
    }
    return result;
}

} // namespace ArchiveCheck
