#include "ProtocolGrid.h"

#include "core/ProtocolRecord.h"

namespace ProtocolGrid {

using F = ProtocolRecord::Field;

namespace {
// The record fields of columns 1 to 18, in column order.
constexpr F kFields[] = {F::Numero,      F::Tipologia,    F::DataReg,     F::Ufficio, F::Operatore,
                         F::Categoria,   F::Collocazione, F::Oggetto,     F::DataSpe, F::DataRic,
                         F::Formato,     F::Pagine,       F::Riferimenti, F::Note,    F::Mittente,
                         F::RecapitoMit, F::Destinatario, F::RecapitoDes};
} // namespace

QList<RecordGridModel::Column> columns() {
    return {
        {"colNum", QStringLiteral("N."), 60, true},
        {"colNumero", QStringLiteral("N. protocollo"), 180, false},
        {"colTipologia", QStringLiteral("Tipologia posta"), 250, false},
        {"colDataReg", QStringLiteral("Data registrazione"), 150, true},
        {"colUfficio", QStringLiteral("Ufficio"), 250, true},
        {"colOperatore", QStringLiteral("Operatore"), 250, true},
        {"colCategoria", QStringLiteral("Categoria"), 250, true},
        {"colCollocazione", QStringLiteral("Collocazione documento cartaceo"), 300, false},
        {"colOggetto", QStringLiteral("Oggetto"), 300, false},
        {"colDataSpe", QStringLiteral("Data spedizione"), 180, false},
        {"colDataRic", QStringLiteral("Data ricezione"), 180, false},
        {"colFormato", QStringLiteral("Formato"), 250, false},
        {"colPagine", QStringLiteral("N. pagine"), 180, false},
        {"colRiferimenti", QStringLiteral("Riferimenti"), 300, false},
        {"colNote", QStringLiteral("Note"), 350, false},
        {"colMittente", QStringLiteral("Mittente"), 250, false},
        {"colRecapitoMit", QStringLiteral("Recapito mittente"), 250, false},
        {"colDestinatario", QStringLiteral("Destinatario"), 250, false},
        {"colRecapitoDes", QStringLiteral("Recapito destinatario"), 250, false},
    };
}

QStringList row(int number, const ProtocolRecord& record) {
    QStringList cells;
    cells.reserve(19);
    cells.append(QString::number(number));
    for (F field : kFields)
        cells.append(record.text(field));
    return cells;
}

} // namespace ProtocolGrid
