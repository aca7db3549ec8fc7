#include "TrovaAltri.h"

#include "core/DocumentRecord.h"
#include "ui/ArchiveTag.h"
#include "ui/Widgets.h"

namespace {

using F = DocumentRecord::Field;

SearchWindow::Setup setup() {
    return {
        QStringLiteral(" Trova documenti in archivio"),
        &DocumentRecord::layout(),
        {
            {"txtDocumento", "Documento:", F::Documento, 144, 141},
            {"txtProtocollo", "Protocollo n.", F::Protocollo, 488, 141},
            {"txtProduttore", "Produttore:", F::Produttore, 144, 211},
            {"txtDataPro", "Data produzione (gg/mm/aaaa):", F::DataPro, 488, 211},
            {"txtDestinatario", "Destinatario:", F::Destinatario, 144, 281},
            {"txtOggetto", "Oggetto:", F::Oggetto, 488, 281},
            {"txtTipo", "Tipo documento:", F::Tipo, 144, 351},
            {"txtClassificazione", "Classificazione:", F::Classificazione, 488, 351},
            {"txtRiferimenti", "Riferimenti:", F::Riferimenti, 144, 421},
            {"txtNote", "Note:", F::Note, 488, 421},
        },
        TfrmTrovaAltri::resultLine(),
        ArchiveTag::Documents,
        artwork("trova_schedario_banner"),
        QStringLiteral("Riepilogo documenti"),
        artwork("campi_documenti"),
    };
}

} // namespace

QList<Search::LinePiece> TfrmTrovaAltri::resultLine() {
    return {
        {"", F::Documento, 40},
        {"  Data: ", F::DataPro, 10},
        {"  Da: ", F::Produttore, 30},
        {"  A: ", F::Destinatario, 30},
        {"  Prot. n. ", F::Protocollo, 0},
    };
}

TfrmTrovaAltri::TfrmTrovaAltri(QWidget* opener, CardTarget* cardWindow)
    : SearchWindow(opener, cardWindow, setup()) {
    setObjectName(QStringLiteral("frmTrovaAltri"));
}
