// The list of contents inside a backup zip comes from outside the program: any bytes must
// read without fault; what reads must write back and read again the same; and a path the
// restore would take as the program's must stay inside the program folder.
#include "core/Backup.h"
#include "core/BackupManifest.h"

#include <QByteArray>
#include <QDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_backup_manifest: %s\n", what);
        std::abort();
    }
}

// A path the restore accepts lands inside the folder, under a name of its own.
void checkInside(const QString& path) {
    if (!Backup::isDataPath(path))
        return;
    const QString base = QStringLiteral("/cartella/programma");
    const QString placed = QDir::cleanPath(base + u'/' + path);
    check(placed.startsWith(base + u'/') && placed != base + u'/', "a path leads out");
    check(!path.contains(u'\\') && !path.contains(u':') && !path.startsWith(u'/'),
          "a path of another system");
    check(QDir::cleanPath(path) == path, "a path with . or .. or //");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    // The same bytes as a path, as a zip entry could name one.
    checkInside(QString::fromUtf8(bytes));
    QString why;
    const auto manifest = BackupManifest::parse(bytes, &why);
    if (!manifest) {
        check(!why.isEmpty(), "refused without a reason");
        return 0;
    }
    for (const BackupManifest::File& file : manifest->files) {
        check(file.size >= 0, "a negative size");
        checkInside(file.path);
    }
    const auto again = BackupManifest::parse(BackupManifest::write(*manifest), &why);
    check(again.has_value(), "what was read does not read back");
    check(again->programVersion == manifest->programVersion && again->format == manifest->format &&
              again->date == manifest->date && again->files.size() == manifest->files.size(),
          "the heading reads back differently");
    for (qsizetype i = 0; i < manifest->files.size(); ++i) {
        const BackupManifest::File& a = manifest->files[i];
        const BackupManifest::File& b = again->files[i];
        check(a.path == b.path && a.size == b.size && a.sha256 == b.sha256,
              "a file reads back differently");
    }
    return 0;
}
