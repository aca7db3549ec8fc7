#include "Search.h"

#include "TextField.h"

#include <algorithm>

namespace Search {

QString foldAZ(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c >= u'A' && c <= u'Z')
            c = QChar(c.unicode() + (u'a' - u'A'));
    }
    return out;
}

int requiredCount(const QList<Filter>& filters) {
    return int(std::count_if(filters.begin(), filters.end(), [](const Filter& f) {
        return !TextField::trimBlanks(f.text).isEmpty();
    }));
}

bool isListed(const Record& record, const QList<Filter>& filters, int required) {
    int matches = 0;
    for (const Filter& f : filters) {
        if (!f.text.isEmpty() && foldAZ(record.text(f.field)).contains(foldAZ(f.text)))
            ++matches;
    }
    return matches >= required;
}

QString fixedWidth(const QString& text, int width) {
    return text.leftJustified(width, u' ', true);
}

QString resultLine(const Record& record, const QList<LinePiece>& pieces) {
    QString line;
    for (const LinePiece& piece : pieces) {
        line += QLatin1String(piece.label);
        const QString value = TextField::trimBlanks(record.text(piece.field));
        line += piece.width > 0 ? fixedWidth(value, piece.width) : value;
    }
    return line;
}

namespace {
char16_t upperAZ(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - (u'a' - u'A')) : c;
}
} // namespace

bool listsBefore(const QString& a, const QString& b) {
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t x = upperAZ(a[i].unicode());
        const char16_t y = upperAZ(b[i].unicode());
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

void sortForList(QStringList& lines) {
    std::stable_sort(lines.begin(), lines.end(), listsBefore);
}

int ListFinder::find(const QStringList& lines, int selected, const QString& typed) {
    const int n = int(lines.size());
    if (n == 0)
        return selected;
    if (selected < 0 || selected >= n)
        selected = 0;
    const QString key = foldAZ(typed);
    const bool again = m_lastKey && *m_lastKey == key;
    m_lastKey = key;
    if (key.isEmpty())
        return selected;
    const int start = again ? selected : 0;
    // The same key looks first at the line after the selection and last at the selection.
    for (int step = again ? 1 : 0; step <= n - (again ? 0 : 1); ++step) {
        const int at = (start + step) % n;
        if (foldAZ(lines[at]).contains(key))
            return at;
    }
    return selected;
}

} // namespace Search
