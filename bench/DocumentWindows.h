#pragma once

// The document windows' configurations of the shared pieces, as their description gives
// them (filters, result line, grid columns), for timing the shared machinery on the
// document card index.

#include "core/DocumentRecord.h"
#include "core/Search.h"
#include "ui/GridWindow.h"
#include "ui/SearchWindow.h"

namespace BenchDocuments {

using F = DocumentRecord::Field;

inline QList<Search::LinePiece> resultLine() {
    return {{"", F::Documento, 40},
            {"  Data: ", F::DataPro, 10},
            {"  Da: ", F::Produttore, 30},
            {"  A: ", F::Destinatario, 30},
            {"  Prot. n. ", F::Protocollo, 0}};
}

inline SearchWindow::Setup search() {
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
        resultLine(),
        QStringLiteral("altri"),
        QStringLiteral(":/icons/trova_banner.svg"),
        QStringLiteral("Riepilogo documenti"),
    };
}

inline GridWindow::Setup exportGrid() {
    GridWindow::Setup s;
    s.caption = QStringLiteral(" Esporta schedario documenti in Microsoft Excel");
    s.clientSize = {862, 560};
    s.panelSize = {837, 533};
    s.topBar = {8, 8, 821, 65};
    s.banner = {"imgLogo", QStringLiteral(":/icons/riepilogo_banner.svg"), {13, 13, 505, 55}};
    s.hand = {528, 32, 31, 25};
    s.esporta = {566, 15};
    s.guida = {670, 13};
    s.esci = {766, 15};
    s.grid = {8, 80, 821, 409};
    s.columns = {
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
    s.hintBar = {8, 493, 821, 32};
    s.hintOffset = {6, 6};
    s.initialHint = QStringLiteral("Esportazione archivio in Microsoft Excel.");
    s.layout = &DocumentRecord::layout();
    s.target = Spreadsheet::documentExport();
    s.help = HelpTopics::protocolExport();
    s.loadsOnOpen = true;
    return s;
}

} // namespace BenchDocuments
