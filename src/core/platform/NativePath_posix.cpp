#include "NativePath.h"

#include <QFile>

namespace NativePath {

QByteArray forXlsxWriter(const QString& path) {
    return QFile::encodeName(path);
}

QByteArray forCRuntime(const QString& path) {
    return QFile::encodeName(path);
}

zip_source_t* zipSource(const QString& path, zip_error_t* error) {
    return zip_source_file_create(QFile::encodeName(path).constData(), 0, -1, error);
}

} // namespace NativePath
