#pragma once

#include <QByteArray>
#include <QString>
#include <zip.h>

// File names as the C libraries take them.
namespace NativePath {

// The bytes libxlsxwriter creates its workbook by: on Windows it reads them as UTF-8 and
// opens the file with the wide API; elsewhere they go to fopen as the system's name bytes.
QByteArray forXlsxWriter(const QString& path);

// The bytes the C runtime's fopen and open take; empty when the name cannot be written in
// them (on Windows, a character outside the ANSI code page).
QByteArray forCRuntime(const QString& path);

// The zip file at `path` as a libzip source, to open with zip_open_from_source for reading
// or writing (a write goes to a temporary file beside it, put in its place by zip_close).
// libzip's own zip_open takes the name in the system's 8-bit encoding, which on Windows
// cannot spell every folder a user has; each platform passes the name whole.
zip_source_t* zipSource(const QString& path, zip_error_t* error);

} // namespace NativePath
