#pragma once

#include "LargeArray.h"
#include "RecordLayout.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

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
    const char* label; // plain ASCII
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

// The same rules on the archive's own bytes, for scans of large files: a card is tested
// and its line built from the Windows-1252 bytes of its record, without turning fields
// into text, and the results are those of isListed(), resultLine() and listsBefore().

// A test of a card on its record's bytes.
using CardTest = std::function<bool(QByteArrayView record)>;

// The Windows-1252 bytes of `text`, one per character; none when a character lies outside
// the code page (no stored field holds such a text, so it is never found there).
std::optional<QByteArray> exactBytes(const QString& text);

// The bytes of field `index` of `record` under the load rule, still in Windows-1252:
// at most the field's capacity, trimmed.
QByteArrayView fieldBytes(const RecordLayout& layout, QByteArrayView record, int index);

// The filters, ready to test cards on their bytes: the same answer as isListed() with
// requiredCount() of the same filters.
class Matcher {
public:
    Matcher(const RecordLayout& layout, const QList<Filter>& filters);
    int required() const { return m_required; }
    bool isListed(QByteArrayView record) const;

private:
    struct Key {
        int offset;
        int capacity;
        QByteArray folded; // the filter's bytes, A-Z folded
    };
    std::vector<Key> m_keys; // the filters that can match at all
    int m_required;
};

// A trimmed field that reads exactly `text` (the to-complete mark "Sì", say).
CardTest fieldIs(const RecordLayout& layout, int field, const QString& text);

// Builds a card's result line from its bytes, in Windows-1252: resultLine() encoded.
class LineMaker {
public:
    LineMaker(const RecordLayout& layout, const QList<LinePiece>& pieces);
    // Writes the line at `out` (room for longest() bytes); gives its length.
    qsizetype write(QByteArrayView record, char* out) const;
    void append(QByteArrayView record, QByteArray& out) const;
    // The longest line a card can give.
    qsizetype longest() const { return m_longest; }
    // The length of the fixed text every line begins with.
    qsizetype sharedStart() const;

private:
    struct Piece {
        QByteArray label;
        int offset;
        int capacity;
        int width;
    };
    std::vector<Piece> m_pieces;
    qsizetype m_longest = 0;
};

// Result lines kept as Windows-1252 bytes: filled from cards, sorted once in list order,
// turned into text one line at a time, when shown.
class LineList {
public:
    LineList() = default;
    LineList(const RecordLayout& layout, const QList<LinePiece>& pieces);

    // Room for the lines of `cards` cards, asked for once.
    void reserve(qsizetype cards);
    // Adds the line of the card `record`.
    void add(QByteArrayView record);
    // Sorts in list order (sortForList() on the lines as text); equal lines keep their order.
    void sort();

    qsizetype size() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    QByteArrayView bytes(qsizetype i) const;
    QString text(qsizetype i) const;
    QStringList texts() const;

private:
    struct Line {
        // The places in list order of 8 bytes: those after the shared start, or while sorting
        // those its group has come to.
        quint64 head;
        qsizetype begin;
        qsizetype length;
    };
    bool m_headsMoved = false; // a sort left heads of other places
    std::optional<LineMaker> m_maker;
    qsizetype m_skip = 0;     // the shared start, the same in every line
    LargeArray<char> m_bytes; // every line, one after another
    LargeArray<Line> m_lines;
};

// "Trova" in a list: finds the next line that holds a key, going round from the end to
// the start, and remembers the key so that the same key again moves on.
class ListFinder {
public:
    // The line to select: the first holding `typed` (A-Z folded on both sides), looked for
    // from the first line for a new key, or after `selected` for the same key again; the
    // selection itself when nothing holds it. `selected` -1 stands for the first line.
    int find(const QStringList& lines, int selected, const QString& typed);
    int find(const LineList& lines, int selected, const QString& typed);
    // Lines of several lists one after another, each line after its list's prefix (a
    // register's year), given in Windows-1252.
    struct Block {
        QByteArray prefix;
        const LineList* lines;
    };
    int find(const std::vector<Block>& blocks, int selected, const QString& typed);
    // The same walk through `count` lines of any kind; `holds` says whether a line holds the
    // folded key.
    int find(int count, int selected, const QString& typed,
             const std::function<bool(int line, const QString& key)>& holds);
    void reset() { m_lastKey.reset(); }

private:
    std::optional<QString> m_lastKey;
};

} // namespace Search
