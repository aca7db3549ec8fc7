#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A text field of a record: one length byte, then `capacity` bytes of Windows-1252 text.
namespace TextField {

// Removes leading and trailing characters of code 32 or below (spaces and controls).
// Every input is trimmed this way before it is checked, compared or stored.
QString trimBlanks(const QString& text);

// The same trimming on Windows-1252 bytes (the code page keeps codes 0 to 32 as bytes).
QByteArrayView trimBlanks(QByteArrayView bytes);

// The store rule: trim, convert to Windows-1252, keep at most 255 bytes, cut to the
// capacity. Returns the bytes that the field will hold (its length byte is their size).
QByteArray storedBytes(const QString& text, int capacity);

// Writes `text` into the field that starts at `field` (length byte + capacity bytes).
// The bytes after the used length are set to zero.
void store(char* field, int capacity, const QString& text);

// The load rule: the first n bytes (n = length byte, clamped to the capacity), converted
// and trimmed. Never reads past the field.
QString load(QByteArrayView field, int capacity);
// The same bytes before their conversion: a view into `field`, trimmed.
QByteArrayView loadBytes(QByteArrayView field, int capacity);
// The field that starts at `offset` in `record`, through loadBytes().
QByteArrayView loadBytes(QByteArrayView record, int offset, int capacity);

} // namespace TextField
