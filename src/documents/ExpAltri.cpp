#include "ExpAltri.h"

#include "core/DocumentRecord.h"
#include "ui/Widgets.h"

namespace {

using F = DocumentRecord::Field;

// The row number, then 22 fields; the grid's widths are the window's own, the file's are
// those of the export target.
QList<RecordGridModel::Column> columns() {
    return {
        {"colNum", QStringLiteral("N."), 60, true, -1},
        {"colDocumento", QStringLiteral("Documento"), 300, true, F::Documento},
        {"colProtocollo", QStringLiteral("Protocollo n."), 160, true, F::Protocollo},
        {"colProduttore", QStringLiteral("Produttore"), 250, true, F::Produttore},
        {"colIndirizzoPro", QStringLiteral("Indirizzo produttore"), 300, true, F::IndirizzoPro},
        {"colDataPro", QStringLiteral("Data produzione"), 180, false, F::DataPro},
        {"colDestinatario", QStringLiteral("Destinatario"), 250, false, F::Destinatario},
        {"colIndirizzoDes", QStringLiteral("Indirizzo destinatario"), 300, true, F::IndirizzoDes},
        {"colDataDes", QStringLiteral("Data ricezione"), 180, true, F::DataDes},
        {"colOggetto", QStringLiteral("Oggetto"), 350, true, F::Oggetto},
        {"colTipo", QStringLiteral("Tipo documento"), 250, true, F::Tipo},
        {"colClassificazione", QStringLiteral("Classificazione"), 250, false, F::Classificazione},
        {"colFascicolo", QStringLiteral("Fascicolo contenitore"), 250, false, F::Fascicolo},
        {"colFormato", QStringLiteral("Formato"), 200, true, F::Formato},
        {"colPagine", QStringLiteral("N. pagine"), 180, true, F::Pagine},
        {"colAllegati", QStringLiteral("Allegati"), 300, false, F::Allegati},
        {"colRiferimenti", QStringLiteral("Riferimenti"), 300, true, F::Riferimenti},
        {"colLivello", QStringLiteral("Livello di riservatezza"), 250, true, F::Livello},
        {"colSoftware", QStringLiteral("Software di produzione"), 250, true, F::Software},
        {"colLuogo", QStringLiteral("Luogo conservazione"), 250, false, F::Luogo},
        {"colSoggetti", QStringLiteral("Soggetti citati nel documento"), 300, false, F::Soggetti},
        {"colNote", QStringLiteral("Note"), 300, false, F::Note},
        {"colDaCompletare", QStringLiteral("Da completare"), 120, false, F::DaCompletare},
    };
}

GridWindow::Setup setup() {
    GridWindow::Setup s = GridWindow::exportWindow();
    s.caption = QStringLiteral(" Esporta schedario documenti in Microsoft Excel");
    s.banner.resource = artwork("esporta_schedario_banner");
    s.columns = columns();
    s.layout = &DocumentRecord::layout();
    s.target = Spreadsheet::documentExport();
    s.help = HelpTopics::documentExport();
    return s;
}

} // namespace

TfrmExpAltri::TfrmExpAltri(QWidget* opener, const QString& indexPath)
    : GridWindow(opener, indexPath, setup()) {
    setObjectName(QStringLiteral("frmExpAltri"));
}
