#pragma once

#include "RewriteCards.h"
#include "core/AttachmentFolder.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QRandomGenerator>
#include <QString>

// A program folder as a user has it after some work, for the backup and restore tests:
// two registers and the document index saved with their change journals, side files of
// annulments and fingerprints, the settings, the credential, their lock files, attachments
// (one in a subfolder, names with accents and "€"), a copy still on its way into the
// attachments folder, and files no backup takes (an export, the guide).
namespace ProgramFolderFixture {

inline const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));

inline bool put(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline RecordArchive journaled(const QString& path, const RecordLayout& layout,
                               const Journal::Identity& identity) {
    RecordArchive archive(path, layout);
    archive.setJournaling({identity, kAt, Journal::Kind::New});
    return archive;
}

// `cards` cards per register, version A of RewriteCards.h.
inline bool fill(const QString& folder, int cards = 3) {
    const QDir dir(folder);
    bool ok = true;
    for (const char* year : {"2025.prt", "2026.prt"}) {
        const QString path = dir.filePath(QLatin1String(year));
        const RecordArchive archive =
            journaled(path, ProtocolRecord::layout(), ProtocolRecord::journalIdentity(path));
        for (int n = 1; n <= cards; ++n)
            ok = ok && archive.append(rewriteCard(n, u'A')) == n;
    }
    const QString index = dir.filePath(DocumentArchive::FileName);
    const RecordArchive documents =
        journaled(index, DocumentRecord::layout(), DocumentRecord::journalIdentity(index));
    for (int n = 1; n <= 2; ++n) {
        DocumentRecord card;
        card.setText(DocumentRecord::Oggetto, QStringLiteral("Documento %1 però €").arg(n));
        ok = ok && documents.append(card) == n;
    }
    ok = ok && put(dir.filePath("2026.prt.annullate"), "Faldora annullate 1\n");
    ok = ok && put(dir.filePath("Schedario_Documenti.pro.impronte"), "Faldora impronte 1\n");
    ok = ok && put(dir.filePath("Faldora_Pro.ini"), "[Numerazione Protocollo]\r\nInizio=1\r\n");
    ok = ok && put(dir.filePath("Faldora_Pro.ini.lock"), {});
    ok = ok && put(dir.filePath("unins000.dll"), "cifrata\r\n");
    ok = ok && put(dir.filePath("unins000.dll.lock"), {});
    ok = ok && put(dir.filePath("Protocollo.xls"), "<table></table>");
    ok = ok && put(dir.filePath("Guida.pdf"), "%PDF guida");
    const QDir attachments(dir.filePath(AttachmentFolder::Name));
    ok = ok && put(attachments.filePath(QStringLiteral("Contratto però €.pdf")), "%PDF contratto");
    ok = ok && put(attachments.filePath("vuoto.txt"), {});
    // Bytes that deflate cannot shrink, as a photo's.
    QByteArray photo(300 * 1024, '\0');
    QRandomGenerator random(20);
    random.fillRange(reinterpret_cast<quint32*>(photo.data()), photo.size() / 4);
    ok = ok && put(attachments.filePath("2025/scansione.jpg"), photo);
    ok = ok && put(attachments.filePath(".allegato-k3j2"), "copia a metà");
    return ok;
}

// What a backup takes from the fixture, in its order.
inline QStringList dataFiles() {
    return {"2025.prt",
            "2025.prt.cronologia",
            "2026.prt",
            "2026.prt.cronologia",
            "2026.prt.annullate",
            "Schedario_Documenti.pro",
            "Schedario_Documenti.pro.cronologia",
            "Schedario_Documenti.pro.impronte",
            "Faldora_Pro.ini",
            "unins000.dll",
            QStringLiteral("Documenti_Allegati/2025/scansione.jpg"),
            QStringLiteral("Documenti_Allegati/Contratto però €.pdf"),
            QStringLiteral("Documenti_Allegati/vuoto.txt")};
}

// Every file and folder under `folder` with the SHA-256 of its bytes ("<cartella>" for a
// folder), by relative path; `skip`: top-level names left out.
inline QMap<QString, QByteArray> digest(const QString& folder, const QStringList& skip = {}) {
    QMap<QString, QByteArray> out;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        const QString relative = QDir(folder).relativeFilePath(it.filePath());
        if (skip.contains(relative.section(u'/', 0, 0)))
            continue;
        if (it.fileInfo().isDir()) {
            out.insert(relative, "<cartella>");
            continue;
        }
        QFile f(it.filePath());
        out.insert(relative,
                   f.open(QIODevice::ReadOnly)
                       ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256).toHex()
                       : QByteArray("<illeggibile>"));
    }
    return out;
}

} // namespace ProgramFolderFixture
