#pragma once

#include <QString>
#include <zip.h>

// The zip file at `path` as a libzip source, to open with zip_open_from_source for reading
// or writing (a write goes to a temporary file beside it, put in its place by zip_close).
// libzip's own zip_open takes the name in the system's 8-bit encoding, which on Windows
// cannot spell every folder a user has; each platform passes the name whole.
namespace ZipFile {

zip_source_t* source(const QString& path, zip_error_t* error);

} // namespace ZipFile
