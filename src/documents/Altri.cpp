#include "Altri.h"

#include "DaCompletare.h"
#include "ExpAltri.h"
#include "StampaAltri.h"
#include "TrovaAltri.h"
#include "core/DocumentRecord.h"
#include "core/TextField.h"
#include "ui/ArchiveTag.h"
#include "ui/Guida.h"
#include "ui/HelpTopics.h"
#include "ui/HintLine.h"
#include "ui/Messages.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

using F = DocumentRecord::Field;
using C = CardField;

const char* const kNoDocument =
    "Attenzione: per salvare la scheda è necessario indicare il nome del documento.";
const char* const kNoProducer = "Attenzione: per salvare la scheda è necessario indicare il nome "
                                "del produttore del documento.";
const char* const kNoProductionDate = "Attenzione: per salvare la scheda è necessario indicare la "
                                      "data di produzione del documento.";

// The card's fields in tab order, in ten rows: the first three right of the binder picture,
// "Note:" with its caption on its left.
// clang-format off
constexpr CardField kFields[] = {
    C(F::Documento, "txtDocumento", "lblCampo001", "Documento:", 184, 114, 600)
        .enterTo("txtProtocollo").requiredWith(kNoDocument),
    C(F::Protocollo, "txtProtocollo", "lblCampo002", "Protocollo n.", 800, 114, 166)
        .withFlags(C::Centred).enterTo("txtProduttore"),
    C(F::Produttore, "txtProduttore", "lblCampo003", "Produttore:", 184, 160, 250)
        .enterTo("txtIndirizzoPro").requiredWith(kNoProducer),
    C(F::IndirizzoPro, "txtIndirizzoPro", "lblCampo004", "Indirizzo produttore:", 450, 160, 370)
        .enterTo("txtDataPro"),
    C(F::DataPro, "txtDataPro", "lblCampo005", "Data produzione:", 836, 160, 130)
        .withFlags(C::Centred).date("datapro").requiredWith(kNoProductionDate),
    C(F::Destinatario, "txtDestinatario", "lblCampo006", "Destinatario:", 184, 206, 250)
        .enterTo("txtIndirizzoDes"),
    C(F::IndirizzoDes, "txtIndirizzoDes", "lblCampo007", "Indirizzo destinatario:", 450, 206, 370)
        .enterTo("txtDataDes"),
    C(F::DataDes, "txtDataDes", "lblCampo008", "Data ricezione:", 836, 206, 130)
        .withFlags(C::Centred).date("datades"),
    C(F::Oggetto, "txtOggetto", "lblCampo009", "Oggetto:", 28, 258, 938)
        .enterTo("txtTipo"),
    C(F::Tipo, "txtTipo", "lblCampo010", "Tipo documento:", 28, 304, 300)
        .enterTo("txtClassificazione"),
    C(F::Classificazione, "txtClassificazione", "lblCampo011", "Classificazione:", 344, 304, 300)
        .enterTo("txtFascicolo"),
    C(F::Fascicolo, "txtFascicolo", "lblCampo012", "Fascicolo contenitore del documento:",
      660, 304, 306)
        .enterTo("txtFormato"),
    C(F::Formato, "txtFormato", "lblCampo013", "Formato:", 28, 350, 300)
        .enterTo("txtPagine"),
    C(F::Pagine, "txtPagine", "lblCampo014", "N. pagine:", 344, 350, 140)
        .enterTo("txtAllegati"),
    C(F::Allegati, "txtAllegati", "lblCampo015", "Allegati:", 500, 350, 466)
        .enterTo("txtRiferimenti"),
    C(F::Riferimenti, "txtRiferimenti", "lblCampo016", "Riferimenti:", 28, 396, 938)
        .enterTo("txtLivello"),
    C(F::Livello, "txtLivello", "lblCampo017", "Livello di riservatezza:", 28, 442, 300)
        .enterTo("txtSoftware"),
    C(F::Software, "txtSoftware", "lblCampo018", "Software di produzione del documento:",
      344, 442, 300)
        .enterTo("txtLuogo"),
    C(F::Luogo, "txtLuogo", "lblCampo019", "Luogo conservazione originale cartaceo:", 660, 442, 306)
        .enterTo("txtSoggetti"),
    C(F::Soggetti, "txtSoggetti", "lblCampo020", "Soggetti citati nel documento:", 28, 488, 700)
        .enterTo("txtNote"),
    C(F::Note, "txtNote", "lblCampo021", "Note:", 80, 530, 886)
        .withCaptionLeft().enterTo("txtCopia"),
    C(F::Copia, "txtCopia", "lblCampo022", "Copia digitale documento:", 84, 600, 674)
        .withFlags(C::Attachment | C::NoFocusLook),
};
// clang-format on

const QColor kWhite(Qt::white);
const QColor kHintBar(0x30, 0x30, 0xDD);
const QColor kTopBlue(0x42, 0x7A, 0xA8);
const QColor kStripBlue(0x5D, 0x8F, 0xC7);

const QString kDuplicateNew =
    QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto dopo che "
                   "questa è stata inserita in archivio.");
const QString kDuplicated =
    QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda corrente.\n\r\n\r"
                   "Al termine premere Salva per inserire la scheda in archivio.");

} // namespace

TfrmAltri::TfrmAltri()
    : CardWindow(QStringLiteral(" Faldora - Schedario Documenti"), kTopBlue,
                 QStringLiteral("Pronto per archiviare una nuova scheda..."),
                 {&DocumentRecord::layout(), kFields, FocusLook::Colouring, ArchiveTag::Documents,
                  &DocumentRecord::journalIdentity}) {
    setObjectName(QStringLiteral("frmAltri"));
    buildToolbar();
    buildCard();
    buildAttachmentStrip();
    // The hint bar is not among the areas that empty the hint line here.
    addHintBar({16, 642, 962, 36}, kHintBar, HintBar::KeepsHint);
}

void TfrmAltri::buildToolbar() {
    addToolbarGroups();
    addToolbarButton("cmdNuovo", "nuovo", 24,
                     "Prepara la schermata per la registrazione di una nuova scheda.",
                     [this] { PulisciScheda(); });
    addToolbarButton("cmdDuplica", "duplica", 64,
                     "Prepara la schermata per la registrazione di una nuova scheda duplicando i "
                     "dati correnti.",
                     [this] { duplicate(); });
    addToolbarButton("cmdSalva", "salva", 104, "Salva la scheda corrente in archivio.",
                     [this] { saveCard(); });
    addToolbarButton("cmdTrova", "trova", 144, "Trova una scheda in archivio.", [this] {
        TfrmTrovaAltri window(this, this);
        window.setOpenerTag(ArchiveTag::Documents);
        window.exec();
    });
    addFurtherAttachmentsTool({200, 28, 148, 32});
    addPrintTool({368, 28, 148, 32}, [this] { showModal<TfrmStampaAltri>(this, *this); });
    addBrowsingTools(538, 580, 696, 738, 26, {619, 34, 74, 22});
    addToolbarButton("cmdEsporta", "esporta", 795,
                     "Esporta tutte le schede in archivio in un file di Microsoft Excel.",
                     [this] { showModal<TfrmExpAltri>(this, archivePath()); });
    addToolbarButton("cmdDaCompletare", "da_completare", 835,
                     "Visualizza il riepilogo dei documenti non ancora completati.",
                     [this] { showModal<TfrmDaCompletare>(this, this); });
    addHelpAndExit(HelpTopics::documents());
}

void TfrmAltri::buildCard() {
    QWidget* panel = panContainer();
    addArea("shpScheda", {16, 82, 962, 484}, kWhite);
    (new Picture(panel, "icoArchivio", artwork("archivio")))->setGeometry(28, 92, 140, 136);
    buildFields();

    auto* sheet = new Picture(panel, "icoDaCompletare", artwork("matita_foglio"));
    sheet->setGeometry(748, 485, 28, 28);
    hints()->clearsOn(sheet);
    m_toComplete = named(new QCheckBox(QStringLiteral("Da completare"), panel), "chkDaCompletare");
    m_toComplete->setFont(uiFont(QStringLiteral("Verdana"), 12, true));
    m_toComplete->setCursor(Qt::PointingHandCursor);
    m_toComplete->setGeometry(784, 488, 182, 22);
    hints()->setHint(m_toComplete,
                     QStringLiteral("Spunta questa casella per indicare che il documento deve "
                                    "ancora essere completato."));
    // Between the cited subjects and the notes in the tab order; Enter goes past it.
    setTabOrder(field("txtSoggetti"), m_toComplete);
    setTabOrder(m_toComplete, field("txtNote"));
}

void TfrmAltri::buildAttachmentStrip() {
    QWidget* panel = panContainer();
    addArea("shpAllegato", {16, 574, 962, 62}, kStripBlue, kWhite);
    addArea("shpCopia", {26, 580, 50, 50}, kWhite);
    auto* clip = new Picture(panel, "icoCopia", artwork("graffetta"));
    clip->setGeometry(31, 585, 40, 40);
    hints()->clearsOn(clip);
    // The strip lies under the fields made before it: bring them back on top.
    field("txtCopia")->raise();
    panel->findChild<QLabel*>(QStringLiteral("lblCampo022"))->raise();
    addAttachmentStrip({"btnCancella", {765, 600, 22, 22}, {793, 598, 78, 26}, {878, 598, 78, 26}});
}

RecordArchive TfrmAltri::archive() const {
    return DocumentArchive::in(ProgramFolder::path());
}

void TfrmAltri::clearExtras() {
    m_toComplete->setChecked(false);
}

void TfrmAltri::loadExtras(const Record& record) {
    // Anything but an exact "Sì" or "No" leaves the mark as the previous card had it.
    const QString mark = record.text(F::DaCompletare);
    if (mark == DocumentRecord::Yes)
        m_toComplete->setChecked(true);
    else if (mark == DocumentRecord::No)
        m_toComplete->setChecked(false);
}

void TfrmAltri::fillExtras(Record& record) const {
    record.setText(F::DaCompletare,
                   m_toComplete->isChecked() ? DocumentRecord::Yes : DocumentRecord::No);
}

QString TfrmAltri::ownFieldCaption(int field) const {
    return field == F::DaCompletare ? m_toComplete->text() : QString();
}

void TfrmAltri::duplicate() {
    std::optional<int> position;
    if (!shownPosition(position) || !position) {
        Messages::warning(this, kDuplicateNew);
        return;
    }
    forgetStoredState();
    m_toComplete->setChecked(false);
    if (!archive().count()) {
        Messages::warning(this, Messages::kArchiveAccessError);
        return;
    }
    field("txtDocumento")->setFocus();
    Messages::information(this, kDuplicated);
}
