#pragma once

#include <QByteArray>
#include <QString>

// File names as the C libraries take them.
namespace NativePath {

// The bytes libxlsxwriter creates its workbook by: on Windows it reads them as UTF-8 and
// opens the file with the wide API; elsewhere they go to fopen as the system's name bytes.
QByteArray forXlsxWriter(const QString& path);

// The bytes the C runtime's fopen and open take; empty when the name cannot be written in
// them (on Windows, a character outside the ANSI code page).
QByteArray forCRuntime(const QString& path);

} // namespace NativePath
