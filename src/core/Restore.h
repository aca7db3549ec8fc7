#pragma once

#include "Backup.h"
#include "BackupManifest.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <utility>

// Putting a backup zip back into the program folder. Nothing is trusted that the list of
// contents inside the zip does not vouch for: every entry is inflated and counted, its size
// and SHA-256 compared, before anything in the folder changes.
//
// The files are unpacked into a folder inside the program folder (kWorkFolder: the same
// volume, so every later move is one rename that either happened or did not), checked
// again there, and then swapped in under the archives' exclusive locks: the current files go
// into "Faldora_Prima_del_ripristino_AAAA-MM-GG_hhmm", the restored ones take their
// places. A plan file (kPlanFile) is on the disk for the whole swap; a restore killed in
// the middle leaves it behind, and recover() puts the previous files back from it.
namespace Restore {

inline const QString kWorkFolder = QStringLiteral("Faldora_Ripristino_in_corso");
inline const QString kPlanFile = QStringLiteral("Faldora_Ripristino.piano");
inline const QByteArray kPlanHeader = QByteArrayLiteral("Faldora ripristino 1");

// No deflated entry grows more than this many times (deflate's own bound is about 1032).
constexpr qint64 kMaxRatio = 1100;

struct Contents {
    BackupManifest::Manifest manifest;
    // Each archive of the backup (file name) with its count of cards, registers newest
    // first, then the document index.
    QList<std::pair<QString, qint64>> cards;
    int attachments = 0;
    qint64 bytes = 0;
};

struct Checked {
    std::optional<Contents> contents;
    bool cancelled = false;
    QString error; // in Italian, when refused
};

// Reads and checks the whole zip; touches nothing in `programFolder` (which ends with its
// separator; its volume must have room for the files).
Checked inspect(const QString& zipPath, const QString& programFolder, Backup::Control& control);

enum class Outcome { Restored, Cancelled, Failed };
struct Result {
    Outcome outcome = Outcome::Failed;
    QString error;  // in Italian
    QString before; // the folder name the previous files went to
};

// Checks the zip again, unpacks, checks the unpacked files and swaps them in. On any
// failure the folder is left as it was.
Result apply(const QString& zipPath, const QString& programFolder, const QDateTime& at,
             Backup::Control& control);

enum class Recovery { Nothing, Undone, Failed };
// Puts the folder back as it was before a restore that was killed during its swap (the plan
// file is there), and removes what a restore killed earlier left (the work folder). Runs at
// the start of the program, before anything opens an archive, and before each restore.
Recovery recover(const QString& programFolder);

// Called at each step of a swap (0: the plan is on the disk, then one step per move, then
// the plan removed): a test ends the process there. None in the program.
void setStepObserver(std::function<void(int step)> observer);

} // namespace Restore
