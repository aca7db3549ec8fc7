// Writes the seed inputs of the fuzz targets with the program's own code, so that they
// follow the formats when these change: fuzz_seeds <corpus folder>.
#include "core/Cp1252.h"
#include "core/Credential.h"
#include "core/ProtocolRecord.h"
#include "core/Settings.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdio>

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

    const bool ok =
        save(record, QStringLiteral("protocol_card"), full) &&
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
    return ok ? 0 : 1;
}
