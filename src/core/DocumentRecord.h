#pragma once

#include "Journal.h"
#include "RecordArchive.h"
#include "RecordLayout.h"

// One card of the document card index: 29 text fields, 3991 bytes.
class DocumentRecord : public Record {
public:
    enum Field {
        Documento,
        Protocollo,
        Produttore,
        IndirizzoPro,
        DataPro,
        Destinatario,
        IndirizzoDes,
        DataDes,
        Oggetto,
        Tipo,
        Classificazione,
        Fascicolo,
        Formato,
        Pagine,
        Allegati,
        Riferimenti,
        Livello,
        Software,
        Luogo,
        Soggetti,
        Note,
        Copia,
        DaCompletare,
        File01,
        File02,
        File03,
        Desc01,
        Desc02,
        Desc03,
        FieldCount
    };

    static const RecordLayout& layout();
    // How the change journal names the card index ("Schedario documenti") and a card in it
    // (its position, the number its window shows).
    static Journal::Identity journalIdentity(const QString& path);

    DocumentRecord() : Record(layout()) {}
    explicit DocumentRecord(QByteArray bytes) : Record(layout(), std::move(bytes)) {}

    QString text(Field f) const { return Record::text(f); }
    void setText(Field f, const QString& value) { Record::setText(f, value); }

    // The to-complete mark: stored as exactly "Sì" or "No"; readers compare the trimmed
    // text exactly, so anything else is neither.
    static inline const QString Yes = QStringLiteral("Sì");
    static inline const QString No = QStringLiteral("No");
    void setToComplete(bool toComplete) { setText(DaCompletare, toComplete ? Yes : No); }
};

// The document card index: one file, "Schedario_Documenti.pro", in the program folder.
namespace DocumentArchive {

inline const QString FileName = QStringLiteral("Schedario_Documenti.pro");

// The archive in `programFolder` (which ends with its separator).
RecordArchive in(const QString& programFolder);

} // namespace DocumentArchive
