#pragma once

#include "AttachmentSlot.h"

#include <QDialog>
#include <QString>
#include <array>
#include <optional>

class QLabel;
class QLineEdit;

// The three further attachments of a card, slot by slot: file names, descriptions and the
// files' fingerprints.
struct FurtherAttachments {
    std::array<QString, 3> files;
    std::array<QString, 3> descriptions;
    std::array<AttachmentPrint, 3> prints;
};

// The further attachments window, each slot a file copied into the attachments folder and a
// description. Serves the protocol card window (tag "protocollo") and the document card
// window (tag "altri"): "Applica e chiudi" hands the six trimmed texts back to the opener,
// which keeps them in its hidden labels.
class TfrmAllegaCartella final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TfrmAllegaCartella)
public:
    explicit TfrmAllegaCartella(QWidget* opener);

    // Opens a fresh window over `cardWindow`, tagged `tag` and showing `current` of the card
    // at `place`; what "Applica e chiudi" handed back, none after "Annulla".
    static std::optional<FurtherAttachments> openFor(QWidget* cardWindow, const QString& tag,
                                                     const FurtherAttachments& current,
                                                     const CardPlace& place = {});

    // The captions of slot `n`'s (1 to 3) file name and description.
    static QString fileCaption(int n);
    static QString descriptionCaption(int n);

    // Puts the card's attachments, trimmed, into the slots.
    void fill(const FurtherAttachments& current);
    // What "Applica e chiudi" handed back; none until then.
    const std::optional<FurtherAttachments>& applied() const { return m_applied; }

public slots:
    void apply();

private:
    std::optional<FurtherAttachments> m_applied;
    QLabel* lblMemory;
    std::array<QLineEdit*, 3> txtFile{};
    std::array<QLineEdit*, 3> txtDesc{};
    std::array<AttachmentSlot*, 3> m_slots{};
    CardPlace m_place;
};
