// A change journal can be edited or damaged outside the program: any line must parse or be
// refused without fault, and a line that parses must say the same once written again, so
// that what the history window and the checks show is what the line holds.
#include "core/Journal.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_journal: %s\n", what);
        std::abort();
    }
}

bool sameEntry(const Journal::Entry& a, const Journal::Entry& b) {
    return a.at == b.at && a.archive == b.archive && a.kind == b.kind && a.position == b.position &&
           a.card == b.card && a.field == b.field && a.before == b.before && a.after == b.after &&
           a.previous == b.previous;
}

// Parses `bytes` as a journal line and checks what a line that parses must hold.
void parseAndWriteAgain(QByteArrayView bytes) {
    const auto entry = Journal::parseLine(bytes);
    if (!entry)
        return;
    check(entry->at.isValid(), "a line with no valid date and time parsed");
    check(entry->position >= 1, "a line with no card position parsed");
    check(entry->own == Journal::digest(bytes.first(bytes.lastIndexOf('\t'))),
          "a line's own SHA-256 is not that of its columns");
    // Written again, the entry reads back as it was.
    Journal::Entry again = *entry;
    const QByteArray written = Journal::line(again);
    const auto back = Journal::parseLine(written);
    check(back.has_value(), "an entry written again does not parse");
    check(sameEntry(*back, *entry), "an entry written again reads differently");
    check(back->own == again.own, "an entry written again has another SHA-256");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    parseAndWriteAgain(bytes);
    // The same columns sealed with their own SHA-256, as an edit that recomputed it leaves
    // them: what follows the digest's check is reached too.
    parseAndWriteAgain(bytes.toByteArray() + '\t' + Journal::digest(bytes));
    return 0;
}
