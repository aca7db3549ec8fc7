#pragma once

// The search rules written the plain way, one character at a time over the loaded texts,
// for the tests and fuzz targets to hold the program's byte path against. Nothing here
// calls the code it checks: the letters are looked up in the alphabet, not in code ranges.

#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordLayout.h"
#include "core/Search.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>

namespace PlainSearch {

// The lines of the protocol search and of the document lists, as their windows build them.
inline const QList<Search::LinePiece> kProtocolLine = {
    {"Prot. n. ", ProtocolRecord::Numero, 14},    {"  Data: ", ProtocolRecord::DataReg, 10},
    {"  Posta: ", ProtocolRecord::Tipologia, 10}, {"  ", ProtocolRecord::Oggetto, 35},
    {"  Da: ", ProtocolRecord::Mittente, 24},     {"  A: ", ProtocolRecord::Destinatario, 0},
};
inline const QList<Search::LinePiece> kDocumentLine = {
    {"", DocumentRecord::Documento, 40},
    {"  Data: ", DocumentRecord::DataPro, 10},
    {"  Da: ", DocumentRecord::Produttore, 30},
    {"  A: ", DocumentRecord::Destinatario, 30},
    {"  Prot. n. ", DocumentRecord::Protocollo, 0},
};

inline const QString kCapitals = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
inline const QString kSmall = QStringLiteral("abcdefghijklmnopqrstuvwxyz");

// A-Z to a-z; everything else, accented letters included, as it is.
inline QString foldAZ(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const qsizetype at = kCapitals.indexOf(c);
        out += at < 0 ? c : kSmall[at];
    }
    return out;
}

// a-z to A-Z, for the list order.
inline QChar upperAZ(QChar c) {
    const qsizetype at = kSmall.indexOf(c);
    return at < 0 ? c : kCapitals[at];
}

// Nothing but characters of code 32 or below.
inline bool isBlank(const QString& text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() <= 32; });
}

// A filter matches when it is not empty and, A-Z folded, is a piece of its field, A-Z
// folded; a card is listed when the matches reach the filters that are not blank.
inline bool isListed(const Record& record, const QList<Search::Filter>& filters) {
    int required = 0;
    int matches = 0;
    for (const Search::Filter& f : filters) {
        if (!isBlank(f.text))
            ++required;
        if (!f.text.isEmpty() && foldAZ(record.text(f.field)).contains(foldAZ(f.text)))
            ++matches;
    }
    return matches >= required;
}

// Each label, then its field padded with spaces or cut to the width (width 0: as it is).
inline QString resultLine(const Record& record, const QList<Search::LinePiece>& pieces) {
    QString line;
    for (const Search::LinePiece& p : pieces) {
        line += QString::fromLatin1(p.label);
        QString value = record.text(p.field);
        if (p.width > 0) {
            value = value.left(p.width);
            value += QString(p.width - value.size(), u' ');
        }
        line += value;
    }
    return line;
}

// The list order: character by character by code after a-z to A-Z; a line that begins a
// longer one comes first.
inline bool listsBefore(const QString& a, const QString& b) {
    for (qsizetype i = 0; i < a.size() && i < b.size(); ++i) {
        const char16_t x = upperAZ(a[i]).unicode();
        const char16_t y = upperAZ(b[i]).unicode();
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

// The lines in list order; lines that compare equal keep their order.
inline QStringList sorted(QStringList lines) {
    std::stable_sort(lines.begin(), lines.end(), listsBefore);
    return lines;
}

// "Trova": a line holds a key that is not empty and, A-Z folded, is a piece of the line.
inline bool holds(const QString& line, const QString& key) {
    return !key.isEmpty() && foldAZ(line).contains(foldAZ(key));
}

// The lines that hold `key`, in list order: pressing "Trova" again and again with one key
// selects them in turn and comes round to the first.
inline QList<int> holding(const QStringList& lines, const QString& key) {
    QList<int> out;
    for (int i = 0; i < lines.size(); ++i) {
        if (holds(lines[i], key))
            out.append(i);
    }
    return out;
}

} // namespace PlainSearch
