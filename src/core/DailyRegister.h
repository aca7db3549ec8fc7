#pragma once

#include "Annulments.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <optional>

// The daily register of a year's protocol register ("registro giornaliero di protocollo") and
// its year-end closing: the cards registered on each day in number order, with a SHA-256 that
// vouches for them, so that printing again later and comparing shows any change.
//
// The SHA-256 of a run is taken over, in this order and with nothing in between:
//   1. the bytes of each listed card's record, exactly as the register file holds them
//      (3403 bytes each), in the order the run lists the cards;
//   2. the change journal's lines of those cards (found by position), in the journal's own
//      order: each line as the journal file stores it, without its line end, followed by
//      CR LF. Only the lines the journal reader accepts count: lines that do not read, and a
//      last block whose record never reached the disk, are left out (and noted).
// So anyone can recompute it from the two files with any SHA-256 tool.
namespace DailyRegister {

// One listed card: what the register prints of it.
struct Card {
    int position = 0;      // 1-based place in the register file
    QString number;        // Numero
    QString registered;    // DataReg as stored
    QString type;          // Tipologia
    QString correspondent; // the sender of incoming mail, the addressee of outgoing mail
    QString subject;       // Oggetto
    std::optional<Annulments::Annulment> annulment;
};

struct Day {
    QDate date;
    QList<Card> cards; // in number order

    QString firstNumber() const { return cards.isEmpty() ? QString() : cards.first().number; }
    QString lastNumber() const { return cards.isEmpty() ? QString() : cards.last().number; }
};

// What a run met besides the cards it lists; the report says each.
struct Notes {
    int undated = 0;                // cards whose DataReg does not read as a date (not listed)
    QList<int> damaged;             // listed positions with a field longer than its room
    bool annulmentsDamaged = false; // the annulments file is unreadable or holds bad lines
    bool journalUnreadable = false;
    int journalBadLines = 0; // journal lines altered, removed or put in
    int journalLinesHashed = 0;
};

struct Register {
    QDate first, last; // the range asked for
    QList<Day> days;   // the days that have cards, oldest first
    Notes notes;
    QByteArray digest; // hex SHA-256, as described above

    int count() const;
};

// The cards of `registerPath` registered from `first` to `last` (both included), read under
// the register's shared lock. Nothing when the register cannot be opened or read.
std::optional<Register> daily(const QString& registerPath, const QDate& first, const QDate& last);

// The year-end closing of a register: every card of it, whatever its date.
struct Closing {
    int total = 0;                   // cards in the register
    QString firstNumber, lastNumber; // the lowest and highest protocol number
    struct Gap {
        qint64 from = 0, to = 0; // numbers never given, both included
    };
    QList<Gap> gaps;
    QList<qint64> twice;   // numbers given to more than one card
    QList<Card> annulled;  // in number order
    QList<int> unnumbered; // positions of cards whose number is no protocol number
    Notes notes;
    QByteArray digest; // over every card in number order, as described above
};

std::optional<Closing> closing(const QString& registerPath);

// The year a register file is for ("2026.prt": 2026); nothing for another name.
std::optional<int> yearOf(const QString& registerPath);

// "Mittente" for incoming mail, "Destinatario" for outgoing, both (" / ") otherwise.
QString correspondentOf(const QString& type, const QString& sender, const QString& addressee);

} // namespace DailyRegister
