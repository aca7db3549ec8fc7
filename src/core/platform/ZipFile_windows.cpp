#include "ZipFile.h"

#include <QDir>
#include <string>

namespace ZipFile {

zip_source_t* source(const QString& path, zip_error_t* error) {
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    return zip_source_win32w_create(name.c_str(), 0, -1, error);
}

} // namespace ZipFile
