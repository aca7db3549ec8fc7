#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The folder "Documenti_Allegati" in the program folder, where both archives keep copies
// of their attached files; a card stores only a file's bare name.
namespace AttachmentFolder {

inline const QString Name = QStringLiteral("Documenti_Allegati");

// The most a stored name holds: the capacity of the card's name fields, in Windows-1252
// bytes; and the most a name may take in UTF-8, as Linux file systems count it.
constexpr int NameCapacity = 250;
constexpr int NameUtf8Limit = 255;

// True for a name without any folder part ("..\x", "/etc/x", "C:x" are not bare), which
// cannot lead outside the folder.
bool isBareName(const QString& name);

// True for a bare name that every system takes as a plain file of the folder: no control or
// reserved character, not a name Windows opens a device for. Every stored name is one.
bool isPortableName(const QString& name);

// The folder's full path in `programFolder` (which ends with its separator), in the
// platform's notation.
QString path(const QString& programFolder);

// The full path of the attachment `name` (trimmed); empty when the name is not bare.
QString fileFor(const QString& programFolder, const QString& name);

// The name under which a chosen file with the name `original` (no folder) lives in the
// folder and on the card. The folder is shared by Windows and Linux computers, so the name
// is one both take: in Windows-1252, at most NameCapacity bytes (NameUtf8Limit in UTF-8),
// no control characters nor \ / : * ? " < > |, no blank at the start, no dot or space at
// the end, not a device name (CON, PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$, with
// any extension). A name that already is such a name is kept as it is. Otherwise letters
// outside the code page become their plain letter (ł: l), other characters "_" (one per
// run), and the stem is cut to fit; then "~" and eight hex digits drawn from the whole
// original go before the extension, so that two originals never share a name by the
// changes alone ("Договор.pdf": "_~1a2b3c4d.pdf"). The name survives the text field
// store rule unchanged, and applying the rule to it again gives it back.
QString storedName(const QString& original);

enum class CopyResult { Copied, SameFile, Declined, Failed };

// Shown the SHA-256 (hex) of what is about to be attached; false: it is not.
using Vet = std::function<bool(const QByteArray& sha256)>;

// Copies `source` into the folder as `name` (a stored name), creating the folder when
// missing and replacing a file of that name. Only a regular file is copied (a pipe would
// block, a device never ends), and only when the bytes copied are as many as the source
// held when the copy began and still holds at its end; the copy is on the disk before it
// takes the name. On any failure the file that was there stays whole and no part of the
// copy is left. A source that already is that file is left as it is.
//
// The copy's SHA-256 is computed from the copy itself once it is on the disk, and goes to
// `vet` before the copy takes its name (for a source that already is the file, from that
// file): when `vet` refuses it, nothing is left of the copy (Declined). `sha256`, when
// given, receives it.
CopyResult copyIn(const QString& programFolder, const QString& source, const QString& name,
                  const Vet& vet = {}, QByteArray* sha256 = nullptr);

// Blocks copyIn() reads and writes at a time.
constexpr qint64 CopyBlock = 1 << 20;

// Called by copyIn() after each block is written, with the bytes copied so far: lets a test
// change the source in the middle of a copy. None in the program.
void setBlockObserver(std::function<void(qint64 copied)> observer);

} // namespace AttachmentFolder
