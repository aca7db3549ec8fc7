// Register and card index files come from other installations, old copies and damaged
// disks: loading any bytes as a card must stay inside the record, give trimmed text no
// longer than its field, the same text on the byte path the lists read, and a loaded field
// must store back to the same text without touching its neighbours.
#include "core/Cp1252.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordLayout.h"
#include "core/Search.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_record: %s\n", what);
        std::abort();
    }
}

bool isTrimmed(const QString& s) {
    return s.isEmpty() || (s.front().unicode() > 32 && s.back().unicode() > 32);
}

void loadEveryField(const RecordLayout& layout, const QByteArray& bytes) {
    const Record record(layout, bytes);
    const QByteArray& held = record.bytes();
    check(held.size() == layout.size(), "record not cut or padded to its size");
    const qsizetype kept = std::min<qsizetype>(bytes.size(), layout.size());
    check(held.first(kept) == bytes.first(kept), "record bytes differ from the file's");
    check(std::all_of(held.begin() + kept, held.end(), [](char c) { return c == '\0'; }),
          "short record not padded with zeros");

    for (int i = 0; i < layout.fieldCount(); ++i) {
        const FieldSpec& f = layout.field(i);
        const QString text = record.text(i);
        check(text.size() <= std::min(f.capacity, 255), "text longer than its field");
        check(isTrimmed(text), "text not trimmed");
        check(Cp1252::decode(Search::fieldBytes(layout, bytes, i)) == text,
              "the byte path reads another text");

        Record copy = record;
        copy.setText(i, text);
        check(copy.text(i) == text, "load, store and load changed the text");
        const QByteArray& after = copy.bytes();
        const qsizetype end = f.offset + f.capacity + 1;
        check(after.size() == held.size() && after.first(f.offset) == held.first(f.offset) &&
                  after.sliced(end) == held.sliced(end),
              "storing a field changed another");
    }
}

// The to-complete mark: read on the bytes as on the text, and written as exactly 02 53 EC
// or 02 4E 6F over whatever the field held, touching nothing else.
void toCompleteMark(const QByteArray& bytes) {
    const DocumentRecord record(bytes);
    const bool marked = record.text(DocumentRecord::DaCompletare) == DocumentRecord::Yes;
    const Search::CardTest isMarked = Search::fieldIs(
        DocumentRecord::layout(), DocumentRecord::DaCompletare, DocumentRecord::Yes);
    check(isMarked(bytes) == marked, "the mark reads otherwise on the bytes");
    const FieldSpec& f = DocumentRecord::layout().field(DocumentRecord::DaCompletare);
    for (const bool mark : {true, false}) {
        DocumentRecord copy = record;
        copy.setToComplete(mark);
        const QByteArray& after = copy.bytes();
        check(after.sliced(f.offset, 3) == QByteArray(mark ? "\x02\x53\xEC" : "\x02\x4E\x6F"),
              "the mark not stored as Si or No");
        check(after.first(f.offset) == record.bytes().first(f.offset) &&
                  after.sliced(f.offset + 3) == record.bytes().sliced(f.offset + 3),
              "storing the mark changed another field");
        check(isMarked(after) == mark, "a stored mark reads otherwise");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Every archive's layout goes here.
    loadEveryField(ProtocolRecord::layout(), bytes);
    loadEveryField(DocumentRecord::layout(), bytes);
    toCompleteMark(bytes);

    // A layout shaped by the input reaches capacities the archives do not use yet: empty
    // fields, and fields wider than a length byte can count.
    if (size >= 3) {
        const int a = data[0];
        const int b = data[1];
        const int c = data[2] * 4;
        const RecordLayout shaped{{"A", 0, a}, {"B", a + 1, b}, {"C", a + b + 2, c}};
        loadEveryField(shaped, bytes.sliced(3));
    }
    return 0;
}
