// The side file of fingerprints is text that users and other tools may edit: any bytes must
// read without fault, every line taken must be sound, and what the program writes back from
// a reading must read again as the same lines, with the lines it could not read kept.
#include "core/Fingerprints.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_fingerprints: %s\n", what);
        std::abort();
    }
}

Fingerprints::Reading readBack(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "cannot write");
    file.close();
    return Fingerprints::read(path);
}

bool same(const Fingerprints::Line& a, const Fingerprints::Line& b) {
    return a.archive == b.archive && a.position == b.position && a.field == b.field &&
           a.name == b.name && a.sha256 == b.sha256;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026.prt.impronte"));
    const Fingerprints::Reading first =
        readBack(path, QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    check(first.readable, "unreadable");
    for (const Fingerprints::Line& line : first.lines) {
        check(line.position >= 1, "position below 1");
        check(std::find(Fingerprints::kFields.begin(), Fingerprints::kFields.end(), line.field) !=
                  Fingerprints::kFields.end(),
              "not an attachment field");
        check(line.sha256.size() == 64 && std::all_of(line.sha256.begin(), line.sha256.end(),
                                                      [](char c) {
                                                          return (c >= '0' && c <= '9') ||
                                                                 (c >= 'a' && c <= 'f');
                                                      }),
              "not a SHA-256");
    }
    const Fingerprints::Reading second =
        readBack(path, Fingerprints::bytes(first.lines, first.damaged));
    check(!second.badHeader, "written without its first line");
    check(second.lines.size() == first.lines.size(), "lines lost or made");
    for (const Fingerprints::Line& line : first.lines) {
        check(std::any_of(second.lines.begin(), second.lines.end(),
                          [&](const Fingerprints::Line& other) { return same(line, other); }),
              "a line reads differently");
    }
    check(second.damagedLines.size() == first.damagedLines.size(), "damaged lines not kept");
    return 0;
}
