#include "Protocollo.h"

#include "Annulla.h"
#include "Numerazione.h"
#include "core/Numbering.h"
#include "core/Settings.h"
#include "core/ShortDate.h"
#include "core/TextField.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "ui/ArchiveTag.h"
#include "ui/Clock.h"
#include "ui/HelpTopics.h"
#include "ui/HintLine.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <utility>

namespace {

using F = ProtocolRecord::Field;
using C = CardField;

const char* const kNoNumber = "Attenzione: per salvare la scheda è necessario indicare il numero "
                              "di protocollo del documento.";
const char* const kNoDate = "Attenzione: per salvare la scheda è necessario indicare la data di "
                            "registrazione del documento.";
const char* const kNoCategory =
    "Attenzione: per salvare la scheda è necessario indicare la categoria del documento.";
const char* const kNoSubject =
    "Attenzione: per salvare la scheda è necessario indicare l'oggetto del documento.";

// The card's fields in tab order: record field, control, caption, place (x, y, width),
// then what Enter does, the look, the hint and the warning of a required field.
// clang-format off
constexpr CardField kFields[] = {
    C(F::Numero, "txtNumero", "lblCampo001", "N. protocollo:", 306, 126, 160)
        .withFlags(C::Centred).enterTo("txtDataReg").requiredWith(kNoNumber),
    C(F::DataReg, "txtDataReg", "lblCampo002", "Data registrazione:", 482, 126, 130)
        .withFlags(C::Centred).date("datareg").requiredWith(kNoDate),
    C(F::Ufficio, "txtUfficio", "lblCampo003", "Ufficio:", 628, 126, 152)
        .withFlags(C::Kept).enterTo("txtOperatore"),
    C(F::Operatore, "txtOperatore", "lblCampo004", "Operatore:", 796, 126, 150)
        .withFlags(C::Kept).enterTo("txtCategoria"),
    C(F::Categoria, "txtCategoria", "lblCampo005", "Categoria:", 306, 197, 306)
        .enterTo("txtCollocazione").requiredWith(kNoCategory),
    C(F::Collocazione, "txtCollocazione", "lblCampo006", "Collocazione documento cartaceo:",
      628, 197, 318)
        .enterTo("txtOggetto"),
    C(F::Oggetto, "txtOggetto", "lblCampo007", "Oggetto:", 280, 284, 666)
        .enterTo("txtDataSpe").requiredWith(kNoSubject),
    C(F::DataSpe, "txtDataSpe", "lblCampo009", "Data spedizione:", 280, 332, 130)
        .withFlags(C::Centred).enterTo("txtDataRic"),
    C(F::DataRic, "txtDataRic", "lblCampo010", "Data ricezione:", 426, 332, 130)
        .withFlags(C::Centred).enterTo("txtFormato"),
    C(F::Formato, "txtFormato", "lblCampo011", "Formato:", 572, 332, 238)
        .enterTo("txtPagine"),
    C(F::Pagine, "txtPagine", "lblCampo012", "N. pagine:", 826, 332, 120)
        .withFlags(C::Centred).enterTo("txtRiferimenti"),
    C(F::Riferimenti, "txtRiferimenti", "lblCampo013", "Riferimenti:", 280, 380, 666)
        .enterTo("txtNote"),
    C(F::Note, "txtNote", "lblCampo014", "Note:", 48, 428, 898)
        .enterTo("txtMittente"),
    C(F::Mittente, "txtMittente", "lblCampo015", "Mittente:", 100, 492, 322)
        .withCaptionLeft().enterTo("txtRecapitoMit"),
    C(F::RecapitoMit, "txtRecapitoMit", "lblCampo016", "Recapito:", 104, 526, 318)
        .withCaptionLeft().enterTo("txtDestinatario"),
    C(F::Destinatario, "txtDestinatario", "lblCampo017", "Destinatario:", 600, 492, 298)
        .withCaptionLeft().enterTo("txtRecapitoDes"),
    C(F::RecapitoDes, "txtRecapitoDes", "lblCampo018", "Recapito:", 580, 526, 318)
        .withCaptionLeft().enterTo("txtCopia"),
    C(F::Copia, "txtCopia", "lblCampo008", "Copia digitale documento:", 84, 591, 674)
        .withFlags(C::Attachment),
};
// clang-format on

const QColor kWhite(Qt::white);
const QColor kCardBody(0x9D, 0xBB, 0xDB);
const QColor kHintBar(0x30, 0x30, 0xDD);
const QColor kSteelBlue(0x46, 0x82, 0xB4);
const QColor kAnnulledRed(0xC0, 0x00, 0x00);

// The free row between the two lines of fields of the first section: the red mark of an
// annulled card, or the command on any other stored card.
const QRect kAnnulledMark(306, 151, 640, 24);
const QRect kAnnulCommand(816, 151, 130, 24);

} // namespace

const QString TfrmProtocollo::kAnnulledNoSave = QStringLiteral(
    "Attenzione: la scheda corrente è stata annullata e non può più essere modificata né "
    "salvata.");
const QString TfrmProtocollo::kAlreadyAnnulled =
    QStringLiteral("Attenzione: la scheda corrente è già stata annullata.");
const QString TfrmProtocollo::kNotStored = QStringLiteral(
    "Attenzione: si può annullare solo una scheda già salvata in archivio. Richiamare la "
    "scheda con il pulsante «Trova» o con le frecce.");
const QString TfrmProtocollo::kAnnulled = QStringLiteral(
    "La scheda corrente è stata annullata: resta in archivio con il segno ANNULLATA e non può "
    "più essere modificata.");
const QString TfrmProtocollo::kAnnulmentsDamaged = QStringLiteral(
    "Attenzione: il file degli annullamenti %1 è danneggiato. Le schede annullate che vi "
    "sono leggibili restano annullate; far controllare il file.");

TfrmProtocollo::TfrmProtocollo()
    : CardWindow(QStringLiteral(" Faldora - Protocollo Posta"), kSteelBlue,
                 QStringLiteral("Pronto per archiviare una nuova scheda..."),
                 {&ProtocolRecord::layout(), kFields, FocusLook::Halo, ArchiveTag::Protocol,
                  &ProtocolRecord::journalIdentity}) {
    setObjectName(QStringLiteral("frmProtocollo"));
    QWidget* panel = panContainer();
    lblFile = addHiddenLabel(panel, "lblFile");
    lblInizio = addHiddenLabel(panel, "lblInizio", QStringLiteral("1"));
    lblSolare = addHiddenLabel(panel, "lblSolare", QStringLiteral("ANNO"));

    buildToolbar();
    buildCard();
    addHintBar({16, 642, 962, 36}, kHintBar);
    txtNumero = field("txtNumero");
    txtDataReg = field("txtDataReg");
    txtUfficio = field("txtUfficio");
    txtOperatore = field("txtOperatore");
    txtCategoria = field("txtCategoria");
}

void TfrmProtocollo::openRegister(const QString& year) {
    const QString digits = TextField::trimBlanks(year);
    lblFile->setText(ProgramFolder::file(digits + QStringLiteral(".prt")));
    setWindowTitle(QStringLiteral(" Faldora - Protocollo Posta anno ") + digits);
}

void TfrmProtocollo::buildToolbar() {
    addToolbarGroups();
    addToolbarButton("cmdNuovo", "nuovo", 24,
                     "Prepara la schermata per l'inserimento di una nuova scheda.",
                     [this] { newCard(); });
    addToolbarButton("cmdSalva", "salva", 64, "Salva la scheda corrente in archivio.",
                     [this] { saveCard(); });
    addToolbarButton("cmdTrova", "trova", 104, "Trova una scheda in archivio.", [this] {
        TfrmTrovaProtocollo window(this, this, [this](const QString& year) { openRegister(year); });
        window.setOpenerTag(ArchiveTag::Protocol);
        window.exec();
    });
    addToolbarButton("cmdRiepilogo", "riepilogo", 144,
                     "Visualizza il riepilogo dei documenti protocollati in un intervallo di "
                     "tempo.",
                     [this] { showModal<TfrmRiepProtocollo>(this, lblFile->text()); });
    addFurtherAttachmentsTool({200, 28, 148, 32});
    addPrintTool({368, 28, 148, 32}, [this] { showModal<TfrmStampaProtocollo>(this, *this); });
    addBrowsingTools(538, 580, 696, 738, 26, {619, 34, 74, 22});
    addToolbarButton("cmdEsporta", "esporta", 795,
                     "Esporta le schede in archivio in un file di Microsoft Excel.",
                     [this] { showModal<TfrmExpProtocollo>(this, lblFile->text()); });
    addToolbarButton("cmdNumerazione", "numerazione", 835,
                     "Imposta il numero iniziale per la numerazione del protocollo.",
                     [this] { openNumbering(); });
    addHelpAndExit(HelpTopics::protocol());
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

    buildFields();
    buildMailType();
    buildAnnulment();

    auto* icoCopia = new Picture(panel, "icoCopia", artwork("copia"));
    icoCopia->setGeometry(36, 575, 40, 40);
    hints()->clearsOn(icoCopia);
    addAttachmentStrip(
        {"imgCancella01", {765, 591, 22, 22}, {793, 587, 78, 26}, {878, 587, 78, 26}});
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

RecordArchive TfrmProtocollo::archive() const {
    return RecordArchive(TextField::trimBlanks(lblFile->text()), ProtocolRecord::layout());
}

void TfrmProtocollo::showing() {
    m_damageReported = false;
    const Settings::ProtocolCard remembered = ProgramFolder::settings().protocolCard();
    txtUfficio->setText(remembered.office);
    txtOperatore->setText(remembered.operatorName);
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

void TfrmProtocollo::clearExtras() {
    m_proposal.reset();
    showAnnulment(std::nullopt);
    txtDataReg->setText(ShortDate::format(Clock::today()));
    uncheckMailType();
}

void TfrmProtocollo::loadExtras(const Record& record) {
    m_proposal.reset();
    setMailType(record.text(F::Tipologia));
}

void TfrmProtocollo::fillExtras(Record& record) const {
    record.setText(F::Tipologia, optEntrata->isChecked()   ? MailType::Entrata
                                 : optUscita->isChecked()  ? MailType::Uscita
                                 : optInterna->isChecked() ? MailType::Interna
                                                           : QString());
}

bool TfrmProtocollo::checkExtras() {
    if (optEntrata->isChecked() || optUscita->isChecked() || optInterna->isChecked())
        return true;
    Messages::warning(this, QStringLiteral("Attenzione: per salvare la scheda è necessario "
                                           "indicare la tipologia di posta (in entrata, in "
                                           "uscita o interna)."));
    optEntrata->setFocus();
    return false;
}

RecordArchive::Settle TfrmProtocollo::settleNewCard() {
    // Another copy may have stored cards since "Nuovo": an untouched proposal is made
    // again from the count under the write lock, so no number is given twice.
    m_renumbered.reset();
    const bool untouched = m_proposal && !txtNumero->isModified() &&
                           TextField::trimBlanks(txtNumero->text()) == m_proposal->number;
    if (!untouched)
        return {};
    return [this](int count, Record& record) {
        if (count == m_proposal->count)
            return;
        m_renumbered =
            Numbering::propose(lblInizio->text(), lblSolare->text(), count, Clock::today());
        if (m_renumbered)
            record.setText(F::Numero, *m_renumbered);
    };
}

QString TfrmProtocollo::newCardAppended() {
    m_proposal.reset();
    std::optional<int> position;
    if (shownPosition(position))
        showAnnulment(position);
    if (!m_renumbered)
        return {};
    txtNumero->setText(*m_renumbered);
    return QStringLiteral("Attenzione: il numero proposto è stato assegnato nel frattempo da "
                          "un'altra postazione. Alla scheda è stato assegnato il numero %1.")
        .arg(*m_renumbered);
}

QString TfrmProtocollo::ownFieldCaption(int field) const {
    // The mail type's buttons stand under this title.
    return field == F::Tipologia ? QStringLiteral("Tipologia posta") : QString();
}

void TfrmProtocollo::openNumbering() {
    TfrmNumerazione dialog(this);
    dialog.setOpenerTag(ArchiveTag::Protocol);
    dialog.exec();
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

void TfrmProtocollo::buildAnnulment() {
    QWidget* panel = panContainer();
    lblAnnullata = named(new QLabel(panel), "lblAnnullata");
    lblAnnullata->setGeometry(kAnnulledMark);
    lblAnnullata->setFont(uiFont(QStringLiteral("Verdana"), 11, true));
    lblAnnullata->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);
    lblAnnullata->setIndent(6);
    QPalette red = lblAnnullata->palette();
    red.setColor(QPalette::Window, kAnnulledRed);
    red.setColor(QPalette::WindowText, Qt::white);
    lblAnnullata->setPalette(red);
    lblAnnullata->setAutoFillBackground(true);
    lblAnnullata->hide();

    cmdAnnulla = addButton(panel, QStringLiteral("cmdAnnulla"), QStringLiteral("Annulla scheda"),
                           kAnnulCommand);
    cmdAnnulla->setEnabled(false);
    hints()->setHint(cmdAnnulla,
                     QStringLiteral("Annulla la scheda corrente: resta in archivio con il segno "
                                    "ANNULLATA, il motivo e chi l'ha autorizzata."));
    connect(cmdAnnulla, &QPushButton::clicked, this, &TfrmProtocollo::annulCard);
}

void TfrmProtocollo::showAnnulment(std::optional<int> position) {
    m_annulment.reset();
    if (position) {
        const Annulments::Reading reading = Annulments::read(archive().path());
        if (reading.damaged() && !std::exchange(m_damageReported, true))
            Messages::warning(this,
                              kAnnulmentsDamaged.arg(
                                  QFileInfo(Annulments::pathFor(archive().path())).fileName()));
        if (const Annulments::Annulment* found = reading.find(*position))
            m_annulment = *found;
    }
    if (m_annulment) {
        const QString mark = Annulments::markText(*m_annulment);
        lblAnnullata->setText(lblAnnullata->fontMetrics().elidedText(
            mark, Qt::ElideRight, kAnnulledMark.width() - 2 * lblAnnullata->indent()));
        // The whole mark, however long the reason, on the hint line.
        hints()->setHint(lblAnnullata, mark);
    }
    lblAnnullata->setVisible(bool(m_annulment));
    cmdAnnulla->setVisible(!m_annulment);
    cmdAnnulla->setEnabled(position && !m_annulment);
}

void TfrmProtocollo::loadCard(const Record& record, int position) {
    CardWindow::loadCard(record, position);
    showAnnulment(position);
}

QString TfrmProtocollo::fieldText(const QString& controlName) const {
    if (controlName != QLatin1String("lblAnnullata"))
        return CardWindow::fieldText(controlName);
    return m_annulment ? Annulments::markLines(*m_annulment).join(u'\n') : QString();
}

bool TfrmProtocollo::maySave() {
    if (!m_annulment)
        return true;
    Messages::warning(this, kAnnulledNoSave);
    return false;
}

void TfrmProtocollo::saveRefused(int position) {
    // Another copy annulled the card after it was shown here.
    showAnnulment(position);
    Messages::warning(this, kAnnulledNoSave);
}

void TfrmProtocollo::addToJournaling(RecordArchive::Journaling& journaling) const {
    const QString path = archive().path();
    Annulments::install(journaling, path);
}

void TfrmProtocollo::annulCard() {
    std::optional<int> position;
    if (!shownPosition(position)) {
        showAccessError();
        return;
    }
    if (!position) {
        Messages::warning(this, kNotStored);
        return;
    }
    showAnnulment(position);
    if (m_annulment) {
        Messages::warning(this, kAlreadyAnnulled);
        return;
    }
    // The card as stored, whatever was typed over it since.
    const auto stored = archive().read(*position);
    if (!stored) {
        showAccessError();
        return;
    }
    const QString number = TextField::trimBlanks(stored->text(F::Numero));
    const auto answer = TfrmAnnulla::askFor(this, number);
    if (!answer)
        return;
    const RecordArchive target = journaledArchive(Journal::Kind::Annulment);
    const RecordArchive::Journaling& journaling = *target.journaling();
    if (!target.annotate(*position,
                         Annulments::entries(journaling.identity, journaling.at, *position, number,
                                             answer->reason, answer->authorisedBy))) {
        showAnnulment(position);
        if (m_annulment)
            Messages::warning(this, kAlreadyAnnulled); // by another copy meanwhile
        else
            showAccessError();
        return;
    }
    CardWindow::loadCard(*stored, *position);
    showAnnulment(position);
    Messages::information(this, kAnnulled);
}
