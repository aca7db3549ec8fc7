// The search works on the archive's own bytes: a card is tested, its line built and the
// lines sorted without turning fields into text. Whatever the cards' bytes (damaged length
// bytes, any byte of the code page) and whatever is typed in the filters and the "Trova"
// key, the byte path must give what the plain rule gives over the loaded texts: the same
// cards listed, the same lines, in the plain list order, and "Trova" on the same lines.
#include "core/Cp1252.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/Search.h"
#include "support/PlainSearch.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_search: %s\n", what);
        std::abort();
    }
}

using F = ProtocolRecord::Field;
using D = DocumentRecord::Field;

using PlainSearch::kDocumentLine;
using PlainSearch::kProtocolLine;

// Typed text: the input's bytes as Windows-1252, with two of the page's unused bytes
// standing for characters outside it (one letter, one pair of UTF-16 units).
QString typed(const std::string& bytes) {
    QString out;
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        if (b == 0x81)
            out += QChar(0x0142); // ł
        else if (b == 0x8D)
            out += QStringLiteral("\U0001F600");
        else
            out += QChar(Cp1252::toUnicode(b));
    }
    return out;
}

// A card: zeros, or an earlier card, with pieces of bytes written over its fields from
// their length bytes on (so lengths past the capacity come too).
QByteArray card(FuzzedDataProvider& in, const RecordLayout& layout,
                const QList<QByteArray>& before) {
    QByteArray bytes = !before.isEmpty() && in.ConsumeBool()
                           ? before[in.ConsumeIntegralInRange<qsizetype>(0, before.size() - 1)]
                           : QByteArray(layout.size(), '\0');
    const int patches = in.ConsumeIntegralInRange(0, 6);
    for (int i = 0; i < patches; ++i) {
        const FieldSpec& f = layout.field(in.ConsumeIntegralInRange(0, layout.fieldCount() - 1));
        const std::string piece = in.ConsumeRandomLengthString(64);
        const qsizetype n = std::min<qsizetype>(qsizetype(piece.size()), layout.size() - f.offset);
        std::memcpy(bytes.data() + f.offset, piece.data(), size_t(n));
    }
    return bytes;
}

// A line of one to four pieces over any fields, widths up to 40 (0: the field as it is).
QList<Search::LinePiece> shapedLine(FuzzedDataProvider& in, const RecordLayout& layout) {
    static const char* const labels[] = {"", " ", "  Da: ", "Prot. n. ", "[", "zZ"};
    QList<Search::LinePiece> line;
    const int pieces = in.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < pieces; ++i)
        line.append({labels[in.ConsumeIntegralInRange<std::size_t>(0, std::size(labels) - 1)],
                     in.ConsumeIntegralInRange(0, layout.fieldCount() - 1),
                     in.ConsumeIntegralInRange(0, 40)});
    return line;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const bool documents = in.ConsumeBool();
    const RecordLayout& layout = documents ? DocumentRecord::layout() : ProtocolRecord::layout();
    const QList<Search::LinePiece> line = in.ConsumeBool() ? shapedLine(in, layout)
                                          : documents      ? kDocumentLine
                                                           : kProtocolLine;

    QList<Search::Filter> filters;
    const int filterCount = in.ConsumeIntegralInRange(0, 4);
    for (int i = 0; i < filterCount; ++i)
        filters.append({in.ConsumeIntegralInRange(0, layout.fieldCount() - 1),
                        typed(in.ConsumeRandomLengthString(16))});
    const QString key = typed(in.ConsumeRandomLengthString(16));

    QList<QByteArray> cards;
    const int cardCount = in.ConsumeIntegralInRange(1, 12);
    for (int i = 0; i < cardCount; ++i)
        cards.append(card(in, layout, cards));

    const Search::Matcher matcher(layout, filters);
    check(matcher.required() == Search::requiredCount(filters), "required filters differ");
    const Search::LineMaker maker(layout, line);
    Search::LineList fast(layout, line);
    QStringList plain;
    for (const QByteArray& bytes : cards) {
        const Record record(layout, bytes);
        const bool listed = PlainSearch::isListed(record, filters);
        check(matcher.isListed(bytes) == listed, "the byte path lists another way");
        check(Search::isListed(record, filters, matcher.required()) == listed,
              "the text rule lists another way");

        const QString text = PlainSearch::resultLine(record, line);
        check(Search::resultLine(record, line) == text, "result line differs");
        QByteArray made;
        maker.append(bytes, made);
        check(made.size() <= maker.longest(), "line longer than the longest");
        check(made == Cp1252::encode(text), "line bytes differ from the line");
        if (listed) {
            fast.add(bytes);
            plain.append(text);
        }
    }

    // The same lines in the same order, equal ones in file order.
    fast.sort();
    const QStringList sorted = PlainSearch::sorted(plain);
    check(fast.texts() == sorted, "byte path list order differs from the plain rule");
    QStringList byText = plain;
    Search::sortForList(byText);
    check(byText == sorted, "text list order differs from the plain rule");
    for (qsizetype i = 0; i + 1 < sorted.size(); ++i) {
        check(Search::listsBefore(sorted[i], sorted[i + 1]) ==
                  PlainSearch::listsBefore(sorted[i], sorted[i + 1]),
              "listsBefore differs from the plain rule");
    }

    // "Trova" again and again with one key selects the lines holding it in turn.
    const QList<int> holding = PlainSearch::holding(sorted, key);
    Search::ListFinder onBytes;
    Search::ListFinder onText;
    int a = 0;
    int b = 0;
    for (qsizetype press = 0; press <= std::min<qsizetype>(holding.size(), 13); ++press) {
        a = onBytes.find(fast, a, key);
        b = onText.find(sorted, b, key);
        const int expected = holding.isEmpty() ? 0 : holding[press % holding.size()];
        check(a == expected, "Trova on the bytes selects another line");
        check(b == expected, "Trova on the texts selects another line");
    }
    return 0;
}
