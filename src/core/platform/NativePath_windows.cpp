#include "NativePath.h"

#include <QDir>

namespace NativePath {

QByteArray forXlsxWriter(const QString& path) {
    return QDir::toNativeSeparators(path).toUtf8();
}

QByteArray forCRuntime(const QString& path) {
    const QString native = QDir::toNativeSeparators(path);
    // The ANSI code page turns what it cannot hold into "?": such a name opens another file
    // or none.
    const QByteArray bytes = native.toLocal8Bit();
    return QString::fromLocal8Bit(bytes) == native ? bytes : QByteArray();
}

} // namespace NativePath
