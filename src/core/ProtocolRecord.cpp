#include "ProtocolRecord.h"

#include <QFileInfo>

const RecordLayout& ProtocolRecord::layout() {
    // clang-format off
    static const RecordLayout table{
        {"Numero", 0, 16},        {"Tipologia", 17, 20},     {"DataReg", 38, 10},
        {"Ufficio", 49, 50},      {"Operatore", 100, 50},    {"Categoria", 151, 50},
        {"Collocazione", 202, 120}, {"Oggetto", 323, 250},   {"DataSpe", 574, 10},
        {"DataRic", 585, 10},     {"Formato", 596, 50},      {"Pagine", 647, 12},
        {"Riferimenti", 660, 250}, {"Note", 911, 250},       {"Mittente", 1162, 120},
        {"RecapitoMit", 1283, 120}, {"Destinatario", 1404, 120}, {"RecapitoDes", 1525, 120},
        {"Copia", 1646, 250},     {"File01", 1897, 250},     {"File02", 2148, 250},
        {"File03", 2399, 250},    {"Desc01", 2650, 250},     {"Desc02", 2901, 250},
        {"Desc03", 3152, 250},
    };
    // clang-format on
    return table;
}

Journal::Identity ProtocolRecord::journalIdentity(const QString& path) {
    return {QStringLiteral("Protocollo ") + QFileInfo(path).completeBaseName(),
            [](const Record& record, int) { return record.text(Numero); }};
}
