#include "SideFiles.h"

#include "core/AttachmentFolder.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "core/WholeFile.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace BenchSideFiles {

double peakMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

JournalFile::JournalFile(const QString& archivePath)
    : m_file(Journal::pathFor(archivePath)), m_previous(Journal::digest(Journal::kHeader)) {
    m_ok = m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    m_out = Journal::kHeader + Journal::kLineEnd;
    m_lines = 1;
}

bool JournalFile::add(QList<Journal::Entry>& block) {
    for (Journal::Entry& entry : block) {
        entry.previous = m_previous;
        m_out += Journal::line(entry);
        m_out += Journal::kLineEnd;
        m_previous = entry.own;
        ++m_lines;
    }
    return m_out.size() < (8 << 20) || flush();
}

bool JournalFile::flush() {
    m_ok = m_ok && m_file.write(m_out) == m_out.size();
    m_out.clear();
    return m_ok;
}

bool JournalFile::finish() {
    flush();
    m_file.close();
    return m_ok;
}

QList<Annulments::Annulment> writeAnnulments(const QString& registerPath) {
    QList<Annulments::Annulment> annulled;
    const QDateTime start(QDate(2026, 12, 30), QTime(9, 0, 0));
    RecordArchive(registerPath, ProtocolRecord::layout()).scan([&](int position, const Record& r) {
        if (position % 100 != 50)
            return;
        annulled.append({position, r.text(ProtocolRecord::Numero),
                         start.addSecs(qint64(annulled.size()) * 60),
                         QStringLiteral("Registrazione doppia del documento"),
                         QStringLiteral("Il responsabile del protocollo")});
    });
    QByteArray bytes = Annulments::kHeader + Journal::kLineEnd;
    for (const Annulments::Annulment& a : annulled)
        bytes += Annulments::line(a) + Journal::kLineEnd;
    if (!WholeFile::replace(Annulments::pathFor(registerPath), bytes))
        return {};
    return annulled;
}

bool writeCreationJournal(const QString& archivePath, const RecordLayout& layout,
                          const Journal::Identity& identity,
                          const QList<Annulments::Annulment>& annulled) {
    JournalFile journal(archivePath);
    const QDateTime start(QDate(2026, 1, 2), QTime(8, 0, 0));
    bool ok = true;
    QSet<int> toAnnul;
    for (const Annulments::Annulment& a : annulled)
        toAnnul.insert(a.position);
    QHash<int, Record> annulledCards;
    const bool read = RecordArchive(archivePath, layout).scan([&](int position, const Record& r) {
        QList<Journal::Entry> block = Journal::saveEntries(
            identity, start.addSecs(qint64(position) * 120), Journal::Kind::New, position, {}, r);
        ok = ok && journal.add(block);
        if (toAnnul.contains(position))
            annulledCards.insert(position, r);
    });
    for (const Annulments::Annulment& a : annulled) {
        const auto card = annulledCards.constFind(a.position);
        if (card == annulledCards.cend())
            return false;
        QList<Journal::Entry> block =
            Annulments::entries(identity, a.at, a.position, a.number, a.reason, a.authorisedBy);
        block.append(Journal::closeEntry(identity, a.at, a.position, *card));
        ok = ok && journal.add(block);
    }
    return journal.finish() && ok && read;
}

QList<Attachment> attachments(const QString& archivePath, const RecordLayout& layout) {
    QList<Attachment> out;
    QList<int> fields;
    for (const QString& field : Fingerprints::kFields)
        fields.append(layout.indexOf(field));
    RecordArchive(archivePath, layout).scan([&](int position, const Record& r) {
        for (int f : fields) {
            const QString name = TextField::trimBlanks(r.text(f));
            if (!name.isEmpty())
                out.append({position, QString::fromLatin1(layout.field(f).name), name});
        }
    });
    return out;
}

bool writeFingerprints(const QString& archivePath, const QString& archiveName,
                       const QList<Attachment>& attached,
                       const std::function<QByteArray(const QString& name)>& sha256) {
    QList<Fingerprints::Line> lines;
    lines.reserve(attached.size());
    for (const Attachment& a : attached)
        lines.append({archiveName, a.position, a.field, a.name, sha256(a.name)});
    return WholeFile::replace(Fingerprints::pathFor(archivePath),
                              Fingerprints::bytes(std::move(lines)));
}

QString presentText(const QString& archivePath) {
    QStringList present;
    for (const QString& path : {Journal::pathFor(archivePath), Annulments::pathFor(archivePath),
                                Fingerprints::pathFor(archivePath)}) {
        const QFileInfo info(path);
        if (info.exists())
            present << QStringLiteral("%1 %2 MB")
                           .arg(info.fileName())
                           .arg(double(info.size()) / (1024.0 * 1024.0), 0, 'f', 1);
    }
    return present.isEmpty() ? QStringLiteral("none") : present.join(QStringLiteral(", "));
}

QByteArray fileBytes(const QString& name, qint64 size) {
    const QByteArray unit = name.toUtf8() + '\n';
    QByteArray out;
    out.reserve(size);
    while (out.size() < size)
        out += unit;
    out.truncate(size);
    return out;
}

Installation writeInstallation(const QString& folder, int cards, int largeFiles, qint64 largeBytes,
                               qint64 smallBytes) {
    Installation made;
    const QString registerPath = folder + QStringLiteral("2026.prt");
    const QString indexPath = folder + DocumentArchive::FileName;
    made.archives = {QStringLiteral("2026.prt"), DocumentArchive::FileName};
    const QList<const RecordLayout*> layouts{&ProtocolRecord::layout(), &DocumentRecord::layout()};
    const QList<Journal::Identity> identities{ProtocolRecord::journalIdentity(registerPath),
                                              DocumentRecord::journalIdentity(indexPath)};
    if (!ProtocolGenerator(7, 2026).writeRegister(registerPath, cards) ||
        !DocumentGenerator(7, 2026).writeIndex(indexPath, cards))
        return made;
    const QList<Annulments::Annulment> annulled = writeAnnulments(registerPath);
    if (annulled.isEmpty() ||
        !writeCreationJournal(registerPath, *layouts[0], identities[0], annulled) ||
        !writeCreationJournal(indexPath, *layouts[1], identities[1]))
        return made;

    QDir().mkpath(AttachmentFolder::path(folder));
    QHash<QString, QByteArray> sums;
    for (qsizetype a = 0; a < made.archives.size(); ++a) {
        const QString path = folder + made.archives[a];
        const auto list = attachments(path, *layouts[a]);
        for (const Attachment& file : list) {
            if (sums.contains(file.name))
                continue;
            const qint64 size = made.files < largeFiles ? largeBytes : smallBytes;
            const QByteArray bytes = fileBytes(file.name, size);
            QFile out(AttachmentFolder::fileFor(folder, file.name));
            if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size()) {
                ++made.unwritable;
                sums.insert(file.name, Journal::digest(file.name.toUtf8()));
                continue;
            }
            if (made.files == 0)
                made.firstLarge = file.name;
            ++made.files;
            made.bytes += size;
            sums.insert(file.name, Journal::digest(bytes));
        }
        if (!writeFingerprints(path, identities[a].archive, list,
                               [&](const QString& name) { return sums[name]; }))
            return made;
    }
    made.ok = true;
    return made;
}

} // namespace BenchSideFiles
