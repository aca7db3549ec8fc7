#pragma once

#include "RecordArchive.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <array>
#include <functional>
#include <optional>

// The fingerprints ("impronte") of the files attached to the cards of one archive: a side
// file beside it (the archive's name followed by ".impronte"), UTF-8 text, a first line
// naming its format, then one line per attached file:
//
//   archive, position, field, file name, SHA-256 of the file (hex)
//
// tab-separated, escaped as the journal's columns. It holds the fingerprints as they are
// now; their history is in the change journal, as entries of kind Fingerprint (field: the
// attachment field, old and new SHA-256). The file follows the journal: a save's block
// carries its fingerprint entries, and the side file is rewritten from them once the record
// is on the disk, so a copy killed in between is caught up by the next writer.
namespace Fingerprints {

inline const QString kSuffix = QStringLiteral(".impronte");
inline const QByteArray kHeader = QByteArrayLiteral("Faldora impronte 1");

// The record fields that name an attached file, both archives alike.
inline const std::array<QString, 4> kFields{QStringLiteral("Copia"), QStringLiteral("File01"),
                                            QStringLiteral("File02"), QStringLiteral("File03")};
// How a message names an attachment field: "Copia digitale", "1° file allegato".
QString fieldCaption(const QString& field);

QString pathFor(const QString& archivePath);

// The SHA-256 (hex) of a file's bytes, read in blocks; nothing when it cannot be read whole.
// `read`, when given, hears the bytes of each block and may stop the reading (false): a
// caller that keeps a window alive through a large file.
std::optional<QByteArray> ofFile(const QString& path,
                                 const std::function<bool(qint64 bytes)>& read = {});

struct Line {
    QString archive; // "Protocollo 2026", "Schedario documenti"
    int position = 0;
    QString field; // "Copia", "File01"...
    QString name;  // the file's name in the attachments folder
    QByteArray sha256;
};

// A side file as read: its sound lines, and what was wrong with it. A damaged side file
// never stops anything: its sound lines are used and the rest is reported.
struct Reading {
    bool exists = false;
    bool readable = true;
    bool badHeader = false;
    QList<int> damagedLines;   // 1-based line numbers
    QList<QByteArray> damaged; // those lines' bytes, kept as they are by a rewrite
    QList<Line> lines;

    bool isDamaged() const { return !readable || badHeader || !damagedLines.isEmpty(); }
    // The recorded fingerprint of the file named `name` in `field` of the card at `position`;
    // empty when none is recorded for that very name.
    QByteArray find(int position, const QString& field, const QString& name) const;
};

// Reads the side file at `path` (not the archive's) without a lock: it is replaced whole, so
// a reader sees one version or the next.
Reading read(const QString& path);
// The side file's bytes holding `lines` (in card and field order) and the damaged lines.
QByteArray bytes(QList<Line> lines, const QList<QByteArray>& damaged = {});

// A card's attached files as its window shows them: a field's name and fingerprint, empty
// when the field names no file or no fingerprint is known for it.
struct Shown {
    QString field;
    QString name;
    QByteArray sha256;
};

// Makes a save through `journaling` keep the side file of `archivePath`: its journal block
// gets one Fingerprint entry per attachment field whose fingerprint the save changes (the
// shown one for a file named, none for a field emptied), and the side file follows the
// block. Added beside the followers and entries already set.
void install(RecordArchive::Journaling& journaling, const QString& archivePath,
             const QList<Shown>& shown);

// A card that already holds a file of a given fingerprint.
struct Holder {
    QString archivePath;
    QString archive; // "Protocollo 2026"
    int position = 0;
    QString card; // its number as the window shows it
    QString field;
    QString name;
};
struct Search {
    QList<Holder> holders;
    QStringList damagedFiles; // side files that could not be read whole (bare names)
};
// The cards of every archive in `programFolder` (each register year and the document card
// index) whose recorded fingerprint is `sha256`, but for the card at `position` of
// `archivePath` (none: a card not yet in the archive). A line is taken only while its card
// still names that file.
Search cardsHolding(const QString& programFolder, const QByteArray& sha256,
                    const QString& archivePath, std::optional<int> position);

// "alla scheda n. 12/2026 del Protocollo 2026 (Copia digitale)"
QString holderText(const Holder& holder);

} // namespace Fingerprints
