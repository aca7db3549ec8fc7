#include "NativePath.h"

#include <QFile>

namespace NativePath {

QByteArray forXlsxWriter(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray forCRuntime(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace NativePath
