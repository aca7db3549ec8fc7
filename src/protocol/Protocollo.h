#pragma once

#include "core/ProtocolRecord.h"
#include "ui/CardWindow.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

class ImageButton;

// The working window of the protocol register: one card of one year's register at a
// time, the browsing commands and the toolbar of the register's functions.
class TfrmProtocollo : public CardWindow {
    Q_OBJECT
public:
    TfrmProtocollo();

    // Empty card: today's registration date, office and operator kept, new state.
    void PulisciScheda();
    // Load rule: the record's fields into the controls, its position into lblPosizione.
    void CaricaScheda(const ProtocolRecord& record, int position);

public slots:
    // A new card with the proposed number and today's date.
    void newCard();
    // Appends a new card or rewrites the stored card shown, after the checks.
    void saveCard();
    void openNumbering();
    // The further attachments window; what it hands back goes into the six hidden labels.
    void openFurtherAttachments();

public:
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

    void loadCard(const Record& record, int position) override;

protected:
    RecordArchive archive() const override;
    void showEvent(QShowEvent* event) override;
    void closing() override;

private:
    // The number proposed by the last "Nuovo" and the count it came from: a card saved with
    // the proposal untouched takes the number the count gives at the moment of the save.
    struct Proposal {
        QString number;
        int count;
    };
    std::optional<Proposal> m_proposal;

    // The record the controls describe, by the store rule.
    ProtocolRecord cardFromControls() const;
    // The first required field that is missing: its warning and where the focus goes.
    bool checkRequired();
    void buildToolbar();
    void buildCard();
    void buildMailType();
    void buildAttachment();
    void setMailType(const QString& stored);
    void uncheckMailType();
};
