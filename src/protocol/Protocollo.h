#pragma once

#include "core/ProtocolRecord.h"
#include "ui/CardWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class ImageButton;

// The working window of the protocol register: one card of one year's register at a
// time. The card window does the card's flow from this window's field table; this window
// adds its layout and pictures, the mail type buttons, the numbering of new cards, the
// remembered office and operator, and the toolbar of the register's functions.
class TfrmProtocollo : public CardWindow {
    Q_OBJECT
public:
    TfrmProtocollo();

public slots:
    // A new card with the proposed number and today's date.
    void newCard();
    void openNumbering();

public:
    // Handles on the controls for the windows and tests that still reach them directly;
    // they go when the controls become private.

    // Hidden state.
    QLabel* lblFile;
    QLabel* lblFile01;
    QLabel* lblFile02;
    QLabel* lblFile03;
    QLabel* lblDesc01;
    QLabel* lblDesc02;
    QLabel* lblDesc03;
    QLabel* lblInizio;
    QLabel* lblSolare;

    // The card.
    QLineEdit* txtNumero;
    QLineEdit* txtDataReg;
    QLineEdit* txtUfficio;
    QLineEdit* txtOperatore;
    QLineEdit* txtCategoria;
    QLineEdit* txtCollocazione;
    QLineEdit* txtOggetto;
    QLineEdit* txtDataSpe;
    QLineEdit* txtDataRic;
    QLineEdit* txtFormato;
    QLineEdit* txtPagine;
    QLineEdit* txtRiferimenti;
    QLineEdit* txtNote;
    QLineEdit* txtMittente;
    QLineEdit* txtRecapitoMit;
    QLineEdit* txtDestinatario;
    QLineEdit* txtRecapitoDes;
    QLineEdit* txtCopia;
    QRadioButton* optEntrata;
    QRadioButton* optUscita;
    QRadioButton* optInterna;

    // Commands.
    ImageButton* cmdNuovo;
    ImageButton* cmdSalva;
    ImageButton* cmdTrova;
    ImageButton* cmdRiepilogo;
    ImageButton* cmdFile;
    ImageButton* cmdStampa;
    ImageButton* cmdEsporta;
    ImageButton* cmdNumerazione;
    ImageButton* cmdGuida;
    ImageButton* cmdEsci;
    ImageButton* imgCancella01;
    QPushButton* btnSfoglia;
    QPushButton* btnApri;

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
    void findHandles();
    void setMailType(const QString& stored);
    void uncheckMailType();
};
