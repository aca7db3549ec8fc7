#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Windows-1252, the single-byte code page of the archive files. One table, so the bytes
// are the same on every platform whatever the system's own code page is.
namespace Cp1252 {

// The character a byte stands for (all 256 bytes map; the five bytes Windows leaves
// undefined map to the C1 control of the same value, as Windows does).
char16_t toUnicode(unsigned char byte);

// Text to bytes: one byte per character. A letter the code page cannot hold becomes its
// best fit, the plain letter it is built on (ł → l, č → c, ő → o, Ş → S); any other
// character outside the page becomes "?".
QByteArray encode(const QString& text);

// Bytes to text.
QString decode(QByteArrayView bytes);

} // namespace Cp1252
