#pragma once

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QStringView>
#include <QtGlobal>
#include <cstddef>
#include <initializer_list>

// What the card generators share: a random generator whose output is fixed by its
// definition, Italian names, places and bodies, and the helpers that put them together.
// The sources stay ASCII, so accented letters are written as \u escapes.
namespace GeneratorParts {

// SplitMix64: small and fast, and its output is fixed by its definition, so the same seed
// gives the same cards on every machine and with every Qt version.
inline quint64 mix(quint64 z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

class Rng {
public:
    explicit Rng(quint64 state) : m_state(state) {}

    quint64 next() {
        m_state += 0x9E3779B97F4A7C15ULL;
        return mix(m_state);
    }
    // 0 <= result < n, for n > 0.
    int below(int n) { return static_cast<int>(((next() >> 32) * static_cast<quint64>(n)) >> 32); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int p) { return below(100) < p; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) {
        return items[static_cast<std::size_t>(below(static_cast<int>(N)))];
    }

private:
    quint64 m_state;
};

struct City {
    QStringView name;
    QStringView cap;
    QStringView province;
    QStringView prefix;
    QStringView region;
};

inline constexpr City kCities[] = {
    {u"Bergamo", u"24121", u"BG", u"035", u"Lombardia"},
    {u"Milano", u"20121", u"MI", u"02", u"Lombardia"},
    {u"Brescia", u"25121", u"BS", u"030", u"Lombardia"},
    {u"Cant\u00f9", u"22063", u"CO", u"031", u"Lombardia"},
    {u"Torino", u"10121", u"TO", u"011", u"Piemonte"},
    {u"Mondov\u00ec", u"12084", u"CN", u"0174", u"Piemonte"},
    {u"Santhi\u00e0", u"13048", u"VC", u"0161", u"Piemonte"},
    {u"Genova", u"16121", u"GE", u"010", u"Liguria"},
    {u"Venezia", u"30124", u"VE", u"041", u"Veneto"},
    {u"Verona", u"37121", u"VR", u"045", u"Veneto"},
    {u"Padova", u"35122", u"PD", u"049", u"Veneto"},
    {u"Trento", u"38122", u"TN", u"0461", u"Trentino-Alto Adige"},
    {u"Bologna", u"40121", u"BO", u"051", u"Emilia-Romagna"},
    {u"Forl\u00ec", u"47121", u"FC", u"0543", u"Emilia-Romagna"},
    {u"Firenze", u"50122", u"FI", u"055", u"Toscana"},
    {u"Perugia", u"06121", u"PG", u"075", u"Umbria"},
    {u"Ancona", u"60121", u"AN", u"071", u"Marche"},
    {u"Roma", u"00184", u"RM", u"06", u"Lazio"},
    {u"L'Aquila", u"67100", u"AQ", u"0862", u"Abruzzo"},
    {u"Napoli", u"80133", u"NA", u"081", u"Campania"},
    {u"Bari", u"70121", u"BA", u"080", u"Puglia"},
    {u"Nard\u00f2", u"73048", u"LE", u"0833", u"Puglia"},
    {u"Catanzaro", u"88100", u"CZ", u"0961", u"Calabria"},
    {u"Palermo", u"90133", u"PA", u"091", u"Sicilia"},
    {u"Patern\u00f2", u"95047", u"CT", u"095", u"Sicilia"},
    {u"Cagliari", u"09124", u"CA", u"070", u"Sardegna"},
};

inline constexpr QStringView kStreets[] = {
    u"Via Garibaldi",
    u"Piazza del Duomo",
    u"Corso Vittorio Emanuele II",
    u"Via Roma",
    u"Viale della Libert\u00e0",
    u"Via XX Settembre",
    u"Via Cavour",
    u"Via Giuseppe Mazzini",
    u"Piazza Municipio",
    u"Largo Augusto",
    u"Via dell'Universit\u00e0",
    u"Via San Francesco d'Assisi",
    u"Via Papa Giovanni XXIII",
    u"Vicolo del Pozzo",
    u"Via Nazionale",
    u"Corso Italia",
    u"Via Dante Alighieri",
    u"Piazza della Repubblica",
    u"Via dei Mille",
    u"Viale Europa",
    u"Via Santa Caterina da Siena",
    u"Via Niccol\u00f2 Tommaseo",
    u"Piazza Cittadella",
    u"Via Fratelli Bandiera",
};

struct FirstName {
    QStringView name;
    bool female;
};

inline constexpr FirstName kFirstNames[] = {
    {u"Marco", false},        {u"Giulia", true},    {u"Francesca", true}, {u"Luca", false},
    {u"Alessandro", false},   {u"Chiara", true},    {u"Paolo", false},    {u"Elena", true},
    {u"Davide", false},       {u"Sara", true},      {u"Giovanni", false}, {u"Federica", true},
    {u"Niccol\u00f2", false}, {u"Lucia", true},     {u"Andrea", false},   {u"Martina", true},
    {u"Stefano", false},      {u"Valentina", true}, {u"Matteo", false},   {u"Anna", true},
    {u"Giuseppe", false},     {u"Maria", true},     {u"Roberto", false},  {u"Silvia", true},
    {u"Fabrizio", false},     {u"Noemi", true},     {u"Raffaele", false}, {u"Ilaria", true},
};

inline constexpr QStringView kSurnames[] = {
    u"Rossi",      u"Bianchi",  u"Ferrari",  u"Esposito", u"Romano",       u"Colombo",
    u"Ricci",      u"Marino",   u"Greco",    u"Bruno",    u"Gallo",        u"Conti",
    u"De Luca",    u"Mancini",  u"Costa",    u"Giordano", u"Rizzo",        u"Lombardi",
    u"Moretti",    u"Barbieri", u"Fontana",  u"Santoro",  u"Mariani",      u"Rinaldi",
    u"Caruso",     u"Ferrara",  u"Galli",    u"Martini",  u"Leone",        u"Longo",
    u"Gentile",    u"Vitale",   u"Serra",    u"Coppola",  u"De Santis",    u"D'Angelo",
    u"Marchetti",  u"Parisi",   u"Villa",    u"Fabbri",   u"Grasso",       u"Sala",
    u"Pellegrini", u"Sanna",    u"Cattaneo", u"Morelli",  u"Zappal\u00e0", u"Carr\u00e0",
    u"Mul\u00e8",  u"Piras",    u"Bellini",  u"Donati",   u"Sartori",      u"Negri",
};

inline constexpr QStringView kMaleTitles[] = {u"Sig.",  u"Sig.",  u"Dott.", u"Avv.", u"Ing.",
                                              u"Arch.", u"Geom.", u"Rag.",  u"Prof."};
inline constexpr QStringView kFemaleTitles[] = {
    u"Sig.ra", u"Sig.ra", u"Dott.ssa", u"Avv.", u"Ing.", u"Arch.", u"Geom.", u"Rag.", u"Prof.ssa"};

inline constexpr QStringView kOffices[] = {
    u"Segreteria",          u"Ufficio tecnico",
    u"Ragioneria",          u"Protocollo generale",
    u"Ufficio legale",      u"Direzione",
    u"Ufficio personale",   u"Ufficio acquisti",
    u"Ufficio commerciale", u"Relazioni con il pubblico",
    u"Servizi informatici", u"Qualit\u00e0 e sicurezza",
};

inline constexpr QStringView kMonths[] = {u"gennaio",   u"febbraio", u"marzo",    u"aprile",
                                          u"maggio",    u"giugno",   u"luglio",   u"agosto",
                                          u"settembre", u"ottobre",  u"novembre", u"dicembre"};

inline constexpr QStringView kSupplies[] = {
    u"materiale di cancelleria",     u"toner per stampanti",
    u"carta A4 riciclata",           u"arredi per ufficio",
    u"personal computer portatili",  u"licenze software",
    u"servizi di pulizia",           u"manutenzione degli ascensori",
    u"buoni pasto elettronici",      u"dispositivi di protezione individuale",
    u"gasolio per il riscaldamento", u"servizi di vigilanza notturna",
};

struct PartyPattern {
    QStringView name;
    QStringView domain; // empty: no e-mail of its own
};

// {SUR} {SUR2} {FIRST} {CITY}, and their lower-case ASCII forms {sur} {sur2} {city}.
inline constexpr PartyPattern kCompanies[] = {
    {u"{SUR} & Figli S.r.l.", u"{sur}efigli"},
    {u"{SUR} Costruzioni S.p.A.", u"{sur}costruzioni"},
    {u"Tipografia {SUR} S.n.c.", u"tipografia{sur}"},
    {u"Studio Legale Associato {SUR} e {SUR2}", u"studiolegale{sur}{sur2}"},
    {u"{SUR} Forniture per Ufficio S.r.l.", u"{sur}forniture"},
    {u"Ferramenta {SUR} di {FIRST} {SUR}", u"ferramenta{sur}"},
    {u"Impresa Edile {SUR} & C. S.a.s.", u"edile{sur}"},
    {u"Studio Tecnico Ing. {FIRST} {SUR}", u"studiotecnico{sur}"},
    {u"Cartoleria {SUR}", u""},
    {u"Officine Meccaniche di {CITY} S.p.A.", u"omc{city}"},
    {u"Caff\u00e8 {SUR} S.r.l.", u"caffe{sur}"},
    {u"Banca Popolare di {CITY} - Filiale di via Roma", u"bancapopolare{city}"},
    {u"Assicurazioni {SUR} & {SUR2} - Agenzia di {CITY}", u"assicurazioni{sur}"},
    {u"Societ\u00e0 Cooperativa Sociale \u00abIl Girasole\u00bb", u"coopilgirasole"},
    {u"Condominio \u00abLe Querce\u00bb - Amm. {FIRST} {SUR}", u""},
    {u"Informatica {CITY} S.r.l.", u"informatica{city}"},
    {u"Poste Italiane S.p.A. - Ufficio di {CITY}", u""},
    {u"Enel Energia S.p.A.", u"enel"},
};

struct PublicOffice {
    QStringView name;
    QStringView email;
    QStringView pec;
};

inline constexpr PublicOffice kPublicOffices[] = {
    {u"Comune di {CITY}", u"protocollo@comune.{city}.it", u"protocollo@pec.comune.{city}.it"},
    {u"Comune di {CITY}", u"protocollo@comune.{city}.it", u"protocollo@pec.comune.{city}.it"},
    {u"Provincia di {CITY}", u"info@provincia.{city}.it", u"protocollo@pec.provincia.{city}.it"},
    {u"Agenzia delle Entrate - Direzione Provinciale di {CITY}", u"dp.{city}@agenziaentrate.it",
     u"dp.{city}@pce.agenziaentrate.it"},
    {u"INPS - Sede di {CITY}", u"sede.{city}@inps.it",
     u"direzione.provinciale.{city}@postacert.inps.gov.it"},
    {u"INAIL - Sede di {CITY}", u"{city}@inail.it", u"{city}@postacert.inail.it"},
    {u"Camera di Commercio di {CITY}", u"info@{city}.camcom.it", u"cciaa@pec.{city}.camcom.it"},
    {u"Tribunale di {CITY}", u"tribunale.{city}@giustizia.it",
     u"prot.tribunale.{city}@giustiziacert.it"},
    {u"Prefettura di {CITY} - Ufficio Territoriale del Governo", u"prefettura.{city}@interno.it",
     u"protocollo.pref{city}@pec.interno.it"},
    {u"Comando Provinciale dei Vigili del Fuoco di {CITY}", u"comando.{city}@vigilfuoco.it",
     u"com.{city}@cert.vigilfuoco.it"},
    {u"Universit\u00e0 degli Studi di {CITY}", u"info@uni{city}.it",
     u"protocollo@pec.uni{city}.it"},
    {u"Regione {REGION}", u"protocollo@regione.{region}.it", u"protocollo@pec.regione.{region}.it"},
};

inline constexpr QStringView kLongPlaces[] = {
    u"armadio B",
    u"ripiano 3",
    u"faldone 12",
    u"cartella \u00abFornitori\u00bb",
    u"busta trasparente",
    u"secondo cassetto",
    u"scatola d'archivio n. 7",
    u"sala riunioni al primo piano",
    u"scaffale metallico a destra dell'ingresso",
    u"sotto la pratica precedente",
};
inline constexpr QStringView kLongNameParts[] = {
    u"Divisione servizi generali",
    u"Ufficio amministrazione e contabilit\u00e0",
    u"Sezione contratti e appalti",
    u"alla cortese attenzione del responsabile",
    u"sede operativa di Citt\u00e0 di Castello",
    u"reparto manutenzione e sicurezza",
};
inline constexpr QStringView kLongAddressParts[] = {
    u"presso il Centro direzionale \u00abLe Torri\u00bb",
    u"scala B",
    u"terzo piano",
    u"interno 14",
    u"casella postale 112",
    u"orario di apertura dalle 9.00 alle 12.30",
    u"citofono \u00abUffici\u00bb",
    u"ingresso dal cortile interno",
};

// Concatenation without QStringBuilder, which cannot mix QStringView and char16_t literals
// in every supported Qt version.
inline QString cat(std::initializer_list<QStringView> parts) {
    qsizetype size = 0;
    for (QStringView part : parts)
        size += part.size();
    QString out;
    out.reserve(size);
    for (QStringView part : parts)
        out.append(part);
    return out;
}

// Lower-case ASCII letters and digits only, for e-mail addresses.
inline QString slug(QStringView text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        char16_t u = c.toLower().unicode();
        switch (u) {
        case u'\u00e0':
            u = u'a';
            break;
        case u'\u00e8':
        case u'\u00e9':
            u = u'e';
            break;
        case u'\u00ec':
            u = u'i';
            break;
        case u'\u00f2':
            u = u'o';
            break;
        case u'\u00f9':
            u = u'u';
            break;
        default:
            break;
        }
        if ((u >= u'a' && u <= u'z') || (u >= u'0' && u <= u'9'))
            out.append(QChar(u));
    }
    return out;
}

// Replaces each {KEY} of `pattern` with what `lookup(KEY, out)` appends.
template <typename Lookup> QString expand(QStringView pattern, Lookup&& lookup) {
    QString out;
    out.reserve(pattern.size() + 24);
    qsizetype from = 0;
    while (from < pattern.size()) {
        const qsizetype open = pattern.indexOf(u'{', from);
        if (open < 0) {
            out.append(pattern.mid(from));
            break;
        }
        const qsizetype close = pattern.indexOf(u'}', open);
        out.append(pattern.mid(from, open - from));
        lookup(pattern.mid(open + 1, close - open - 1), out);
        from = close + 1;
    }
    return out;
}

inline QString euro(Rng& rng) {
    const int roll = rng.below(100);
    const qint64 units = roll < 60   ? rng.between(20, 2000)
                         : roll < 90 ? rng.between(2000, 20000)
                                     : rng.between(20000, 150000);
    const int cents = rng.percent(50) ? 0 : rng.below(100);
    QString digits = QString::number(units);
    for (qsizetype at = digits.size() - 3; at > 0; at -= 3)
        digits.insert(at, u'.');
    return cat({digits, u",", QString::number(cents).rightJustified(2, u'0')});
}

inline QString invoiceNumber(Rng& rng, int year) {
    const int n = rng.between(1, 2500);
    switch (rng.below(4)) {
    case 0:
        return cat({QString::number(year), u"/", QString::number(n)});
    case 1:
        return cat({QString::number(n), u"/PA"});
    case 2:
        return cat({u"FT", QString::number(n).rightJustified(5, u'0')});
    default:
        return QString::number(n);
    }
}

inline QString code(Rng& rng, int length, QStringView alphabet) {
    QString out(length, Qt::Uninitialized);
    for (QChar& c : out)
        c = alphabet[rng.below(static_cast<int>(alphabet.size()))];
    return out;
}

inline QString personName(Rng& rng) {
    const QStringView first = rng.pick(kFirstNames).name;
    return cat({first, u" ", rng.pick(kSurnames)});
}

inline QString postalAddress(Rng& rng, const City& city) {
    QString number = QString::number(rng.percent(30) ? rng.between(1, 9) : rng.between(1, 180));
    if (rng.percent(8))
        number += u"/A";
    return cat({rng.pick(kStreets), u" ", number, u", ", city.cap, u" ", city.name, u" (",
                city.province, u")"});
}

inline QString phoneNumber(Rng& rng, const City& city) {
    return cat({city.prefix, u" ", QString::number(rng.between(200000, 9999999))});
}

struct Party {
    QString name;
    QString postal;
    QString email;
    QString pec;
    QString phone;
};

inline Party externalParty(Rng& rng) {
    const City& city = rng.pick(kCities);
    const FirstName& first = rng.pick(kFirstNames);
    const QStringView surname = rng.pick(kSurnames);
    QStringView surname2 = rng.pick(kSurnames);
    if (surname2 == surname)
        surname2 = u"Moretti";
    const auto lookup = [&](QStringView key, QString& out) {
        if (key == u"SUR")
            out += surname;
        else if (key == u"SUR2")
            out += surname2;
        else if (key == u"FIRST")
            out += first.name;
        else if (key == u"CITY")
            out += city.name;
        else if (key == u"REGION")
            out += city.region;
        else if (key == u"sur")
            out += slug(surname);
        else if (key == u"sur2")
            out += slug(surname2);
        else if (key == u"city")
            out += slug(city.name);
        else if (key == u"region")
            out += slug(city.region);
    };

    Party p;
    p.postal = postalAddress(rng, city);
    p.phone = phoneNumber(rng, city);
    const int kind = rng.below(100);
    if (kind < 40) {
        const PartyPattern& c = rng.pick(kCompanies);
        p.name = expand(c.name, lookup);
        if (!c.domain.isEmpty()) {
            const QString domain = expand(c.domain, lookup);
            p.email = cat({u"info@", domain, u".it"});
            p.pec = cat({domain, rng.percent(50) ? u"@legalmail.it" : u"@pec.it"});
        }
    } else if (kind < 75) {
        const PublicOffice& o = rng.pick(kPublicOffices);
        p.name = expand(o.name, lookup);
        p.email = expand(o.email, lookup);
        p.pec = expand(o.pec, lookup);
    } else {
        const QStringView title = first.female ? rng.pick(kFemaleTitles) : rng.pick(kMaleTitles);
        p.name = cat({title, u" ", first.name, u" ", surname});
        const QString local = cat({slug(first.name), u".", slug(surname)});
        p.email = cat({local, rng.percent(50) ? u"@libero.it" : u"@gmail.com"});
        if (title == u"Avv.")
            p.pec = cat({local, u"@ordineavvocati", slug(city.name), u".it"});
        else if (rng.percent(40))
            p.pec = cat({local, u"@pec.it"});
    }
    return p;
}

// `text` lengthened with what `next()` gives until it passes `capacity`, then cut to it,
// so the field is full and still made of real words.
template <typename Next>
inline QString toCapacity(QString text, int capacity, QStringView separator, Next&& next) {
    while (text.size() <= capacity) {
        if (!text.isEmpty())
            text += separator;
        text += next();
    }
    text.truncate(capacity);
    if (text.back().unicode() <= 32)
        text.back() = u'.';
    return text;
}

// The parts of `list` in turn from a random one, so a filled field repeats itself late.
template <std::size_t N> auto inTurn(Rng& rng, const QStringView (&list)[N]) {
    return [&list, at = static_cast<std::size_t>(rng.below(static_cast<int>(N)))]() mutable {
        return list[at++ % N];
    };
}

// Writes `count` records, record i being `bytesOf(i)` of `recordSize` bytes, to `path`
// through a temporary file that takes the place of `path` only once it is complete. On
// failure returns false, leaves any existing file untouched and says why in `error`.
template <typename BytesOf>
bool writeRecords(const QString& path, int count, qsizetype recordSize, BytesOf&& bytesOf,
                  QString* error) {
    const auto fail = [&](const QString& why) {
        if (error)
            *error = why;
        return false;
    };
    if (count < 0)
        return fail(QStringLiteral("The number of cards cannot be negative."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));

    // Whole blocks of cards per write: a write call per card would dominate the time.
    constexpr int kBlockCards = 1024;
    QByteArray block;
    block.reserve(kBlockCards * recordSize);
    for (int index = 0; index < count; ++index) {
        block.append(bytesOf(index));
        if (block.size() >= kBlockCards * recordSize || index == count - 1) {
            if (file.write(block) != block.size()) {
                const QString why = file.errorString();
                file.cancelWriting();
                return fail(QStringLiteral("Cannot write %1: %2").arg(path, why));
            }
            block.resize(0);
        }
    }
    if (!file.commit())
        return fail(QStringLiteral("Cannot write %1: %2").arg(path, file.errorString()));
    return true;
}

} // namespace GeneratorParts
