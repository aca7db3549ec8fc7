#include "ProtocolGrid.h"

#include "core/Annulments.h"
#include "core/ProtocolRecord.h"

namespace ProtocolGrid {

using F = ProtocolRecord::Field;

QList<RecordGridModel::Column> columns() {
    return {
        {"colNum", QStringLiteral("N."), 60, true, -1},
        {"colNumero", QStringLiteral("N. protocollo"), 180, false, F::Numero},
        {"colTipologia", QStringLiteral("Tipologia posta"), 250, false, F::Tipologia},
        {"colDataReg", QStringLiteral("Data registrazione"), 150, true, F::DataReg},
        {"colUfficio", QStringLiteral("Ufficio"), 250, true, F::Ufficio},
        {"colOperatore", QStringLiteral("Operatore"), 250, true, F::Operatore},
        {"colCategoria", QStringLiteral("Categoria"), 250, true, F::Categoria},
        {"colCollocazione", QStringLiteral("Collocazione documento cartaceo"), 300, false,
         F::Collocazione},
        {"colOggetto", QStringLiteral("Oggetto"), 300, false, F::Oggetto},
        {"colDataSpe", QStringLiteral("Data spedizione"), 180, false, F::DataSpe},
        {"colDataRic", QStringLiteral("Data ricezione"), 180, false, F::DataRic},
        {"colFormato", QStringLiteral("Formato"), 250, false, F::Formato},
        {"colPagine", QStringLiteral("N. pagine"), 180, false, F::Pagine},
        {"colRiferimenti", QStringLiteral("Riferimenti"), 300, false, F::Riferimenti},
        {"colNote", QStringLiteral("Note"), 350, false, F::Note},
        {"colMittente", QStringLiteral("Mittente"), 250, false, F::Mittente},
        {"colRecapitoMit", QStringLiteral("Recapito mittente"), 250, false, F::RecapitoMit},
        {"colDestinatario", QStringLiteral("Destinatario"), 250, false, F::Destinatario},
        {"colRecapitoDes", QStringLiteral("Recapito destinatario"), 250, false, F::RecapitoDes},
    };
}

int markColumn() {
    return 1; // colNumero
}

QHash<int, QString> annulmentMarks(const QString& registerPath) {
    QHash<int, QString> marks;
    const Annulments::Reading reading = Annulments::read(registerPath);
    for (const Annulments::Annulment& annulment : reading.byPosition)
        marks.insert(annulment.position, QStringLiteral(" - ") + Annulments::markText(annulment));
    return marks;
}

} // namespace ProtocolGrid
