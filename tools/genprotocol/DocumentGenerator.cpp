#include "DocumentGenerator.h"

#include "GeneratorParts.h"
#include "core/ShortDate.h"

#include <QDate>
#include <QStringView>
#include <algorithm>
#include <iterator>

namespace {

using namespace GeneratorParts;
using R = DocumentRecord;

// ---------------------------------------------------------------------------------------
// Word lists of the card index. The sources stay ASCII, so accented letters are written
// as \u escapes.

// Who keeps the index; one per seed.
constexpr QStringView kOwners[] = {u"Studio Ferri & Colombo", u"Consorzio Valle Serena",
                                   u"Fondazione Arcobaleno", u"Cooperativa Il Ponte"};

// Who produces a document: Studio is a technical practice (engineers, architects,
// surveyors), Counsel a legal, notarial or accounting one.
enum Producer { Person = 1, Firm = 2, Public = 4, Studio = 8, Counsel = 16, Own = 32 };

// Who the document is for.
enum class Audience {
    Us,      // the organisation that keeps the index
    Outside, // a person, firm or body outside it
    Staff,   // its own offices or people
    Nobody,  // no addressee: plans, budgets, own records
};

// What the original is made of, for its format and the software that made it.
enum class Medium { Paper, Drawing, Invoice, Digital };

struct Kind {
    QStringView tipo;
    QStringView classification;
    QStringView name;
    QStringView subject;
    QStringView dossier;
    QStringView file;     // stem of the digital copy's name
    QStringView producer; // a fixed kind of producer, or empty to choose from `producers`
    int producers;
    Audience audience;
    Medium medium;
    int pagesLow;
    int pagesHigh;
    bool confidential;
};

// Placeholders: {N} {NN} numbers, {F} invoice number, {D} earlier date, {DF} later date,
// {DP} production date, {E} euro amount, {C} a city, {HC} our city, {Y} year, {P} previous
// year, {M} previous month, {S} street and number, {T} supply, {PN} person, {SUR} surname,
// {CIG} tender code, {O} our office, {PR} earlier protocol number, {OWN} our name, {AL} a
// letter A-F, {a-b} a number from a to b. Street, city, supply, person and surname are the
// same throughout a card; {C*} {PN*} {SUR*} are new ones each time. In producers: {FIRST}
// {SUR} {SUR2} {CITY}.
constexpr Kind kKinds[] = {
    {u"Contratto", u"Amministrazione / Contratti", u"Contratto di locazione dell'immobile in {S}",
     u"Locazione ad uso ufficio dei locali in {S}, durata 6+6 anni, canone annuo di \u20ac {E}",
     u"Contratti di locazione", u"contratto_locazione", u"", Person | Firm, Audience::Us,
     Medium::Paper, 4, 14, false},
    {u"Contratto", u"Amministrazione / Contratti", u"Contratto di fornitura di {T}",
     u"Fornitura di {T} dal {DP} al 31/12/{Y}: importo di \u20ac {E} pi\u00f9 IVA",
     u"Gara per la fornitura di {T} - {Y}", u"contratto_fornitura", u"", Firm, Audience::Us,
     Medium::Paper, 3, 9, false},
    {u"Contratto", u"Amministrazione / Contratti",
     u"Contratto di manutenzione dell'impianto di riscaldamento",
     u"Manutenzione ordinaria e straordinaria della centrale termica della sede di {HC}: "
     u"canone di \u20ac {E} l'anno",
     u"Impianti della sede di {HC}", u"contratto_manutenzione", u"", Firm, Audience::Us,
     Medium::Paper, 4, 8, false},
    {u"Verbale", u"Organi collegiali / Verbali", u"Verbale dell'assemblea ordinaria del {DP}",
     u"Approvazione del bilancio consuntivo {P} e del preventivo {Y}; nomina dei revisori dei "
     u"conti",
     u"Assemblee dei soci {Y}", u"verbale_assemblea", u"", Own, Audience::Nobody, Medium::Paper, 3,
     10, false},
    {u"Verbale", u"Tecnico / Sopralluoghi", u"Verbale di sopralluogo presso {S}",
     u"Accertamento delle infiltrazioni d'acqua al secondo piano e stima sommaria degli "
     u"interventi",
     u"Manutenzione della sede di {HC}", u"verbale_sopralluogo", u"", Studio | Public | Own,
     Audience::Us, Medium::Paper, 2, 5, false},
    {u"Verbale", u"Personale / Sicurezza", u"Verbale della riunione periodica sulla sicurezza",
     u"Riunione del {DP} sul documento di valutazione dei rischi e sul piano di emergenza",
     u"Sicurezza sul lavoro {Y}", u"verbale_sicurezza", u"", Own, Audience::Staff, Medium::Paper, 2,
     6, false},
    {u"Delibera", u"Organi collegiali / Delibere",
     u"Delibera del Consiglio di amministrazione n. {1-60}/{Y}",
     u"Approvazione del piano degli investimenti {Y} per complessivi \u20ac {E}",
     u"Delibere del Consiglio {Y}", u"delibera_cda", u"", Own, Audience::Nobody, Medium::Paper, 2,
     6, false},
    {u"Delibera", u"Contributi / Enti pubblici",
     u"Deliberazione della Giunta comunale n. {N} del {DP}",
     u"Concessione di un contributo di \u20ac {E} per le attivit\u00e0 culturali dell'anno {Y}",
     u"Contributi pubblici {Y}", u"delibera_giunta", u"Comune di {CITY}", Public, Audience::Us,
     Medium::Digital, 3, 8, false},
    {u"Circolare", u"Personale / Circolari interne",
     u"Circolare n. {1-40}/{Y} - orario estivo degli uffici",
     u"Dal {DF} gli uffici osservano l'orario 8.00-14.00 dal luned\u00ec al venerd\u00ec",
     u"Circolari interne {Y}", u"circolare_interna", u"", Own, Audience::Staff, Medium::Paper, 1, 2,
     false},
    {u"Circolare", u"Personale / Normativa", u"Circolare INPS n. {N} del {DP}",
     u"Chiarimenti sui contributi dovuti per i lavoratori a tempo parziale e sulle nuove "
     u"aliquote",
     u"Normativa previdenziale", u"circolare_inps", u"INPS - Sede di {CITY}", Public,
     Audience::Nobody, Medium::Digital, 4, 20, false},
    {u"Perizia", u"Tecnico / Perizie", u"Perizia di stima dell'immobile in {S}",
     u"Valutazione del valore di mercato dell'immobile e delle sue pertinenze: stima di "
     u"\u20ac {E}",
     u"Compravendita dell'immobile di {C}", u"perizia_stima", u"", Studio | Person, Audience::Us,
     Medium::Paper, 8, 30, false},
    {u"Perizia", u"Amministrazione / Assicurazioni",
     u"Perizia tecnica sui danni da grandine del {D}",
     u"Quantificazione dei danni alla copertura, alle vetrate e ai serramenti: \u20ac {E}",
     u"Sinistro n. {NN} - danni da grandine", u"perizia_danni", u"", Studio, Audience::Us,
     Medium::Paper, 5, 15, false},
    {u"Fattura", u"Contabilit\u00e0 / Fatture passive", u"Fattura n. {F} del {DP}",
     u"Fornitura di {T}: imponibile di \u20ac {E} pi\u00f9 IVA al 22%", u"Fatture fornitori {Y}",
     u"fattura", u"", Firm | Studio | Counsel, Audience::Us, Medium::Invoice, 1, 2, false},
    {u"Fattura", u"Contabilit\u00e0 / Fatture attive", u"Fattura n. {F} emessa a {SUR} S.r.l.",
     u"Prestazioni di consulenza del mese di {M}: \u20ac {E} pi\u00f9 IVA", u"Fatture clienti {Y}",
     u"fattura_attiva", u"", Own, Audience::Outside, Medium::Invoice, 1, 2, false},
    {u"Preventivo", u"Amministrazione / Acquisti", u"Preventivo n. {N}/{Y} per {T}",
     u"Offerta per la fornitura di {T}: \u20ac {E} pi\u00f9 IVA, validit\u00e0 90 giorni",
     u"Gara per la fornitura di {T} - {Y}", u"preventivo", u"", Firm, Audience::Us, Medium::Digital,
     1, 4, false},
    {u"Preventivo", u"Tecnico / Lavori", u"Preventivo per il rifacimento della copertura",
     u"Rimozione del vecchio manto, nuova impermeabilizzazione e lattonerie in rame: \u20ac {E}",
     u"Manutenzione della sede di {HC}", u"preventivo_lavori", u"", Firm, Audience::Us,
     Medium::Paper, 2, 6, false},
    {u"Certificato", u"Amministrazione / Fornitori",
     u"Certificato di regolarit\u00e0 contributiva (DURC)",
     u"Regolarit\u00e0 dei versamenti INPS e INAIL dell'impresa {SUR} Costruzioni S.p.A.",
     u"Fornitori qualificati {Y}", u"durc", u"INAIL - Sede di {CITY}", Public, Audience::Nobody,
     Medium::Digital, 1, 2, false},
    {u"Certificato", u"Tecnico / Pratiche edilizie",
     u"Certificato di agibilit\u00e0 dei locali in {S}",
     u"Agibilit\u00e0 degli uffici al piano terra e al primo piano dopo la ristrutturazione",
     u"Pratica edilizia n. {N}/{P}", u"certificato_agibilita", u"Comune di {CITY}", Public,
     Audience::Us, Medium::Paper, 2, 4, false},
    {u"Certificato", u"Tecnico / Impianti",
     u"Dichiarazione di conformit\u00e0 dell'impianto elettrico (DM 37/2008)",
     u"Impianto elettrico degli uffici del piano terra, realizzato a regola d'arte",
     u"Impianti della sede di {HC}", u"conformita_impianto", u"", Firm, Audience::Us, Medium::Paper,
     3, 10, false},
    {u"Certificato", u"Personale / Assenze", u"Certificato medico di {PN}",
     u"Prognosi di {2-15} giorni dal {D} salvo complicazioni", u"Fascicolo personale di {PN}",
     u"certificato_medico", u"{DOTT} {FIRST} {SUR}", Person, Audience::Us, Medium::Paper, 1, 1,
     true},
    {u"Planimetria", u"Tecnico / Disegni", u"Planimetria del piano terra della sede di {HC}",
     u"Rilievo dello stato di fatto con la destinazione d'uso dei locali, scala 1:100",
     u"Pratica edilizia n. {N}/{Y}", u"planimetria", u"", Studio, Audience::Us, Medium::Drawing, 1,
     3, false},
    {u"Planimetria", u"Tecnico / Catasto", u"Planimetria catastale dell'immobile in {S}",
     u"Unit\u00e0 immobiliare censita al foglio {1-60}, mappale {1-900}, subalterno {1-30}",
     u"Compravendita dell'immobile di {C}", u"planimetria_catastale",
     u"Agenzia delle Entrate - Territorio", Public, Audience::Nobody, Medium::Drawing, 1, 2, false},
    {u"Atto notarile", u"Affari legali / Atti notarili",
     u"Atto di compravendita dell'immobile in {S}",
     u"Compravendita tra {PN} e {OWN}: prezzo di \u20ac {E}, repertorio n. {NN}",
     u"Compravendita dell'immobile di {C}", u"atto_compravendita", u"Notaio {FIRST} {SUR}", Counsel,
     Audience::Us, Medium::Paper, 10, 30, true},
    {u"Atto notarile", u"Affari legali / Atti notarili", u"Procura speciale a favore di {PN}",
     u"Poteri di rappresentanza per la firma degli atti della pratica n. {N}/{Y}",
     u"Procure e deleghe", u"procura_speciale", u"Studio Notarile {SUR} e {SUR2}", Counsel,
     Audience::Us, Medium::Paper, 2, 5, true},
    {u"Atto notarile", u"Affari legali / Atti societari", u"Atto costitutivo e statuto",
     u"Costituzione di {OWN} con un capitale di \u20ac {E} e statuto di 24 articoli",
     u"Atti societari", u"atto_costitutivo", u"Notaio {FIRST} {SUR}", Counsel, Audience::Us,
     Medium::Paper, 12, 30, false},
    {u"Relazione tecnica", u"Tecnico / Impianti",
     u"Relazione tecnica sull'impianto di climatizzazione",
     u"Verifica delle prestazioni dell'impianto e proposta di sostituzione delle unit\u00e0 "
     u"esterne",
     u"Impianti della sede di {HC}", u"relazione_climatizzazione", u"", Studio | Firm, Audience::Us,
     Medium::Digital, 6, 20, false},
    {u"Relazione tecnica", u"Tecnico / Progetti", u"Relazione geologica e geotecnica",
     u"Caratterizzazione del terreno del lotto di {C} per il progetto del nuovo magazzino",
     u"Nuovo magazzino di {C}", u"relazione_geologica", u"Studio Geologico {SUR}", Studio,
     Audience::Us, Medium::Paper, 15, 40, false},
    {u"Relazione", u"Contabilit\u00e0 / Bilanci", u"Relazione sulla gestione dell'esercizio {P}",
     u"Andamento della gestione, investimenti e fatti di rilievo dopo la chiusura "
     u"dell'esercizio",
     u"Bilancio {P}", u"relazione_gestione", u"", Own, Audience::Nobody, Medium::Digital, 10, 40,
     false},
    {u"Bilancio", u"Contabilit\u00e0 / Bilanci", u"Bilancio d'esercizio al 31/12/{P}",
     u"Stato patrimoniale, conto economico e nota integrativa: utile di \u20ac {E}",
     u"Bilancio {P}", u"bilancio", u"", Own | Counsel, Audience::Nobody, Medium::Digital, 20, 60,
     false},
    {u"Lettera", u"Corrispondenza / Lettere",
     u"Lettera del {DP} sul rinnovo del contratto n. {N}/{P}",
     u"Richiesta di chiarimenti sulle condizioni del rinnovo e sui nuovi prezzi",
     u"Corrispondenza {Y}", u"lettera", u"", Person | Firm, Audience::Us, Medium::Paper, 1, 2,
     false},
    {u"Determinazione", u"Amministrazione / Appalti",
     u"Determinazione dirigenziale n. {N} del {DP}",
     u"Affidamento del servizio di {T} per l'anno {Y} - CIG {CIG}",
     u"Gara per la fornitura di {T} - {Y}", u"determinazione", u"", Public, Audience::Us,
     Medium::Digital, 2, 5, false},
    {u"Capitolato", u"Amministrazione / Appalti", u"Capitolato speciale d'appalto per {T}",
     u"Condizioni, prezzi unitari e penali della fornitura di {T} per il triennio {Y}-{Y+2}",
     u"Gara per la fornitura di {T} - {Y}", u"capitolato", u"", Own | Studio, Audience::Outside,
     Medium::Paper, 20, 50, false},
    {u"Polizza", u"Amministrazione / Assicurazioni", u"Polizza incendio e furto n. {NN}",
     u"Copertura dei locali in {S}: massimale di \u20ac {E}, franchigia di \u20ac 500,00",
     u"Assicurazioni {Y}", u"polizza", u"Assicurazioni {SUR} - Agenzia di {CITY}", Firm,
     Audience::Us, Medium::Paper, 8, 20, false},
    {u"Ordinanza", u"Affari generali / Ordinanze", u"Ordinanza sindacale n. {N}/{Y}",
     u"Divieto di transito in {S} dal {DF} per lavori di rifacimento del manto stradale",
     u"Viabilit\u00e0 e accessi alla sede", u"ordinanza", u"Comune di {CITY}", Public,
     Audience::Nobody, Medium::Paper, 1, 3, false},
    {u"Decreto", u"Affari legali / Contenzioso", u"Decreto ingiuntivo n. {N}/{Y}",
     u"Ingiunzione di pagamento di \u20ac {E} oltre interessi e spese del procedimento",
     u"Contenzioso {SUR} S.r.l.", u"decreto_ingiuntivo", u"Tribunale di {CITY}", Public,
     Audience::Us, Medium::Paper, 3, 8, true},
    {u"Parere legale", u"Affari legali / Pareri", u"Parere sul recesso dal contratto n. {N}/{P}",
     u"Condizioni e termini del recesso anticipato; rischi di una causa per inadempimento",
     u"Contenzioso {SUR} S.r.l.", u"parere_legale", u"Studio Legale {SUR} e {SUR2}", Counsel,
     Audience::Us, Medium::Digital, 4, 12, true},
    {u"Estratto conto", u"Contabilit\u00e0 / Banche", u"Estratto conto corrente al {DP}",
     u"Movimenti del trimestre e saldo contabile di \u20ac {E}", u"Rapporti bancari {Y}",
     u"estratto_conto", u"Banca Popolare di {CITY}", Firm, Audience::Us, Medium::Digital, 2, 6,
     true},
    {u"Regolamento", u"Affari generali / Regolamenti",
     u"Regolamento per l'uso dei veicoli aziendali",
     u"Prenotazione, rifornimento, responsabilit\u00e0 in caso di sinistro e tenuta del "
     u"libretto di bordo",
     u"Regolamenti interni", u"regolamento", u"", Own, Audience::Staff, Medium::Paper, 4, 10,
     false},
    {u"Visura", u"Amministrazione / Fornitori", u"Visura camerale di {SUR} & Figli S.r.l.",
     u"Sede, oggetto sociale, amministratori e capitale sociale di \u20ac {E}",
     u"Fornitori qualificati {Y}", u"visura_camerale", u"Camera di Commercio di {CITY}", Public,
     Audience::Nobody, Medium::Digital, 3, 8, false},
    {u"Attestato", u"Personale / Formazione",
     u"Attestato del corso sulla sicurezza (D.Lgs. 81/2008)",
     u"Formazione generale di 4 ore e specifica di 8 ore superata da {PN}",
     u"Formazione del personale {Y}", u"attestato_sicurezza", u"", Firm, Audience::Staff,
     Medium::Paper, 1, 1, false},
    {u"Progetto", u"Tecnico / Progetti", u"Progetto esecutivo di ristrutturazione degli uffici",
     u"Tavole architettoniche, impianti e computo metrico per la ristrutturazione del primo "
     u"piano",
     u"Pratica edilizia n. {N}/{Y}", u"progetto_esecutivo", u"", Studio, Audience::Us,
     Medium::Drawing, 8, 40, false},
};

constexpr QStringView kFirms[] = {
    u"{SUR} & Figli S.r.l.",
    u"{SUR} Costruzioni S.p.A.",
    u"Tipografia {SUR} S.n.c.",
    u"{SUR} Forniture per Ufficio S.r.l.",
    u"Impresa Edile {SUR} & C. S.a.s.",
    u"Officine Meccaniche di {CITY} S.p.A.",
    u"Informatica {CITY} S.r.l.",
    u"Termoidraulica {SUR} S.r.l.",
    u"Elettrotecnica {SUR} di {FIRST} {SUR}",
    u"Societ\u00e0 Cooperativa Sociale \u00abIl Girasole\u00bb",
    u"Caff\u00e8 {SUR} S.r.l.",
    u"Enel Energia S.p.A.",
};
constexpr QStringView kStudios[] = {
    u"Studio Tecnico Ing. {FIRST} {SUR}",
    u"Studio di Architettura {SUR} & Partners",
    u"Studio Geom. {FIRST} {SUR}",
    u"Studio Associato di Ingegneria {SUR}",
    u"Arch. {FIRST} {SUR}",
};
constexpr QStringView kCounsels[] = {
    u"Studio Legale Associato {SUR} e {SUR2}",
    u"Studio Commercialista {DOTT} {FIRST} {SUR}",
    u"Studio Associato {SUR} {SUR2}",
    u"Studio Notarile {SUR}",
    u"Avv. {FIRST} {SUR}",
};
constexpr QStringView kBodies[] = {
    u"Comune di {CITY}",
    u"Comune di {CITY}",
    u"Provincia di {CITY}",
    u"Regione {REGION}",
    u"Agenzia delle Entrate - DP di {CITY}",
    u"INPS - Sede di {CITY}",
    u"INAIL - Sede di {CITY}",
    u"Camera di Commercio di {CITY}",
    u"Tribunale di {CITY}",
    u"Prefettura di {CITY}",
    u"Vigili del Fuoco - Comando di {CITY}",
    u"Universit\u00e0 degli Studi di {CITY}",
    u"ASL di {CITY}",
};

// clang-format off
constexpr QStringView kPaperFormats[] = {
    u"A4", u"A4", u"A4", u"A4", u"A4 fronte/retro", u"Foglio protocollo", u"A4 rilegato",
    u"A4 su carta intestata",
};
// clang-format on
constexpr QStringView kDrawingFormats[] = {u"A3 piegato",  u"A3 piegato", u"A1 (tavola)",
                                           u"A0 (tavola)", u"DWG e PDF",  u"A3"};
constexpr QStringView kInvoiceFormats[] = {u"XML (FatturaPA)", u"XML (FatturaPA)", u"PDF",
                                           u"XML e PDF di cortesia"};
constexpr QStringView kDigitalFormats[] = {u"PDF", u"PDF", u"PDF/A", u"PDF firmato (CAdES)", u"A4"};

constexpr QStringView kPaperSoftware[] = {u"Microsoft Word 365", u"Microsoft Word 2016",
                                          u"LibreOffice Writer 7.6", u"Apple Pages"};
constexpr QStringView kDrawingSoftware[] = {u"AutoCAD 2024", u"AutoCAD LT 2023", u"ArchiCAD 27",
                                            u"Revit 2024", u"QGIS 3.34"};
constexpr QStringView kInvoiceSoftware[] = {u"Fatture in Cloud", u"TeamSystem Studio",
                                            u"Zucchetti Ad Hoc Revolution",
                                            u"Aruba Fatturazione Elettronica"};
constexpr QStringView kDigitalSoftware[] = {u"Adobe Acrobat Pro", u"Microsoft Word 365",
                                            u"LibreOffice Writer 7.6",
                                            u"Dike GoSign (firma digitale)"};

struct Level {
    QStringView name;
    int percent; // of the cards that are not confidential
};
constexpr Level kLevels[] = {
    {u"Pubblico", 42},      {u"Uso interno", 28},  {u"Riservato", 18},
    {u"Riservatissimo", 5}, {u"Confidenziale", 4}, {u"", 3},
};
constexpr QStringView kConfidentialLevels[] = {u"Riservato", u"Riservato", u"Riservatissimo",
                                               u"Confidenziale"};

constexpr QStringView kPlaces[] = {
    u"Archivio corrente, faldone {1-80}",    u"Archivio corrente, faldone {1-80}",
    u"Armadio {AL}, ripiano {1-5}",          u"Archivio storico, scaffale {AL}, faldone {1-40}",
    u"Schedario {1-4}, cassetto {1-6}",      u"{O}, cassettiera {1-6}",
    u"Deposito esterno, scatola n. {1-400}", u"Studio del titolare",
};
constexpr QStringView kSafePlaces[] = {u"Cassaforte della direzione",
                                       u"Armadio blindato, ripiano {1-4}",
                                       u"Archivio riservato, cartella {1-30}"};
constexpr QStringView kDigitalPlaces[] = {u"Nessun originale cartaceo",
                                          u"Solo digitale (server, cartella {Y})",
                                          u"Stampa in archivio corrente, faldone {1-80}"};

// Enclosures, by the area of the classification.
constexpr QStringView kTechnicalEnclosures[] = {
    u"Planimetria catastale",
    u"Computo metrico estimativo",
    u"Elenco dei prezzi unitari",
    u"Documentazione fotografica ({4-30} foto)",
    u"Cronoprogramma dei lavori",
    u"Attestato di prestazione energetica",
    u"Certificato di destinazione urbanistica",
    u"Schemi unifilari degli impianti",
};
constexpr QStringView kAdministrativeEnclosures[] = {
    u"Copia del bonifico di \u20ac {E}",
    u"Visura camerale",
    u"Documento d'identit\u00e0 del firmatario",
    u"Dichiarazione sostitutiva di atto di notoriet\u00e0",
    u"DURC in corso di validit\u00e0",
    u"Condizioni generali di fornitura",
    u"Schede tecniche dei prodotti",
};
constexpr QStringView kLegalEnclosures[] = {
    u"Documento d'identit\u00e0 del firmatario",
    u"Visura ipotecaria",
    u"Planimetria catastale",
    u"Procura speciale",
    u"Copia del contratto n. {N}/{P}",
    u"Corrispondenza tra le parti",
};
constexpr QStringView kMeetingEnclosures[] = {
    u"Foglio delle presenze",  u"Ordine del giorno",        u"Bilancio consuntivo {P}",
    u"Relazione del revisore", u"Deleghe dei soci assenti",
};
constexpr QStringView kGeneralEnclosures[] = {
    u"Documento d'identit\u00e0",   u"Programma del corso",    u"Registro delle presenze",
    u"Modulo di richiesta firmato", u"Elenco dei destinatari",
};

constexpr QStringView kReferences[] = {
    u"Ns. prot. n. {PR}",          u"Vs. lettera del {D}", u"Contratto n. {N}/{P}",
    u"Delibera n. {1-60} del {D}", u"Pratica n. {N}/{Y}",  u"CIG {CIG}",
    u"Ordine n. {N}/{Y} del {D}",  u"Fattura n. {F}",      u"Sostituisce il documento del {D}",
    u"Fascicolo n. {1-200}/{Y}",   u"Perizia del {D}",     u"Preventivo n. {N}/{Y}",
};

constexpr QStringView kNotes[] = {
    u"Originale firmato in due copie",
    u"Copia conforme all'originale",
    u"Scadenza: {DF}",
    u"Da rinnovare entro il {DF}",
    u"Registrato all'Agenzia delle Entrate il {DF}",
    u"Importo gi\u00e0 pagato: \u20ac {E}",
    u"Documento sostituito dalla versione del {DF}",
    u"Consultabile solo con l'autorizzazione della Direzione",
    u"L'ultima pagina \u00e8 poco leggibile",
    u"Perch\u00e9 manca il timbro? Chiedere al produttore",
    u"Trasmesso in copia a: {O}",
    u"In lingua inglese, con traduzione giurata",
    u"Contiene dati personali: non fotocopiare",
    u"Consegnato a mano da {PN}",
};
// Why a card is still to be completed.
constexpr QStringView kMissing[] = {
    u"Manca la firma del legale rappresentante",
    u"In attesa degli allegati tecnici",
    u"Da integrare con la planimetria aggiornata",
    u"Bozza: versione definitiva attesa per il {DF}",
    u"Manca l'ultima pagina",
    u"Da scansionare",
    u"Verificare il numero di protocollo",
    u"Chiedere a {PN} la copia firmata",
};

struct Attachment {
    QStringView file;
    QStringView description;
};
constexpr Attachment kAttachments[] = {
    {u"planimetria_catastale.pdf", u"Planimetria catastale"},
    {u"foto_sopralluogo_{N}.jpg", u"Fotografie del sopralluogo"},
    {u"computo_metrico.xlsx", u"Computo metrico estimativo"},
    {u"visura_ipotecaria.pdf", u"Visura ipotecaria"},
    {u"bonifico_{NN}.pdf", u"Ricevuta del bonifico di \u20ac {E}"},
    {u"documento_firmato.pdf.p7m", u"Documento firmato digitalmente (CAdES)"},
    {u"traduzione_giurata.docx", u"Traduzione giurata in italiano"},
    {u"ape_{N}.pdf", u"Attestato di prestazione energetica"},
    {u"verbale_consegna.pdf", u"Verbale di consegna"},
    {u"cronoprogramma_{Y}.xlsx", u"Cronoprogramma dei lavori"},
    {u"corrispondenza_precedente.eml", u"Corrispondenza precedente (e-mail)"},
};

// Words for the cards filled to capacity.
constexpr QStringView kLongSentences[] = {
    u"Il documento \u00e8 stato esaminato dall'ufficio competente, che ne ha verificato la "
    u"completezza.",
    u"L'importo complessivo di \u20ac 12.480,00 \u00e8 comprensivo di IVA e delle spese "
    u"accessorie.",
    u"Le pagine sono numerate e siglate dal firmatario; manca soltanto la copia per il "
    u"fascicolo.",
    u"Per la consultazione rivolgersi alla segreteria, dal luned\u00ec al venerd\u00ec, dalle "
    u"9.00 alle 12.30.",
    u"La copia digitale \u00e8 conforme all'originale cartaceo conservato in archivio.",
    u"Ogni variazione successiva va annotata nella scheda con la data e la sigla di chi la fa.",
    u"Citt\u00e0, via e numero civico sono stati verificati sull'elenco aggiornato.",
};
constexpr QStringView kLongTitleParts[] = {
    u"copia conforme all'originale", u"versione definitiva",
    u"con gli allegati tecnici",     u"sostituisce la versione precedente",
    u"firmata da tutte le parti",    u"secondo esemplare",
};
constexpr QStringView kLongDossierParts[] = {
    u"sottofascicolo {1-12}", u"corrispondenza con il produttore",
    u"atti preparatori",      u"documenti contabili",
    u"allegati tecnici",      u"copie di lavoro",
};
constexpr QStringView kLongSubjects[] = {
    u"{PN*}",
    u"{PN*}",
    u"Comune di {C*}",
    u"{SUR*} Costruzioni S.p.A.",
    u"{PN*}",
    u"{PN*}",
    u"Tribunale di {C*}",
    u"Agenzia delle Entrate",
    u"Studio Legale {SUR*}",
};
constexpr QStringView kFileWords[] = {
    u"scansione",  u"documento", u"completo", u"allegati", u"pratica",  u"versione",
    u"definitiva", u"firmata",   u"copia",    u"conforme", u"archivio", u"originale",
};

// ---------------------------------------------------------------------------------------

// What one card needs while its texts are being made.
struct CardContext {
    CardContext(Rng& r, QDate day, int y, QStringView o, const City& h)
        : rng(r), produced(day), year(y), owner(o), home(h) {}

    Rng& rng;
    QDate produced;
    int year;
    QStringView owner;
    const City& home;
    // The street, city, supply, person and surname of a card: one each, wherever they
    // appear (the name, the subject and the dossier speak of the same things).
    QString street, city, supply, person, surname;

    // `value`, made by `make()` the first time.
    template <typename Make> const QString& once(QString& value, Make&& make) {
        if (value.isEmpty())
            value = make();
        return value;
    }

    void put(QStringView key, QString& out) {
        if (key == u"N")
            out += QString::number(rng.between(1, 999));
        else if (key == u"NN")
            out += QString::number(rng.between(100, 99999));
        else if (key == u"F")
            out += invoiceNumber(rng, year);
        else if (key == u"D")
            out += ShortDate::format(produced.addDays(-rng.between(1, 90)));
        else if (key == u"DF")
            out += ShortDate::format(produced.addDays(rng.between(3, 90)));
        else if (key == u"DP")
            out += ShortDate::format(produced);
        else if (key == u"E")
            out += euro(rng);
        else if (key == u"C")
            out += once(city, [&] { return rng.pick(kCities).name.toString(); });
        else if (key == u"HC")
            out += home.name;
        else if (key == u"Y")
            out += QString::number(year);
        else if (key == u"Y+2")
            out += QString::number(year + 2);
        else if (key == u"P")
            out += QString::number(year - 1);
        else if (key == u"M")
            out += kMonths[static_cast<std::size_t>((produced.month() + 10) % 12)];
        else if (key == u"S")
            out += once(street, [&] {
                return cat({rng.pick(kStreets), u" ", QString::number(rng.between(1, 120))});
            });
        else if (key == u"T")
            out += once(supply, [&] { return rng.pick(kSupplies).toString(); });
        else if (key == u"PN")
            out += once(person, [&] { return personName(rng); });
        else if (key == u"SUR")
            out += once(surname, [&] { return rng.pick(kSurnames).toString(); });
        else if (key == u"PN*")
            out += personName(rng);
        else if (key == u"C*")
            out += rng.pick(kCities).name;
        else if (key == u"SUR*")
            out += rng.pick(kSurnames);
        else if (key == u"CIG")
            out += u'Z' + code(rng, 9, u"0123456789ABCDEF");
        else if (key == u"O")
            out += rng.pick(kOffices);
        else if (key == u"PR")
            out += cat({QString::number(rng.between(1, std::max(1, produced.dayOfYear() * 3))),
                        u"/", QString::number(year)});
        else if (key == u"OWN")
            out += owner;
        else if (key == u"AL")
            out += QChar(u'A' + rng.below(6));
        else if (const qsizetype dash = key.indexOf(u'-'); dash > 0)
            out += QString::number(rng.between(key.left(dash).toInt(), key.mid(dash + 1).toInt()));
        else
            Q_ASSERT_X(false, "DocumentGenerator", "unknown placeholder");
    }

    QString text(QStringView pattern) {
        return expand(pattern, [this](QStringView key, QString& out) { put(key, out); });
    }
};

// `text` within `capacity` characters (one byte each in Windows-1252): cut at the last
// word that fits, without a dangling separator. The lists are written to fit; this keeps
// the rare long combination of names from being cut by the store rule in mid-word.
QString fitting(QString text, int capacity) {
    if (text.size() <= capacity)
        return text;
    qsizetype cut = text.lastIndexOf(u' ', capacity);
    if (cut <= 0)
        cut = capacity;
    text.truncate(cut);
    while (!text.isEmpty() && QStringView(u" ,;:-\u2013").contains(text.back()))
        text.chop(1);
    return text;
}

// A producer or an addressee: a name and a postal address.
struct Who {
    QString name;
    QString address;
};

Who outsider(Rng& rng, int kinds, QStringView pattern = {}) {
    const City& city = rng.pick(kCities);
    const FirstName& first = rng.pick(kFirstNames);
    const QStringView surname = rng.pick(kSurnames);
    QStringView surname2 = rng.pick(kSurnames);
    if (surname2 == surname)
        surname2 = surname == u"Moretti" ? u"Bellini" : u"Moretti";
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
        else if (key == u"DOTT")
            out += QStringView(first.female ? u"Dott.ssa" : u"Dott.");
    };

    Who p;
    p.address = postalAddress(rng, city);
    if (!pattern.isEmpty()) {
        p.name = expand(pattern, lookup);
        return p;
    }
    int choices[5];
    int n = 0;
    for (int kind : {Person, Firm, Public, Studio, Counsel})
        if (kinds & kind)
            choices[n++] = kind;
    switch (n > 0 ? choices[rng.below(n)] : Person) {
    case Firm:
        p.name = expand(rng.pick(kFirms), lookup);
        break;
    case Public:
        p.name = expand(rng.pick(kBodies), lookup);
        break;
    case Studio:
        p.name = expand(rng.pick(kStudios), lookup);
        break;
    case Counsel:
        p.name = expand(rng.pick(kCounsels), lookup);
        break;
    default: {
        const QStringView title = first.female ? rng.pick(kFemaleTitles) : rng.pick(kMaleTitles);
        p.name = cat({title, u" ", first.name, u" ", surname});
        break;
    }
    }
    return p;
}

// The owner, or one of its offices.
QString ownName(Rng& rng, QStringView owner) {
    return rng.percent(50) ? cat({owner, u" - ", rng.pick(kOffices)}) : owner.toString();
}

// Enclosures that suit the kind of document, in turn from a random one.
auto enclosuresFor(CardContext& ctx, const Kind& kind) {
    const QStringView area = kind.classification;
    const QStringView* list = kGeneralEnclosures;
    std::size_t n = std::size(kGeneralEnclosures);
    if (area.startsWith(u"Tecnico")) {
        list = kTechnicalEnclosures;
        n = std::size(kTechnicalEnclosures);
    } else if (area.startsWith(u"Amministrazione") || area.startsWith(u"Contabilit") ||
               area.startsWith(u"Contributi")) {
        list = kAdministrativeEnclosures;
        n = std::size(kAdministrativeEnclosures);
    } else if (area.startsWith(u"Affari legali")) {
        list = kLegalEnclosures;
        n = std::size(kLegalEnclosures);
    } else if (area.startsWith(u"Organi collegiali")) {
        list = kMeetingEnclosures;
        n = std::size(kMeetingEnclosures);
    }
    return [&ctx, list, n,
            at = static_cast<std::size_t>(ctx.rng.below(static_cast<int>(n)))]() mutable {
        return ctx.text(list[at++ % n]);
    };
}

QString pages(Rng& rng, const Kind& kind) {
    const int n = rng.between(kind.pagesLow, kind.pagesHigh);
    if (kind.medium == Medium::Drawing)
        return n == 1 ? QStringLiteral("1 tavola") : cat({QString::number(n), u" tavole"});
    const int roll = rng.below(100);
    if (roll < 8)
        return cat(
            {QString::number(n), u" + ", QString::number(rng.between(1, 6)), u" di allegati"});
    if (roll < 13 && n > 1)
        return cat({QString::number(n), u" (fronte/retro)"});
    if (roll < 16 && n > 10)
        return cat({u"circa ", QString::number(n / 10 * 10)});
    return QString::number(n);
}

QString protocolNumber(Rng& rng, const QDate& day, int year) {
    // Numbers grow with the days of the year, a handful a day.
    const int n = (day.dayOfYear() - 1) * 4 + rng.between(1, 4);
    const int roll = rng.below(100);
    if (roll < 80)
        return cat({QString::number(n), u"/", QString::number(year)});
    if (roll < 90)
        return cat({QString::number(year), u"/", QString::number(n).rightJustified(7, u'0')});
    return QString::number(n);
}

QString level(Rng& rng, bool confidential) {
    if (confidential)
        return rng.pick(kConfidentialLevels).toString();
    int roll = rng.below(100);
    for (const Level& l : kLevels) {
        if (roll < l.percent)
            return l.name.toString();
        roll -= l.percent;
    }
    return kLevels[0].name.toString();
}

// The patterns of `list` in turn from a random one, expanded: a long list repeats late.
template <std::size_t N> auto inTurn(CardContext& ctx, const QStringView (&list)[N]) {
    return
        [&ctx, &list, at = static_cast<std::size_t>(ctx.rng.below(static_cast<int>(N)))]() mutable {
            return ctx.text(list[at++ % N]);
        };
}

// Joins 1 to `most` texts made by `make()` with `separator`.
template <typename Make> QString some(Rng& rng, int most, QStringView separator, Make&& make) {
    QString out = make();
    for (int n = rng.between(1, most); n > 1; --n) {
        out += separator;
        out += make();
    }
    return out;
}

QString fileToCapacity(QString base, QStringView ext, int capacity, Rng& rng) {
    const int stem = capacity - static_cast<int>(ext.size());
    base = toCapacity(std::move(base), stem, u"_", inTurn(rng, kFileWords));
    if (base.back() == u'_' || base.back() == u'.')
        base.back() = u'x';
    return cat({base, ext});
}

int capacity(R::Field f) {
    return R::layout().field(f).capacity;
}

} // namespace

DocumentGenerator::DocumentGenerator(quint32 seed, int year)
    : m_seed(seed), m_year(std::clamp(year, 1900, 9999)) {
    m_home = static_cast<int>(mix(seed ^ 0x686F6D65ULL) % std::size(kCities));
    m_owner = static_cast<int>(seed % std::size(kOwners));
}

DocumentGenerator::Texts DocumentGenerator::texts(int index, int count) const {
    Rng rng(mix(mix(((static_cast<quint64>(m_seed) << 32) | static_cast<quint32>(m_year)) ^
                    0x446F63756D656E74ULL) +
                static_cast<quint64>(static_cast<quint32>(index))));
    const City& home = kCities[static_cast<std::size_t>(m_home)];
    const QStringView owner = kOwners[static_cast<std::size_t>(m_owner)];

    // Cards are filed roughly in the order the documents were produced: some weeks late,
    // never before 1 January, and on a working day.
    const QDate first(m_year, 1, 1);
    const qint64 total = std::max(count, 1);
    const qint64 at = std::clamp<qint64>(index, 0, total - 1);
    QDate produced = first.addDays(at * first.daysInYear() / total - rng.between(0, 25));
    if (produced < first)
        produced = first.addDays(rng.between(1, 5));
    if (const int day = produced.dayOfWeek(); day >= 6) {
        const QDate friday = produced.addDays(5 - day);
        produced = friday.year() == m_year ? friday : produced.addDays(8 - day);
    }

    const Kind& kind = rng.pick(kKinds);
    CardContext ctx{rng, produced, m_year, owner, home};
    const auto text = [&](QStringView pattern, R::Field f) {
        return fitting(ctx.text(pattern), capacity(f));
    };

    Texts t;
    t[R::Documento] = text(kind.name, R::Documento);
    t[R::Tipo] = kind.tipo.toString();
    t[R::Classificazione] = kind.classification.toString();
    t[R::Oggetto] = text(kind.subject, R::Oggetto);
    if (!rng.percent(15))
        t[R::Fascicolo] = text(kind.dossier, R::Fascicolo);
    t[R::DataPro] = ShortDate::format(produced);

    // Who made it and who it is for.
    const bool ours = kind.producer.isEmpty() &&
                      (kind.producers == Own || ((kind.producers & Own) != 0 && rng.percent(50)));
    Rng fixed(mix(m_seed ^ 0x6F776E61ULL));
    const QString ownAddress = postalAddress(fixed, home);
    const Who producer =
        ours ? Who{ownName(rng, owner), ownAddress} : outsider(rng, kind.producers, kind.producer);
    t[R::Produttore] = fitting(producer.name, capacity(R::Produttore));
    t[R::IndirizzoPro] = fitting(producer.address, capacity(R::IndirizzoPro));

    Who addressee;
    QDate received;
    Audience audience = kind.audience;
    if (ours && audience == Audience::Us)
        audience = Audience::Staff;
    switch (audience) {
    case Audience::Us:
        if (!rng.percent(20)) {
            addressee = {ownName(rng, owner), ownAddress};
            if (!rng.percent(25))
                received = produced.addDays(rng.between(0, 12));
        }
        break;
    case Audience::Outside:
        addressee = outsider(rng, Person | Firm | Public | Studio | Counsel);
        if (rng.percent(30))
            received = produced.addDays(rng.between(1, 6));
        break;
    case Audience::Staff:
        if (rng.percent(35))
            addressee.name = QStringLiteral("Tutto il personale");
        else if (rng.percent(50))
            addressee.name = rng.pick(kOffices).toString();
        else
            addressee.name = personName(rng);
        if (rng.percent(50))
            received = produced.addDays(rng.below(3));
        break;
    case Audience::Nobody:
        break;
    }
    t[R::Destinatario] = fitting(addressee.name, capacity(R::Destinatario));
    t[R::IndirizzoDes] = fitting(addressee.address, capacity(R::IndirizzoDes));
    if (received.isValid())
        t[R::DataDes] = ShortDate::format(received);

    // Registered in the protocol when it came in or went out.
    const int registered = audience == Audience::Us        ? 60
                           : audience == Audience::Outside ? 50
                           : audience == Audience::Staff   ? 15
                                                           : 10;
    if (rng.percent(registered))
        t[R::Protocollo] = protocolNumber(rng, received.isValid() ? received : produced, m_year);

    switch (kind.medium) {
    case Medium::Paper:
        t[R::Formato] = rng.pick(kPaperFormats).toString();
        if (rng.percent(60))
            t[R::Software] = rng.pick(kPaperSoftware).toString();
        break;
    case Medium::Drawing:
        t[R::Formato] = rng.pick(kDrawingFormats).toString();
        t[R::Software] = rng.pick(kDrawingSoftware).toString();
        break;
    case Medium::Invoice:
        t[R::Formato] = rng.pick(kInvoiceFormats).toString();
        t[R::Software] = rng.pick(kInvoiceSoftware).toString();
        break;
    case Medium::Digital:
        t[R::Formato] = rng.pick(kDigitalFormats).toString();
        if (!rng.percent(10))
            t[R::Software] = rng.pick(kDigitalSoftware).toString();
        break;
    }
    if (!rng.percent(5))
        t[R::Pagine] = pages(rng, kind);

    if (rng.percent(55)) {
        QString enclosures = some(rng, 3, u"; ", enclosuresFor(ctx, kind));
        t[R::Allegati] = fitting(enclosures, capacity(R::Allegati));
    }
    if (rng.percent(55))
        t[R::Riferimenti] =
            fitting(some(rng, 2, u"; ", inTurn(ctx, kReferences)), capacity(R::Riferimenti));
    t[R::Livello] = level(rng, kind.confidential);
    const bool digitalOnly =
        kind.medium == Medium::Invoice || (kind.medium == Medium::Digital && rng.percent(50));
    t[R::Luogo] = fitting(ctx.text(digitalOnly         ? rng.pick(kDigitalPlaces)
                                   : kind.confidential ? rng.pick(kSafePlaces)
                                                       : rng.pick(kPlaces)),
                          capacity(R::Luogo));
    if (rng.percent(65))
        t[R::Soggetti] =
            fitting(some(rng, 3, u", ", [&] { return personName(rng); }), capacity(R::Soggetti));

    const bool toComplete = rng.percent(20);
    t[R::DaCompletare] = toComplete ? R::Yes : R::No;
    if (toComplete && rng.percent(70))
        t[R::Note] = text(rng.pick(kMissing), R::Note);
    else if (rng.percent(55))
        t[R::Note] = text(rng.pick(kNotes), R::Note);

    // The digital copy and further files on some cards.
    const bool full = isFullCard(index);
    const QString number = QString::number(index + 1).rightJustified(5, u'0');
    const QStringView copyExt = kind.medium == Medium::Invoice ? u".xml" : u".pdf";
    if (full || digitalOnly || rng.percent(30))
        t[R::Copia] = cat({kind.file, u"_", number, copyExt});
    const int files = full ? 3 : rng.percent(12) ? rng.between(1, 3) : 0;
    const std::size_t firstFile =
        static_cast<std::size_t>(rng.below(static_cast<int>(std::size(kAttachments))));
    for (int n = 0; n < files; ++n) {
        const Attachment& a =
            kAttachments[(firstFile + static_cast<std::size_t>(n)) % std::size(kAttachments)];
        t[R::File01 + n] = ctx.text(a.file);
        if (!rng.percent(15))
            t[R::Desc01 + n] = text(a.description, R::Desc01);
    }

    if (full) {
        const auto fill = [&](R::Field f, QStringView separator, auto next) {
            t[f] = toCapacity(t[f], capacity(f), separator, next);
        };
        const auto sentences = [&](R::Field f) {
            if (!t[f].isEmpty() && !t[f].endsWith(u'.'))
                t[f] += u'.';
            fill(f, u" ", inTurn(rng, kLongSentences));
        };
        for (R::Field f : {R::Oggetto, R::Note, R::Desc01, R::Desc02, R::Desc03})
            sentences(f);
        fill(R::Documento, u" - ", inTurn(rng, kLongTitleParts));
        fill(R::Fascicolo, u" - ", inTurn(ctx, kLongDossierParts));
        fill(R::Allegati, u"; ", enclosuresFor(ctx, kind));
        fill(R::Riferimenti, u"; ", inTurn(ctx, kReferences));
        fill(R::Soggetti, u", ", inTurn(ctx, kLongSubjects));
        fill(R::Luogo, u", ", inTurn(rng, kLongPlaces));
        for (R::Field f : {R::Produttore, R::Destinatario})
            fill(f, u" - ", inTurn(rng, kLongNameParts));
        for (R::Field f : {R::IndirizzoPro, R::IndirizzoDes}) {
            if (t[f].isEmpty())
                t[f] = ownAddress;
            fill(f, u", ", inTurn(rng, kLongAddressParts));
        }
        for (R::Field f : {R::Copia, R::File01, R::File02, R::File03}) {
            const qsizetype dot = t[f].lastIndexOf(u'.');
            const QString ext = t[f].mid(dot);
            t[f] = fileToCapacity(t[f].left(dot), ext, capacity(f), rng);
        }
    }
    return t;
}

DocumentRecord DocumentGenerator::card(int index, int count) const {
    const Texts t = texts(index, count);
    DocumentRecord r;
    for (int f = 0; f < R::FieldCount; ++f)
        r.setText(static_cast<R::Field>(f), t[static_cast<std::size_t>(f)]);
    return r;
}

bool DocumentGenerator::writeIndex(const QString& path, int count, QString* error) const {
    return writeRecords(
        path, count, R::layout().size(), [&](int index) { return card(index, count).bytes(); },
        error);
}
