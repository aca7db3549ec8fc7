#include "ArchiveCheck.h"

#include "AttachmentFolder.h"
#include "Cp1252.h"
#include "DocumentRecord.h"
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

// Plain parsing rather than regular expressions: the check runs in a thread of its own, and a
// regular expression's per-thread matching stack kept a MinGW program from ending.
bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "NNNN.prt": a year's register.
bool isRegisterName(const QString& name) {
    return name.size() == 8 && name.endsWith(QLatin1String(".prt")) &&
           allDigits(QStringView(name).left(4));
}
constexpr const char* kAttachmentFields[] = {"Copia", "File01", "File02", "File03"};

QString attachmentCaption(const char* field) {
    const QString name = QString::fromLatin1(field);
    return name == QLatin1String("Copia") ? QStringLiteral("copia digitale")
                                          : QStringLiteral("allegato ") + name.right(1);
}

// One archive, read under one shared lock: its journal first, then its records.
class ArchiveReader {
public:
    ArchiveReader(const QString& folder, const QString& name, Control& control, Result& result,
                  QSet<QString>& named)
        : m_folder(folder), m_name(name), m_path(folder + name), m_control(control),
          m_result(result), m_named(named), m_protocol(isRegisterName(name)),
          m_layout(m_protocol ? ProtocolRecord::layout() : DocumentRecord::layout()) {}

    void run() {
        RecordFile file(m_layout.size());
        if (!file.open(m_path, RecordFile::Access::Read)) {
            add(0, {}, Problem::Unreadable, QStringLiteral("l'archivio non si può aprire"));
            return;
        }
        readJournal(file);
        if (m_control.tick)
            m_control.tick();
        if (m_control.cancel)
            return;
        readRecords(file);
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
        for (const char* name : kAttachmentFields) {
            const FieldSpec& f = m_layout.field(m_layout.indexOf(QString::fromLatin1(name)));
            const QString file = Cp1252::decode(TextField::loadBytes(record, f.offset, f.capacity));
            if (file.isEmpty())
                continue;
            m_named.insert(file.toCaseFolded());
            const QString path = AttachmentFolder::fileFor(m_folder, file);
            if (path.isEmpty() || !QFileInfo(path).isFile())
                add(position, card, Problem::AttachmentMissing,
                    QStringLiteral("manca il file «%1» (%2)").arg(file, attachmentCaption(name)));
        }
        const auto close = m_lastClose.constFind(position);
        if (close != m_lastClose.cend() && Journal::digest(record) != *close)
            add(position, card, Problem::CardChangedOutside,
                QStringLiteral("la scheda non è quella che la cronologia ha registrato per ultima: "
                               "è stata modificata fuori dal programma"));
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
    bool m_protocol;
    const RecordLayout& m_layout;
    QHash<int, QByteArray> m_lastClose; // position: the digest its journal last recorded
    std::map<qint64, int> m_numbers;    // progressive number: its first position
    QHash<int, QString> m_cards;        // those positions: the card's number as written
};

} // namespace

QString describe(const Finding& finding) {
    return finding.detail;
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
    control.total = total;
    QSet<QString> named;
    for (const QString& name : archives) {
        ArchiveReader(programFolder, name, control, result, named).run();
        if (control.cancel) {
            result.cancelled = true;
            return result;
        }
    }
    const QDir attachments(AttachmentFolder::path(programFolder));
    for (const QString& file :
         attachments.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
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
