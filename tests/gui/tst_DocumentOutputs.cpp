#include "core/DocumentRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "documents/DaCompletare.h"
#include "documents/ExpAltri.h"
#include "documents/StampaAltri.h"
#include "documents/TrovaAltri.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/ReadOnly.h"
#include "support/TestServices.h"
#include "ui/ArchiveTag.h"
#include "ui/FormatButton.h"
#include "ui/RecordGrid.h"
#include "ui/ResultList.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <memory>

// A data cell's opening tag, a literal so that rows can be written as adjacent literals.
#define CELL_OPEN "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">"

Q_DECLARE_METATYPE(MessageKind)

namespace {

using F = DocumentRecord::Field;

// A card as the lists show it, and what tells twins apart.
struct Doc {
    const char* name;
    const char* date = "";
    const char* producer = "";
    const char* addressee = "";
    const char* protocol = "";
    const char* mark = "No";
    const char* subject = "";
};

DocumentRecord make(const Doc& d) {
    DocumentRecord r;
    r.setText(F::Documento, QString::fromUtf8(d.name));
    r.setText(F::DataPro, QString::fromUtf8(d.date));
    r.setText(F::Produttore, QString::fromUtf8(d.producer));
    r.setText(F::Destinatario, QString::fromUtf8(d.addressee));
    r.setText(F::Protocollo, QString::fromUtf8(d.protocol));
    r.setText(F::DaCompletare, QString::fromUtf8(d.mark));
    r.setText(F::Oggetto, QString::fromUtf8(d.subject));
    return r;
}

using Docs = QList<Doc>;

// The document card window over an index in a temporary program folder.
struct Fixture {
    TestServices services;
    TfrmAltri card;

    explicit Fixture(const Docs& docs = {}) {
        for (const Doc& d : docs)
            append(make(d));
    }
    RecordArchive archive() const { return DocumentArchive::in(services.folderPath()); }
    QString indexPath() const { return services.file(DocumentArchive::FileName); }
    void append(const Record& record) const { QVERIFY(archive().append(record)); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&card, name); }
    QString position() const { return control<QLabel>(&card, "lblPosizione")->text(); }
    QCheckBox* mark() const { return control<QCheckBox>(&card, "chkDaCompletare"); }
    QByteArray exported() const {
        QFile f(services.file(QStringLiteral("Schedario_Documenti.xls")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

void click(QWidget* window, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

ResultList* results(QWidget& window) {
    auto* list = window.findChild<ResultList*>();
    if (!list)
        qFatal("no result list in %s", qPrintable(window.objectName()));
    return list;
}

// The two windows that list document cards as lines.
enum class Lister { Search, ToComplete };

// The lister over the fixture's index, shown, with its list made (the search with every
// filter blank).
std::unique_ptr<QDialog> openLister(Lister lister, Fixture& f) {
    std::unique_ptr<QDialog> w;
    if (lister == Lister::Search) {
        auto search = std::make_unique<TfrmTrovaAltri>(&f.card, &f.card);
        search->setOpenerTag(ArchiveTag::Documents);
        w = std::move(search);
    } else {
        w = std::make_unique<TfrmDaCompletare>(&f.card, &f.card);
    }
    w->show();
    if (!QTest::qWaitForWindowActive(w.get()))
        qWarning("the list window did not become active");
    if (lister == Lister::Search)
        click(w.get(), "btnCerca");
    return w;
}

void addListerRows(const char* name, const std::function<void(QTestData&)>& rest) {
    for (Lister lister : {Lister::Search, Lister::ToComplete}) {
        QTestData& row =
            QTest::addRow("%s, %s", name, lister == Lister::Search ? "search" : "to complete");
        row << lister;
        rest(row);
    }
}

// A real double click on line `row` of the list.
void doubleClickLine(QWidget& window, int row) {
    auto* lstRecords = control<QListView>(&window, "lstRecords");
    const QModelIndex index = lstRecords->model()->index(row, 0);
    lstRecords->setCurrentIndex(index);
    lstRecords->scrollTo(index);
    const QPoint at = lstRecords->visualRect(index).center();
    // The press of the first click names the line that the double click acts on.
    QTest::mouseClick(lstRecords->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(lstRecords->viewport(), Qt::LeftButton, {}, at);
}

// The printed objects' texts by name; a text printed over several pages is joined by
// line feeds.
QHash<QString, QString> printedTexts(const Report::Prepared& report) {
    QHash<QString, QString> texts;
    for (const Report::Page& page : report.pages) {
        for (const Report::Placed& placed : page.objects) {
            if (placed.object.kind != Report::Object::Text)
                continue;
            QString& text = texts[placed.object.name];
            text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + placed.object.text;
        }
    }
    return texts;
}

int dataRows(const QByteArray& xls) {
    return int(xls.count("<tr>")) - 1;
}

const QString kNoLines =
    QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce.");
const QString kExportFailed =
    QStringLiteral("Attenzione: il sistema non permette di esportare i dati.\n\r\n\rAccertarsi "
                   "che il file di Excel non sia già aperto.");

// Cards for the filters: "Affitto  ufficio" holds two blanks in a row.
const Docs kDocs = {
    {"Contratto di locazione", "15/01/2026", "Studio Rossi", "Mario Bianchi", "1/2026", "No",
     "Affitto  ufficio"},
    {"VERBALE DI ASSEMBLEA", "20/02/2026", "rossi e figli", "Condominio Aurora", "2/2026", "Sì",
     "Assemblea ordinaria"},
    {"Copia contratto fornitura", "03/03/2025", "Enel Energia", "Studio Rossi", "", "Sì",
     "è urgente"},
    {"Fattura n. 45", "28/12/2025", "", "Studio Bianchi", "45/2025", "No", "Manutenzione caldaia"},
};

// The head of every export file, typed piece by piece, up to the header row's "<tr>".
const QByteArray kHead = "<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
                         "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
                         "xmlns=\"http://www.w3.org/TR/REC-html40\">"
                         "<head>"
                         "<meta http-equiv=\"Content-Type\" content=\"text/html; "
                         "charset=windows-1252\">"
                         "<!--[if gte mso 9]><xml>"
                         "<x:ExcelWorkbook>"
                         "<x:ExcelWorksheets>"
                         "<x:ExcelWorksheet>"
                         "<x:Name>Schedario Documenti</x:Name>"
                         "<x:WorksheetOptions>"
                         "<x:Selected/>"
                         "<x:Panes>"
                         "<x:Pane>"
                         "<x:Number>1</x:Number>"
                         "<x:ActiveRow>3</x:ActiveRow>"
                         "</x:Pane>"
                         "</x:Panes>"
                         "<x:ProtectContents>False</x:ProtectContents>"
                         "<x:ProtectObjects>False</x:ProtectObjects>"
                         "<x:ProtectScenarios>False</x:ProtectScenarios>"
                         "</x:WorksheetOptions>"
                         "</x:ExcelWorksheet>"
                         "</x:ExcelWorksheets>"
                         "</x:ExcelWorkbook>"
                         "</xml><![endif]-->"
                         "</head>"
                         "<body>"
                         "<table x:str>"
                         "<tr>";

// The header row of the document table, with the file's widths.
const QByteArray kHeaderRow =
    "<td style=\"text-align: left; font-weight: bold;\" width=300>Documento</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=200>Protocollo n.</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Produttore</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Indirizzo produttore</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=200>Data produzione</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Destinatario</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Indirizzo destinatario</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=200>Data ricezione</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=400>Oggetto</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Tipo documento</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Classificazione</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=300>Fascicolo contenitore</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Formato</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=200>N. pagine</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=300>Allegati</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=300>Riferimenti</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Livello di riservatezza</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Software di produzione</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=250>Luogo conservazione</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=400>Soggetti citati nel "
    "documento</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=400>Note</td>"
    "<td style=\"text-align: left; font-weight: bold;\" width=120>Da completare</td>"
    "</tr>";

const QByteArray kTail = "</table></body></html>";

const QByteArray kEmptyCell = CELL_OPEN "</td>";

} // namespace

Q_DECLARE_METATYPE(Doc)
Q_DECLARE_METATYPE(Lister)

class TestDocumentOutputs : public QObject {
    Q_OBJECT
private slots:
    // The lines of both lists, column by column: the name in 40, "  Data: " at 41, the date
    // in 10, "  Da: " at 59, the producer in 30, "  A: " at 95, the addressee in 30,
    // "  Prot. n. " at 130 and the protocol number, as long as it is, at 141.

    void lines_data() {
        QTest::addColumn<Lister>("lister");
        QTest::addColumn<Doc>("doc");
        QTest::addColumn<QString>("line");
        const struct {
            const char* name;
            Doc doc;
            QString line;
        } rows[] = {
            {"a 55-character name cut to 40",
             {"Verbale della riunione del consiglio di amministrazione", "12/01/2026",
              "Studio Rossi", "Comune di Forlì", "7/2026", "Sì"},
             QStringLiteral("Verbale della riunione del consiglio di   Data: 12/01/2026  Da: "
                            "Studio Rossi") +
                 QString(18, u' ') + QStringLiteral("  A: Comune di Forlì") + QString(15, u' ') +
                 QStringLiteral("  Prot. n. 7/2026")},
            {"a 45-character name cut to 40, producer empty",
             {"Contratto di fornitura di energia elettrica 1", "01/02/2026", "", "Condominio",
              "10/2026", "Sì"},
             QStringLiteral("Contratto di fornitura di energia elettr  Data: 01/02/2026  Da: ") +
                 QString(30, u' ') + QStringLiteral("  A: Condominio") + QString(20, u' ') +
                 QStringLiteral("  Prot. n. 10/2026")},
            {"an empty protocol number ends the line",
             {"Delibera", "", "Giunta", "", "", "Sì"},
             QStringLiteral("Delibera") + QString(32, u' ') + QStringLiteral("  Data: ") +
                 QString(10, u' ') + QStringLiteral("  Da: Giunta") + QString(24, u' ') +
                 QStringLiteral("  A: ") + QString(30, u' ') + QStringLiteral("  Prot. n. ")},
            {"long producer, addressee and protocol number",
             {"Perizia", "30/06/2026", "Ing. Alessandro Benedetti Montanari",
              "Azienda Unità Sanitaria Locale Romagna", "1234567890/2026/ABCDEFGH/XYZ", "Sì"},
             QStringLiteral("Perizia") + QString(33, u' ') +
                 QStringLiteral("  Data: 30/06/2026  Da: Ing. Alessandro Benedetti Mont  A: "
                                "Azienda Unità Sanitaria Locale  Prot. n. "
                                "1234567890/2026/ABCDEFGH/XYZ")},
        };
        for (const auto& row : rows)
            addListerRows(row.name, [&](QTestData& data) { data << row.doc << row.line; });
    }
    void lines() {
        QFETCH(Lister, lister);
        QFETCH(Doc, doc);
        QFETCH(QString, line);
        Fixture f({doc});
        const auto w = openLister(lister, f);
        QCOMPARE(results(*w)->lines(), QStringList{line});
        const QList<std::pair<int, QString>> columns = {
            {41, QStringLiteral("  Data: ")},
            {59, QStringLiteral("  Da: ")},
            {95, QStringLiteral("  A: ")},
            {130, QStringLiteral("  Prot. n. ")},
        };
        for (const auto& [column, text] : columns)
            QCOMPARE(line.mid(column - 1, text.size()), text);
        QCOMPARE(line.mid(140), QString::fromUtf8(doc.protocol));
        QCOMPARE(control<QListView>(w.get(), "lstRecords")->font().family(),
                 QStringLiteral("Courier New"));
    }

    // The to-complete list.

    void toCompleteListsTheMarkedCardsInOrder_data() {
        QTest::addColumn<Docs>("docs");
        // The listed cards, in list order: the name and the date, when there is one.
        QTest::addColumn<QStringList>("names");
        QTest::newRow("all No") << Docs{{"Uno"}, {"Due"}, {"Tre"}} << QStringList{};
        QTest::newRow("empty index") << Docs{} << QStringList{};
        QTest::newRow("only an exact Sì") << Docs{
            {"Minuscolo", "", "", "", "", "sì"}, {"Senza accento", "", "", "", "", "Si"},
            {"Maiuscolo", "", "", "", "", "SI"}, {"Vuoto", "", "", "", "", ""},
            {"Segnato", "", "", "", "", "Sì"},   {"No", "", "", "", "", "No"},
        } << QStringList{"Segnato"};
        QTest::newRow("the case of A-Z does not count")
            << Docs{{"beta", "", "", "", "", "Sì"},
                    {"GAMMA", "", "", "", "", "Sì"},
                    {"Alfa", "", "", "", "", "Sì"},
                    {"delta", "", "", "", "", "Sì"},
                    {"Zeta", "", "", "", "", "No"}}
            << QStringList{"Alfa", "beta", "delta", "GAMMA"};
        QTest::newRow("a name that begins another comes first, then by date")
            << Docs{{"Atto notarile", "02/01/2026", "", "", "", "Sì"},
                    {"Atto", "09/01/2026", "", "", "", "Sì"},
                    {"Atto", "01/01/2026", "", "", "", "Sì"}}
            << QStringList{"Atto 01/01/2026", "Atto 09/01/2026", "Atto notarile 02/01/2026"};
    }
    void toCompleteListsTheMarkedCardsInOrder() {
        QFETCH(Docs, docs);
        QFETCH(QStringList, names);
        Fixture f(docs);
        TfrmDaCompletare w(&f.card, &f.card);
        // Made when the window is: a card stored later is not listed.
        f.append(make({"Dopo", "", "", "", "", "Sì"}));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(control<QLineEdit>(&w, "txtTrova")->hasFocus());
        QStringList listed;
        for (const QString& line : w.lines())
            listed << (line.left(40).trimmed() + u' ' + line.mid(48, 10)).trimmed();
        QCOMPARE(listed, names);
        QVERIFY(!w.findChild<QLabel*>(QStringLiteral("lblTrovate")));

        control<QLineEdit>(&w, "txtTrova")->setText(QStringLiteral("data"));
        click(&w, "btnTrova");
        if (names.isEmpty()) {
            QCOMPARE(f.services.messages.size(), 1);
            QCOMPARE(f.services.messages[0].kind, MessageKind::Notice);
            QCOMPARE(f.services.messages[0].text, kNoLines);
        } else {
            QVERIFY(f.services.messages.isEmpty());
            QCOMPARE(results(w)->selectedLine(), 0);
        }
    }

    void toCompleteWindow() {
        Fixture f;
        TfrmDaCompletare w(&f.card, &f.card);
        QCOMPARE(w.windowTitle(), QStringLiteral(" Riepilogo documenti da completare"));
        QCOMPARE(w.size(), QSize(862, 560));
        QCOMPARE(w.minimumSize(), w.maximumSize());
        QCOMPARE(control<QLabel>(&w, "lblRigo01")->text(),
                 QStringLiteral("Immettere una o più parole consecutive presenti nella scheda "
                                "in elenco da cercare e premere il pulsante Trova."));
        QCOMPARE(control<QLabel>(&w, "lblRigo02")->text(),
                 QStringLiteral("Per spostarsi sulla voce successiva contenente la stessa "
                                "chiave di ricerca, fare di nuovo clic su Trova."));
        QCOMPARE(control<QLabel>(&w, "lblRigo03")->text(),
                 QStringLiteral("Per richiamare i dati di una scheda, selezionarla con un "
                                "doppio clic."));
        QCOMPARE(control<QListView>(&w, "lstRecords")->size(), QSize(801, 273));
        QCOMPARE(control<QLineEdit>(&w, "txtTrova")->width(), 593);
        QCOMPARE(control<QPushButton>(&w, "btnTrova")->size(), QSize(105, 30));
        QCOMPARE(control<QPushButton>(&w, "btnChiudi")->text(), QStringLiteral("Chiudi"));
        QCOMPARE(control<QPushButton>(&w, "btnStampa")->text(), QStringLiteral("Stampa"));
        // The tab order: txtTrova, lstRecords, btnStampa, btnTrova, btnChiudi.
        auto* txtTrova = control<QLineEdit>(&w, "txtTrova");
        QStringList tabs;
        QWidget* at = txtTrova;
        do {
            if (at->focusPolicy() & Qt::TabFocus)
                tabs << at->objectName();
            at = at->nextInFocusChain();
        } while (at != txtTrova);
        QCOMPARE(tabs,
                 QStringList({"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}));

        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        txtTrova->setFocus();
        QTest::keyClick(txtTrova, Qt::Key_Return); // moves to Trova, presses nothing
        QVERIFY(control<QPushButton>(&w, "btnTrova")->hasFocus());
        QVERIFY(f.services.messages.isEmpty());
        click(&w, "btnChiudi");
        QVERIFY(!w.isVisible());
    }

    // "Trova" in both lists: each row is a series of keys, each pressed once, and the line
    // selected after it. The lines: Alfa (Rossi), Beta (Bianchi), Gamma (Rossi).

    void trova_data() {
        QTest::addColumn<Lister>("lister");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QList<int>>("selected");
        const struct {
            const char* name;
            QStringList keys;
            QList<int> selected;
        } rows[] = {
            {"\"data\" is on every line", {"data", "data", "data", "data"}, {0, 1, 2, 0}},
            {"capitals find small letters", {"DATA", "DATA"}, {0, 1}},
            {"again moves on and wraps", {"rossi", "rossi", "rossi"}, {0, 2, 0}},
            {"a single line stays", {"bianchi", "bianchi"}, {1, 1}},
            {"a new key starts from the first line", {"data", "data", "a: "}, {0, 1, 0}},
            {"nothing found keeps the selection", {"rossi", "rossi", "verdi"}, {0, 2, 2}},
            {"an empty key never matches", {"gamma", ""}, {2, 2}},
        };
        for (const auto& row : rows)
            addListerRows(row.name, [&](QTestData& data) { data << row.keys << row.selected; });
    }
    void trova() {
        QFETCH(Lister, lister);
        QFETCH(QStringList, keys);
        QFETCH(QList<int>, selected);
        Fixture f({{"Gamma", "03/01/2026", "Rossi", "", "3", "Sì"},
                   {"Alfa", "01/01/2026", "Mario Rossi", "", "1", "Sì"},
                   {"Beta", "02/01/2026", "Anna Bianchi", "", "2", "Sì"}});
        const auto w = openLister(lister, f);
        auto* txtTrova = control<QLineEdit>(w.get(), "txtTrova");
        for (int i = 0; i < keys.size(); ++i) {
            txtTrova->setText(keys[i]);
            click(w.get(), "btnTrova");
            QCOMPARE(results(*w)->selectedLine(), selected[i]);
        }
        QVERIFY(f.services.messages.isEmpty());
    }

    // A double click loads every card whose line is the chosen one, in file order, and
    // closes the list. The chosen line is the last of the name given.

    void doubleClickLoadsIntoTheCardWindow_data() {
        QTest::addColumn<Lister>("lister");
        QTest::addColumn<Docs>("docs");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<bool>("markBefore");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("subject");
        QTest::addColumn<bool>("markAfter");
        const struct {
            const char* name;
            Docs docs;
            const char* chosen;
            bool markBefore;
            const char* position;
            const char* subject;
            bool markAfter;
        } rows[] = {
            {"card 5 of 6",
             {{"Uno"},
              {"Due"},
              {"Tre"},
              {"Quattro"},
              {"Cinque", "05/01/2026", "Rossi", "Bianchi", "5/2026", "Sì", "quinta"},
              {"Sei"}},
             "Cinque",
             false,
             "5",
             "quinta",
             true},
            {"twin lines load the later card",
             {{"Uno"},
              {"Gemello", "05/01/2026", "Rossi", "", "9", "Sì", "prima"},
              {"Tre"},
              {"Gemello", "05/01/2026", "Rossi", "", "9", "Sì", "seconda"}},
             "Gemello",
             false,
             "4",
             "seconda",
             true},
            {"an unmarked twin is loaded too",
             {{"Gemello", "", "Rossi", "", "", "Sì", "prima"},
              {"Due"},
              {"Gemello", "", "Rossi", "", "", "No", "terza"}},
             "Gemello",
             true,
             "3",
             "terza",
             false},
            {"a mark neither Sì nor No leaves the box as the earlier twin set it",
             {{"Gemello", "", "", "", "", "Sì", "prima"},
              {"Gemello", "", "", "", "", "X", "seconda"}},
             "Gemello",
             false,
             "2",
             "seconda",
             true},
            {"an empty protocol number",
             {{"Uno"}, {"Senza numero", "01/03/2026", "Rossi", "Bianchi", "", "Sì", "vuoto"}},
             "Senza numero",
             false,
             "2",
             "vuoto",
             true},
            // ÿ is byte 255: a line ending in it is not its twin without it.
            {"a line ending in ÿ, the last letter of the code page",
             {{"Perizia ÿ", "", "Ÿvonne", "", "9/ÿ", "Sì", "con ÿ"},
              {"Perizia ÿ", "", "Ÿvonne", "", "9/", "Sì", "senza"}},
             "Perizia ÿ",
             false,
             "1",
             "con ÿ",
             true},
        };
        for (const auto& row : rows)
            addListerRows(row.name, [&](QTestData& data) {
                data << row.docs << QString::fromUtf8(row.chosen) << row.markBefore
                     << QString::fromLatin1(row.position) << QString::fromUtf8(row.subject)
                     << row.markAfter;
            });
    }
    void doubleClickLoadsIntoTheCardWindow() {
        QFETCH(Lister, lister);
        QFETCH(Docs, docs);
        QFETCH(QString, chosen);
        QFETCH(bool, markBefore);
        QFETCH(QString, position);
        QFETCH(QString, subject);
        QFETCH(bool, markAfter);
        Fixture f(docs);
        f.mark()->setChecked(markBefore);
        const auto w = openLister(lister, f);
        const QStringList lines = results(*w)->lines();
        int row = int(lines.size()) - 1;
        while (row >= 0 && lines[row].left(40).trimmed() != chosen)
            --row;
        QVERIFY(row >= 0);
        doubleClickLine(*w, row);
        QTRY_VERIFY(!w->isVisible());
        QCOMPARE(w->result(), int(QDialog::Accepted));
        QCOMPARE(f.position(), position);
        QCOMPARE(f.edit("txtDocumento")->text(), chosen);
        QCOMPARE(f.edit("txtOggetto")->text(), subject);
        QCOMPARE(f.mark()->isChecked(), markAfter);
        QVERIFY(f.services.messages.isEmpty());
    }

    // A click below the lines takes the highlight away; the double click there closes the
    // window as on a line, loading nothing, without a message; in an empty list too.
    void doubleClickBelowTheLinesLoadsNothing_data() {
        QTest::addColumn<Lister>("lister");
        QTest::addColumn<Docs>("docs");
        addListerRows("one line", [](QTestData& data) {
            data << Docs{{"Uno", "", "", "", "", "Sì"}};
        });
        addListerRows("two lines", [](QTestData& data) {
            data << Docs{{"Uno", "", "", "", "", "Sì"}, {"Due", "", "", "", "", "Sì"}};
        });
        QTest::newRow("empty list, to complete")
            << Lister::ToComplete << Docs{{"Uno", "", "", "", "", "No"}};
    }
    void doubleClickBelowTheLinesLoadsNothing() {
        QFETCH(Lister, lister);
        QFETCH(Docs, docs);
        Fixture f(docs);
        const auto w = openLister(lister, f);
        auto* lstRecords = control<QListView>(w.get(), "lstRecords");
        const QPoint below(20, lstRecords->viewport()->height() - 5);
        QVERIFY(!lstRecords->indexAt(below).isValid());
        QTest::mouseClick(lstRecords->viewport(), Qt::LeftButton, {}, below);
        QTest::mouseDClick(lstRecords->viewport(), Qt::LeftButton, {}, below);
        QTRY_VERIFY(!w->isVisible());
        QVERIFY(f.position().isEmpty());
        QVERIFY(f.edit("txtDocumento")->text().isEmpty());
        QVERIFY(f.services.messages.isEmpty());
    }

    void searchWithoutTheTagLoadsNothing() {
        Fixture f(kDocs);
        TfrmTrovaAltri w(&f.card, &f.card);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        click(&w, "btnCerca");
        doubleClickLine(w, 0);
        QTRY_VERIFY(!w.isVisible());
        QVERIFY(f.position().isEmpty());
        QVERIFY(f.edit("txtDocumento")->text().isEmpty());
    }

    // Printing either list: the title, the lines as listed, the date in the footer; an
    // empty list prints too.

    void printingTheList_data() {
        QTest::addColumn<Lister>("lister");
        QTest::addColumn<Docs>("docs");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("lines");
        const Docs two = {{"Beta", "", "", "", "", "Sì"}, {"Alfa", "", "", "", "", "Sì"}};
        const Docs none = {{"Non segnato"}};
        QTest::newRow("search") << Lister::Search << two << "Riepilogo documenti" << 2;
        QTest::newRow("search, empty index")
            << Lister::Search << Docs{} << "Riepilogo documenti" << 0;
        QTest::newRow("to complete")
            << Lister::ToComplete << two << "Riepilogo documenti da completare" << 2;
        QTest::newRow("to complete, empty list")
            << Lister::ToComplete << none << "Riepilogo documenti da completare" << 0;
    }
    void printingTheList() {
        QFETCH(Lister, lister);
        QFETCH(Docs, docs);
        QFETCH(QString, title);
        QFETCH(int, lines);
        Fixture f(docs);
        const auto w = openLister(lister, f);
        QCOMPARE(results(*w)->lines().size(), lines);
        click(w.get(), "btnStampa");
        QCOMPARE(f.services.printed.size(), 1);
        const Report::Prepared& list = f.services.printed[0];
        QCOMPARE(list.orientation, Report::Orientation::Landscape);
        const auto texts = printedTexts(list);
        QCOMPARE(texts.value(QStringLiteral("txtTitolo")), title);
        QCOMPARE(texts.value(QStringLiteral("txtRiepilogo")), results(*w)->lines().join(u'\n'));
        QCOMPARE(texts.value(QStringLiteral("txtPagina")),
                 QStringLiteral("Stampa eseguita in data 05/03/2026"));
        QVERIFY(QFileInfo(f.services.printedPdfs[0]).size() > 0);
        QVERIFY(w->isVisible()); // printing keeps the list open
    }

    // The search window.

    void searchFilterPage_data() {
        QTest::addColumn<QString>("edit");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<QString>("next");
        QTest::addColumn<int>("field");
        const struct {
            const char* edit;
            const char* label;
            QPoint at;
            const char* next;
            F field;
        } rows[] = {
            {"txtDocumento", "Documento:", {144, 141}, "txtProtocollo", F::Documento},
            {"txtProtocollo", "Protocollo n.", {488, 141}, "txtProduttore", F::Protocollo},
            {"txtProduttore", "Produttore:", {144, 211}, "txtDataPro", F::Produttore},
            {"txtDataPro",
             "Data produzione (gg/mm/aaaa):",
             {488, 211},
             "txtDestinatario",
             F::DataPro},
            {"txtDestinatario", "Destinatario:", {144, 281}, "txtOggetto", F::Destinatario},
            {"txtOggetto", "Oggetto:", {488, 281}, "txtTipo", F::Oggetto},
            {"txtTipo", "Tipo documento:", {144, 351}, "txtClassificazione", F::Tipo},
            {"txtClassificazione",
             "Classificazione:",
             {488, 351},
             "txtRiferimenti",
             F::Classificazione},
            {"txtRiferimenti", "Riferimenti:", {144, 421}, "txtNote", F::Riferimenti},
            {"txtNote", "Note:", {488, 421}, "txtDocumento", F::Note},
        };
        for (const auto& row : rows)
            QTest::newRow(row.edit) << QString::fromLatin1(row.edit) << QString::fromUtf8(row.label)
                                    << row.at << QString::fromLatin1(row.next) << int(row.field);
    }
    // Each filter stands at its place under its label, Enter moves to the next, and it finds
    // its own field only: card n holds the key in the field of filter n alone.
    void searchFilterPage() {
        QFETCH(QString, edit);
        QFETCH(QString, label);
        QFETCH(QPoint, at);
        QFETCH(QString, next);
        QFETCH(int, field);
        Fixture f;
        const int filterFields[] = {
            F::Documento, F::Protocollo, F::Produttore,      F::DataPro,     F::Destinatario,
            F::Oggetto,   F::Tipo,       F::Classificazione, F::Riferimenti, F::Note};
        for (int n = 0; n < 10; ++n) {
            DocumentRecord r;
            r.setText(F::Documento, QStringLiteral("Scheda %1").arg(n));
            // Every other field a filter does not read holds the key too.
            for (int other = 0; other < F::FieldCount; ++other) {
                if (std::find(std::begin(filterFields), std::end(filterFields), other) ==
                    std::end(filterFields))
                    r.Record::setText(other, QStringLiteral("chiave"));
            }
            r.Record::setText(filterFields[n],
                              r.Record::text(filterFields[n]) + QStringLiteral(" chiave"));
            f.append(r);
        }
        TfrmTrovaAltri w(&f.card, &f.card);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* filter = control<QLineEdit>(&w, qPrintable(edit));
        QCOMPARE(filter->pos(), at);
        QCOMPARE(filter->width(), 320);
        auto* caption = control<QLabel>(&w, qPrintable(QStringLiteral("lbl") + edit.mid(3)));
        QCOMPARE(caption->text(), label);
        QCOMPARE(caption->pos(), at - QPoint(0, 21));
        filter->setFocus();
        QTRY_VERIFY(filter->hasFocus());
        QTest::keyClick(filter, Qt::Key_Return);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), next);

        filter->setText(QStringLiteral("CHIAVE"));
        click(&w, "btnCerca");
        const int n = int(std::find(std::begin(filterFields), std::end(filterFields), field) -
                          std::begin(filterFields));
        QCOMPARE(results(w)->lines().size(), 1);
        QVERIFY(results(w)->lines()[0].startsWith(QStringLiteral("Scheda %1 ").arg(n)));
    }

    void searchFilters_data() {
        QTest::addColumn<QStringList>("filters"); // edit, text, edit, text...
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("required");
        QTest::newRow("all blank: every card, in the order of the names")
            << QStringList{}
            << QStringList{"Contratto di locazione", "Copia contratto fornitura", "Fattura n. 45",
                           "VERBALE DI ASSEMBLEA"}
            << 0;
        QTest::newRow("capitals find small letters")
            << QStringList{"txtProduttore", "ROSSI"}
            << QStringList{"Contratto di locazione", "VERBALE DI ASSEMBLEA"} << 1;
        QTest::newRow("small letters find capitals")
            << QStringList{"txtDocumento", "verbale"} << QStringList{"VERBALE DI ASSEMBLEA"} << 1;
        QTest::newRow("a capital accented letter does not find its small form")
            << QStringList{"txtOggetto", "È"} << QStringList{} << 1;
        QTest::newRow("an accented letter finds itself")
            << QStringList{"txtOggetto", "è urg"} << QStringList{"Copia contratto fornitura"} << 1;
        QTest::newRow("a leading space is required")
            << QStringList{"txtDocumento", " contratto"} << QStringList{"Copia contratto fornitura"}
            << 1;
        QTest::newRow("blanks only are no required filter")
            << QStringList{"txtNote", "   "}
            << QStringList{"Contratto di locazione", "Copia contratto fornitura", "Fattura n. 45",
                           "VERBALE DI ASSEMBLEA"}
            << 0;
        QTest::newRow("blanks match a card with that run of blanks")
            << QStringList{"txtDocumento", "fattura", "txtOggetto", "  "}
            << QStringList{"Contratto di locazione", "Fattura n. 45"} << 1;
        QTest::newRow("a year lists that year")
            << QStringList{"txtDataPro", "/2025"}
            << QStringList{"Copia contratto fornitura", "Fattura n. 45"} << 1;
        QTest::newRow("two filters together")
            << QStringList{"txtProduttore", "rossi", "txtDataPro", "/01/"}
            << QStringList{"Contratto di locazione"} << 2;
        QTest::newRow("nothing matches")
            << QStringList{"txtProtocollo", "99/"} << QStringList{} << 1;
    }
    void searchFilters() {
        QFETCH(QStringList, filters);
        QFETCH(QStringList, names);
        QFETCH(int, required);
        Fixture f(kDocs);
        TfrmTrovaAltri w(&f.card, &f.card);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(control<QLineEdit>(&w, "txtDocumento")->hasFocus());
        for (qsizetype i = 0; i + 1 < filters.size(); i += 2)
            control<QLineEdit>(&w, qPrintable(filters[i]))->setText(filters[i + 1]);
        click(&w, "btnCerca");
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(control<QLabel>(&w, "lblConta")->text(), QString::number(required));
        QStringList listed;
        for (const QString& line : results(w)->lines())
            listed << line.left(40).trimmed();
        QCOMPARE(listed, names);
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(names.size()));
        QVERIFY(control<QWidget>(&w, "panContainer")->isVisible());
        QVERIFY(!control<QWidget>(&w, "panAvvio")->isVisible());
        QTRY_VERIFY(control<QLineEdit>(&w, "txtTrova")->hasFocus());
    }

    void searchWindow() {
        Fixture f;
        TfrmTrovaAltri w(&f.card, &f.card);
        QCOMPARE(w.windowTitle(), QStringLiteral(" Trova documenti in archivio"));
        QCOMPARE(w.size(), QSize(862, 560));
        QCOMPARE(control<QPushButton>(&w, "btnAnnulla")->text(), QStringLiteral("Chiudi"));
        QCOMPARE(control<QPushButton>(&w, "btnCerca")->text(), QStringLiteral("Cerca"));
        QCOMPARE(control<QLabel>(&w, "lblAttendere")->text(),
                 QStringLiteral("Ricerca schede in corso. Attendere..."));
        w.setOpenerTag(ArchiveTag::Documents);
        QCOMPARE(control<QLabel>(&w, "lblMemory")->text(), QStringLiteral("altri"));
    }

    // A missing index is made empty by the window that reads it.

    void aMissingIndexIsCreatedEmpty_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("search") << "search";
        QTest::newRow("export") << "export";
        QTest::newRow("to complete") << "to complete";
    }
    void aMissingIndexIsCreatedEmpty() {
        QFETCH(QString, window);
        Fixture f;
        QVERIFY(!QFile::exists(f.indexPath()));
        if (window == QLatin1String("search")) {
            TfrmTrovaAltri w(&f.card, &f.card);
            w.show();
            click(&w, "btnCerca");
            QVERIFY(f.services.messages.isEmpty());
            QVERIFY(results(w)->lines().isEmpty());
            QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                     QStringLiteral("Il presente riepilogo contiene 0 schede."));
            click(&w, "btnTrova");
            QCOMPARE(f.services.lastMessage().text, kNoLines);
        } else if (window == QLatin1String("export")) {
            TfrmExpAltri w(&f.card, f.indexPath());
            QCOMPARE(w.grid()->rowCount(), 10);
        } else {
            TfrmDaCompletare w(&f.card, &f.card);
            QVERIFY(w.lines().isEmpty());
        }
        QVERIFY(QFile::exists(f.indexPath()));
        QCOMPARE(QFileInfo(f.indexPath()).size(), 0);
    }

    void anUnreadableIndex() {
        // A folder in the index's place cannot be read: the search says so and stays on its
        // filters, the to-complete list shows nothing and says nothing.
        Fixture f;
        QVERIFY(QDir().mkpath(f.indexPath()));
        TfrmDaCompletare list(&f.card, &f.card);
        QVERIFY(list.lines().isEmpty());
        QVERIFY(f.services.messages.isEmpty());
        TfrmTrovaAltri w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Notice);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio."
                                "\n\r\n\rAccertarsi di possedere i privilegi di scrittura nella "
                                "cartella di installazione del programma."));
        QVERIFY(control<QWidget>(&w, "panAvvio")->isVisible());
    }

    // The export.

    // The whole file of a small index, byte for byte: the 22 columns with the file's
    // widths, "&", "<" and ">" escaped, blanks around a cell gone (stored ones and typed
    // ones), the mark last, and neither the digital copy nor the attachments.
    void exportFileByteForByte() {
        Fixture f;
        DocumentRecord full;
        const struct {
            F field;
            const char* text;
        } values[] = {
            {F::Documento, "Contratto <A> & B"},
            {F::Protocollo, "12/2026"},
            {F::IndirizzoPro, "Via Roma 1"},
            {F::DataPro, "05/03/2026"},
            {F::Destinatario, "Comune di Forlì"},
            {F::IndirizzoDes, "Piazza Saffi 8"},
            {F::DataDes, "06/03/2026"},
            {F::Oggetto, "Richiesta > 1.000 €"},
            {F::Tipo, "Contratto"},
            {F::Classificazione, "Affitti"},
            {F::Fascicolo, "2026/A"},
            {F::Formato, "A4"},
            {F::Pagine, "3"},
            {F::Allegati, "Planimetria"},
            {F::Riferimenti, "Prot. 11/2026"},
            {F::Livello, "Riservato"},
            {F::Software, "Word"},
            {F::Luogo, "Archivio 2"},
            {F::Soggetti, "Mario Rossi; Anna Bruno"},
            {F::Note, "città"},
            {F::Copia, "contratto.pdf"},
            {F::DaCompletare, "Sì"},
            {F::File01, "planimetria.pdf"},
            {F::Desc01, "Pianta del piano terra"},
        };
        for (const auto& v : values)
            full.setText(v.field, QString::fromUtf8(v.text));
        // A producer stored with blanks around it, as another program may leave it.
        QByteArray bytes = full.bytes();
        const auto& producer = DocumentRecord::layout().field(F::Produttore);
        const QByteArray blanks = "  Rossi & Figli \t";
        bytes[producer.offset] = char(blanks.size());
        bytes.replace(producer.offset + 1, blanks.size(), blanks);
        f.append(DocumentRecord(bytes));
        f.append(make({"Verbale"}));

        TfrmExpAltri w(&f.card, f.indexPath());
        QCOMPARE(w.grid()->rowCount(), 2);
        RecordGridModel* grid = w.grid();
        QVERIFY(
            grid->setData(grid->index(1, 6), QStringLiteral("  Ufficio tecnico  "), Qt::EditRole));
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        QCOMPARE(f.services.messages.size(), 2);

        // clang-format off
        const QByteArray expected =
            kHead + kHeaderRow +
            "<tr>"
            CELL_OPEN "Contratto &lt;A&gt; &amp; B</td>"
            CELL_OPEN "12/2026</td>"
            CELL_OPEN "Rossi &amp; Figli</td>"
            CELL_OPEN "Via Roma 1</td>"
            CELL_OPEN "05/03/2026</td>"
            CELL_OPEN "Comune di Forl\xEC</td>"
            CELL_OPEN "Piazza Saffi 8</td>"
            CELL_OPEN "06/03/2026</td>"
            CELL_OPEN "Richiesta &gt; 1.000 \x80</td>"
            CELL_OPEN "Contratto</td>"
            CELL_OPEN "Affitti</td>"
            CELL_OPEN "2026/A</td>"
            CELL_OPEN "A4</td>"
            CELL_OPEN "3</td>"
            CELL_OPEN "Planimetria</td>"
            CELL_OPEN "Prot. 11/2026</td>"
            CELL_OPEN "Riservato</td>"
            CELL_OPEN "Word</td>"
            CELL_OPEN "Archivio 2</td>"
            CELL_OPEN "Mario Rossi; Anna Bruno</td>"
            CELL_OPEN "citt\xE0</td>"
            CELL_OPEN "S\xEC</td>"
            "</tr>"
            "<tr>"
            CELL_OPEN "Verbale</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "Ufficio tecnico</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "</td>"
            CELL_OPEN "No</td>"
            "</tr>" +
            kTail;
        // clang-format on
        const QByteArray file = f.exported();
        QCOMPARE(file, expected);
        QVERIFY(!file.contains('\r') && !file.contains('\n'));
        QCOMPARE(file.indexOf("<head>"), 145);
        // The grid shows the producer trimmed too.
        QCOMPARE(grid->cell(0, 3), QStringLiteral("Rossi & Figli"));
    }

    void anEmptyIndexExportsTenEmptyRows() {
        Fixture f;
        QVERIFY(QFile(f.indexPath()).open(QIODevice::WriteOnly)); // empty
        TfrmExpAltri w(&f.card, f.indexPath());
        QCOMPARE(w.grid()->rowCount(), 10);
        for (int column = 0; column < 23; ++column)
            QVERIFY(w.grid()->cell(9, column).isEmpty());
        f.services.answers = {true, true};
        click(&w, "cmdEsporta");
        const QByteArray row = "<tr>" + kEmptyCell.repeated(22) + "</tr>";
        QCOMPARE(f.exported(), kHead + kHeaderRow + row.repeated(10) + kTail);
        QCOMPARE(
            f.services.opened,
            QStringList{u'"' + f.services.file(QStringLiteral("Schedario_Documenti.xls")) + u'"'});
    }

    void exportGridColumns_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("shown"); // for the card of the fixture
        const struct {
            const char* name;
            const char* header;
            int width;
            bool readOnly;
            const char* shown;
        } rows[] = {
            {"colNum", "N.", 60, true, "1"},
            {"colDocumento", "Documento", 300, true, "Documento"},
            {"colProtocollo", "Protocollo n.", 160, true, "Protocollo"},
            {"colProduttore", "Produttore", 250, true, "Produttore"},
            {"colIndirizzoPro", "Indirizzo produttore", 300, true, "IndirizzoPro"},
            {"colDataPro", "Data produzione", 180, false, "DataPro"},
            {"colDestinatario", "Destinatario", 250, false, "Destinatario"},
            {"colIndirizzoDes", "Indirizzo destinatario", 300, true, "IndirizzoDes"},
            {"colDataDes", "Data ricezione", 180, true, "DataDes"},
            {"colOggetto", "Oggetto", 350, true, "Oggetto"},
            {"colTipo", "Tipo documento", 250, true, "Tipo"},
            {"colClassificazione", "Classificazione", 250, false, "Classificazione"},
            {"colFascicolo", "Fascicolo contenitore", 250, false, "Fascicolo"},
            {"colFormato", "Formato", 200, true, "Formato"},
            {"colPagine", "N. pagine", 180, true, "Pagine"},
            {"colAllegati", "Allegati", 300, false, "Allegati"},
            {"colRiferimenti", "Riferimenti", 300, true, "Riferimenti"},
            {"colLivello", "Livello di riservatezza", 250, true, "Livello"},
            {"colSoftware", "Software di produzione", 250, true, "Software"},
            {"colLuogo", "Luogo conservazione", 250, false, "Luogo"},
            {"colSoggetti", "Soggetti citati nel documento", 300, false, "Soggetti"},
            {"colNote", "Note", 300, false, "Note"},
            {"colDaCompletare", "Da completare", 120, false, "Sì"},
        };
        int column = 0;
        for (const auto& row : rows) {
            QTest::newRow(row.name)
                << column++ << QString::fromLatin1(row.name) << QString::fromUtf8(row.header)
                << row.width << row.readOnly << QString::fromUtf8(row.shown);
        }
    }
    // Each column with its header and width, shows its field trimmed; a read-only one takes
    // no typing, the others take it into the grid and the export, never into the index.
    void exportGridColumns() {
        QFETCH(int, column);
        QFETCH(QString, name);
        QFETCH(QString, header);
        QFETCH(int, width);
        QFETCH(bool, readOnly);
        QFETCH(QString, shown);
        Fixture f;
        // Each field holds its own name with blanks around it, the mark "Sì".
        DocumentRecord r;
        for (int i = 0; i < F::FieldCount; ++i)
            r.Record::setText(i, QStringLiteral(" %1 ").arg(
                                     QLatin1String(DocumentRecord::layout().field(i).name)));
        r.setText(F::DaCompletare, DocumentRecord::Yes);
        f.append(r);
        const QByteArray stored = f.archive().read(1)->bytes();
        TfrmExpAltri w(&f.card, f.indexPath());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto* grdRecords = control<QTableView>(&w, "grdRecords");
        RecordGridModel* grid = w.grid();
        QCOMPARE(grid->columnCount(), 23);
        QCOMPARE(QLatin1String(grid->columns()[column].name), name);
        QCOMPARE(grdRecords->model()->headerData(column, Qt::Horizontal).toString(), header);
        QCOMPARE(grdRecords->columnWidth(column), width);
        QCOMPARE(grid->rowCount(), 1);
        QCOMPARE(grid->cell(0, column), shown);
        QCOMPARE(bool(grid->flags(grid->index(0, column)) & Qt::ItemIsEditable), !readOnly);

        const bool typed =
            grid->setData(grid->index(0, column), QStringLiteral("Scritto a mano"), Qt::EditRole);
        QCOMPARE(typed, !readOnly);
        QCOMPARE(grid->cell(0, column), readOnly ? shown : QStringLiteral("Scritto a mano"));
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        const QByteArray cell = CELL_OPEN "Scritto a mano</td>";
        QCOMPARE(f.exported().contains(cell), !readOnly && column > 0);
        QCOMPARE(f.archive().read(1)->bytes(), stored);
    }

    void exportWindow() {
        Fixture f({{"Uno"}, {"Due", "", "", "", "", "Sì"}, {"Tre"}});
        TfrmExpAltri w(&f.card, f.indexPath());
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(),
                 QStringLiteral(" Esporta schedario documenti in Microsoft Excel"));
        QCOMPARE(w.size(), QSize(862, 560));
        QCOMPARE(control<QTableView>(&w, "grdRecords")->geometry().size(), QSize(821, 409));
        QCOMPARE(w.grid()->rowCount(), 3);
        for (int r = 0; r < 3; ++r)
            QCOMPARE(w.grid()->cell(r, 0), QString::number(r + 1));
        QCOMPARE(w.grid()->cell(1, 22), QStringLiteral("Sì"));
        QCOMPARE(w.grid()->cell(2, 22), QStringLiteral("No"));
        QCOMPARE(control<QLabel>(&w, "panInfo")->text(),
                 QStringLiteral("Esportazione archivio in Microsoft Excel."));
        const struct {
            const char* tool;
            QString hint;
        } hints[] = {
            {"cmdEsporta", QStringLiteral("Esporta l'archivio in formato Microsoft Excel.")},
            {"cmdGuida", QStringLiteral("Visualizza la pagina della guida sensibile al contesto.")},
            {"cmdEsci", QStringLiteral("Esci da questo ambiente di lavoro.")},
            {"cmdFormato", QStringLiteral("Formato del file esportato: Excel (.xls). Fare clic "
                                          "per sceglierne un altro.")},
        };
        for (const auto& h : hints) {
            QTest::mouseMove(control<QWidget>(&w, h.tool));
            QTRY_COMPARE(control<QLabel>(&w, "panInfo")->text(), h.hint);
        }

        QString title, body;
        ANSWER_MODAL(clicking(control<QWidget>(&w, "cmdGuida")), [&](QDialog* dialog) {
            title = control<QLabel>(dialog, "lblTitolo")->text();
            body = control<QPlainTextEdit>(dialog, "txtGuida")->toPlainText();
            QTest::mouseClick(control<QPushButton>(dialog, "btnChiudi"), Qt::LeftButton);
        });
        QCOMPARE(title, QStringLiteral("Esportazione schedario documenti in Microsoft Excel."));
        // The three paragraphs of the export, and the one of the format's choice.
        const QStringList paragraphs = body.split(QStringLiteral("\n\n"));
        QCOMPARE(paragraphs.size(), 4);
        QVERIFY(body.contains(QStringLiteral("Schedario_Documenti.xls")));
        QVERIFY(paragraphs[3].contains(QStringLiteral("Schedario_Documenti.xlsx o "
                                                      "Schedario_Documenti.csv")));

        // No: nothing is written.
        f.services.answers = {false};
        click(&w, "cmdEsporta");
        QVERIFY(!QFile::exists(f.services.file(QStringLiteral("Schedario_Documenti.xls"))));
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        QCOMPARE(dataRows(f.exported()), 3);
        QVERIFY(f.exported().contains(CELL_OPEN "S\xEC</td></tr>"));
        QVERIFY(f.services.opened.isEmpty());
        click(&w, "cmdEsci");
        QVERIFY(!w.isVisible());
    }

    // The format is chosen next to the export, kept in the settings for the next window
    // (a hand-edited word there keeps the .xls) and used with what was typed in the grid.
    void formatChoice_data() {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("first");
        QTest::newRow("never chosen") << QByteArray() << "xls";
        QTest::newRow("chosen before")
            << QByteArray("[Esportazione]\r\nFormato=xlsx\r\n") << "xlsx";
        QTest::newRow("edited by hand") << QByteArray("[Esportazione]\r\nFormato=ods\r\n") << "xls";
    }
    void formatChoice() {
        QFETCH(QByteArray, settings);
        QFETCH(QString, first);
        Fixture f({{"Uno", "02/01/2026"}, {"Due"}});
        const QString ini = f.services.file(QStringLiteral("Faldora_Pro.ini"));
        if (!settings.isEmpty())
            writeBytes(ini, settings);
        {
            TfrmExpAltri w(&f.card, f.indexPath());
            auto* cmdFormato = control<FormatButton>(&w, "cmdFormato");
            QCOMPARE(Spreadsheet::choice(cmdFormato->format()).key, first);
            QAction* csv = cmdFormato->menu()->findChild<QAction*>(QStringLiteral("actFormatocsv"));
            QVERIFY(csv && !csv->isChecked());
            csv->trigger();
            QVERIFY(csv->isChecked());
            QCOMPARE(cmdFormato->format(), Spreadsheet::Format::Csv);
            QVERIFY(readBytes(ini).contains("[Esportazione]\r\nFormato=csv\r\n"));
            QVERIFY(w.grid()->setData(w.grid()->index(1, 6), QStringLiteral("=SOMMA(1;2)"),
                                      Qt::EditRole));
            f.services.answers = {true, true};
            click(&w, "cmdEsporta");
            const QString path = f.services.file(QStringLiteral("Schedario_Documenti.csv"));
            QCOMPARE(f.services.opened, QStringList{u'"' + path + u'"'});
            const QList<QByteArray> lines = readBytes(path).split('\n');
            QCOMPARE(lines.size(), 4); // the titles, two cards, the end of the last line
            QVERIFY(lines[0].startsWith("\xEF\xBB\xBF"
                                        "Documento;Protocollo n.;Produttore;"));
            QVERIFY(lines[1].startsWith("Uno;;;;02/01/2026;"));
            QVERIFY(lines[2].startsWith("Due;;;;;\"'=SOMMA(1;2)\";;"));
            QVERIFY(!QFile::exists(f.services.file(QStringLiteral("Schedario_Documenti.xls"))));
        }
        TfrmExpAltri next(&f.card, f.indexPath());
        QCOMPARE(control<FormatButton>(&next, "cmdFormato")->format(), Spreadsheet::Format::Csv);
    }

    // A failed export says so and leaves the previous file as it was, in every format.

    void aFailedExportKeepsThePreviousFile_data() {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("format");
        for (const char* format : {"xls", "xlsx", "csv"}) {
            QTest::addRow("the disk fills up, %s", format) << "size limit" << format;
            QTest::addRow("the folder refuses writes, %s", format) << "read-only folder" << format;
            QTest::addRow("a folder in the file's place, %s", format) << "folder" << format;
        }
    }
    void aFailedExportKeepsThePreviousFile() {
        QFETCH(QString, how);
        QFETCH(QString, format);
        Fixture f({{"Uno"}, {"Due"}});
        const QString name = QStringLiteral("Schedario_Documenti.") + format;
        const QString file = f.services.file(name);
        const QByteArray earlier = "<html>earlier</html>";
        if (how == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(file));
        } else {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(earlier);
        }
        TfrmExpAltri w(&f.card, f.indexPath());
        w.findChild<FormatButton*>(QStringLiteral("cmdFormato"))
            ->choose(*Spreadsheet::formatOfKey(format));
        f.services.answers = {true};
        if (how == QLatin1String("size limit")) {
            const FileSizeLimit limit(64);
            if (!limit.ok())
                QSKIP(qPrintable(limit.why()));
            click(&w, "cmdEsporta");
        } else if (how == QLatin1String("read-only folder")) {
            const ReadOnly locked(f.services.folderPath());
            if (!locked.ok()) {
                f.services.answers.clear();
                QSKIP("this machine cannot make a folder refuse writes");
            }
            click(&w, "cmdEsporta");
        } else {
            click(&w, "cmdEsporta");
        }
        QCOMPARE(f.services.messages.size(), 2);
        QCOMPARE(f.services.messages[1].kind, MessageKind::Notice);
        QCOMPARE(f.services.messages[1].text, kExportFailed);
        if (how == QLatin1String("folder"))
            QVERIFY(QFileInfo(file).isDir());
        else
            QCOMPARE(readBytes(file), earlier);
        QVERIFY(f.services.opened.isEmpty());
        // Nothing half-written is left beside it; the settings keep the format chosen.
        QStringList left = QDir(f.services.folderPath()).entryList(QDir::Files);
        for (const QString& kept :
             {DocumentArchive::FileName, name, QStringLiteral("Faldora_Pro.ini"),
              QStringLiteral("Faldora_Pro.ini.lock")})
            left.removeAll(kept);
        QCOMPARE(left, QStringList{});
    }

    // The card print.

    void printingTheCard_data() {
        QTest::addColumn<bool>("filled");
        QTest::newRow("a blank card") << false;
        QTest::newRow("an unsaved card") << true;
    }
    // The title, the 21 labels with their values (what the card's fields show, trimmed)
    // and the footer with the moment of printing, on one A4 portrait page.
    void printingTheCard() {
        QFETCH(bool, filled);
        Fixture f;
        const struct {
            const char* labelObject;
            const char* label;
            const char* field;
        } rows[] = {
            {"Memo1", "Documento:", "txtDocumento"},
            {"Memo2", "Protocollo n.", "txtProtocollo"},
            {"Memo3", "Produttore:", "txtProduttore"},
            {"Memo4", "Indirizzo produttore:", "txtIndirizzoPro"},
            {"Memo5", "Data produzione:", "txtDataPro"},
            {"Memo6", "Destinatario:", "txtDestinatario"},
            {"Memo7", "Indirizzo destinatario:", "txtIndirizzoDes"},
            {"Memo8", "Data ricezione:", "txtDataDes"},
            {"Memo9", "Oggetto:", "txtOggetto"},
            {"Memo10", "Tipo documento:", "txtTipo"},
            {"Memo11", "Classificazione:", "txtClassificazione"},
            {"Memo12", "Fascicolo contenitore:", "txtFascicolo"},
            {"Memo13", "Formato:", "txtFormato"},
            {"Memo14", "N. pagine:", "txtPagine"},
            {"Memo15", "Allegati:", "txtAllegati"},
            {"Memo16", "Riferimenti:", "txtRiferimenti"},
            {"Memo35", "Livello di riservatezza:", "txtLivello"},
            {"Memo36", "Software di produzione:", "txtSoftware"},
            {"Memo37", "Luogo conservazione:", "txtLuogo"},
            {"Memo38", "Soggetti citati:", "txtSoggetti"},
            {"Memo39", "Note:", "txtNote"},
        };
        // The date fields take ten characters: a date, without blanks around it.
        const auto isDate = [](const char* field) {
            return QByteArray(field).startsWith("txtData");
        };
        const auto value = [&](const char* field) {
            return isDate(field) ? QStringLiteral("05/03/2026")
                                 : QStringLiteral("%1 è € [DATE]").arg(QLatin1String(field).mid(3));
        };
        if (filled) {
            for (const auto& row : rows)
                f.edit(row.field)->setText(isDate(row.field)
                                               ? value(row.field)
                                               : QStringLiteral("  ") + value(row.field) +
                                                     QStringLiteral(" "));
            f.edit("txtCopia")->setText(QStringLiteral("copia.pdf"));
        }
        TfrmStampaAltri w(&f.card, f.card);
        QCOMPARE(w.windowTitle(), QStringLiteral(" Stampa scheda"));
        QCOMPARE(w.size(), QSize(364, 287));
        w.show();
        click(&w, "btnStampa");
        QVERIFY(!w.isVisible());
        QCOMPARE(f.services.printed.size(), 1);
        const Report::Prepared& card = f.services.printed[0];
        QCOMPARE(card.name, QStringLiteral("Scheda Documento"));
        QCOMPARE(card.orientation, Report::Orientation::Portrait);
        QCOMPARE(card.pages.size(), 1);
        const auto texts = printedTexts(card);
        QCOMPARE(texts.value(QStringLiteral("titArcataSup")),
                 QStringLiteral("SCHEDA RIASSUNTIVA DEL DOCUMENTO"));
        QCOMPARE(texts.value(QStringLiteral("txtCalce")),
                 QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 10:30:15"));
        for (const auto& row : rows) {
            QCOMPARE(texts.value(QLatin1String(row.labelObject)), QString::fromUtf8(row.label));
            QVERIFY2(texts.contains(QLatin1String(row.field)), row.field);
            QCOMPARE(texts.value(QLatin1String(row.field)), filled ? value(row.field) : QString());
        }
        // 21 labels, 21 values, the title and the footer; the mark is not printed. A digital
        // copy comes below, with its fingerprint: none recorded for a name typed in.
        QCOMPARE(texts.size(), filled ? 47 : 44);
        if (filled) {
            QCOMPARE(texts.value(QStringLiteral("titImpronte")),
                     QStringLiteral("IMPRONTE DEI FILE ALLEGATI (SHA-256)"));
            QCOMPARE(texts.value(QStringLiteral("lblImpronta1")),
                     QStringLiteral("Copia digitale:"));
            QCOMPARE(texts.value(QStringLiteral("txtImpronta1")),
                     QStringLiteral("impronta non registrata  copia.pdf"));
        }
        QVERIFY(QFileInfo(f.services.printedPdfs[0]).size() > 0);
    }

    void annullaPrintsNothing() {
        Fixture f;
        TfrmStampaAltri w(&f.card, f.card);
        w.show();
        click(&w, "btnAnnulla");
        QVERIFY(!w.isVisible());
        QVERIFY(f.services.printed.isEmpty());
    }

    // The card window's toolbar opens each window afresh, modal, and destroys it once closed.

    void toolbarOpensTheWindows_data() {
        QTest::addColumn<QString>("tool");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("window");
        QTest::newRow("cmdTrova") << "cmdTrova"
                                  << " Trova documenti in archivio"
                                  << "frmTrovaAltri";
        QTest::newRow("cmdStampa") << "cmdStampa"
                                   << " Stampa scheda"
                                   << "frmStampaAltri";
        QTest::newRow("cmdEsporta") << "cmdEsporta"
                                    << " Esporta schedario documenti in Microsoft Excel"
                                    << "frmExpAltri";
        QTest::newRow("cmdDaCompletare") << "cmdDaCompletare"
                                         << " Riepilogo documenti da completare"
                                         << "frmDaCompletare";
    }
    void toolbarOpensTheWindows() {
        QFETCH(QString, tool);
        QFETCH(QString, caption);
        QFETCH(QString, window);
        Fixture f({{"Uno"}, {"Segnato", "01/02/2026", "Rossi", "", "2/2026", "Sì", "secondo"}});
        f.card.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.card));
        f.edit("txtDocumento")->setText(QStringLiteral(" Non salvata "));
        ANSWER_MODAL(clicking(control<QWidget>(&f.card, qPrintable(tool))), [&](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), caption);
            QCOMPARE(dialog->objectName(), window);
            QVERIFY(dialog->isModal());
            QCOMPARE(dialog->parentWidget(), &f.card);
            if (window == QLatin1String("frmTrovaAltri")) {
                QCOMPARE(control<QLabel>(dialog, "lblMemory")->text(), QStringLiteral("altri"));
                control<QLineEdit>(dialog, "txtProduttore")->setText(QStringLiteral("rossi"));
                click(dialog, "btnCerca");
                doubleClickLine(*dialog, 0);
            } else if (window == QLatin1String("frmDaCompletare")) {
                doubleClickLine(*dialog, 0);
            } else if (window == QLatin1String("frmStampaAltri")) {
                click(dialog, "btnStampa");
            } else {
                QCOMPARE(static_cast<GridWindow*>(dialog)->grid()->rowCount(), 2);
                click(dialog, "cmdEsci");
            }
        });
        QVERIFY(f.card.findChildren<QDialog*>().isEmpty());
        if (window == QLatin1String("frmTrovaAltri") ||
            window == QLatin1String("frmDaCompletare")) {
            QCOMPARE(f.position(), QStringLiteral("2"));
            QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("secondo"));
            QVERIFY(f.mark()->isChecked());
        }
        if (window == QLatin1String("frmStampaAltri")) {
            QCOMPARE(f.services.printed.size(), 1);
            QCOMPARE(printedTexts(f.services.printed[0]).value(QStringLiteral("txtDocumento")),
                     QStringLiteral("Non salvata"));
        }
    }
};

QTEST_MAIN(TestDocumentOutputs)
#include "tst_DocumentOutputs.moc"
