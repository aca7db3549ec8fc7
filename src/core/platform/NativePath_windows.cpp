#include "NativePath.h"

#include <QDir>
#include <string>

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

zip_source_t* zipSource(const QString& path, zip_error_t* error) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    return zip_source_win32w_create(name.c_str(), 0, -1, error);
}

} // namespace NativePath
