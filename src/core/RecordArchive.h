#pragma once

#include "Browsing.h"
#include "Journal.h"
#include "RecordFile.h"
#include "RecordLayout.h"

#include <QString>
#include <functional>
#include <optional>

// The actions that the windows perform on one archive file (a year's protocol register
// or the document card index). Each opens the file, works and closes it before it
// returns; a failure (the file cannot be opened, created, read or written) gives an empty
// optional or false, and nothing stays open.
class RecordArchive {
public:
    RecordArchive(QString path, const RecordLayout& layout);

    const QString& path() const { return m_path; }
    const RecordLayout& layout() const { return *m_layout; }

    // Saves through this object also write the change journal (Journal.h), in the same
    // action and under the same lock: the journal's entries reach the disk first, and a
    // record that fails takes its entries back. `kind` is New or Duplicate for an append;
    // a rewrite is always journaled as Rewrite.
    //
    // Side files kept from the journal (annulments, fingerprints) follow it: `follow` gets
    // each block once its record is on the disk, and a save whose follower fails is undone
    // whole (record and entries). A copy killed between the record and the follower leaves
    // the block last in the journal, and the next writer hands it to `follow` again before
    // its own, so `follow` must take a block it has seen already as done.
    using Follow = std::function<bool(const QList<Journal::Entry>& block)>;
    // Further entries of a save (say, an attachment's fingerprint), put before its closing
    // entry; `position` is the card's 1-based place, known for a new card only under the
    // lock.
    using Extra = std::function<QList<Journal::Entry>(int position, const Record& after)>;
    // Whether the stored card at 1-based `position` may take a new block (a rewrite or an
    // annotation); asked under the lock, after the follower has caught up, so that a card
    // annulled by another copy a moment ago is refused too.
    using Allow = std::function<bool(int position)>;
    struct Journaling {
        Journal::Identity identity;
        QDateTime at;
        Journal::Kind kind = Journal::Kind::New;
        Follow follow = {};
        Extra extra = {};
        Allow allow = {};

        // Another side file beside those already set: its follower runs after theirs (all
        // must succeed), its entries come after theirs. A follower leaves its file alone for
        // a block with nothing for it, so that one failing after another has written can
        // only be the one the block was for.
        void addFollower(Follow more) {
            if (!follow) {
                follow = std::move(more);
                return;
            }
            follow = [first = std::move(follow),
                      then = std::move(more)](const QList<Journal::Entry>& block) {
                return first(block) && then(block);
            };
        }
        void addExtra(Extra more) {
            if (!extra) {
                extra = std::move(more);
                return;
            }
            extra = [first = std::move(extra), then = std::move(more)](int position,
                                                                       const Record& after) {
                return first(position, after) + then(position, after);
            };
        }
    };
    void setJournaling(Journaling journaling) { m_journaling = std::move(journaling); }
    const std::optional<Journaling>& journaling() const { return m_journaling; }

    std::optional<int> count() const;
    // The card at 1-based `position`.
    std::optional<Record> read(int position) const;
    // Appends after the last whole record; gives the new card's position (count + 1).
    // `settle`, when given, sees the count while the file is locked for the write and may
    // change the record before it is written (a number that depends on the count).
    // `written`, when given, receives the record as it was written.
    using Settle = std::function<void(int count, Record& record)>;
    std::optional<int> append(const Record& record, const Settle& settle = {},
                              Record* written = nullptr) const;
    // Rewrites the card at 1-based `position` in place.
    bool update(int position, const Record& record) const;
    // The same, only while the stored card still holds `loaded`, the bytes it was shown
    // from: a card that another copy of the program changed meanwhile is not written over,
    // and `stored` receives it as it is now.
    // Refused: journaling's `allow` turned the card down; nothing was written.
    enum class Rewrite { Written, ChangedMeanwhile, Refused, Failed };
    // update(position, record), telling a refusal from a failure.
    Rewrite rewrite(int position, const Record& record) const;
    Rewrite update(int position, const Record& record, QByteArrayView loaded,
                   std::optional<Record>& stored) const;
    // A journal block that leaves the card at 1-based `position` as it is (an annulment):
    // `entries`, then a closing entry, then the follower. Needs journaling; false when
    // anything failed or the card was refused, and then nothing was kept.
    bool annotate(int position, QList<Journal::Entry> entries) const;
    // Visits every card from the first, in order; false when the file failed.
    bool scan(const std::function<void(int position, const Record& record)>& visit) const;
    // The same over the records' bytes, read in large blocks and handed out without a copy:
    // a view lives only during its visit. `progress`, when given, hears the cards visited
    // and the cards in the file now and then (every few thousand cards, and at the end).
    using Progress = std::function<void(int done, int total)>;
    bool scanBytes(const std::function<void(int position, QByteArrayView record)>& visit,
                   const Progress& progress = {}) const;

    struct Browsed {
        BrowseStep step;
        std::optional<Record> record; // for BrowseStep::Load
    };
    // One browsing command: open, count, read the target, close.
    std::optional<Browsed> browse(BrowseCommand command, std::optional<int> current) const;

private:
    // Writes `record` at 0-based `index` of the open `file` (at the count: appends), with its
    // journal entries when journaling; `before` is the card there now, if any.
    Rewrite write(RecordFile& file, int index, const Record& record,
                  const std::optional<Record>& before) const;
    // Settles the journal and hands a last block a killed copy left to the follower.
    bool settle(Journal::Writer& journal) const;

    QString m_path;
    const RecordLayout* m_layout;
    std::optional<Journaling> m_journaling;
};
