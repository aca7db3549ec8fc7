#pragma once

#include <QString>

// The folder "Documenti_Allegati" in the program folder, where both archives keep copies
// of their attached files; a card stores only a file's bare name.
namespace AttachmentFolder {

inline const QString Name = QStringLiteral("Documenti_Allegati");

// True for a name without any folder part ("..\x", "/etc/x", "C:x" are not bare), which
// cannot lead outside the folder.
bool isBareName(const QString& name);

// The folder's full path in `programFolder` (which ends with its separator), in the
// platform's notation.
QString path(const QString& programFolder);

// The full path of the attachment `name` (trimmed); empty when the name is not bare.
QString fileFor(const QString& programFolder, const QString& name);

// The name a card stores for a chosen file: its bare name as a text field keeps it
// (trimmed, in the code page, at most 250 bytes). The copy in the folder bears this name,
// so the card always finds its file.
QString storedName(const QString& chosenPath);

enum class CopyResult { Copied, SameFile, Failed };

// Copies `source` into the folder as `name` (a stored name), creating the folder when
// missing and replacing a file of that name; the file that was there stays whole if the
// copy fails. A source that already is that file is left as it is.
CopyResult copyIn(const QString& programFolder, const QString& source, const QString& name);

} // namespace AttachmentFolder
