#pragma once

#include "Journal.h"
#include "RecordLayout.h"

// One card of a year's protocol register: 25 text fields, 3403 bytes.
class ProtocolRecord : public Record {
public:
    enum Field {
        Numero,
        Tipologia,
        DataReg,
        Ufficio,
        Operatore,
        Categoria,
        Collocazione,
        Oggetto,
        DataSpe,
        DataRic,
        Formato,
        Pagine,
        Riferimenti,
        Note,
        Mittente,
        RecapitoMit,
        Destinatario,
        RecapitoDes,
        Copia,
        File01,
        File02,
        File03,
        Desc01,
        Desc02,
        Desc03,
        FieldCount
    };

    static const RecordLayout& layout();
    // How the change journal names this register ("Protocollo 2026", from the file name of
    // `path`) and a card in it (its number, as "17/2026").
    static Journal::Identity journalIdentity(const QString& path);

    ProtocolRecord() : Record(layout()) {}
    explicit ProtocolRecord(QByteArray bytes) : Record(layout(), std::move(bytes)) {}

    QString text(Field f) const { return Record::text(f); }
    void setText(Field f, const QString& value) { Record::setText(f, value); }
};

// The three stored mail types, compared exactly (case included) after trimming.
namespace MailType {
inline const QString Entrata = QStringLiteral("In entrata");
inline const QString Uscita = QStringLiteral("In uscita");
inline const QString Interna = QStringLiteral("Interna");
} // namespace MailType
