#include "HelpTopics.h"

#include <QStringList>

// The help texts of every window, in one place. Each body is plain prose; its paragraphs are
// joined by an empty line (CR LF CR LF), which the help window shows as it is.

namespace {

QString paragraphs(const QStringList& list) {
    return list.join(QStringLiteral("\r\n\r\n"));
}

QString protocolTitle() {
    return QStringLiteral("Applicazione Protocollo Posta.");
}

// --- Protocollo Posta -----------------------------------------------------------------

QString protocolRegister() {
    return QStringLiteral(
        "L'applicazione Protocollo Posta tiene il registro di protocollo della posta in "
        "entrata, della posta in uscita e dei documenti interni. Per ogni anno solare viene "
        "tenuto un archivio distinto: prima di aprire il registro si sceglie l'anno, e il "
        "programma propone sempre quello in corso.");
}

QString protocolYearChoice() {
    return QStringLiteral(
        "In questa finestra si sceglie l'anno del registro di protocollo da aprire. Il "
        "programma propone l'anno in corso; per consultare il protocollo degli anni passati "
        "basta scrivere l'anno desiderato, sempre con quattro cifre, e premere «Apri». Ogni "
        "anno ha un proprio archivio, che viene creato automaticamente la prima volta che lo "
        "si usa.");
}

QString protocolNewCard() {
    return QStringLiteral(
        "Per protocollare un documento si preme il pulsante «Nuovo»: il programma assegna "
        "automaticamente il numero di protocollo e la data di registrazione, che è quella "
        "del giorno. La numerazione è progressiva, tiene conto delle schede già presenti nel "
        "registro e riparte da 1 con ogni nuovo anno. Con il pulsante «N.» si può far "
        "partire la numerazione da un numero più alto e, spuntando l'apposita casella, far "
        "seguire al numero l'anno solare (per esempio 17/2026). Conviene quindi premere "
        "«Nuovo» prima di iniziare a compilare la scheda.");
}

QString protocolSaving() {
    return QStringLiteral(
        "Compilata la scheda, il pulsante «Salva» la inserisce in archivio. Per salvare "
        "occorre indicare almeno il numero di protocollo, la data di registrazione, la "
        "categoria, l'oggetto e la tipologia di posta. Una scheda già registrata si richiama "
        "con il pulsante «Trova» oppure scorrendo l'archivio con le frecce; dopo le "
        "modifiche si preme di nuovo «Salva» e la scheda viene aggiornata. Le schede non "
        "vengono mai cancellate.");
}

QString protocolAnnulling() {
    return QStringLiteral(
        "Una scheda registrata per errore non si cancella: si annulla. Richiamata la scheda, "
        "si preme il pulsante «Annulla scheda» e si indicano il motivo dell'annullamento e "
        "chi lo ha autorizzato, entrambi obbligatori. Da quel momento la scheda resta in "
        "archivio con il segno ANNULLATA in rosso, la data, il motivo e l'autorizzazione; "
        "compare così nella stampa, nelle ricerche, nel riepilogo e nell'esportazione, non "
        "può più essere modificata né salvata, e il suo numero non viene assegnato ad altre "
        "schede. L'annullamento resta annotato nella cronologia delle modifiche.");
}

QString protocolFields() {
    return QStringLiteral(
        "Ogni scheda descrive il documento protocollato: tipologia di posta (in entrata, in "
        "uscita o interna), numero e data di registrazione, ufficio e operatore, categoria, "
        "collocazione del documento cartaceo, oggetto, date di spedizione e di ricezione, "
        "formato e numero di pagine, riferimenti, note, mittente e destinatario con i "
        "rispettivi recapiti. L'ufficio e l'operatore vengono memorizzati quando si esce "
        "dalla finestra e riproposti alla riapertura; si possono cambiare in qualsiasi "
        "momento.");
}

QString protocolAttachments() {
    return QStringLiteral(
        "Alla scheda si può allegare la copia digitale del documento, per esempio la lettera "
        "acquisita con lo scanner: il pulsante «Sfoglia...» permette di scegliere il file, "
        "che viene copiato nella cartella dei documenti allegati del programma, e il "
        "pulsante «Apri» lo visualizza. Con il pulsante «Allega file» si possono collegare "
        "alla scheda altri tre documenti, ciascuno con una breve descrizione.");
}

// Both archives attach files the same way, and fingerprint them the same way.
QString attachmentFingerprints() {
    return QStringLiteral(
        "Quando un file viene allegato, come copia digitale o come file allegato, il "
        "programma ne calcola l'impronta (SHA-256): una sequenza di 64 caratteri che cambia "
        "se nel file cambia anche un solo byte. L'impronta compare accanto al nome del file, "
        "abbreviata; fermando il puntatore sopra di essa si legge il valore intero, che si "
        "può anche selezionare e copiare. Viene registrata al salvataggio della scheda, "
        "insieme alle altre modifiche, e stampata sulla scheda. Se si allega di nuovo un "
        "file, la nuova impronta sostituisce la precedente; se si cancella il file allegato, "
        "la sua impronta viene tolta. Se lo stesso file è già allegato a un'altra scheda, di "
        "qualsiasi anno del protocollo o dello schedario, il programma indica quale scheda e "
        "chiede se allegarlo comunque: rispondendo «No» la scheda resta com'era e nella "
        "cartella dei documenti allegati non viene copiato nulla.");
}

QString protocolSummaryButton() {
    return QStringLiteral(
        "Il pulsante «Riepilogo protocollo», con l'icona a griglia, mostra l'elenco dei "
        "documenti protocollati in un qualsiasi intervallo di tempo dell'anno: basta "
        "indicare la data iniziale e quella finale. L'elenco può essere esportato in un file "
        "di Microsoft Excel.");
}

QString protocolSearch() {
    return QStringLiteral(
        "Il pulsante «Trova» apre la ricerca avanzata, nella quale si possono usare più "
        "filtri contemporaneamente: numero di protocollo, tipologia di posta, data di "
        "registrazione, operatore, categoria, oggetto, mittente, destinatario, riferimenti e "
        "note. In ciascun campo si scrivono una o più parole consecutive; nell'elenco dei "
        "risultati un doppio clic richiama la scheda scelta.");
}

QString protocolPrintExport() {
    return QStringLiteral(
        "Il pulsante «Stampa» stampa la scheda visualizzata, mentre il pulsante «Esporta» "
        "trasferisce l'intero registro dell'anno in un file di Microsoft Excel.");
}

QString protocolSearchPrintExport() {
    return QStringLiteral(
        "Il pulsante «Trova» apre la ricerca avanzata, nella quale si possono usare più "
        "filtri contemporaneamente, per esempio il mittente e una parola dell'oggetto; un "
        "doppio clic sulla scheda trovata la richiama. Il pulsante «Stampa» stampa la scheda "
        "visualizzata e il pulsante «Esporta» trasferisce l'intero registro dell'anno in un "
        "file di Microsoft Excel.");
}

// --- Cronologia -------------------------------------------------------------------------

QString historyButton() {
    return QStringLiteral(
        "Il pulsante «Cronologia», in fondo a destra, elenca tutte le modifiche salvate della "
        "scheda visualizzata, dalla più vecchia: quando è stata inserita in archivio, ogni "
        "campo cambiato a ogni salvataggio con il testo precedente e quello nuovo.");
}

QStringList protocolParagraphs() {
    return {protocolRegister(),       protocolNewCard(),       protocolSaving(),
            protocolAnnulling(),      protocolFields(),        protocolAttachments(),
            attachmentFingerprints(), protocolSummaryButton(), protocolSearch(),
            protocolPrintExport(),    historyButton()};
}

// --- Schedario Documenti --------------------------------------------------------------

QStringList documentParagraphs() {
    return {
        QStringLiteral(
            "Lo Schedario Documenti è una banca dati in cui catalogare documenti di qualsiasi "
            "tipo, singoli o facenti parte di un fascicolo o di una pratica più ampia: "
            "pratiche d'ufficio, atti legali, disposizioni, circolari, corrispondenza e ogni "
            "altro materiale cartaceo."),
        QStringLiteral(
            "Per ogni documento la scheda può riportare: nome del documento, numero di "
            "protocollo, produttore con indirizzo e data di produzione, destinatario con "
            "indirizzo e data di ricezione, oggetto, tipo di documento, classificazione, "
            "fascicolo che lo contiene, formato, numero di pagine, allegati, riferimenti, "
            "livello di riservatezza, software con cui è stato prodotto, luogo di "
            "conservazione dell'originale cartaceo, soggetti citati nel documento e note."),
        QStringLiteral(
            "Per creare una scheda si preme «Nuovo», si compilano i campi e si fa clic su "
            "«Salva». Sono obbligatori il nome del documento, il produttore e la data di "
            "produzione. Le date si prendono dal calendario: si fa clic sul campo e si preme "
            "un tasto qualsiasi; i tasti Backspace e Canc cancellano la data."),
        QStringLiteral(
            "Per modificare una scheda la si richiama con il pulsante «Trova» oppure con le "
            "frecce di scorrimento, si apportano le modifiche e si preme «Salva»."),
        QStringLiteral(
            "Per allegare la copia digitale di un documento acquisito con lo scanner si preme "
            "«Sfoglia...», si sceglie il file e poi si salva o si aggiorna la scheda con "
            "«Salva». Il file viene copiato nella cartella dei documenti allegati del "
            "programma e si apre con il pulsante «Apri»."),
        QStringLiteral(
            "Il pulsante «Duplica» serve a registrare un documento molto simile a uno già "
            "archiviato: si richiama la scheda esistente, si preme «Duplica», si cambiano i "
            "dati diversi e si fa clic su «Salva». La nuova scheda si aggiunge all'archivio, "
            "quella di partenza resta com'era."),
        QStringLiteral(
            "Il pulsante «Allega file» permette di collegare alla scheda fino a tre file di "
            "qualsiasi tipo, ciascuno con una descrizione, contenenti il materiale digitale a "
            "cui il documento fa riferimento."),
        attachmentFingerprints(),
        QStringLiteral(
            "La casella «Da completare» va spuntata per i documenti ancora in lavorazione. "
            "L'elenco di tutti i documenti non ancora completati si apre con il pulsante che "
            "raffigura un foglio con una matita; un doppio clic su una voce dell'elenco "
            "richiama la relativa scheda."),
        QStringLiteral(
            "Il pulsante «Trova» ricerca le schede usando uno o più campi come filtri, per "
            "esempio tutti i documenti di un certo produttore o di un certo tipo."),
        QStringLiteral(
            "Ogni scheda può essere stampata con il pulsante «Stampa» e l'intero archivio può "
            "essere esportato in un file di Microsoft Excel con il pulsante «Esporta»."),
        historyButton(),
    };
}

// --- Esportazioni ---------------------------------------------------------------------

QString exportSaveAs(const QString& fileName) {
    return QStringLiteral("Il file può poi essere salvato con il nome che si preferisce. "
                          "Conviene farlo, perché ogni nuova esportazione sostituisce il "
                          "file %1 precedente.")
        .arg(fileName);
}

QString exportClick(const QString& fileName) {
    return QStringLiteral("Dopo l'apertura di questa finestra, che mostra in una griglia "
                          "tutte le schede, un clic sull'icona del foglio di calcolo crea il "
                          "file %1 nella cartella del programma; rispondendo «Sì» alla "
                          "domanda che segue, il file viene aperto subito.")
        .arg(fileName);
}

// The format caption under the pointing hand; `base` is the file name without its extension.
QString exportFormats(const QString& base) {
    return QStringLiteral("La piccola scritta sotto la mano (XLS) indica il formato del file. Con "
                          "un clic su di essa si può scegliere invece «Excel (.xlsx)», il "
                          "formato delle versioni recenti di Excel, nel quale le date sono vere "
                          "date, oppure «CSV (separatore ;)», un testo semplice che ogni "
                          "programma di calcolo apre: il file si chiama allora %1.xlsx o %1.csv. "
                          "Il formato scelto resta per le esportazioni successive.")
        .arg(base);
}

} // namespace

namespace HelpTopics {

HelpTopic overview() {
    QStringList list;
    list << QStringLiteral(
        "Faldora riunisce in un solo programma due applicazioni. Lo Schedario Documenti "
        "sostituisce il classico schedario cartaceo e permette di descrivere in modo "
        "dettagliato documenti di ogni genere; il Protocollo Posta tiene, anno per anno, il "
        "registro della posta in entrata, in uscita e interna. Si entra in ciascuna con un "
        "clic sulla relativa immagine o sul pulsante che si trova sotto di essa nel menu "
        "principale.");
    list << documentParagraphs();
    list << protocolParagraphs();
    // The card windows share their history button's paragraph: it is told once.
    list.removeDuplicates();
    list << QStringLiteral(
        "I dati di entrambe le applicazioni possono essere esportati in file leggibili da "
        "Microsoft Excel e dai programmi compatibili: i file Protocollo.xls e "
        "Schedario_Documenti.xls (oppure, a scelta, .xlsx o .csv) vengono creati nella "
        "cartella del programma e possono essere aperti subito.");
    list << QStringLiteral(
        "Gli archivi possono essere usati da più postazioni di una rete locale: basta "
        "copiare la cartella del programma in una cartella condivisa e avviare Faldora da lì "
        "su ciascun computer. A ogni salvataggio il programma blocca l'archivio per il "
        "tempo necessario, così due postazioni non scrivono mai nello stesso momento.");
    list << QStringLiteral(
        "L'accesso al programma è protetto da una password. La password di primo accesso è "
        "lucernavolpina, che si può scrivere indifferentemente in lettere minuscole o "
        "maiuscole; si consiglia di cambiarla subito con il pulsante «Cambia password» "
        "della finestra di accesso, indicando la vecchia password e due volte quella nuova. "
        "La password può essere cambiata in qualsiasi momento.");
    list << QStringLiteral(
        "Faldora non richiede installazione e conserva tutti i suoi dati nella propria "
        "cartella: può quindi essere avviato anche da una chiavetta USB, e per fare una "
        "copia di sicurezza degli archivi basta copiare l'intera cartella del programma su "
        "un altro supporto.");
    list << QStringLiteral(
        "Faldora è pensato per uffici, studi professionali, associazioni e famiglie che "
        "desiderano tenere in ordine la propria documentazione e la propria corrispondenza "
        "in modo semplice, senza rinunciare alla precisione di un vero registro.");
    return {QStringLiteral("Uno sguardo ad Faldora."), paragraphs(list)};
}

HelpTopic protocolYear() {
    return {protocolTitle(),
            paragraphs({protocolYearChoice(), protocolNewCard(), protocolSaving(),
                        protocolAnnulling(), protocolFields(), protocolAttachments(),
                        protocolSummaryButton(), protocolSearchPrintExport()})};
}

HelpTopic protocol() {
    return {protocolTitle(), paragraphs(protocolParagraphs())};
}

HelpTopic protocolAnnulment() {
    return {
        QStringLiteral("Annullamento di una scheda di protocollo."),
        paragraphs({
            QStringLiteral(
                "In questa finestra si annulla la scheda di protocollo mostrata. Una "
                "registrazione di protocollo non si cancella e non si riutilizza: la scheda "
                "annullata resta in archivio, leggibile, con il segno ANNULLATA, la data e "
                "l'ora dell'annullamento, il motivo e chi lo ha autorizzato."),
            QStringLiteral("Si scrivono il motivo dell'annullamento (per esempio «Registrata due "
                           "volte» o «Documento protocollato per errore») e il nome di chi lo ha "
                           "autorizzato: senza uno dei due l'annullamento non viene eseguito. Il "
                           "pulsante «Annulla la scheda» chiede una conferma e poi registra "
                           "l'annullamento; «Chiudi» lascia la scheda com'è."),
            QStringLiteral(
                "Dopo l'annullamento la scheda non può più essere modificata né salvata, "
                "neppure da un'altra postazione che la stesse mostrando, e non può essere "
                "annullata una seconda volta. Il suo numero non viene assegnato ad altre "
                "schede: la numerazione continua dal numero successivo all'ultima scheda "
                "registrata."),
        })};
}

HelpTopic documents() {
    return {QStringLiteral("Applicazione Schedario Documenti."), paragraphs(documentParagraphs())};
}

HelpTopic protocolSummary() {
    return {
        QStringLiteral("Riepilogo protocollo per intervallo di tempo."),
        paragraphs({
            QStringLiteral(
                "Questa finestra mostra il riepilogo dei documenti protocollati in un "
                "qualsiasi intervallo di tempo dell'anno solare e permette di esportarlo "
                "in un file leggibile da Microsoft Excel o da altri programmi in grado di "
                "aprire il formato XLS."),
            QStringLiteral("Per ottenere l'elenco si indicano la data di inizio e la data di fine "
                           "dell'intervallo, nel formato gg/mm/aaaa, e si fa clic sul pulsante di "
                           "ricerca: vengono elencate, nell'ordine in cui sono state registrate, "
                           "le schede la cui data di registrazione cade nell'intervallo, estremi "
                           "compresi."),
            QStringLiteral(
                "Un clic sull'icona del foglio di calcolo crea il file Protocollo.xls "
                "nella cartella del programma; rispondendo «Sì» alla domanda che segue, "
                "il file viene aperto subito e può poi essere salvato con il nome che si "
                "preferisce."),
            exportFormats(QStringLiteral("Protocollo")),
            QStringLiteral(
                "Il pulsante «Registro giornaliero», in fondo a destra, stampa il registro "
                "giornaliero di protocollo delle stesse date: per ogni giorno le schede "
                "registrate in ordine di numero, con tipologia, mittente o destinatario e "
                "oggetto, il primo e l'ultimo numero e il numero delle schede; le schede "
                "annullate portano il segno ANNULLATA con il motivo e chi ha autorizzato "
                "l'annullamento. A ogni stampa il programma conserva anche una copia del "
                "registro in formato PDF/A, adatto alla conservazione, nella cartella del "
                "programma (per esempio «Registro_giornaliero_2026-03-02_2026-03-06.pdf»); una "
                "copia delle stesse date salvata prima non viene mai sostituita."),
            QStringLiteral(
                "L'ultima pagina riporta l'impronta digitale (SHA-256) delle schede elencate e "
                "della loro cronologia delle modifiche: stampando di nuovo lo stesso intervallo "
                "più tardi e confrontando le due impronte si vede subito se qualcosa è cambiato. "
                "Quando l'intervallo arriva al 31 dicembre, il programma propone di aggiungere "
                "la pagina di chiusura dell'anno, con il numero totale delle schede, il primo e "
                "l'ultimo numero, i numeri saltati, quelli annullati e l'impronta di tutte le "
                "schede dell'anno."),
        })};
}

HelpTopic protocolExport() {
    const QString file = QStringLiteral("Protocollo.xls");
    return {
        QStringLiteral("Esportazione protocollo posta in Microsoft Excel."),
        paragraphs({
            QStringLiteral("Il comando di esportazione trasferisce l'intero registro di protocollo "
                           "dell'anno in un file leggibile da Microsoft Excel o da altri programmi "
                           "in grado di aprire il formato XLS."),
            exportClick(file),
            exportSaveAs(file),
            exportFormats(QStringLiteral("Protocollo")),
        })};
}

HelpTopic documentExport() {
    const QString file = QStringLiteral("Schedario_Documenti.xls");
    return {
        QStringLiteral("Esportazione schedario documenti in Microsoft Excel."),
        paragraphs({
            QStringLiteral("Il comando di esportazione trasferisce l'intero schedario documenti in "
                           "un file leggibile da Microsoft Excel o da altri programmi in grado di "
                           "aprire il formato XLS."),
            exportClick(file),
            exportSaveAs(file),
            exportFormats(QStringLiteral("Schedario_Documenti")),
        })};
}

HelpTopic archiveCheck() {
    return {
        QStringLiteral("Verifica archivio."),
        paragraphs({
            QStringLiteral(
                "La verifica dell'archivio, che si avvia dal menu principale, controlla tutti i "
                "registri di protocollo presenti nella cartella del programma, lo schedario "
                "documenti, la cronologia delle modifiche, le impronte e le schede annullate "
                "di ciascun archivio e la cartella Documenti_Allegati. Legge soltanto: non "
                "corregge e non modifica nulla."),
            QStringLiteral(
                "Vengono segnalate le schede danneggiate (un campo che dichiara più caratteri "
                "di quanti ne possa contenere, una scheda finale incompleta lasciata da una "
                "scrittura interrotta), i numeri di protocollo mancanti, dati due volte o "
                "saltati nell'anno, i file allegati nominati da una scheda ma assenti, i file "
                "della cartella degli allegati che nessuna scheda nomina, i file allegati la "
                "cui impronta (SHA-256) non è più quella registrata quando furono allegati, le "
                "righe della cronologia alterate o tolte, i file delle impronte e delle schede "
                "annullate alterati e le schede modificate fuori dal programma."),
            QStringLiteral(
                "Durante la verifica una barra mostra l'avanzamento e il pulsante «Annulla» la "
                "interrompe. Al termine ogni problema è elencato con l'archivio, la posizione e "
                "il numero della scheda: un doppio clic sulla riga apre la scheda nella sua "
                "finestra. Il pulsante «Stampa» stampa l'elenco dei problemi trovati."),
        })};
}

HelpTopic history() {
    return {
        QStringLiteral("Cronologia della scheda."),
        paragraphs({
            QStringLiteral(
                "Questa finestra elenca, dalla più vecchia alla più recente, le modifiche "
                "salvate della scheda visualizzata: per ogni campo cambiato la data e l'ora del "
                "salvataggio, l'operazione (nuova scheda, modifica, duplicato salvato, "
                "annullamento, impronta di un file allegato), il nome del campo, il testo che "
                "conteneva prima e quello salvato. Le righe di uno stesso salvataggio hanno lo "
                "stesso colore di fondo; se un testo è troppo lungo per la sua colonna, basta "
                "fermare il puntatore del mouse sopra di esso per leggerlo per intero."),
            QStringLiteral(
                "Faldora registra ogni salvataggio nel file della cronologia che si trova "
                "accanto all'archivio, nella cartella del programma (per esempio "
                "2026.prt.cronologia per il protocollo del 2026 e "
                "Schedario_Documenti.pro.cronologia per lo schedario), nello stesso momento in "
                "cui salva la scheda. Ogni riga del file è legata alla precedente da "
                "un'impronta digitale (SHA-256): se il file viene modificato al di fuori del "
                "programma, o se ne vengono tolte delle righe, la finestra lo segnala indicando "
                "la riga, ed elenca comunque le modifiche che è possibile leggere."),
            QStringLiteral(
                "Le schede salvate prima che Faldora tenesse la cronologia non hanno modifiche "
                "da elencare; di quelle inserite in archivio prima e modificate dopo sono "
                "elencate soltanto le modifiche successive. La cronologia riguarda le schede "
                "già inserite in archivio: una scheda nuova va prima salvata."),
        })};
}

} // namespace HelpTopics
