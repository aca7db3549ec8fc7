#pragma once

#include "RecordLayout.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

// Finding cards by field filters, listing them as fixed-width lines and finding a word in
// the list: the same rules for both archives, each with its own fields and line.
namespace Search {

// The letters A-Z turned to a-z; every other character, accented letters included, as it is.
QString foldAZ(const QString& text);

struct Filter {
    int field;    // index in the record's layout
    QString text; // as typed: not trimmed
};

// The filters that must match: those that are not blank.
int requiredCount(const QList<Filter>& filters);

// A card is listed when its matching filters reach the required count. A filter matches
// when its text, A-Z folded, is a piece of the field, A-Z folded; a blank filter (empty)
// never matches, one of spaces may.
bool isListed(const Record& record, const QList<Filter>& filters, int required);

// One piece of a result line: a fixed text, then a field trimmed and padded with spaces
// or cut to `width` characters (width 0: the field trimmed, as long as it is).
struct LinePiece {
    const char* label;
    int field;
    int width;
};
QString resultLine(const Record& record, const QList<LinePiece>& pieces);

// Pads with spaces on the right or cuts, to exactly `width` characters.
QString fixedWidth(const QString& text, int width);

// The list order: character codes after folding a-z to A-Z; a line that begins a longer
// one comes first.
bool listsBefore(const QString& a, const QString& b);
// Sorts in list order; lines that compare equal keep their order.
void sortForList(QStringList& lines);

// "Trova" in a list: finds the next line that holds a key, going round from the end to
// the start, and remembers the key so that the same key again moves on.
class ListFinder {
public:
    // The line to select: the first holding `typed` (A-Z folded on both sides), looked for
    // from the first line for a new key, or after `selected` for the same key again; the
    // selection itself when nothing holds it. `selected` -1 stands for the first line.
    int find(const QStringList& lines, int selected, const QString& typed);
    void reset() { m_lastKey.reset(); }

private:
    std::optional<QString> m_lastKey;
};

} // namespace Search
