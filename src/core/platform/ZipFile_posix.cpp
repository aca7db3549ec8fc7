#include "ZipFile.h"

#include <QFile>

namespace ZipFile {

zip_source_t* source(const QString& path, zip_error_t* error) {
    return zip_source_file_create(QFile::encodeName(path).constData(), 0, -1, error);
}

} // namespace ZipFile
