#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QList>
#include <QString>
#include <optional>

// The list of contents that every backup zip carries as its entry "Faldora_Backup.txt":
// UTF-8 text, LF line ends, a first line naming its format, then tab-separated lines:
//
//   programma   the version of the program that wrote it
//   formato     the version of the backup's layout (kFormat)
//   data        when it was taken, yyyy-MM-ddThh:mm:ss
//   file        size in bytes, SHA-256 (hex), path inside the zip ("/" between folders)
//
// The restore trusts nothing else in the zip: every entry must be listed here, with these
// very bytes.
namespace BackupManifest {

inline const QString kEntryName = QStringLiteral("Faldora_Backup.txt");
inline const QByteArray kHeader = QByteArrayLiteral("Faldora backup 1");
constexpr int kFormat = 1;
// A list of a million files stays well below this; a larger entry is not a manifest.
constexpr qint64 kMaxBytes = 256 * 1024 * 1024;

struct File {
    QString path;
    qint64 size = 0;
    QByteArray sha256; // hex, lower case
};

struct Manifest {
    QString programVersion;
    int format = kFormat;
    QDateTime date;
    QList<File> files;
};

// The version of this program, as a manifest names it.
QString programVersion();

QByteArray write(const Manifest& manifest);

// The manifest, or nothing when the bytes are not one this program can read (`error` says
// why, in Italian): another header, a later format, a line that does not parse, a path
// listed twice.
std::optional<Manifest> parse(QByteArrayView bytes, QString* error);

} // namespace BackupManifest
