#pragma once

#include "core/Browsing.h"
#include "core/Fingerprints.h"
#include "core/RecordArchive.h"

#include <QLabel>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "AttachmentSlot.h"
#include "CardFields.h"
#include "CardTarget.h"
#include "Messages.h"
#include "WindowPanel.h"

class AttachmentSlot;
class HintLine;
class ImageButton;
class QLineEdit;
class Shape;
struct FurtherAttachments;
struct HelpTopic;

// The card window of either archive, driven by the archive's field table (CardFields.h): the
// maximized frame with its central panel, the toolbar helpers, the hint line, the card's
// fields, the attachment strip and the further attachments, the empty card, the load rule,
// the filling of a record, the checks and the save, the four browsing commands, and the
// hand-over to the main menu when the window closes. An archive's window adds its layout,
// its own controls and toolbar, and what it does beyond the table through the hooks below.
class CardWindow : public QWidget, public CardTarget {
    Q_OBJECT
public:
    // What the window's table describes.
    struct Card {
        const RecordLayout* layout;
        std::span<const CardField> fields;
        FocusLook focusLook;
        QString archiveTag; // ArchiveTag::Protocol or ArchiveTag::Documents
        // How the change journal names the archive at a path and its cards.
        Journal::Identity (*journalIdentity)(const QString& path);
    };

    QString fieldText(const QString& controlName) const override;
    QString archivePath() const override { return archive().path(); }
    QList<Fingerprints::Shown> attachedFiles() const override;
    void loadCard(const Record& record, int position) override { CaricaScheda(record, position); }

    static inline const QString& kAccessError = Messages::kArchiveAccessError;
    static const QString kEmptyArchive;
    static const QString kUpdated;
    static const QString kInserted;
    static const QString kChangedElsewhere;
    static const QString kBothChanged;
    static const QString kHistoryOfNewCard;

    // The 1-based position shown; empty for a card not yet in the archive. False when the
    // label holds something that is not a whole number.
    bool shownPosition(std::optional<int>& position) const;

    // Empty card: every field of the table but the kept ones, the archive's own controls,
    // the six attachment labels and the position are emptied; the focus goes to the first
    // field of the table.
    void PulisciScheda();
    // Load rule: the record's fields into the table's fields, the archive's own controls,
    // the six attachment labels, then `position` into lblPosizione.
    void CaricaScheda(const Record& record, int position);
    // The record the card describes, by the store rule.
    Record cardRecord() const;

signals:
    // The window has closed (its own exit or the close box): the main menu comes back.
    void closed();

public slots:
    void first() { browse(BrowseCommand::First); }
    void previous() { browse(BrowseCommand::Previous); }
    void next() { browse(BrowseCommand::Next); }
    void last() { browse(BrowseCommand::Last); }
    // After the checks, rewrites the stored card shown or appends a new card.
    void saveCard();
    // The further attachments window over this card; what it hands back goes into the six
    // hidden labels.
    void openFurtherAttachments();
    // The history of the stored card shown (TfrmCronologia); a card not yet stored has none.
    void openHistory();

protected:
    CardWindow(const QString& caption, const QColor& gradientTop, const QString& initialHint,
               const Card& card);

    QWidget* panContainer() const { return m_content->panel(); }
    HintLine* hints() const { return m_content->hints(); }

    // A toolbar group, a section or any flat area whose pointer-over empties the hint
    // line. Areas are drawn under the controls created after them.
    Shape* addArea(const char* name, const QRect& rect, const QColor& fill,
                   const QColor& gradientBottom = QColor()) {
        return m_content->addArea(name, rect, fill, gradientBottom);
    }
    // A toolbar picture button with its hint.
    ImageButton* addTool(const char* name, const QString& resource, const QRect& rect,
                         const QString& hint) {
        return m_content->addTool(name, resource, rect, hint);
    }
    // The browsing group: the four arrows (37 x 39 at y) with the position label between
    // them.
    void addBrowsingTools(int xFirst, int xPrevious, int xNext, int xLast, int y,
                          const QRect& position);
    // cmdFile, the picture button that opens the further attachments.
    void addFurtherAttachmentsTool(const QRect& rect);
    // The six white toolbar groups of the card windows, left to right.
    void addToolbarGroups();
    // A 37 x 39 picture button of the toolbar row at `x`, with its hint; `action` runs on a
    // click.
    void addToolbarButton(const char* name, const char* picture, int x, const char* hint,
                          const std::function<void()>& action);
    // cmdStampa, the picture button that prints the card shown.
    void addPrintTool(const QRect& rect, const std::function<void()>& action);
    // cmdGuida with the window's help topic and cmdEsci, at the right end of the toolbar.
    void addHelpAndExit(const HelpTopic& topic);
    // The hint bar at the bottom of the panel, with cmdCronologia, the command that opens
    // the card's history, at its right end.
    using HintBar = WindowPanel::HintBar;
    void addHintBar(const QRect& rect, const QColor& colour, HintBar kind = HintBar::EmptiesHint);

    // The card shown becomes a new card without its digital copy, further attachments and
    // position (a duplicate of a stored card).
    void forgetStoredState();

    // The table's fields with their captions, maximum lengths, focus look, hints, date
    // fields, Enter keys and tab order (the table's order). Call it after the areas that lie
    // under the fields.
    void buildFields();
    // The field of the table row named `control`.
    QLineEdit* field(const char* control) const;

    // Beside the Attachment field: its clear button, "Sfoglia..." and "Apri".
    struct AttachmentStrip {
        const char* clearName; // "imgCancella01", "btnCancella"
        QRect clear, browse, open;
    };
    void addAttachmentStrip(const AttachmentStrip& strip);

    void showAccessError();

    virtual RecordArchive archive() const = 0;
    // The archive as a save writes it: with the change journal, stamped now, `kind` being
    // what an append is (a new card or a saved duplicate).
    RecordArchive journaledArchive(Journal::Kind kind) const;
    // What an archive adds to a save's journaling (side files that follow the journal,
    // further entries); runs before each save.
    virtual void addToJournaling(RecordArchive::Journaling&) const {}

    // What an archive does beyond its table; each runs inside the routine it is named for.
    // Before the empty card, when the window is shown.
    virtual void showing() {}
    // Runs before the hand-over to the main menu.
    virtual void closing() {}
    // PulisciScheda, after the table's fields are emptied.
    virtual void clearExtras() {}
    // CaricaScheda, after the table's fields are loaded.
    virtual void loadExtras(const Record&) {}
    // cardRecord, after the table's fields are stored.
    virtual void fillExtras(Record&) const {}
    // Before any check of a save: warns and gives false when the card shown may not be
    // saved at all.
    virtual bool maySave() { return true; }
    // The archive refused the rewrite of the card at `position` under its lock (journaling's
    // allow): nothing was written.
    virtual void saveRefused(int /*position*/) { showAccessError(); }
    // The checks after the table's: warns, moves the focus and gives false on the first
    // that fails.
    virtual bool checkExtras() { return true; }
    // A save that appends: what may change the record while the archive is locked for the
    // write (a number made from the count), or nothing.
    virtual RecordArchive::Settle settleNewCard() { return {}; }
    // A save that appended, with the new position shown: a notice to show after the
    // inserted message, or nothing.
    virtual QString newCardAppended() { return {}; }
    // The caption of a record field that an archive's own control shows, or nothing.
    virtual QString ownFieldCaption(int) const { return {}; }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void browse(BrowseCommand command);
    bool checkRequired();
    FurtherAttachments shownAttachments() const;
    // After another copy changed the stored card: the card as stored now, with what was typed
    // here since it was shown put back over it, ready for a second save.
    void reloadWithTyping(const Record& stored, int position);
    // The caption of record field `field`, for messages and the history.
    QString fieldCaption(int field) const;
    // The fingerprints of the card just loaded, from the archive's side file (read again
    // only when it changed; a damaged one is reported once).
    void loadPrints(int position);
    // The files attached since the card was shown, with their fingerprints, for the save.
    QList<Fingerprints::Shown> freshPrints() const;
    CardPlace place() const;

    std::unique_ptr<WindowPanel> m_content;
    Card m_card;
    QLabel* lblPosizione = nullptr;
    // The bytes the stored card shown was loaded from; empty for a new card. A rewrite goes
    // ahead only while the archive still holds them.
    QByteArray m_loaded;
    // The card shown is a duplicate of a stored card, not yet saved.
    bool m_duplicate = false;
    std::vector<QLineEdit*> m_fields; // by table row
    // lblFile01..03, lblDesc01..03 and the record fields they show.
    struct AttachmentLabel {
        QLabel* label;
        int field;
    };
    std::array<AttachmentLabel, 6> m_attachmentLabels{};
    // The digital copy's slot and the further attachments' fingerprints.
    QLineEdit* m_copyName = nullptr;
    AttachmentSlot* m_copySlot = nullptr;
    std::array<AttachmentPrint, 3> m_furtherPrints{};
    struct PrintCache {
        QString path;
        qint64 size = -1;
        QDateTime modified;
        Fingerprints::Reading reading;
    };
    PrintCache m_printCache;
};
