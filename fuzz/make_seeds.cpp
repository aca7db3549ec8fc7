// Writes the seed inputs of the fuzz targets with the program's own code, so that they
// follow the formats when these change: fuzz_seeds <corpus folder>.
#include "core/BackupManifest.h"
#include "core/Cp1252.h"
#include "core/Credential.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

bool save(const QString& folder, const QString& name, const QByteArray& bytes) {
    QDir().mkpath(folder);
    QFile file(folder + u'/' + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file.fileName()));
        return false;
    }
    return true;
}

// A settings writer's input: the section, key and value written, then the file.
QByteArray writerInput(const QString& section, const QString& key, const QString& value,
                       const QByteArray& file) {
    QByteArray input;
    for (const QString& name : {section, key, value})
        input += char(name.toUtf8().size());
    return input + section.toUtf8() + key.toUtf8() + value.toUtf8() + file;
}

QByteArray utf16WithMark(const QString& text, bool littleEndian) {
    QByteArray bytes = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF), high = char(c.unicode() >> 8);
        bytes.append(littleEndian ? low : high).append(littleEndian ? high : low);
    }
    return bytes;
}

ProtocolRecord card() {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, QStringLiteral("127/2026"));
    r.setText(ProtocolRecord::Tipologia, MailType::Entrata);
    r.setText(ProtocolRecord::DataReg, QStringLiteral("14/03/2026"));
    r.setText(ProtocolRecord::Ufficio, QStringLiteral("Segreteria"));
    r.setText(ProtocolRecord::Operatore, QStringLiteral("Rossi Maria"));
    r.setText(ProtocolRecord::Categoria, QStringLiteral("Fatture"));
    r.setText(ProtocolRecord::Collocazione, QStringLiteral("Armadio 2, ripiano B"));
    r.setText(ProtocolRecord::Oggetto,
              QStringLiteral("Fattura n. 58 per manutenzione caldaia, € 1.240,00 (IVA inclusa)"));
    r.setText(ProtocolRecord::DataSpe, QStringLiteral("10/03/2026"));
    r.setText(ProtocolRecord::DataRic, QStringLiteral("13/03/2026"));
    r.setText(ProtocolRecord::Formato, QStringLiteral("Cartaceo"));
    r.setText(ProtocolRecord::Pagine, QStringLiteral("3"));
    r.setText(ProtocolRecord::Riferimenti, QStringLiteral("Contratto del 02/01/2026"));
    r.setText(ProtocolRecord::Note, QStringLiteral("Pagamento entro trenta giorni"));
    r.setText(ProtocolRecord::Mittente, QStringLiteral("Termoidraulica Bellù S.r.l."));
    r.setText(ProtocolRecord::RecapitoMit, QStringLiteral("Via dei Mille 12, 25121 Brescia"));
    r.setText(ProtocolRecord::Destinatario, QStringLiteral("Studio Associato"));
    r.setText(ProtocolRecord::Copia,
              QStringLiteral("\"C:\\Faldora\\Documenti_Allegati\\127.pdf\""));
    r.setText(ProtocolRecord::File01, QStringLiteral("\"C:\\Documenti\\preventivo.pdf\""));
    r.setText(ProtocolRecord::Desc01, QStringLiteral("Preventivo accettato"));
    return r;
}

// An input of fuzz_storedname: flags (bit 0, 1: the first, second name is UTF-16), the first
// name's length in two bytes, the two names.
QByteArray namePair(const QString& first, bool firstUtf16, const QString& second,
                    bool secondUtf16) {
    const auto bytes = [](const QString& name, bool utf16) {
        if (!utf16)
            return name.toUtf8();
        QByteArray out;
        for (QChar c : name) {
            out += char(c.unicode() & 0xFF);
            out += char(c.unicode() >> 8);
        }
        return out;
    };
    const QByteArray a = bytes(first, firstUtf16);
    QByteArray input;
    input += char((firstUtf16 ? 1 : 0) | (secondUtf16 ? 2 : 0));
    input += char(a.size() >> 8);
    input += char(a.size() & 0xFF);
    return input + a + bytes(second, secondUtf16);
}

DocumentRecord document() {
    DocumentRecord r;
    r.setText(DocumentRecord::Documento, QStringLiteral("Sentenza del tribunale di Bolzano"));
    r.setText(DocumentRecord::Protocollo, QStringLiteral("45/2026"));
    r.setText(DocumentRecord::Produttore, QStringLiteral("Tribunale di Bolzano"));
    r.setText(DocumentRecord::DataPro, QStringLiteral("14/03/2026"));
    r.setText(DocumentRecord::Destinatario, QStringLiteral("Studio Zanetti"));
    r.setText(DocumentRecord::Oggetto, QStringLiteral("Ricorso n. 12, spese € 350,00"));
    r.setText(DocumentRecord::Note, QStringLiteral("Copia conforme: ÿ"));
    r.setText(DocumentRecord::Copia, QStringLiteral("Sentenza 45.pdf"));
    r.setToComplete(true);
    return r;
}

// An input that libFuzzer's FuzzedDataProvider reads back as the values given, in the order
// the target asks for them: strings from the front, integers from the back.
class ProviderInput {
public:
    void string(QByteArrayView text, qsizetype maxLength) {
        for (const char c : text)
            m_front += c == '\\' ? QByteArray("\\\\") : QByteArray(1, c);
        if (text.size() < maxLength)
            m_front += "\\ "; // the end of the string
    }
    void text(const QString& text, qsizetype maxLength) { string(Cp1252::encode(text), maxLength); }
    // A value of min..max, as ConsumeIntegralInRange(min, max) reads it.
    void integral(long long value, long long min, long long max) {
        const auto range = static_cast<unsigned long long>(max - min);
        const auto offset = static_cast<unsigned long long>(value - min);
        int bytes = 0;
        while (bytes < 8 && (range >> (8 * bytes)) > 0)
            ++bytes;
        for (int i = bytes - 1; i >= 0; --i)
            m_back += char((offset >> (8 * i)) & 0xFF);
    }
    void boolean(bool value) { m_back += char(value ? 1 : 0); }
    QByteArray bytes() const {
        QByteArray back = m_back;
        std::reverse(back.begin(), back.end());
        return m_front + back;
    }

private:
    QByteArray m_front;
    QByteArray m_back; // in the order read, from the end of the input
};

// fuzz_search: the cards given as fields written over an empty card.
struct SearchSeed {
    bool documents;
    QList<std::pair<int, QString>> filters;
    QString key;
    QList<QList<std::pair<int, QString>>> cards;
};

QByteArray searchInput(const SearchSeed& seed) {
    const RecordLayout& layout =
        seed.documents ? DocumentRecord::layout() : ProtocolRecord::layout();
    const int fields = layout.fieldCount() - 1;
    ProviderInput in;
    in.boolean(seed.documents);
    in.boolean(false); // the archive's own line
    in.integral(seed.filters.size(), 0, 4);
    for (const auto& [field, text] : seed.filters) {
        in.integral(field, 0, fields);
        in.text(text, 16);
    }
    in.text(seed.key, 16);
    in.integral(seed.cards.size(), 1, 12);
    for (qsizetype c = 0; c < seed.cards.size(); ++c) {
        if (c > 0)
            in.boolean(false); // not a copy of an earlier card
        in.integral(seed.cards[c].size(), 0, 6);
        for (const auto& [field, text] : seed.cards[c]) {
            Record record(layout);
            record.setText(field, text);
            const FieldSpec& f = layout.field(field);
            in.integral(field, 0, fields);
            in.string(record.bytes().sliced(f.offset, 1 + quint8(record.bytes()[f.offset])), 64);
        }
    }
    return in.bytes();
}

// fuzz_export: a worksheet, its columns (title, width) and the rows' cells.
QByteArray exportInput(const QString& sheet, const QList<std::pair<QString, int>>& columns,
                       const QList<QStringList>& rows) {
    ProviderInput in;
    in.text(sheet, 32);
    in.integral(columns.size(), 1, 4);
    for (const auto& [title, width] : columns) {
        in.text(title, 16);
        in.integral(width, 0, 1000);
    }
    in.integral(rows.size(), 0, 6);
    for (const QStringList& row : rows) {
        for (const QString& cell : row)
            in.text(cell, 48);
    }
    return in.bytes();
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_seeds CORPUS_FOLDER\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString record = root + QStringLiteral("/record");
    const QString settings = root + QStringLiteral("/settings");
    const QString credential = root + QStringLiteral("/credential");
    const QString storedName = root + QStringLiteral("/storedname");
    const QString writer = root + QStringLiteral("/settings_writer");
    const QString search = root + QStringLiteral("/search");
    const QString exported = root + QStringLiteral("/export");
    const QString journal = root + QStringLiteral("/journal");

    // A changed field with every escaped character, and the closing entry of its save.
    Journal::Entry changed{QDateTime(QDate(2026, 3, 5), QTime(10, 30, 15)),
                           QStringLiteral("Protocollo 2026"),
                           Journal::Kind::Rewrite,
                           12,
                           QStringLiteral("12/2026"),
                           QStringLiteral("Note"),
                           QStringLiteral("Città\\tab\there"),
                           QStringLiteral("riga uno\r\nriga due €"),
                           Journal::digest(Journal::kHeader),
                           {}};
    const QByteArray changedLine = Journal::line(changed);
    Journal::Entry closing{changed.at,
                           changed.archive,
                           Journal::Kind::Close,
                           12,
                           changed.card,
                           {},
                           QString::fromLatin1(Journal::digest("before")),
                           QString::fromLatin1(Journal::digest("after")),
                           changed.own,
                           {}};
    const QByteArray closingLine = Journal::line(closing);
    const QString fingerprints = root + QStringLiteral("/fingerprints");
    const QByteArray sum = Journal::digest("allegato");

    const QByteArray full = card().bytes();
    // A register cut in the middle of its last card, and one whose length bytes all claim
    // more than their fields hold, with bytes beyond the record.
    QByteArray overlong = full;
    for (const FieldSpec& f : ProtocolRecord::layout().fields())
        overlong[f.offset] = '\xFF';
    overlong += QByteArray(97, 'x');

    const QByteArray delivered = "[Numerazione Protocollo]\r\n"
                                 "Inizio=100\r\n"
                                 "Indicazione Anno Solare=S\xEC\r\n"
                                 "\r\n"
                                 "[Protocollo Documenti]\r\n"
                                 "Ufficio=Segreteria\r\n"
                                 "Operatore=Rossi Maria\r\n";
    // Written by hand: other line ends, spaces, quotes, case and a repeated key.
    const QByteArray edited = "; a mano\n"
                              "[ numerazione protocollo ]\n"
                              "  inizio = 7 \n"
                              "Inizio=9\n"
                              "INDICAZIONE ANNO SOLARE=\"No\"\n"
                              "[Protocollo Documenti]\n"
                              "Ufficio=\"  Ufficio Tecnico  \"\n"
                              "Operatore";
    // An office name pasted into the file, longer than the reader keeps.
    const QByteArray pasted = "[Protocollo Documenti]\r\nUfficio=" + QByteArray(2100, 'U') + "\r\n";

    const QString numbering = QStringLiteral("Numerazione Protocollo");
    const QString card = QStringLiteral("Protocollo Documenti");
    const QString deliveredText = Cp1252::decode(delivered);

    const QByteArray documentCard = document().bytes();

    using P = ProtocolRecord::Field;
    using D = DocumentRecord::Field;
    const SearchSeed protocolSearch = {
        false,
        {{P::Oggetto, QStringLiteral("FATTURA z")}, {P::Mittente, QStringLiteral("  ")}},
        QStringLiteral("zeta"),
        {{{P::Numero, QStringLiteral("12/2026")},
          {P::DataReg, QStringLiteral("05/03/2026")},
          {P::Oggetto, QStringLiteral("Fattura z per Zanzibar ÿ")},
          {P::Mittente, QStringLiteral("Zeta  S.r.l.")}},
         {{P::Numero, QStringLiteral("12/2026")},
          {P::Oggetto, QStringLiteral("FATTURA Z")},
          {P::Destinatario, QStringLiteral("Comune di Bolzano ÿ")}},
         {{P::Numero, QStringLiteral("9/2026")}, {P::Oggetto, QStringLiteral("fattura zz")}}}};
    const SearchSeed documentSearch = {
        true,
        {{D::Documento, QStringLiteral("sentenz")}},
        QStringLiteral("<Z>"),
        {{{D::Documento, QStringLiteral("Sentenze <z>")}, {D::Protocollo, QStringLiteral("1/ÿ")}},
         {{D::Documento, QStringLiteral("Sentenza <Z>")}, {D::Protocollo, QStringLiteral("1/")}},
         {{D::Documento, QStringLiteral("SENTENZA")}, {D::DataPro, QStringLiteral("01/01/2026")}},
         {{D::Documento, QStringLiteral("sentenza")}, {D::Produttore, QStringLiteral("€ Ÿ ÿ")}}}};

    bool ok =
        save(record, QStringLiteral("protocol_card"), full) &&
        save(record, QStringLiteral("document_card"), documentCard) &&
        save(record, QStringLiteral("cut_document_card"), documentCard.first(2484)) &&
        save(search, QStringLiteral("protocol"), searchInput(protocolSearch)) &&
        save(search, QStringLiteral("documents"), searchInput(documentSearch)) &&
        save(exported, QStringLiteral("protocol"),
             exportInput(
                 QStringLiteral("Protocollo Posta"),
                 {{QStringLiteral("N. protocollo"), 200},
                  {QStringLiteral("Oggetto"), 300},
                  {QStringLiteral("Note"), 300}},
                 {{QStringLiteral("12/2026"), QStringLiteral("Offerta <urgente> & riservata"),
                   QStringLiteral("  nota  ")},
                  {QStringLiteral("007"), QStringLiteral("riga uno\r\nriga due"),
                   QStringLiteral("=1+1 \\ fine")}})) &&
        save(exported, QStringLiteral("documents"),
             exportInput(QStringLiteral("Schedario Documenti"),
                         {{QStringLiteral("Da completare"), 120}},
                         {{DocumentRecord::Yes}, {DocumentRecord::No}, {QString()}})) &&
        save(journal, QStringLiteral("changed_field"), changedLine) &&
        save(journal, QStringLiteral("closing_entry"), closingLine) &&
        save(journal, QStringLiteral("changed_field_columns"),
             changedLine.first(changedLine.lastIndexOf('\t'))) &&
        save(fingerprints, QStringLiteral("two_cards"),
             Fingerprints::bytes({{QStringLiteral("Protocollo 2026"), 1, QStringLiteral("Copia"),
                                   QStringLiteral("lettera del 5 marzo.pdf"), sum},
                                  {QStringLiteral("Protocollo 2026"), 2, QStringLiteral("File03"),
                                   QStringLiteral("tab\tnel nome"), sum}})) &&
        save(fingerprints, QStringLiteral("damaged"),
             Fingerprints::bytes({{QStringLiteral("Schedario documenti"), 7,
                                   QStringLiteral("File01"), QStringLiteral("Città.pdf"), sum}},
                                 {"Schedario documenti\t8\tNote\tx\t" + sum, "riga\tcorta"})) &&
        save(record, QStringLiteral("cut_card"), full.first(1000)) &&
        save(record, QStringLiteral("overlong_lengths"), overlong) &&
        save(settings, QStringLiteral("delivered.ini"), delivered) &&
        save(settings, QStringLiteral("edited.ini"), edited) &&
        save(settings, QStringLiteral("pasted.ini"), pasted) &&
        save(writer, QStringLiteral("start_number"),
             writerInput(numbering, QStringLiteral("Inizio"), QStringLiteral("50"), delivered)) &&
        save(writer, QStringLiteral("new_key_in_hand_edited"),
             writerInput(card, QStringLiteral("Operatore"), QStringLiteral("Bianchi"), edited)) &&
        save(
            writer, QStringLiteral("new_file"),
            writerInput(numbering, QStringLiteral("Indicazione Anno Solare"), Settings::Yes, {})) &&
        save(writer, QStringLiteral("utf8_with_mark"),
             writerInput(card, QStringLiteral("Ufficio"), QStringLiteral("Città"),
                         "\xEF\xBB\xBF" + deliveredText.toUtf8())) &&
        save(writer, QStringLiteral("utf16le_new_section"),
             writerInput(QStringLiteral("Altro"), QStringLiteral("Chiave"), QStringLiteral("Sì"),
                         utf16WithMark(deliveredText, true))) &&
        save(writer, QStringLiteral("utf16be_odd_end"),
             writerInput(numbering, QStringLiteral("Inizio"), QStringLiteral("7"),
                         utf16WithMark(deliveredText.chopped(2), false) + 'x')) &&
        save(credential, QStringLiteral("first_access"),
             Credential::storedForm(QStringLiteral("lucernavolpina")).toLatin1()) &&
        save(credential, QStringLiteral("code_page"),
             Credential::storedForm(QStringLiteral("Caffè €uro 2026 àèìòù")).toLatin1()) &&
        save(storedName, QStringLiteral("cyrillic_pair"),
             namePair(QStringLiteral("Договор.pdf"), false, QStringLiteral("Справка.pdf"), true)) &&
        save(storedName, QStringLiteral("devices"),
             namePair(QStringLiteral("CON.txt"), true, QStringLiteral("nul"), false)) &&
        save(storedName, QStringLiteral("ends"),
             namePair(QStringLiteral("fine."), false, QStringLiteral("fine "), false)) &&
        save(storedName, QStringLiteral("long_and_kept"),
             namePair(QString(251, u'a') + QStringLiteral(".pdf"), false,
                      QStringLiteral("Perché è così.pdf"), true));
    // Lists of contents: one as a backup writes it, and one whose paths try to lead out.
    const QString manifests = root + QStringLiteral("/backup_manifest");
    BackupManifest::Manifest manifest{BackupManifest::programVersion(),
                                      BackupManifest::kFormat,
                                      QDateTime(QDate(2026, 3, 5), QTime(10, 30)),
                                      {{QStringLiteral("2026.prt"), 3403, sum},
                                       {QStringLiteral("2026.prt.cronologia"), 120, sum},
                                       {QStringLiteral("Documenti_Allegati/Città €.pdf"), 9, sum}}};
    ok = ok && save(manifests, QStringLiteral("backup"), BackupManifest::write(manifest));
    manifest.files = {{QStringLiteral("../2026.prt"), 1, sum},
                      {QStringLiteral("Documenti_Allegati\\..\\x"), 1, sum},
                      {QStringLiteral("C:2026.prt"), 1, sum}};
    ok = ok && save(manifests, QStringLiteral("leading_out"), BackupManifest::write(manifest));
    return ok ? 0 : 1;
}
