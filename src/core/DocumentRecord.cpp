#include "DocumentRecord.h"

#include "RecordArchive.h"

const RecordLayout& DocumentRecord::layout() {
    // clang-format off
    static const RecordLayout table{
        {"Documento", 0, 120},        {"Protocollo", 121, 30},     {"Produttore", 152, 50},
        {"IndirizzoPro", 203, 120},   {"DataPro", 324, 10},        {"Destinatario", 335, 50},
        {"IndirizzoDes", 386, 120},   {"DataDes", 507, 10},        {"Oggetto", 518, 250},
        {"Tipo", 769, 50},            {"Classificazione", 820, 50}, {"Fascicolo", 871, 120},
        {"Formato", 992, 50},         {"Pagine", 1043, 30},        {"Allegati", 1074, 250},
        {"Riferimenti", 1325, 250},   {"Livello", 1576, 50},       {"Software", 1627, 50},
        {"Luogo", 1678, 50},          {"Soggetti", 1729, 250},     {"Note", 1980, 250},
        {"Copia", 2231, 250},         {"DaCompletare", 2482, 2},   {"File01", 2485, 250},
        {"File02", 2736, 250},        {"File03", 2987, 250},       {"Desc01", 3238, 250},
        {"Desc02", 3489, 250},        {"Desc03", 3740, 250},
    };
    // clang-format on
    return table;
}

Journal::Identity DocumentRecord::journalIdentity(const QString&) {
    return {QStringLiteral("Schedario documenti"),
            [](const Record&, int position) { return QString::number(position); }};
}

namespace DocumentArchive {

RecordArchive in(const QString& programFolder) {
    return RecordArchive(programFolder + FileName, DocumentRecord::layout());
}

} // namespace DocumentArchive
