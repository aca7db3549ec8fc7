#include "ProtocolGenerator.h"

#include "GeneratorParts.h"
#include "core/ShortDate.h"

#include <QStringView>
#include <algorithm>
#include <initializer_list>

namespace {

using namespace GeneratorParts;

// ---------------------------------------------------------------------------------------
// Word lists of the register. The sources stay ASCII, so accented letters are written as
// \u escapes.

// The people who keep the register.
constexpr QStringView kStaff[] = {
    u"Giulia Ferrari",  u"Marco Colombo", u"Francesca Ricci",
    u"Luca Marino",     u"Chiara Gallo",  u"Niccol\u00f2 Zappal\u00e0",
    u"Elena Conti",     u"Paolo Mancini", u"Sara De Luca",
    u"Davide Lombardi", u"Anna D'Angelo", u"Stefano Mul\u00e8",
};

// Own domains for e-mail addresses; one per seed.
constexpr QStringView kOwnDomains[] = {u"studioferricolombo", u"consorziovalleserena",
                                       u"fondazionearcobaleno", u"cooperativailponte"};

enum TypeMask { E = 1, U = 2, I = 4 };

struct Subject {
    QStringView category;
    int types;
    QStringView text;
};

// Placeholders: {N} {NN} numbers, {F} invoice, {D} past date, {DF} later date, {E} euro
// amount, {C} city, {Y} year, {P} previous year, {M} previous month, {S} street,
// {T} supply, {O} office, {PN} person, {CODE} {CIG} {RR} codes, {PR} earlier protocol no.
constexpr Subject kSubjects[] = {
    {u"Fatture", E, u"Fattura n. {F} del {D} per \u20ac {E}"},
    {u"Fatture", E, u"Fattura elettronica n. {F} \u2013 fornitura di {T}"},
    {u"Fatture", E, u"Nota di credito n. {F} del {D} per \u20ac {E}"},
    {u"Fatture", E, u"Sollecito di pagamento della fattura n. {F} del {D}"},
    {u"Fatture", E, u"Rettifica della fattura n. {F}: importo corretto \u20ac {E}"},
    {u"Fatture", U, u"Sollecito di pagamento: fattura n. {F} scaduta il {D}"},
    {u"Fatture", U, u"Contestazione della fattura n. {F}: importo non corrispondente all'ordine"},
    {u"Fatture", U, u"Trasmissione della fattura n. {F} per \u20ac {E}"},
    {u"Contratti", E,
     u"Contratto di manutenzione dell'impianto di riscaldamento \u2013 rinnovo annuale"},
    {u"Contratti", E, u"Proposta di contratto per la fornitura di {T}"},
    {u"Contratti", E, u"Proroga dei termini di consegna dei lavori al {DF}"},
    {u"Contratti", U, u"Disdetta del contratto di locazione dell'immobile in {S}"},
    {u"Contratti", U, u"Restituzione del contratto n. {N}/{Y} firmato per accettazione"},
    {u"Contratti", I, u"Bozza del contratto di servizio da rivedere prima della firma"},
    {u"Corrispondenza", E, u"Ringraziamento per la collaborazione"},
    {u"Corrispondenza", E, u"Richiesta di appuntamento per il giorno {DF}"},
    {u"Corrispondenza", E, u"Comunicazione di variazione dell'indirizzo della sede legale"},
    {u"Corrispondenza", E, u"Avviso di ricevimento della raccomandata n. {RR}"},
    {u"Corrispondenza", U, u"Risposta alla Vs. lettera del {D}"},
    {u"Corrispondenza", U | E, u"Invio della documentazione richiesta"},
    {u"Corrispondenza", U, u"Auguri di buon lavoro al nuovo direttore"},
    {u"Comunicazioni", E, u"Comunicazione di chiusura degli uffici il {DF} per la festivit\u00e0"},
    {u"Comunicazioni", E, u"Avviso di interruzione dell'energia elettrica in {S} il {DF}"},
    {u"Comunicazioni", E, u"Variazione delle coordinate bancarie: nuovo IBAN"},
    {u"Comunicazioni", E, u"Esito della verifica periodica degli estintori"},
    {u"Comunicazioni", U, u"Comunicazione del nuovo IBAN per i pagamenti"},
    {u"Comunicazioni", I, u"Chiusura degli uffici il {DF}: turni di presenza"},
    {u"Comunicazioni", I, u"Aggiornamento della rubrica telefonica interna"},
    {u"Preventivi", U, u"Richiesta di preventivo per la fornitura di {T}"},
    {u"Preventivi", U, u"Accettazione del preventivo n. {N} del {D}"},
    {u"Preventivi", E, u"Preventivo per la fornitura di {T}: \u20ac {E} + IVA"},
    {u"Preventivi", E,
     u"Offerta economica per il servizio di pulizia degli uffici: \u20ac {E} + IVA"},
    {u"Preventivi", E, u"Preventivo per la sostituzione delle finestre del piano terra"},
    {u"Preventivi", I, u"Confronto dei preventivi ricevuti per {T}"},
    {u"Richieste", E, u"Richiesta di accesso agli atti ai sensi della L. 241/1990"},
    {u"Richieste", E, u"Richiesta di informazioni sullo stato della pratica n. {N}/{Y}"},
    {u"Richieste", E, u"Richiesta di rimborso spese di trasferta: \u20ac {E}"},
    {u"Richieste", E, u"Richiesta di copia conforme del certificato di agibilit\u00e0"},
    {u"Richieste", E, u"Richiesta di attivazione di un tirocinio curricolare"},
    {u"Richieste", U, u"Richiesta di documentazione integrativa per la pratica n. {N}/{Y}"},
    {u"Richieste", I, u"Richiesta di ferie a partire dal {DF}"},
    {u"Richieste", I, u"Richiesta di acquisto di {T}"},
    {u"Circolari", I, u"Circolare n. {N}/{Y}: orario estivo degli uffici"},
    {u"Circolari", I, u"Circolare n. {N}/{Y}: uso della posta elettronica certificata"},
    {u"Circolari", I, u"Ordine di servizio: turni di apertura al pubblico"},
    {u"Circolari", I, u"Corso di formazione obbligatoria sulla sicurezza: calendario"},
    {u"Circolari", E, u"Circolare INPS n. {N} del {D} \u2013 chiarimenti sui contributi"},
    {u"Circolari", U, u"Circolare ai clienti: novit\u00e0 fiscali per l'anno {Y}"},
    {u"Reclami", E, u"Reclamo per ritardo nella consegna della merce ordinata il {D}"},
    {u"Reclami", E, u"Segnalazione di un disservizio allo sportello: attesa di pi\u00f9 di un'ora"},
    {u"Reclami", E, u"Lamentela per la mancata risposta alla nostra lettera del {D}"},
    {u"Reclami", U, u"Reclamo per la fornitura di {T} non conforme all'ordine"},
    {u"Reclami", U, u"Risposta al reclamo del {D}"},
    {u"Ordini", U, u"Ordine n. {N}/{Y} per la fornitura di {T}"},
    {u"Ordini", U, u"Annullamento dell'ordine n. {N}/{Y}"},
    {u"Ordini", E, u"Conferma d'ordine n. {N} del {D}"},
    {u"Ordini", E, u"Documento di trasporto n. {N} \u2013 consegna di {T}"},
    {u"Atti giudiziari", E, u"Notifica di atto di citazione \u2013 udienza del {DF}"},
    {u"Atti giudiziari", E, u"Decreto ingiuntivo n. {N}/{Y} del Tribunale di {C}"},
    {u"Atti giudiziari", E, u"Sentenza n. {N}/{Y} \u2013 causa civile R.G. {NN}/{P}"},
    {u"Atti giudiziari", U, u"Costituzione in giudizio: trasmissione della procura al legale"},
    {u"Tributi e contributi", E, u"Avviso di accertamento n. {CODE} \u2013 anno d'imposta {P}"},
    {u"Tributi e contributi", E, u"Certificato di regolarit\u00e0 contributiva (DURC)"},
    {u"Tributi e contributi", E,
     u"Comunicazione di irregolarit\u00e0 \u2013 dichiarazione IVA {P}"},
    {u"Tributi e contributi", E, u"Avviso di pagamento della TARI {Y}: \u20ac {E}"},
    {u"Tributi e contributi", U, u"Modello F24 \u2013 versamento dell'IVA del mese di {M}"},
    {u"Tributi e contributi", U, u"Istanza di rateizzazione della cartella n. {CODE}"},
    {u"Personale", I, u"Certificazione Unica {P} dei dipendenti"},
    {u"Personale", I, u"Nuovo orario di lavoro del personale \u2013 {O}"},
    {u"Personale", I, u"Piano delle ferie estive: preferenze entro il {DF}"},
    {u"Personale", E, u"Domanda di assunzione come impiegato amministrativo"},
    {u"Personale", E, u"Certificato medico per assenza dal {D}"},
    {u"Personale", U, u"Lettera di benvenuto al nuovo personale"},
    {u"Convocazioni e verbali", E, u"Convocazione dell'assemblea ordinaria"},
    {u"Convocazioni e verbali", E,
     u"Invito alla riunione sulla sicurezza dei luoghi di lavoro \u2013 {DF}"},
    {u"Convocazioni e verbali", U, u"Convocazione dell'assemblea ordinaria per il giorno {DF}"},
    {u"Convocazioni e verbali", U, u"Trasmissione del verbale della riunione del {D}"},
    {u"Convocazioni e verbali", I, u"Verbale della riunione di coordinamento del {D}"},
    {u"Convocazioni e verbali", I, u"Verbale di sopralluogo presso la sede di {C}"},
    {u"Pratiche tecniche", E, u"Trasmissione documentazione per la pratica edilizia n. {N}/{Y}"},
    {u"Pratiche tecniche", E, u"Relazione tecnica sulla verifica dell'impianto elettrico"},
    {u"Pratiche tecniche", E, u"Esito della gara d'appalto per la fornitura di arredi"},
    {u"Pratiche tecniche", E,
     u"Certificazione di conformit\u00e0 dell'impianto di condizionamento"},
    {u"Pratiche tecniche", U,
     u"Richiesta di sopralluogo per infiltrazioni d'acqua al secondo piano"},
    {u"Pratiche tecniche", I, u"Progetto \u00abUfficio senza carta\u00bb: stato di avanzamento"},
};

enum class Channel { Paper, Electronic, Pec, Fax };

struct Format {
    QStringView name;
    Channel channel;
};

constexpr Format kInFormats[] = {
    {u"Posta ordinaria", Channel::Paper},
    {u"Posta ordinaria", Channel::Paper},
    {u"Raccomandata A/R", Channel::Paper},
    {u"Raccomandata A/R", Channel::Paper},
    {u"PEC", Channel::Pec},
    {u"PEC", Channel::Pec},
    {u"PEC", Channel::Pec},
    {u"E-mail", Channel::Electronic},
    {u"E-mail", Channel::Electronic},
    {u"Fax", Channel::Fax},
    {u"Consegna a mano", Channel::Paper},
    {u"A4", Channel::Paper},
    {u"PDF", Channel::Electronic},
};
constexpr Format kOutFormats[] = {
    {u"Raccomandata A/R", Channel::Paper},
    {u"Raccomandata A/R", Channel::Paper},
    {u"PEC", Channel::Pec},
    {u"PEC", Channel::Pec},
    {u"PEC", Channel::Pec},
    {u"E-mail", Channel::Electronic},
    {u"Posta ordinaria", Channel::Paper},
    {u"A4", Channel::Paper},
    {u"PDF", Channel::Electronic},
    {u"Raccomandata a mano", Channel::Paper},
    {u"Fax", Channel::Fax},
};
constexpr Format kInternalFormats[] = {
    {u"A4", Channel::Paper},
    {u"A4", Channel::Paper},
    {u"A4 fronte/retro", Channel::Paper},
    {u"E-mail", Channel::Electronic},
    {u"PDF", Channel::Electronic},
    {u"Consegna a mano", Channel::Paper},
};

constexpr QStringView kPages[] = {u"1", u"1", u"1", u"1", u"2",  u"2",  u"2",  u"3", u"3",
                                  u"4", u"5", u"6", u"8", u"10", u"12", u"15", u"24"};

constexpr QStringView kPlaces[] = {
    u"Armadio {AL}, ripiano {1-5}",
    u"Archivio corrente, faldone {1-80}",
    u"Archivio corrente, faldone {1-80}",
    u"Archivio storico, scaffale {AL}, faldone {1-40}",
    u"Schedario {1-4}, cassetto {1-6}",
    u"{O}, raccoglitore \u00ab{CAT} {Y}\u00bb",
    u"Cassettiera della segreteria, cartella {1-20}",
};
constexpr QStringView kDigitalPlaces[] = {
    u"Archivio digitale, cartella {CAT} {Y}",
    u"Solo digitale (casella PEC)",
    u"Server, cartella Protocollo\\{Y}\\{CAT}",
};

constexpr QStringView kReferences[] = {
    u"Vs. prot. n. {NN} del {D}",    u"Ns. prot. n. {PR}",    u"Rif. pratica n. {N}/{Y}",
    u"In risposta alla Vs. del {D}", u"Contratto n. {N}/{P}", u"CIG {CIG}",
    u"Ordine n. {N}/{Y} del {D}",    u"Fattura n. {F}",       u"Cod. cliente {NN}",
    u"Segue ns. prot. n. {PR}",      u"Vs. e-mail del {D}",
};

constexpr QStringView kNotes[] = {
    u"Originale consegnato alla Direzione",
    u"Da archiviare dopo la firma del responsabile",
    u"Pagata con bonifico del {DF}",
    u"Sollecitato per telefono il {DF}",
    u"Copia inviata anche via PEC",
    u"In attesa di risposta",
    u"Urgente: scadenza il {DF}",
    u"Visto dal responsabile dell'ufficio",
    u"Inoltrata a: {O}, per competenza",
    u"Allegati consegnati in busta separata",
    u"Pratica chiusa",
    u"Contiene dati personali: non fotocopiare",
    u"Firmata digitalmente",
    u"Ricevuta di ritorno pervenuta il {DF}",
    u"Gi\u00e0 protocollata via e-mail il {D}: \u00e8 un duplicato",
    u"Consegnata a mano da {PN}",
    u"Affidata a {PN} per l'istruttoria",
    u"Importo gi\u00e0 impegnato: \u20ac {E}",
    u"Perch\u00e9 manca la firma? Chiedere chiarimenti al mittente",
};

struct Attachment {
    QStringView file;
    QStringView description;
};

constexpr Attachment kAttachments[] = {
    {u"planimetria_piano_terra.pdf", u"Planimetria del piano terra"},
    {u"fattura_{NN}.xml", u"Fattura elettronica (formato XML)"},
    {u"foto_sopralluogo_{N}.jpg", u"Fotografie del sopralluogo"},
    {u"elenco_fornitori_{Y}.xlsx", u"Elenco dei fornitori qualificati"},
    {u"verbale_firmato.pdf", u"Verbale firmato da entrambe le parti"},
    {u"ricevuta_consegna_pec.eml", u"Ricevuta di consegna della PEC"},
    {u"documento_identita.pdf", u"Documento d'identit\u00e0 del richiedente"},
    {u"visura_camerale.pdf", u"Visura camerale aggiornata"},
    {u"capitolato_tecnico.docx", u"Capitolato tecnico e disciplinare di gara"},
    {u"preventivo_{N}.pdf", u"Preventivo dettagliato con i prezzi unitari (\u20ac)"},
    {u"lettera_di_accompagnamento.odt", u"Lettera di accompagnamento"},
};

constexpr QStringView kScanKinds[] = {u"lettera", u"fattura",   u"contratto",
                                      u"verbale", u"documento", u"ricevuta"};

// Words for the cards filled to capacity.
constexpr QStringView kLongSentences[] = {
    u"Si trasmette in allegato la documentazione richiesta, completa dei documenti indicati "
    u"nella Vs. lettera.",
    u"L'importo complessivo di \u20ac 12.480,00 \u00e8 comprensivo di IVA e delle spese di "
    u"trasporto.",
    u"Si prega di dare riscontro entro trenta giorni dal ricevimento della presente.",
    u"La pratica \u00e8 stata esaminata dall'ufficio competente, che ne ha verificato la "
    u"regolarit\u00e0.",
    u"Per chiarimenti rivolgersi alla segreteria, dal luned\u00ec al venerd\u00ec, dalle 9.00 alle "
    u"12.30.",
    u"Restando in attesa di un cortese riscontro, si porgono distinti saluti.",
    u"Il termine per le osservazioni scade il trentesimo giorno successivo alla notifica.",
    u"Si ricorda che la mancata risposta comporter\u00e0 l'archiviazione della richiesta.",
    u"Citt\u00e0, via e numero civico sono stati verificati sull'elenco aggiornato.",
};
constexpr QStringView kFileWords[] = {
    u"scansione", u"documentazione", u"completa", u"allegati",  u"pratica",  u"edilizia",
    u"verbale",   u"sopralluogo",    u"fattura",  u"fornitore", u"versione", u"definitiva",
};

// ---------------------------------------------------------------------------------------

// What one card needs while its texts are being made.
struct CardContext {
    Rng& rng;
    QDate date;
    int year;
    int index;
    QStringView category;

    void put(QStringView key, QString& out) {
        if (key == u"N")
            out += QString::number(rng.between(1, 999));
        else if (key == u"NN")
            out += QString::number(rng.between(100, 99999));
        else if (key == u"F")
            out += invoiceNumber(rng, year);
        else if (key == u"D")
            out += ShortDate::format(date.addDays(-rng.between(1, 60)));
        else if (key == u"DF")
            out += ShortDate::format(date.addDays(rng.between(3, 60)));
        else if (key == u"E")
            out += euro(rng);
        else if (key == u"C")
            out += rng.pick(kCities).name;
        else if (key == u"Y")
            out += QString::number(year);
        else if (key == u"P")
            out += QString::number(year - 1);
        else if (key == u"M")
            out += kMonths[static_cast<std::size_t>((date.month() + 10) % 12)];
        else if (key == u"S")
            out += cat({rng.pick(kStreets), u" ", QString::number(rng.between(1, 120))});
        else if (key == u"T")
            out += rng.pick(kSupplies);
        else if (key == u"O")
            out += rng.pick(kOffices);
        else if (key == u"PN")
            out += personName(rng);
        else if (key == u"CODE")
            out += code(rng, 12, u"0123456789ABCDEFGHJKLMNPRSTUVWXYZ");
        else if (key == u"CIG")
            out += u'Z' + code(rng, 9, u"0123456789ABCDEF");
        else if (key == u"RR")
            out += code(rng, 12, u"0123456789");
        else if (key == u"PR") // an earlier card, or one of last year for the first
            out += index > 0
                       ? cat({QString::number(rng.between(1, index)), u"/", QString::number(year)})
                       : cat({QString::number(rng.between(100, 5000)), u"/",
                              QString::number(year - 1)});
        else if (key == u"AL")
            out += QChar(u'A' + rng.below(6));
        else if (key == u"CAT")
            out += category;
        else if (key == u"1-4" || key == u"1-5" || key == u"1-6" || key == u"1-20" ||
                 key == u"1-40" || key == u"1-80")
            out += QString::number(rng.between(1, key.mid(2).toInt()));
        else
            Q_ASSERT_X(false, "ProtocolGenerator", "unknown placeholder");
    }

    QString text(QStringView pattern) {
        return expand(pattern, [this](QStringView key, QString& out) { put(key, out); });
    }
};

// How to reach a party through the channel the paper travels on.
QString contact(Rng& rng, const Party& p, Channel channel) {
    switch (channel) {
    case Channel::Pec:
        if (!p.pec.isEmpty())
            return p.pec;
        break;
    case Channel::Electronic:
        if (!p.email.isEmpty())
            return p.email;
        break;
    case Channel::Fax:
        return cat({u"Fax ", p.phone});
    case Channel::Paper:
        break;
    }
    if (rng.percent(10))
        return cat({p.postal, u" - tel. ", p.phone});
    return p.postal;
}

// The office's own address: the same on every card of a register.
QString ownContact(quint32 seed, const City& home, QStringView domain, Channel channel) {
    switch (channel) {
    case Channel::Pec:
        return cat({u"protocollo@pec.", domain, u".it"});
    case Channel::Electronic:
        return cat({u"segreteria@", domain, u".it"});
    case Channel::Fax:
        return cat({u"Fax ", home.prefix, u" 2145800"});
    case Channel::Paper:
        break;
    }
    Rng fixed(mix(seed ^ 0x6F776E61ULL));
    return postalAddress(fixed, home);
}

QString internalContact(Rng& rng) {
    if (rng.percent(50))
        return cat({u"Interno ", QString::number(rng.between(200, 299))});
    return cat({u"Piano ", QString::number(rng.between(0, 3)), u", stanza ",
                QString::number(rng.between(1, 24))});
}

QString fileToCapacity(QString base, int capacity, Rng& rng) {
    const QStringView ext = u".pdf";
    const int stem = capacity - static_cast<int>(ext.size());
    base = toCapacity(std::move(base), stem, u"_", inTurn(rng, kFileWords));
    if (base.back() == u'_')
        base.back() = u'x';
    return cat({base, ext});
}

int capacity(ProtocolRecord::Field f) {
    return ProtocolRecord::layout().field(f).capacity;
}

} // namespace

ProtocolGenerator::ProtocolGenerator(quint32 seed, int year)
    : m_seed(seed), m_year(std::clamp(year, 1900, 9999)) {
    m_home = static_cast<int>(mix(seed) % std::size(kCities));

    // Working days: no weekends, no national holidays.
    const QDate first(m_year, 1, 1);
    // Easter Sunday (anonymous Gregorian algorithm), for Easter Monday.
    const int a = m_year % 19, b = m_year / 100, c = m_year % 100, d = b / 4, e = b % 4;
    const int f = (b + 8) / 25, g = (b - f + 1) / 3, h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4, k = c % 4, l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31, day = (h + l - 7 * m + 114) % 31 + 1;
    const QDate easterMonday = QDate(m_year, month, day).addDays(1);
    const int holidays[][2] = {{1, 1},  {1, 6},  {4, 25}, {5, 1},   {6, 2},
                               {8, 15}, {11, 1}, {12, 8}, {12, 25}, {12, 26}};
    for (QDate date = first; date.year() == m_year; date = date.addDays(1)) {
        if (date.dayOfWeek() >= 6 || date == easterMonday)
            continue;
        const bool holiday =
            std::any_of(std::begin(holidays), std::end(holidays), [&](const int* md) {
                return date.month() == md[0] && date.day() == md[1];
            });
        if (!holiday)
            m_workingDays.push_back(date);
    }
}

QDate ProtocolGenerator::registrationDate(int index, int count) const {
    const qint64 n = static_cast<qint64>(m_workingDays.size());
    const qint64 total = std::max(count, 1);
    const qint64 at = std::clamp<qint64>(index, 0, total - 1);
    return m_workingDays[static_cast<std::size_t>(at * n / total)];
}

ProtocolRecord ProtocolGenerator::card(int index, int count) const {
    using R = ProtocolRecord;
    Rng rng(mix(mix((static_cast<quint64>(m_seed) << 32) | static_cast<quint32>(m_year)) +
                static_cast<quint64>(static_cast<quint32>(index))));
    const City& home = kCities[static_cast<std::size_t>(m_home)];
    const QStringView ownDomain = kOwnDomains[m_seed % std::size(kOwnDomains)];
    const QDate date = registrationDate(index, count);

    const int typeRoll = rng.below(100);
    const int type = typeRoll < 55 ? E : typeRoll < 88 ? U : I;

    // A subject that suits the mail type; its category follows.
    const Subject* subject = &rng.pick(kSubjects);
    while ((subject->types & type) == 0)
        subject = &rng.pick(kSubjects);
    CardContext ctx{rng, date, m_year, index, subject->category};

    const Format& format = type == E   ? rng.pick(kInFormats)
                           : type == U ? rng.pick(kOutFormats)
                                       : rng.pick(kInternalFormats);
    const QStringView office = rng.pick(kOffices);
    const QStringView operatorName = rng.pick(kStaff);

    R r;
    QString number = QString::number(index + 1);
    if (!rng.percent(3))
        number += cat({u"/", QString::number(m_year)});
    r.setText(R::Numero, number);
    r.setText(R::Tipologia, type == E   ? MailType::Entrata
                            : type == U ? MailType::Uscita
                                        : MailType::Interna);
    r.setText(R::DataReg, ShortDate::format(date));
    r.setText(R::Ufficio, office.toString());
    r.setText(R::Operatore, operatorName.toString());
    r.setText(R::Categoria, subject->category.toString());
    r.setText(R::Oggetto, ctx.text(subject->text));
    r.setText(R::Formato, format.name.toString());
    if (!rng.percent(4))
        r.setText(R::Pagine, rng.pick(kPages).toString());

    const bool electronic = format.channel == Channel::Pec || format.channel == Channel::Electronic;
    if (!rng.percent(4)) {
        r.setText(R::Collocazione, electronic && rng.percent(60)
                                       ? ctx.text(rng.pick(kDigitalPlaces))
                                       : ctx.text(rng.pick(kPlaces)));
    }
    if (!rng.percent(20))
        r.setText(R::Riferimenti, ctx.text(rng.pick(kReferences)));
    if (!rng.percent(25))
        r.setText(R::Note, ctx.text(rng.pick(kNotes)));

    // Dates of dispatch and receipt, around the registration date.
    const bool sameDay = format.channel != Channel::Paper;
    QDate sent;
    QDate received;
    if (type == E) {
        received = rng.percent(70) ? date : date.addDays(-rng.between(1, 3));
        sent = sameDay ? received : received.addDays(-rng.between(1, 7));
        if (rng.percent(5))
            received = {};
    } else if (type == U) {
        sent = rng.percent(60) ? date : date.addDays(rng.between(1, 3));
        if (sameDay)
            received = sent;
        else if (format.name == u"Raccomandata A/R" && rng.percent(70))
            received = sent.addDays(rng.between(1, 6));
    } else if (!rng.percent(30)) {
        sent = date;
        received = rng.percent(70) ? date : date.addDays(1);
    }
    if (rng.percent(20))
        sent = {};
    if (sent.isValid())
        r.setText(R::DataSpe, ShortDate::format(sent));
    if (received.isValid())
        r.setText(R::DataRic, ShortDate::format(received));

    // Who sends and who receives: the office is one end of external mail.
    const QString officeName =
        rng.percent(20) ? cat({office, u" - ", operatorName}) : office.toString();
    if (type == E) {
        const Party from = externalParty(rng);
        r.setText(R::Mittente, from.name);
        r.setText(R::RecapitoMit, contact(rng, from, format.channel));
        r.setText(R::Destinatario, officeName);
        if (rng.percent(50))
            r.setText(R::RecapitoDes, ownContact(m_seed, home, ownDomain, format.channel));
    } else if (type == U) {
        const Party to = externalParty(rng);
        r.setText(R::Mittente, officeName);
        if (rng.percent(50))
            r.setText(R::RecapitoMit, ownContact(m_seed, home, ownDomain, format.channel));
        r.setText(R::Destinatario, to.name);
        r.setText(R::RecapitoDes, contact(rng, to, format.channel));
    } else {
        QStringView other = rng.pick(kOffices);
        if (other == office)
            other = office == u"Direzione" ? u"Segreteria" : u"Direzione";
        r.setText(R::Mittente, officeName);
        r.setText(R::Destinatario, other.toString());
        if (rng.percent(50))
            r.setText(R::RecapitoMit, internalContact(rng));
        if (rng.percent(50))
            r.setText(R::RecapitoDes, internalContact(rng));
    }

    // Scanned copy and attachments on a few cards.
    const bool full = isFullCard(index);
    const bool scanned = full || rng.percent(6);
    int files = scanned ? rng.below(4) : (rng.percent(2) ? 1 : 0);
    if (scanned) {
        r.setText(R::Copia, cat({u"scansione_", rng.pick(kScanKinds), u"_",
                                 QString::number(index + 1).rightJustified(4, u'0'), u".pdf"}));
    }
    if (full)
        files = 3;
    for (int n = 0; n < files; ++n) {
        const Attachment& a = rng.pick(kAttachments);
        r.setText(static_cast<R::Field>(R::File01 + n), ctx.text(a.file));
        if (!rng.percent(15))
            r.setText(static_cast<R::Field>(R::Desc01 + n), ctx.text(a.description));
    }

    if (full) {
        const auto fill = [&](R::Field f, QStringView separator, auto next) {
            r.setText(f, toCapacity(r.text(f), capacity(f), separator, next));
        };
        const auto fillWithSentences = [&](R::Field f) {
            QString text = r.text(f);
            if (!text.isEmpty() && !text.endsWith(u'.'))
                text += u'.';
            r.setText(f, toCapacity(text, capacity(f), u" ", inTurn(rng, kLongSentences)));
        };
        for (R::Field f : {R::Oggetto, R::Note, R::Desc01, R::Desc02, R::Desc03})
            fillWithSentences(f);
        fill(R::Riferimenti, u"; ", [&] { return ctx.text(rng.pick(kReferences)); });
        fill(R::Collocazione, u", ", inTurn(rng, kLongPlaces));
        for (R::Field f : {R::Mittente, R::Destinatario})
            fill(f, u" - ", inTurn(rng, kLongNameParts));
        for (R::Field f : {R::RecapitoMit, R::RecapitoDes}) {
            if (r.text(f).isEmpty())
                r.setText(f, ownContact(m_seed, home, ownDomain, Channel::Paper));
            fill(f, u", ", inTurn(rng, kLongAddressParts));
        }
        for (R::Field f : {R::Copia, R::File01, R::File02, R::File03}) {
            QString base = r.text(f);
            base.chop(base.size() - std::max<qsizetype>(base.lastIndexOf(u'.'), 0));
            r.setText(f, fileToCapacity(base, capacity(f), rng));
        }
    }
    return r;
}

bool ProtocolGenerator::writeRegister(const QString& path, int count, QString* error) const {
    return writeRecords(
        path, count, ProtocolRecord::layout().size(),
        [&](int index) { return card(index, count).bytes(); }, error);
}
