// Register files come from other installations, old copies and damaged disks: loading any
// bytes as a card must stay inside the record, give trimmed text no longer than its field,
// and a loaded field must store back to the same text without touching its neighbours.
#include "core/ProtocolRecord.h"
#include "core/RecordLayout.h"

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));

    // Every archive's layout goes here.
    loadEveryField(ProtocolRecord::layout(), bytes);

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
