#pragma once

#include "core/Annulments.h"
#include "core/ProtocolRecord.h"
#include "ui/CardWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The working window of the protocol register: one card of one year's register at a
// time. The card window does the card's flow from this window's field table; this window
// adds its layout and pictures, the mail type buttons, the numbering of new cards, the
// remembered office and operator, and the toolbar of the register's functions.
class TfrmProtocollo : public CardWindow {
    Q_OBJECT
public:
    TfrmProtocollo();

    // Works on the register of `year` (its digits, blanks aside): its file in the program
    // folder and its caption.
    void openRegister(const QString& year);

public slots:
    // A new card with the proposed number and today's date.
    void newCard();
    void openNumbering();
    // Annuls the stored card shown, after asking for the reason and the authorisation.
    void annulCard();

public:
    static const QString kAnnulledNoSave;
    static const QString kAlreadyAnnulled;
    static const QString kNotStored;
    static const QString kAnnulled;
    // The side file of annulments is damaged; "%1": its name.
    static const QString kAnnulmentsDamaged;

    // The card window's load rule, then the annulment mark of the card.
    void loadCard(const Record& record, int position) override;
    // The controls' texts; "lblAnnullata" gives the whole mark of an annulled card, one
    // line each for the annulment, the reason and the authorisation (empty otherwise).
    QString fieldText(const QString& controlName) const override;

protected:
    RecordArchive archive() const override;
    // Office and operator: read from the settings on showing, written back on closing.
    void showing() override;
    void closing() override;
    // Today's registration date and no mail type on the empty card.
    void clearExtras() override;
    void loadExtras(const Record& record) override;
    void fillExtras(Record& record) const override;
    bool checkExtras() override;
    RecordArchive::Settle settleNewCard() override;
    QString newCardAppended() override;
    bool maySave() override;
    void saveRefused(int position) override;
    // Every save keeps the annulments side file and refuses an annulled card.
    void addToJournaling(RecordArchive::Journaling& journaling) const override;
    QString ownFieldCaption(int field) const override;

private:
    // The number proposed by the last "Nuovo" and the count it came from: a card saved with
    // the proposal untouched takes the number the count gives at the moment of the save.
    struct Proposal {
        QString number;
        int count;
    };
    std::optional<Proposal> m_proposal;
    // The number the last save gave instead of the proposal.
    std::optional<QString> m_renumbered;

    void buildToolbar();
    void buildCard();
    void buildMailType();
    void setMailType(const QString& stored);
    void uncheckMailType();
    // The annulment command and mark, in the free row between the two lines of fields.
    void buildAnnulment();
    // Shows whether the card at `position` (none: a new card) is annulled: the red mark, or
    // the command on a stored card.
    void showAnnulment(std::optional<int> position);

    // The annulment of the card shown, if it is annulled.
    std::optional<Annulments::Annulment> m_annulment;
    // A damaged annulments file is told once each time the window is shown.
    bool m_damageReported = false;
    QPushButton* cmdAnnulla;
    QLabel* lblAnnullata;

    // Hidden state: the register's file, and the numbering read at the last "Nuovo".
    QLabel* lblFile;
    QLabel* lblInizio;
    QLabel* lblSolare;
    // The fields this window fills or reads beyond the table's flow.
    QLineEdit* txtNumero;
    QLineEdit* txtDataReg;
    QLineEdit* txtUfficio;
    QLineEdit* txtOperatore;
    QLineEdit* txtCategoria;
    QRadioButton* optEntrata;
    QRadioButton* optUscita;
    QRadioButton* optInterna;
};
