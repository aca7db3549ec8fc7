#pragma once

#include "core/Annulments.h"
#include "core/Journal.h"
#include "core/RecordLayout.h"

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// What the benchmarks share: the peak memory of a process, and the side files a working
// installation keeps beside its archives (change journal, annulled cards, fingerprints of
// attached files), written at once in the program's own formats rather than through a
// hundred thousand saves.
namespace BenchSideFiles {

// Peak resident memory of this process, in MB (Linux; 0 elsewhere).
double peakMegabytes();

// Writes the change journal of an archive in large writes, each block chained to the line
// before as the program chains it.
class JournalFile {
public:
    explicit JournalFile(const QString& archivePath);
    // Sets each entry's link and digest and adds its line.
    bool add(QList<Journal::Entry>& block);
    // Writes what is left; false when any write failed.
    bool finish();
    qint64 lines() const { return m_lines; }

private:
    bool flush();

    QFile m_file;
    QByteArray m_out;
    QByteArray m_previous;
    qint64 m_lines = 0;
    bool m_ok = false;
};

// The annulments of every hundredth card of a register (positions 50, 150, ...): written to
// its side file and given back.
QList<Annulments::Annulment> writeAnnulments(const QString& registerPath);

// The journal of an archive whose cards were each saved once as new cards, in position
// order, and then annulled as `annulled` says: one "nuova" block per card whose closing
// entry holds the record's digest, then one annulment block per annulled card.
bool writeCreationJournal(const QString& archivePath, const RecordLayout& layout,
                          const Journal::Identity& identity,
                          const QList<Annulments::Annulment>& annulled = {});

// A file a card names in one of its attachment fields.
struct Attachment {
    int position = 0;
    QString field;
    QString name; // as the card holds it, trimmed
};
QList<Attachment> attachments(const QString& archivePath, const RecordLayout& layout);

// The fingerprints' side file of an archive: one line per attachment, its SHA-256 given by
// `sha256` from the file's name.
bool writeFingerprints(const QString& archivePath, const QString& archiveName,
                       const QList<Attachment>& attached,
                       const std::function<QByteArray(const QString& name)>& sha256);

// The bytes of an attached file: its name over and over, to `size` bytes.
QByteArray fileBytes(const QString& name, qint64 size);

// A program folder as a working installation has it: the register "2026.prt" and the
// document index of `cards` generated cards each, 1 % of the register annulled, both change
// journals, every file the cards name in the attachments folder (the first `largeFiles` of
// `largeBytes`, the others of `smallBytes`) and the fingerprints' side files.
struct Installation {
    bool ok = false;
    QStringList archives; // file names, the register first
    int files = 0;
    int unwritable = 0; // names the file system does not take
    qint64 bytes = 0;
    QString firstLarge;
};
Installation writeInstallation(const QString& folder, int cards, int largeFiles, qint64 largeBytes,
                               qint64 smallBytes);

// "2026.prt.cronologia 412.3 MB, 2026.prt.annullate 0.1 MB": the side files beside an
// archive, or "none".
QString presentText(const QString& archivePath);

} // namespace BenchSideFiles
