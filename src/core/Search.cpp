#include "Search.h"

#include "Cp1252.h"
#include "TextField.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

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

// The byte of a character of the code page.
std::optional<unsigned char> byteOf(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<unsigned char>(c);
    for (unsigned b = 0x80; b < 0xA0; ++b) {
        if (Cp1252::toUnicode(static_cast<unsigned char>(b)) == c)
            return static_cast<unsigned char>(b);
    }
    return std::nullopt;
}

// The letters A-Z of Windows-1252 bytes turned to a-z, into `to` (as many bytes). Eight
// bytes at a time: a byte's top bit marks it as one of A-Z, and that bit moved down to
// 0x20 makes the small letter.
void foldBytes(QByteArrayView from, char* to) {
    constexpr quint64 kOnes = 0x0101010101010101ULL;
    constexpr quint64 kTops = kOnes * 0x80;
    const char* src = from.data();
    const qsizetype n = from.size();
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 x;
        std::memcpy(&x, src + i, 8);
        const quint64 low = x & ~kTops;                       // each byte's lower seven bits
        const quint64 fromA = low + kOnes * (0x80 - 'A');     // top bit: at least 'A'
        const quint64 pastZ = low + kOnes * (0x80 - 'Z' - 1); // top bit: past 'Z'
        const quint64 upper = fromA & ~pastZ & ~x & kTops;
        x |= upper >> 2;
        std::memcpy(to + i, &x, 8);
    }
    for (; i < n; ++i) {
        const auto c = static_cast<unsigned char>(src[i]);
        to[i] = static_cast<char>(c + ((static_cast<unsigned char>(c - 'A') < 26u) << 5));
    }
}

// Each byte's place in the list order: the order of its character after folding a-z to
// A-Z (the bytes 0x80-0x9F stand for characters far above 0xFF, the euro sign among them),
// counted from 1: 0 stands for the end of a line, which comes before any character.
const std::array<unsigned char, 256>& listPlaces() {
    static const std::array<unsigned char, 256> places = [] {
        std::array<char16_t, 256> folded{};
        for (int b = 0; b < 256; ++b)
            folded[std::size_t(b)] = upperAZ(Cp1252::toUnicode(static_cast<unsigned char>(b)));
        std::array<char16_t, 256> sorted = folded;
        std::sort(sorted.begin(), sorted.end());
        const auto end = std::unique(sorted.begin(), sorted.end());
        std::array<unsigned char, 256> out{};
        for (std::size_t b = 0; b < 256; ++b)
            out[b] = static_cast<unsigned char>(
                1 + (std::lower_bound(sorted.begin(), end, folded[b]) - sorted.begin()));
        return out;
    }();
    return places;
}

// How many of the first `n` bytes of `a` and `b` are the same; eight at a time.
qsizetype sharedStart(const unsigned char* a, const unsigned char* b, qsizetype n) {
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 x, y;
        std::memcpy(&x, a + i, 8);
        std::memcpy(&y, b + i, 8);
        if (x != y) // the first byte in memory is the lowest in little-endian order
            return i + qCountTrailingZeroBits(qFromLittleEndian(x ^ y)) / 8;
    }
    while (i < n && a[i] == b[i])
        ++i;
    return i;
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

std::optional<QByteArray> exactBytes(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const std::optional<unsigned char> byte = byteOf(text[i].unicode());
        if (!byte)
            return std::nullopt;
        out[i] = char(*byte);
    }
    return out;
}

QByteArrayView fieldBytes(const RecordLayout& layout, QByteArrayView record, int index) {
    const FieldSpec& f = layout.field(index);
    return TextField::loadBytes(record, f.offset, f.capacity);
}

Matcher::Matcher(const RecordLayout& layout, const QList<Filter>& filters)
    : m_required(requiredCount(filters)) {
    for (const Filter& f : filters) {
        if (f.text.isEmpty())
            continue;
        // A filter with a character outside the code page still counts as required.
        std::optional<QByteArray> bytes = exactBytes(foldAZ(f.text));
        if (!bytes)
            continue;
        const FieldSpec& spec = layout.field(f.field);
        m_keys.push_back({spec.offset, spec.capacity, std::move(*bytes)});
    }
}

bool Matcher::isListed(QByteArrayView record) const {
    if (m_required == 0)
        return true;
    int matches = 0;
    qsizetype left = qsizetype(m_keys.size());
    std::array<char, 256> folded;
    for (const Key& key : m_keys) {
        if (matches + left < m_required)
            return false;
        --left;
        const QByteArrayView field = TextField::loadBytes(record, key.offset, key.capacity);
        if (field.size() < key.folded.size())
            continue;
        foldBytes(field, folded.data());
        const std::string_view haystack(folded.data(), size_t(field.size()));
        if (haystack.find(std::string_view(key.folded.constData(), size_t(key.folded.size()))) !=
                std::string_view::npos &&
            ++matches >= m_required)
            return true;
    }
    return false;
}

CardTest fieldIs(const RecordLayout& layout, int field, const QString& text) {
    const std::optional<QByteArray> bytes = exactBytes(text);
    if (!bytes)
        return [](QByteArrayView) { return false; };
    return [&layout, field, want = *bytes](QByteArrayView record) {
        return fieldBytes(layout, record, field) == QByteArrayView(want);
    };
}

LineMaker::LineMaker(const RecordLayout& layout, const QList<LinePiece>& pieces) {
    for (const LinePiece& p : pieces) {
        const FieldSpec& f = layout.field(p.field);
        const QByteArray label(p.label);
        Q_ASSERT_X(std::all_of(label.begin(), label.end(), [](char c) { return c >= 0; }),
                   "LineMaker", "labels are plain ASCII");
        m_pieces.push_back({label, f.offset, f.capacity, p.width});
        m_longest += label.size() + (p.width > 0 ? p.width : std::min(f.capacity, 255));
    }
}

qsizetype LineMaker::sharedStart() const {
    return m_pieces.empty() ? 0 : m_pieces.front().label.size();
}

qsizetype LineMaker::write(QByteArrayView record, char* out) const {
    char* at = out;
    for (const Piece& p : m_pieces) {
        std::memcpy(at, p.label.constData(), size_t(p.label.size()));
        at += p.label.size();
        const QByteArrayView field = TextField::loadBytes(record, p.offset, p.capacity);
        const qsizetype kept =
            p.width > 0 ? std::min<qsizetype>(field.size(), p.width) : field.size();
        std::memcpy(at, field.data(), size_t(kept));
        at += kept;
        if (kept < p.width) {
            std::memset(at, ' ', size_t(p.width - kept));
            at += p.width - kept;
        }
    }
    return at - out;
}

void LineMaker::append(QByteArrayView record, QByteArray& out) const {
    const qsizetype before = out.size();
    out.resize(before + m_longest);
    out.truncate(before + write(record, out.data() + before));
}

LineList::LineList(const RecordLayout& layout, const QList<LinePiece>& pieces)
    : m_maker(std::in_place, layout, pieces), m_skip(m_maker->sharedStart()) {}

void LineList::reserve(qsizetype cards) {
    m_bytes.reserve(cards * m_maker->longest());
    m_lines.reserve(cards);
}

void LineList::add(QByteArrayView record) {
    // Room for the longest line; what the line leaves unused is given back at once.
    const qsizetype begin = m_bytes.size();
    char* at = m_bytes.extend(m_maker->longest());
    const qsizetype length = m_maker->write(record, at);
    m_bytes.truncate(begin + length);
    // The head: each byte's place in the list order, so that bytes compare as the lines'
    // characters do, packed into one number that settles most comparisons at once.
    const std::array<unsigned char, 256>& place = listPlaces();
    quint64 head = 0;
    for (qsizetype i = m_skip; i < m_skip + 8; ++i)
        head = (head << 8) | (i < length ? place[static_cast<unsigned char>(at[i])] : 0u);
    m_lines.append({head, begin, length});
}

void LineList::sort() {
    // A radix sort, one character place at a time from the first that can differ: its time
    // grows with the lines and their length, never with how many lines share a start or are
    // equal (cards left empty, or copied over and over), where comparing pairs of lines
    // reads each long common start again at every comparison.
    const std::array<unsigned char, 256>& place = listPlaces();
    const auto* bytes = reinterpret_cast<const unsigned char*>(m_bytes.data());
    // Each line's head holds the places of its 8 characters from a group's `base` on, read
    // from its bytes once for the 8 steps they serve.
    const auto loadHead = [&](Line& line, qsizetype base) {
        quint64 head = 0;
        for (qsizetype i = base; i < base + 8; ++i)
            head = (head << 8) | (i < line.length ? place[bytes[line.begin + i]] : 0u);
        line.head = head;
    };
    if (m_headsMoved) {
        for (Line& line : m_lines)
            loadHead(line, m_skip);
        m_headsMoved = false;
    }
    // The character's place at `at` of a line, 0 past its end.
    const auto key = [&](const Line& line, qsizetype at, qsizetype base) -> unsigned {
        if (at < base + 8)
            return unsigned(line.head >> (8 * (base + 7 - at))) & 0xFFu;
        return at < line.length ? place[bytes[line.begin + at]] : 0u;
    };
    // Lines equal up to `at`: compared from there, then in file order.
    const auto before = [&](const Line& a, const Line& b, qsizetype at, qsizetype base) {
        for (;; ++at) {
            const unsigned x = key(a, at, base);
            const unsigned y = key(b, at, base);
            if (x != y)
                return x < y;
            if (x == 0)
                return a.begin < b.begin; // lines were added in file order
        }
    };
    // The places from `at` on that every line of [lo, hi) shares with the first: in the
    // heads up to their end; past them, with the bytes (the same bytes, so the same places).
    const auto sharedInHeads = [&](qsizetype lo, qsizetype hi, qsizetype at, qsizetype base) {
        quint64 differ = 0;
        for (qsizetype i = lo + 1; i < hi && differ != ~quint64(0); ++i)
            differ |= m_lines[i].head ^ m_lines[lo].head;
        const qsizetype same = differ == 0 ? 8 : qCountLeadingZeroBits(differ) / 8;
        return same - (at - base);
    };
    // The lines of a group lie anywhere in the bytes: each is asked for from memory a few
    // lines before it is read, so that the waits overlap.
    constexpr qsizetype kAhead = 8;
    const auto fetchAhead = [&](qsizetype i, qsizetype hi, qsizetype at) {
        if (i + kAhead < hi)
            __builtin_prefetch(bytes + m_lines[i + kAhead].begin + at);
    };
    const auto sharedInBytes = [&](qsizetype lo, qsizetype hi, qsizetype at) -> qsizetype {
        const Line& first = m_lines[lo];
        qsizetype same = first.length - at;
        if (same <= 0)
            return 0; // the first line ends here
        const unsigned char* start = bytes + first.begin + at;
        for (qsizetype i = lo + 1; i < hi && same > 0; ++i) {
            fetchAhead(i, hi, at);
            const Line& line = m_lines[i];
            const qsizetype n = std::min(same, line.length - at);
            if (n <= 0)
                return 0;
            same = sharedStart(start, bytes + line.begin + at, n);
        }
        return same;
    };

    constexpr qsizetype kSmall = 24; // groups this small are sorted by comparing pairs
    LargeArray<Line> moved;
    moved.extend(m_lines.size());
    LargeArray<unsigned char> keys;
    keys.extend(m_lines.size());
    struct Group {
        qsizetype lo, hi, at, base;
    };
    std::vector<Group> groups;
    if (m_lines.size() > 1)
        groups.push_back({0, m_lines.size(), m_skip, m_skip});
    while (!groups.empty()) {
        auto [lo, hi, at, base] = groups.back();
        groups.pop_back();
        if (hi - lo <= kSmall) {
            // Insertion: stable, and quick on so few lines.
            for (qsizetype i = lo + 1; i < hi; ++i) {
                const Line line = m_lines[i];
                qsizetype j = i;
                for (; j > lo && before(line, m_lines[j - 1], at, base); --j)
                    m_lines[j] = m_lines[j - 1];
                m_lines[j] = line;
            }
            continue;
        }
        if (at < base + 8)
            at += sharedInHeads(lo, hi, at, base);
        if (at == base + 8) {
            // Past the heads: a start every line shares is skipped at once, then the heads
            // are read again from there.
            at += sharedInBytes(lo, hi, at);
            base = at;
            for (qsizetype i = lo; i < hi; ++i) {
                fetchAhead(i, hi, base);
                loadHead(m_lines[i], base);
            }
            m_headsMoved = true;
        }
        std::array<qsizetype, 257> counts{};
        for (qsizetype i = lo; i < hi; ++i) {
            const unsigned k = key(m_lines[i], at, base);
            keys[i] = static_cast<unsigned char>(k);
            ++counts[k + 1];
        }
        if (counts[1] == hi - lo)
            continue; // every line ends here: equal, in file order
        for (std::size_t k = 1; k < counts.size(); ++k)
            counts[k] += counts[k - 1];
        // Stable: each line after those before it in the file with the same character.
        std::array<qsizetype, 257> next = counts;
        for (qsizetype i = lo; i < hi; ++i)
            moved[lo + next[keys[i]]++] = m_lines[i];
        std::memcpy(m_lines.data() + lo, moved.data() + lo, std::size_t(hi - lo) * sizeof(Line));
        // Lines ended here (key 0) are equal; the others go on from the next place.
        for (std::size_t k = 1; k < 256; ++k) {
            if (counts[k + 1] - counts[k] > 1)
                groups.push_back({lo + counts[k], lo + counts[k + 1], at + 1, base});
        }
    }
}

QByteArrayView LineList::bytes(qsizetype i) const {
    const Line& line = m_lines[i];
    return QByteArrayView(m_bytes.data() + line.begin, line.length);
}

QString LineList::text(qsizetype i) const {
    return Cp1252::decode(bytes(i));
}

QStringList LineList::texts() const {
    QStringList out;
    out.reserve(size());
    for (qsizetype i = 0; i < size(); ++i)
        out.append(text(i));
    return out;
}

int ListFinder::find(const QStringList& lines, int selected, const QString& typed) {
    return find(int(lines.size()), selected, typed,
                [&](int at, const QString& key) { return foldAZ(lines[at]).contains(key); });
}

int ListFinder::find(const LineList& lines, int selected, const QString& typed) {
    return find(std::vector<Block>{{QByteArray(), &lines}}, selected, typed);
}

int ListFinder::find(const std::vector<Block>& blocks, int selected, const QString& typed) {
    // The lines hold only characters of the code page: a key with any other is nowhere.
    const std::optional<QByteArray> key = exactBytes(foldAZ(typed));
    std::vector<qsizetype> starts; // each block's first line
    qsizetype count = 0;
    for (const Block& block : blocks) {
        starts.push_back(count);
        count += block.lines->size();
    }
    QByteArray folded;
    return find(int(count), selected, typed, [&](int at, const QString&) {
        if (!key)
            return false;
        const auto after = std::upper_bound(starts.begin(), starts.end(), qsizetype(at));
        const std::size_t b = std::size_t(after - starts.begin()) - 1;
        const QByteArray& prefix = blocks[b].prefix;
        const QByteArrayView line = blocks[b].lines->bytes(at - starts[b]);
        folded.resize(prefix.size() + line.size());
        foldBytes(prefix, folded.data());
        foldBytes(line, folded.data() + prefix.size());
        return std::string_view(folded.constData(), size_t(folded.size()))
                   .find(std::string_view(key->constData(), size_t(key->size()))) !=
               std::string_view::npos;
    });
}

int ListFinder::find(int n, int selected, const QString& typed,
                     const std::function<bool(int, const QString&)>& holds) {
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
        if (holds(at, key))
            return at;
    }
    return selected;
}

} // namespace Search
