#pragma once

#include <QList>
#include <QString>
#include <atomic>
#include <functional>

class RecordLayout;

// The archive check: reads every register year and the document index in a program folder,
// with their journals and the attachments folder, and reports what is wrong. It only reads;
// nothing is ever repaired or written.
namespace ArchiveCheck {

enum class Problem {
    Unreadable,        // the archive or its journal cannot be read
    DamagedRecord,     // a field's length byte says more than the field holds
    PartialRecord,     // the file ends with an incomplete record
    NumberMissing,     // a protocol card without a number, or not of this register's year
    NumberTwice,       // a protocol number given to two cards
    NumbersSkipped,    // protocol numbers never given between two cards
    AttachmentMissing, // a card names a file that is not in the attachments folder
    FileUnnamed,       // a file in the attachments folder that no card names
    JournalDamaged,    // a journal line altered, or its first line not the journal's
    JournalBroken,     // a journal line that does not follow the one before (one removed or put in)
    CardChangedOutside, // a card's bytes are not those its journal last recorded
    FingerprintChanged, // an attached file whose SHA-256 is not the one recorded when attached
    SideFileDamaged     // the fingerprints or the annulments beside an archive, altered
};

struct Finding {
    QString archive;  // the file: "2026.prt", "Schedario_Documenti.pro", "Documenti_Allegati"
    int position = 0; // 1-based card position; 0 when the finding is about no one card
    QString card;     // the card's number as its window shows it
    Problem problem = Problem::Unreadable;
    QString detail; // what exactly, in Italian
};

// The finding as the report's "Problema" column says it.
QString describe(const Finding& finding);

// How far the check is (in bytes read of all to read: the archives, their journals and the
// attachments folder), and the request to stop.
struct Control {
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> cancel{false};
    // Called now and then (after each block of cards read), for a caller that runs the check
    // in its own thread and keeps its window alive meanwhile.
    std::function<void()> tick;
};

struct Result {
    QList<Finding> findings;
    bool cancelled = false;
};

// "NNNN.prt": the file name of a year's register.
bool isRegisterName(const QString& name);

// The record layout of the archive named `name` (a year's register or the document index);
// null for any other name.
const RecordLayout* archiveLayout(const QString& name);

// The registers ("NNNN.prt", oldest year first) and the document index in `programFolder`
// (which ends with its separator), as file names.
QStringList archivesIn(const QString& programFolder);

Result run(const QString& programFolder, Control& control);

} // namespace ArchiveCheck
