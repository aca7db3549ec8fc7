#include "Protocollo.h"

#include "Numerazione.h"
#include "core/Numbering.h"
#include "core/Settings.h"
#include "core/ShortDate.h"
#include "core/TextField.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "ui/AllegaCartella.h"
#include "ui/ArchiveTag.h"
#include "ui/AttachmentSlot.h"
#include "ui/Calendario.h"
#include "ui/Clock.h"
#include "ui/FocusHalo.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/HintLine.h"
#include "ui/KeyRules.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"

#include <QShowEvent>
#include <array>

namespace {

using F = ProtocolRecord::Field;

// Where each field of the card stands, its caption, the record field it shows and the
// field that Enter moves to. Captions stand 18 above their field unless `captionLeft`.
struct FieldRow {
    QLineEdit* TfrmProtocollo::*member;
    const char* name;
    const char* captionName;
    const char* caption;
    int x, y, width;
    F field;
    bool centred;
    bool captionLeft;
};

constexpr int kFieldHeight = 22;

// clang-format off
const std::array<FieldRow, 18> kFields{{
    {&TfrmProtocollo::txtNumero, "txtNumero", "lblCampo001", "N. protocollo:", 306, 126, 160, F::Numero, true, false},
    {&TfrmProtocollo::txtDataReg, "txtDataReg", "lblCampo002", "Data registrazione:", 482, 126, 130, F::DataReg, true, false},
    {&TfrmProtocollo::txtUfficio, "txtUfficio", "lblCampo003", "Ufficio:", 628, 126, 152, F::Ufficio, false, false},
    {&TfrmProtocollo::txtOperatore, "txtOperatore", "lblCampo004", "Operatore:", 796, 126, 150, F::Operatore, false, false},
    {&TfrmProtocollo::txtCategoria, "txtCategoria", "lblCampo005", "Categoria:", 306, 197, 306, F::Categoria, false, false},
    {&TfrmProtocollo::txtCollocazione, "txtCollocazione", "lblCampo006", "Collocazione documento cartaceo:", 628, 197, 318, F::Collocazione, false, false},
    {&TfrmProtocollo::txtOggetto, "txtOggetto", "lblCampo007", "Oggetto:", 280, 284, 666, F::Oggetto, false, false},
    {&TfrmProtocollo::txtDataSpe, "txtDataSpe", "lblCampo009", "Data spedizione:", 280, 332, 130, F::DataSpe, true, false},
    {&TfrmProtocollo::txtDataRic, "txtDataRic", "lblCampo010", "Data ricezione:", 426, 332, 130, F::DataRic, true, false},
    {&TfrmProtocollo::txtFormato, "txtFormato", "lblCampo011", "Formato:", 572, 332, 238, F::Formato, false, false},
    {&TfrmProtocollo::txtPagine, "txtPagine", "lblCampo012", "N. pagine:", 826, 332, 120, F::Pagine, true, false},
    {&TfrmProtocollo::txtRiferimenti, "txtRiferimenti", "lblCampo013", "Riferimenti:", 280, 380, 666, F::Riferimenti, false, false},
    {&TfrmProtocollo::txtNote, "txtNote", "lblCampo014", "Note:", 48, 428, 898, F::Note, false, false},
    {&TfrmProtocollo::txtMittente, "txtMittente", "lblCampo015", "Mittente:", 100, 492, 322, F::Mittente, false, true},
    {&TfrmProtocollo::txtRecapitoMit, "txtRecapitoMit", "lblCampo016", "Recapito:", 104, 526, 318, F::RecapitoMit, false, true},
    {&TfrmProtocollo::txtDestinatario, "txtDestinatario", "lblCampo017", "Destinatario:", 600, 492, 298, F::Destinatario, false, true},
    {&TfrmProtocollo::txtRecapitoDes, "txtRecapitoDes", "lblCampo018", "Recapito:", 580, 526, 318, F::RecapitoDes, false, true},
    {&TfrmProtocollo::txtCopia, "txtCopia", "lblCampo008", "Copia digitale documento:", 84, 591, 674, F::Copia, false, false},
}};
// clang-format on

// The six hidden attachment labels and their fields, in record order.
struct LabelRow {
    QLabel* TfrmProtocollo::*member;
    const char* name;
    F field;
};
const std::array<LabelRow, 6> kAttachmentLabels{{
    {&TfrmProtocollo::lblFile01, "lblFile01", F::File01},
    {&TfrmProtocollo::lblFile02, "lblFile02", F::File02},
    {&TfrmProtocollo::lblFile03, "lblFile03", F::File03},
    {&TfrmProtocollo::lblDesc01, "lblDesc01", F::Desc01},
    {&TfrmProtocollo::lblDesc02, "lblDesc02", F::Desc02},
    {&TfrmProtocollo::lblDesc03, "lblDesc03", F::Desc03},
}};

const QColor kWhite(Qt::white);
const QColor kCardBody(0x9D, 0xBB, 0xDB);
const QColor kHintBar(0x30, 0x30, 0xDD);
const QColor kSteelBlue(0x46, 0x82, 0xB4);

} // namespace

TfrmProtocollo::TfrmProtocollo()
    : CardWindow(QStringLiteral(" Faldora - Protocollo Posta"), kSteelBlue,
                 QStringLiteral("Pronto per archiviare una nuova scheda...")) {
    setObjectName(QStringLiteral("frmProtocollo"));
    QWidget* panel = panContainer();
    lblFile = addHiddenLabel(panel, "lblFile");
    for (const LabelRow& row : kAttachmentLabels)
        this->*row.member = addHiddenLabel(panel, row.name);
    lblInizio = addHiddenLabel(panel, "lblInizio", QStringLiteral("1"));
    lblSolare = addHiddenLabel(panel, "lblSolare", QStringLiteral("ANNO"));

    buildToolbar();
    buildCard();
    addHintBar({16, 642, 962, 36}, kHintBar);
}

void TfrmProtocollo::buildToolbar() {
    addArea("shpGruppo1", {16, 20, 173, 52}, kWhite);
    addArea("shpGruppo2", {192, 20, 164, 52}, kWhite);
    addArea("shpGruppo3", {360, 20, 164, 52}, kWhite);
    addArea("shpGruppo4", {530, 20, 253, 52}, kWhite);
    addArea("shpGruppo5", {787, 20, 93, 52}, kWhite);
    addArea("shpGruppo6", {884, 20, 94, 52}, kWhite);

    auto tool = [this](const char* name, const char* picture, int x, const char* hint) {
        return addTool(name, artwork(picture), {x, 26, 37, 39}, QString::fromUtf8(hint));
    };
    cmdNuovo = tool("cmdNuovo", "nuovo", 24,
                    "Prepara la schermata per l'inserimento di una nuova scheda.");
    cmdSalva = tool("cmdSalva", "salva", 64, "Salva la scheda corrente in archivio.");
    cmdTrova = tool("cmdTrova", "trova", 104, "Trova una scheda in archivio.");
    cmdRiepilogo =
        tool("cmdRiepilogo", "riepilogo", 144,
             "Visualizza il riepilogo dei documenti protocollati in un intervallo di tempo.");
    cmdFile = addTool("cmdFile", artwork("allega_file"), {200, 28, 148, 32},
                      QStringLiteral("Allega file alla scheda corrente."));
    cmdStampa = addTool("cmdStampa", artwork("stampa"), {368, 28, 148, 32},
                        QStringLiteral("Stampa la scheda corrente."));
    addBrowsingTools(538, 580, 696, 738, 26, {619, 34, 74, 22});
    cmdEsporta = tool("cmdEsporta", "esporta", 795,
                      "Esporta le schede in archivio in un file di Microsoft Excel.");
    cmdNumerazione = tool("cmdNumerazione", "numerazione", 835,
                          "Imposta il numero iniziale per la numerazione del protocollo.");
    cmdGuida = tool("cmdGuida", "guida", 892, "Visualizza la guida in linea.");
    cmdEsci = tool("cmdEsci", "esci", 933, "Esci da questa schermata di lavoro.");

    connect(cmdEsci, &QAbstractButton::clicked, this, &QWidget::close);
    connect(cmdNuovo, &QAbstractButton::clicked, this, &TfrmProtocollo::newCard);
    connect(cmdSalva, &QAbstractButton::clicked, this, &TfrmProtocollo::saveCard);
    connect(cmdNumerazione, &QAbstractButton::clicked, this, &TfrmProtocollo::openNumbering);
    connect(cmdFile, &QAbstractButton::clicked, this, &TfrmProtocollo::openFurtherAttachments);
    connect(cmdTrova, &QAbstractButton::clicked, this, [this] {
        TfrmTrovaProtocollo window(this, this);
        window.lblMemory->setText(ArchiveTag::Protocol);
        window.exec();
    });
    connect(cmdStampa, &QAbstractButton::clicked, this, [this] {
        TfrmStampaProtocollo window(this, *this);
        window.exec();
    });
    connect(cmdRiepilogo, &QAbstractButton::clicked, this, [this] {
        TfrmRiepProtocollo window(this, lblFile->text());
        window.exec();
    });
    connect(cmdEsporta, &QAbstractButton::clicked, this, [this] {
        TfrmExpProtocollo window(this, lblFile->text());
        window.exec();
    });
    connect(cmdGuida, &QAbstractButton::clicked, this,
            [this] { TfrmGuida::showTopic(this, HelpTopics::protocol()); });
}

void TfrmProtocollo::buildCard() {
    QWidget* panel = panContainer();
    addArea("shpScheda", {16, 82, 962, 552}, kCardBody);
    addArea("shpSezione1", {290, 90, 672, 150}, kWhite);
    addArea("shpSezione2", {26, 250, 936, 210}, kWhite);
    addArea("shpSezione3", {26, 470, 454, 86}, kWhite);
    addArea("shpSezione4", {488, 470, 474, 86}, kWhite);
    addArea("shpSezione5", {26, 566, 936, 58}, kWhite);
    (new Picture(panel, "icoDocumento", artwork("documento")))->setGeometry(40, 262, 220, 136);
    (new Picture(panel, "icoMittente", artwork("mittente")))->setGeometry(428, 491, 44, 44);
    (new Picture(panel, "icoDestinatario", artwork("destinatario")))->setGeometry(908, 491, 44, 44);

    const QFont fieldFont = uiFont(QStringLiteral("Verdana"), 12, true);
    const QFont captionFont = uiFont(QStringLiteral("Verdana"), 12);
    const auto& layout = ProtocolRecord::layout();
    for (const FieldRow& row : kFields) {
        auto* field = named(new QLineEdit(panel), row.name);
        field->setFont(fieldFont);
        field->setGeometry(row.x, row.y, row.width, kFieldHeight);
        field->setMaxLength(layout.field(row.field).capacity);
        if (row.centred)
            field->setAlignment(Qt::AlignCenter);
        this->*row.member = field;
        FocusHalo::attach(field);

        QLabel* caption =
            addLabel(panel, row.captionName, QString::fromUtf8(row.caption), 0, 0, captionFont);
        if (row.captionLeft)
            caption->move(row.x - 6 - caption->width(),
                          row.y + (kFieldHeight - caption->height()) / 2);
        else
            caption->move(row.x, row.y - 18);
    }

    // Enter moves along the card; in the registration date it asks for the calendar.
    QLineEdit* chain[] = {txtNumero,       txtDataReg,     txtUfficio, txtOperatore, txtCategoria,
                          txtCollocazione, txtOggetto,     txtDataSpe, txtDataRic,   txtFormato,
                          txtPagine,       txtRiferimenti, txtNote,    txtMittente,  txtRecapitoMit,
                          txtDestinatario, txtRecapitoDes, txtCopia};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
        if (chain[i] != txtDataReg)
            KeyRules::enterMovesTo(chain[i], chain[i + 1]);
        setTabOrder(chain[i], chain[i + 1]);
    }
    KeyRules::enterMovesTo(txtCopia, nullptr);
    connect(DateField::attach(txtDataReg), &DateField::importRequested, this, [this] {
        if (const auto date = TfrmCalendario::importFor(this, QStringLiteral("datareg")))
            txtDataReg->setText(*date);
    });
    hints()->setHint(txtDataReg,
                     QStringLiteral("Fai clic su questo campo e premi un tasto qualsiasi per "
                                    "importare una data dal calendario."));

    buildMailType();
    buildAttachment();
}

void TfrmProtocollo::buildMailType() {
    Shape* panTipo = addArea("panTipo", {26, 90, 250, 150}, kWhite);
    (new Picture(panTipo, "icoTipo", artwork("tipo_titolo")))->setGeometry(8, 8, 234, 34);
    (new Picture(panTipo, "icoBuste", artwork("buste")))->setGeometry(14, 56, 84, 80);
    const QFont font = uiFont(QStringLiteral("Verdana"), 12, true);
    auto radio = [&](const char* name, const QString& text, int y) {
        auto* button = named(new QRadioButton(text, panTipo), name);
        button->setFont(font);
        button->setCursor(Qt::PointingHandCursor);
        button->setGeometry(108, y, 118, 20);
        return button;
    };
    optEntrata = radio("optEntrata", MailType::Entrata, 58);
    optUscita = radio("optUscita", MailType::Uscita, 82);
    optInterna = radio("optInterna", MailType::Interna, 106);
}

void TfrmProtocollo::buildAttachment() {
    QWidget* panel = panContainer();
    auto* icoCopia = new Picture(panel, "icoCopia", artwork("copia"));
    icoCopia->setGeometry(36, 575, 40, 40);
    hints()->clearsOn(icoCopia);

    imgCancella01 =
        addTool("imgCancella01", artwork("cancella"), {765, 591, 22, 22},
                QStringLiteral("Cancella il percorso del file allegato alla scheda corrente."));
    btnSfoglia = addButton(panel, QStringLiteral("btnSfoglia"), QStringLiteral("Sfoglia..."),
                           {793, 587, 78, 26});
    btnApri =
        addButton(panel, QStringLiteral("btnApri"), QStringLiteral("Apri"), {878, 587, 78, 26});
    hints()->setHint(btnSfoglia,
                     QStringLiteral("Seleziona il file da allegare alla scheda corrente."));
    hints()->setHint(btnApri, QStringLiteral("Apri il file allegato alla scheda corrente."));

    new AttachmentSlot(txtCopia, btnSfoglia, btnApri, imgCancella01);
}

RecordArchive TfrmProtocollo::archive() const {
    return RecordArchive(TextField::trimBlanks(lblFile->text()), ProtocolRecord::layout());
}

void TfrmProtocollo::loadCard(const Record& record, int position) {
    CaricaScheda(ProtocolRecord(record.bytes()), position);
}

void TfrmProtocollo::showEvent(QShowEvent* event) {
    CardWindow::showEvent(event);
    if (event->spontaneous())
        return;
    const Settings::ProtocolCard remembered = ProgramFolder::settings().protocolCard();
    txtUfficio->setText(remembered.office);
    txtOperatore->setText(remembered.operatorName);
    PulisciScheda();
}

void TfrmProtocollo::closing() {
    QString error;
    if (!ProgramFolder::settings().setProtocolCard({TextField::trimBlanks(txtUfficio->text()),
                                                    TextField::trimBlanks(txtOperatore->text())},
                                                   &error))
        Messages::error(this, error);
}

void TfrmProtocollo::newCard() {
    const Settings::Numbering numbering = ProgramFolder::settings().numbering();
    lblInizio->setText(numbering.start);
    lblSolare->setText(numbering.yearAfterNumber);
    if (TextField::trimBlanks(lblInizio->text()).isEmpty())
        lblInizio->setText(QStringLiteral("1"));
    const auto count = archive().count();
    if (!count) {
        showAccessError();
        return;
    }
    PulisciScheda();
    const QDate today = Clock::today();
    const auto number = Numbering::propose(lblInizio->text(), lblSolare->text(), *count, today);
    if (!number) {
        showAccessError();
        return;
    }
    txtNumero->setText(*number);
    m_proposal = Proposal{*number, *count};
    txtDataReg->setText(ShortDate::format(today));
    txtCategoria->setFocus();
}

bool TfrmProtocollo::checkRequired() {
    struct Required {
        QWidget* focus;
        bool missing;
        const char* message;
    };
    const auto blank = [](const QLineEdit* field) {
        return TextField::trimBlanks(field->text()).isEmpty();
    };
    const Required checks[] = {
        {txtNumero, blank(txtNumero),
         "Attenzione: per salvare la scheda è necessario indicare il numero di protocollo del "
         "documento."},
        {txtDataReg, blank(txtDataReg),
         "Attenzione: per salvare la scheda è necessario indicare la data di registrazione del "
         "documento."},
        {txtCategoria, blank(txtCategoria),
         "Attenzione: per salvare la scheda è necessario indicare la categoria del documento."},
        {txtOggetto, blank(txtOggetto),
         "Attenzione: per salvare la scheda è necessario indicare l'oggetto del documento."},
        {optEntrata,
         !optEntrata->isChecked() && !optUscita->isChecked() && !optInterna->isChecked(),
         "Attenzione: per salvare la scheda è necessario indicare la tipologia di posta (in "
         "entrata, in "
         "uscita o interna)."},
    };
    for (const Required& check : checks) {
        if (check.missing) {
            Messages::warning(this, QString::fromUtf8(check.message));
            check.focus->setFocus();
            return false;
        }
    }
    return true;
}

ProtocolRecord TfrmProtocollo::cardFromControls() const {
    ProtocolRecord record;
    for (const FieldRow& row : kFields)
        record.setText(row.field, (this->*row.member)->text());
    record.setText(F::Tipologia, optEntrata->isChecked()   ? MailType::Entrata
                                 : optUscita->isChecked()  ? MailType::Uscita
                                 : optInterna->isChecked() ? MailType::Interna
                                                           : QString());
    for (const LabelRow& row : kAttachmentLabels)
        record.setText(row.field, (this->*row.member)->text());
    return record;
}

void TfrmProtocollo::saveCard() {
    if (!checkRequired())
        return;
    const ProtocolRecord record = cardFromControls();
    std::optional<int> position;
    if (!shownPosition(position)) {
        showAccessError();
        return;
    }
    if (position) {
        if (!archive().update(*position, record)) {
            showAccessError();
            return;
        }
        lblPosizione->setText(QString::number(*position));
        Messages::information(
            this,
            QStringLiteral(
                "Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
        return;
    }
    // Another copy may have stored cards since "Nuovo": an untouched proposal is made
    // again from the count under the write lock, so no number is given twice.
    std::optional<QString> renumbered;
    const bool untouched = m_proposal && !txtNumero->isModified() &&
                           TextField::trimBlanks(txtNumero->text()) == m_proposal->number;
    const auto settle = [&](int count, Record& r) {
        if (!untouched || count == m_proposal->count)
            return;
        renumbered =
            Numbering::propose(lblInizio->text(), lblSolare->text(), count, Clock::today());
        if (renumbered)
            r.setText(F::Numero, *renumbered);
    };
    const auto appended = archive().append(record, settle);
    if (!appended) {
        showAccessError();
        return;
    }
    m_proposal.reset();
    lblPosizione->setText(QString::number(*appended));
    if (renumbered)
        txtNumero->setText(*renumbered);
    Messages::information(this, QStringLiteral("La scheda corrente è stata inserita in archivio."));
    if (renumbered)
        Messages::notice(this,
                         QStringLiteral("Attenzione: il numero proposto è stato assegnato nel "
                                        "frattempo da un'altra postazione. Alla scheda è stato "
                                        "assegnato il numero %1.")
                             .arg(*renumbered));
}

void TfrmProtocollo::openFurtherAttachments() {
    FurtherAttachments shown;
    for (std::size_t i = 0; i < 3; ++i) {
        shown.files[i] = (this->*kAttachmentLabels[i].member)->text();
        shown.descriptions[i] = (this->*kAttachmentLabels[i + 3].member)->text();
    }
    const auto applied = TfrmAllegaCartella::openFor(this, ArchiveTag::Protocol, shown);
    if (!applied)
        return;
    for (std::size_t i = 0; i < 3; ++i) {
        (this->*kAttachmentLabels[i].member)->setText(applied->files[i]);
        (this->*kAttachmentLabels[i + 3].member)->setText(applied->descriptions[i]);
    }
}

void TfrmProtocollo::openNumbering() {
    TfrmNumerazione dialog(this);
    dialog.lblMemory->setText(ArchiveTag::Protocol);
    dialog.exec();
}

void TfrmProtocollo::PulisciScheda() {
    m_proposal.reset();
    txtNumero->clear();
    txtDataReg->setText(ShortDate::format(Clock::today()));
    for (QLineEdit* field : {txtCategoria, txtCollocazione, txtOggetto, txtDataSpe, txtDataRic,
                             txtFormato, txtPagine, txtRiferimenti, txtNote, txtMittente,
                             txtRecapitoMit, txtDestinatario, txtRecapitoDes, txtCopia})
        field->clear();
    for (const LabelRow& row : kAttachmentLabels)
        (this->*row.member)->clear();
    uncheckMailType();
    lblPosizione->clear();
    txtNumero->setFocus();
}

void TfrmProtocollo::CaricaScheda(const ProtocolRecord& record, int position) {
    m_proposal.reset();
    for (const FieldRow& row : kFields)
        showText(this->*row.member, record.text(row.field));
    setMailType(record.text(F::Tipologia));
    for (const LabelRow& row : kAttachmentLabels)
        (this->*row.member)->setText(record.text(row.field));
    lblPosizione->setText(QString::number(position));
}

void TfrmProtocollo::setMailType(const QString& stored) {
    QRadioButton* match = stored == MailType::Entrata   ? optEntrata
                          : stored == MailType::Uscita  ? optUscita
                          : stored == MailType::Interna ? optInterna
                                                        : nullptr;
    // Anything else leaves the buttons as the previous card had them.
    if (match)
        match->setChecked(true);
}

void TfrmProtocollo::uncheckMailType() {
    for (QRadioButton* b : {optEntrata, optUscita, optInterna}) {
        b->setAutoExclusive(false);
        b->setChecked(false);
        b->setAutoExclusive(true);
    }
}
