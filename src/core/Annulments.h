#pragma once

#include "Journal.h"
#include "RecordArchive.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The annulled cards of one protocol register: a side file beside it (the register's name
// followed by ".annullate"), UTF-8 text, a first line naming its format, then one line per
// annulled card:
//
//   position, card number, date and time, reason, authorised by
//
// tab-separated and escaped as the journal's columns. An annulment is a journal block
// (RecordArchive::annotate) that leaves the record as it is; this file is kept from those
// blocks by a follower, so it says what the journal says, also after a copy killed between
// the two (the next writer hands the block over again) or a disk that refused the line (the
// block is undone). Searches, lists, exports and prints read this small file, never the
// journal.
namespace Annulments {

inline const QString kSuffix = QStringLiteral(".annullate");
inline const QByteArray kHeader = QByteArrayLiteral("Faldora annullamenti 1");
// The fields of an annulment's journal entries.
inline const QString kReasonField = QStringLiteral("Motivo");
inline const QString kAuthorisationField = QStringLiteral("Autorizzazione");

struct Annulment {
    int position = 0; // 1-based place of the card in the register
    QString number;   // the card's protocol number
    QDateTime at;
    QString reason;
    QString authorisedBy;
};

QString pathFor(const QString& registerPath);

// One line's bytes (without its line end), and back.
QByteArray line(const Annulment& annulment);
std::optional<Annulment> parseLine(QByteArrayView line);

struct Reading {
    bool exists = false;  // false: no card of the register was ever annulled
    bool readable = true; // false: the file is there but could not be read
    bool badHeader = false;
    QList<int> damagedLines; // 1-based line numbers of lines that do not parse
    QHash<int, Annulment> byPosition;

    // Whether the file is there and in order.
    bool damaged() const { return !readable || badHeader || !damagedLines.isEmpty(); }
    const Annulment* find(int position) const {
        const auto it = byPosition.constFind(position);
        return it == byPosition.constEnd() ? nullptr : &*it;
    }
};

// Reads the side file of `registerPath` whole; a damaged one gives what its sound lines
// say, with the damage noted, and never fails.
Reading read(const QString& registerPath);

// The entries of an annulment block for RecordArchive::annotate: the reason, then the
// authorisation.
QList<Journal::Entry> entries(const Journal::Identity& identity, const QDateTime& at, int position,
                              const QString& number, const QString& reason,
                              const QString& authorisedBy);

// The follower that adds an annulment block's line to the side file of `registerPath`
// (under the register's lock, through WholeFile). Any other block, or one whose card has
// its line already, is done as it is.
RecordArchive::Follow follower(const QString& registerPath);
// Makes saves through `journaling` keep the annulments of `registerPath` (its follower) and
// refuse an annulled card (its allowance), beside what is set already.
void install(RecordArchive::Journaling& journaling, const QString& registerPath);
// The journaling of a register's saves as the protocol card window makes it.
RecordArchive::Journaling journaling(const QString& registerPath, const QDateTime& at,
                                     Journal::Kind kind = Journal::Kind::New);
// Refuses a card of `registerPath` that is annulled.
RecordArchive::Allow allowance(const QString& registerPath);

// What goes before an annulled card's subject in lists and grids.
inline const QString kListMark = QStringLiteral("ANNULLATA - ");

// The mark of an annulled card: "ANNULLATA il 05/03/2026 alle 10:30", "Motivo: ...",
// "Autorizzato da: ..."; and the same in one line, joined by " - ".
QStringList markLines(const Annulment& annulment);
QString markText(const Annulment& annulment);

} // namespace Annulments
