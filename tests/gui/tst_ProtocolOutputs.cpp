#include "core/Cp1252.h"
#include "core/DailyRegister.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/StrictDate.h"
#include "core/platform/FileLock.h"
#include "documents/TrovaAltri.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "support/Files.h"
#include "support/Pdf.h"
#include "support/TestServices.h"
#include "support/Workbook.h"
#include "ui/FormatButton.h"
#include "ui/Messages.h"
#include "ui/RecordGrid.h"
#include "ui/ResultList.h"
#include "ui/Widgets.h"
#include "ui/WindowFrame.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTableView>
#include <QTest>
#include <QTimer>

// A data cell's opening tag, a literal so that rows can be written as adjacent literals.
#define CELL_OPEN "<td style=\"text-align: left; mso-number-format:\\@;\" sdnum=\"1040;0;@\">"

Q_DECLARE_METATYPE(MessageKind)

namespace {

using F = ProtocolRecord::Field;

struct Card {
    const char* number;
    const char* date;
    const char* subject;
    const char* sender;
    const char* type = "In entrata";
    const char* addressee = "";
};

// A real double click on line `index` of the list: the press of the first click selects it.
void doubleClickLine(QListView* list, const QModelIndex& index) {
    list->scrollTo(index);
    const QPoint at = list->visualRect(index).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

ProtocolRecord make(const Card& c) {
    ProtocolRecord r;
    r.setText(F::Numero, QString::fromUtf8(c.number));
    r.setText(F::Tipologia, QString::fromUtf8(c.type));
    r.setText(F::Destinatario, QString::fromUtf8(c.addressee));
    r.setText(F::DataReg, QString::fromUtf8(c.date));
    r.setText(F::Categoria, QStringLiteral("Corrispondenza"));
    r.setText(F::Oggetto, QString::fromUtf8(c.subject));
    r.setText(F::Mittente, QString::fromUtf8(c.sender));
    r.setText(F::Note, QStringLiteral("  nota  "));
    return r;
}

const QList<Card> kCards = {
    {"9/2026", "02/02/2026", "Fattura di febbraio", "Rossi & Figli S.r.l."},
    {"10/2026", "05/03/2026", "Richiesta <urgente> di preventivo", "Comune di Forlì"},
    {"11/2026", "", "Scheda senza data", "Anna Bruno"},
    {"12/2026", "05/03/2026", "Convocazione assemblea", "Rossi Mario"},
    {"13/2026", "31/12/2026", "Auguri di fine anno", "Studio Bianchi"},
};

struct Fixture {
    TestServices services;
    TfrmProtocollo card;
    QString path = services.file(QStringLiteral("2026.prt"));

    explicit Fixture(const QList<Card>& cards = kCards) {
        label("lblFile")->setText(path);
        const RecordArchive archive(path, ProtocolRecord::layout());
        for (const Card& c : cards)
            archive.append(make(c));
    }
    // The card window's controls, by name.
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&card, name); }
    QLabel* label(const char* name) const { return control<QLabel>(&card, name); }
    QRadioButton* radio(const char* name) const { return control<QRadioButton>(&card, name); }
    QByteArray exported() const {
        QFile f(services.file(QStringLiteral("Protocollo.xls")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void click(QWidget* window, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

// The search window's result page.
ResultList* results(QWidget& searchWindow) {
    auto* list = searchWindow.findChild<ResultList*>();
    if (!list)
        qFatal("no result list in %s", qPrintable(searchWindow.objectName()));
    return list;
}

// The texts a prepared page prints, one per object, in the order they were placed.
QStringList pageTexts(const Report::Page& page) {
    QStringList out;
    for (const Report::Placed& placed : page.objects)
        out << placed.object.text;
    return out;
}

// Three yearly registers in one program folder, beside files that are no register; the card
// window works on 2026. One card gives the same line in all three years.
struct YearsFixture {
    TestServices services;
    TfrmProtocollo card;

    YearsFixture() {
        const QList<std::pair<const char*, QList<Card>>> registers = {
            {"2024.prt",
             {{"7", "", "Circolare", "Ufficio"}, {"1", "02/02/2024", "Fattura", "Rossi"}}},
            {"2025.prt",
             {{"3", "03/03/2025", "Fattura", "Verdi"}, {"7", "", "Circolare", "Ufficio"}}},
            {"2026.prt",
             {{"2", "10/01/2026", "Fattura", "Rossi"},
              {"1", "05/01/2026", "Sollecito", "Bianchi"},
              {"7", "", "Circolare", "Ufficio"}}},
            // Not registers: never searched.
            {"Copia 2023.prt", {{"5", "", "Fattura", "Copia"}}},
            {"Schedario_Documenti.pro", {}},
        };
        for (const auto& [name, cards] : registers) {
            const RecordArchive archive(services.file(QLatin1String(name)),
                                        ProtocolRecord::layout());
            QFile(archive.path()).open(QIODevice::WriteOnly);
            for (const Card& c : cards)
                archive.append(make(c));
        }
        card.openRegister(QStringLiteral("2026"));
    }
    QLabel* label(const char* name) const { return control<QLabel>(&card, name); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&card, name); }
};

// Each line cut to its year and number ("2025 3"), in list order.
QStringList yearsAndNumbers(const QStringList& lines) {
    QStringList out;
    static const QRegularExpression kHead(QStringLiteral("^(\\d{4})  Prot\\. n\\. (\\S+) "));
    for (const QString& line : lines) {
        const QRegularExpressionMatch m = kHead.match(line);
        out << (m.hasMatch() ? m.captured(1) + u' ' + m.captured(2) : line);
    }
    return out;
}

// The all-years search of `w` with its subject filter.
void searchEveryYear(TfrmTrovaProtocollo& w, const QString& subject) {
    w.show();
    control<QLineEdit>(&w, "txtOggetto")->setText(subject);
    control<QCheckBox>(&w, "chkTuttiGliAnni")->setChecked(true);
    click(&w, "btnCerca");
}

int dataRows(const QByteArray& xls) {
    return int(xls.count("<tr>")) - 1;
}

} // namespace

class TestProtocolOutputs : public QObject {
    Q_OBJECT
private slots:
    // Search.

    void blankFiltersListEveryCardInTextOrder() {
        Fixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTRY_VERIFY(control<QLineEdit>(&w, "txtNumero")->hasFocus());
        click(&w, "btnCerca");
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene 5 schede."));
        QVERIFY(control<QWidget>(&w, "panContainer")->isVisible());
        QVERIFY(!control<QWidget>(&w, "panAvvio")->isVisible());
        QTRY_VERIFY(control<QLineEdit>(&w, "txtTrova")->hasFocus());
        const QStringList lines = results(w)->lines();
        QCOMPARE(lines.size(), 5);
        // Text order of the numbers: "10/2026" before "9/2026".
        QVERIFY(
            lines.first().startsWith(QStringLiteral("Prot. n. 10/2026         Data: 05/03/2026")));
        QVERIFY(lines.last().startsWith(QStringLiteral("Prot. n. 9/2026 ")));
        QCOMPARE(control<QListView>(&w, "lstRecords")->font().family(),
                 QStringLiteral("Courier New"));
    }

    // The window's own lines, column by column: "Prot. n. " at 1, the number cut or padded
    // to 14, "  Data: " at 24, "  Posta: " at 42, the subject at 63 (35), "  Da: " at 98,
    // the sender (24), "  A: " at 128 and the addressee, as long as it is, at 133.
    void resultLinesColumnByColumn() {
        Fixture f(QList<Card>{
            {"7/2026", "", "", ""},
            {"1234567890123456", "05/03/2026", "Richiesta di preventivo per la fornitura",
             "Cooperativa Sociale La Rondine", "Interna", "Comune di Forlì"},
        });
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        const QStringList expected = {
            QStringLiteral("Prot. n. 12345678901234  Data: 05/03/2026  Posta: Interna     "
                           "Richiesta di preventivo per la forn  Da: Cooperativa Sociale La R  "
                           "A: Comune di Forlì"),
            QStringLiteral("Prot. n. 7/2026          Data:             Posta: In entrata  ") +
                QString(35, u' ') + QStringLiteral("  Da: ") + QString(24, u' ') +
                QStringLiteral("  A: "),
        };
        QCOMPARE(results(w)->lines(), expected);
        const QList<std::pair<int, QString>> columns = {
            {1, QStringLiteral("Prot. n. ")},  {24, QStringLiteral("  Data: ")},
            {42, QStringLiteral("  Posta: ")}, {98, QStringLiteral("  Da: ")},
            {128, QStringLiteral("  A: ")},
        };
        for (const QString& line : results(w)->lines()) {
            for (const auto& [column, text] : columns)
                QCOMPARE(line.mid(column - 1, text.size()), text);
        }
        QCOMPARE(expected[0].mid(62, 35), QStringLiteral("Richiesta di preventivo per la forn"));
        QCOMPARE(expected[0].mid(132), QStringLiteral("Comune di Forlì"));
        QCOMPARE(expected[1].size(), 132);
    }

    void filtersTogether() {
        Fixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        w.findChild<QLineEdit*>(QStringLiteral("txtMittente"))->setText(QStringLiteral("ROSSI"));
        w.findChild<QLineEdit*>(QStringLiteral("txtDataReg"))->setText(QStringLiteral("/03/"));
        click(&w, "btnCerca");
        QCOMPARE(control<QLabel>(&w, "lblConta")->text(), QStringLiteral("2"));
        QCOMPARE(results(w)->lines().size(), 1);
        QVERIFY(results(w)->lines().first().contains(QStringLiteral("Convocazione")));
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene 1 schede."));
    }

    void yearFilterListsThatYear() {
        Fixture f(kCards + QList<Card>{{"1/2025", "30/12/2025", "Dell'anno prima", "Rossi"}});
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        w.findChild<QLineEdit*>(QStringLiteral("txtDataReg"))->setText(QStringLiteral("/2026"));
        click(&w, "btnCerca");
        // Not the card without a date, nor the one of 2025.
        QCOMPARE(results(w)->lines().size(), 4);
        for (const QString& line : results(w)->lines())
            QVERIFY(line.contains(QStringLiteral("/2026  Posta:")));
    }

    void emptyRegisterListsNothing() {
        Fixture f(QList<Card>{});
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene 0 schede."));
        click(&w, "btnTrova");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Notice);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
    }

    void trovaMovesOnAndWraps() {
        Fixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        click(&w, "btnCerca");
        auto* txtTrova = control<QLineEdit>(&w, "txtTrova");
        auto* btnTrova = control<QPushButton>(&w, "btnTrova");
        // Lines: 10 (Forlì), 11, 12 (Rossi Mario), 13, 9 (Rossi & Figli).
        txtTrova->setText(QStringLiteral("rossi"));
        QTest::mouseClick(btnTrova, Qt::LeftButton);
        QCOMPARE(results(w)->selectedLine(), 2);
        QTest::mouseClick(btnTrova, Qt::LeftButton);
        QCOMPARE(results(w)->selectedLine(), 4);
        QTest::mouseClick(btnTrova, Qt::LeftButton);
        QCOMPARE(results(w)->selectedLine(), 2);    // round from the last line
        txtTrova->setText(QStringLiteral("FORLÌ")); // Ì is not folded: not found
        QTest::mouseClick(btnTrova, Qt::LeftButton);
        QCOMPARE(results(w)->selectedLine(), 2);
        txtTrova->setFocus();
        QTest::keyClick(txtTrova, Qt::Key_Return); // moves to Trova, presses nothing
        QVERIFY(btnTrova->hasFocus());
        QVERIFY(f.services.messages.isEmpty());
    }

    void doubleClickLoadsTheCard() {
        Fixture f(kCards + QList<Card>{{"9/2026", "02/02/2026", "Fattura di febbraio",
                                        "Rossi & Figli S.r.l."}});
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        w.findChild<QLineEdit*>(QStringLiteral("txtNumero"))->setText(QStringLiteral("9/"));
        click(&w, "btnCerca");
        QCOMPARE(results(w)->lines().size(), 2); // the two identical cards
        auto* lstRecords = control<QListView>(&w, "lstRecords");
        const QModelIndex first = lstRecords->model()->index(0, 0);
        lstRecords->setCurrentIndex(first);
        doubleClickLine(lstRecords, first);
        QVERIFY(!w.isVisible());
        // Of two cards with the same line, the later in the file is loaded.
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("6"));
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("Fattura di febbraio"));
        QCOMPARE(f.edit("txtNote")->text(), QStringLiteral("nota"));
        QVERIFY(f.radio("optEntrata")->isChecked());
    }

    void doubleClickLoadsEveryEqualCardInTurn() {
        // The type is cut to 10 in the line: both cards give the same line. Each is loaded
        // in file order; the later one's type is no mail type and leaves the buttons as the
        // earlier one set them.
        Fixture f(QList<Card>{
            {"5/2026", "05/03/2026", "Sollecito", "Rossi", "In entrata"},
            {"5/2026", "05/03/2026", "Sollecito", "Rossi", "In entrata bis"},
        });
        f.radio("optUscita")->setChecked(true);
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        click(&w, "btnCerca");
        QCOMPARE(results(w)->lines().size(), 2);
        QCOMPARE(results(w)->lines()[0], results(w)->lines()[1]);
        auto* lstRecords = control<QListView>(&w, "lstRecords");
        const QModelIndex first = lstRecords->model()->index(0, 0);
        lstRecords->setCurrentIndex(first);
        doubleClickLine(lstRecords, first);
        QVERIFY(!w.isVisible());
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("2"));
        QVERIFY(f.radio("optEntrata")->isChecked());
    }

    // The result list alone in a dialog, as the to-complete list holds it: no count line,
    // its own tab order, no tag to check.
    void resultListAlone() {
        Fixture f;
        QDialog dialog;
        auto* backdrop = new Backdrop(&dialog, Qt::black, Qt::white, {833, 529});
        dialog.resize(862, 560);
        auto* list = new ResultList(
            backdrop->panel(),
            {.banner = artwork("trova_banner"),
             .printTitle = QStringLiteral("Riepilogo"),
             .layout = &ProtocolRecord::layout(),
             .line = TfrmTrovaProtocollo::resultLine(),
             .tabOrder = {"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}},
            &f.card);
        QObject::connect(list, &ResultList::cardLoaded, &dialog, &QDialog::accept);
        QVERIFY(!dialog.findChild<QLabel*>(QStringLiteral("lblTrovate")));
        auto* txtTrova = control<QLineEdit>(list, "txtTrova");
        auto* lstRecords = control<QListView>(list, "lstRecords");
        QStringList tabs;
        QWidget* at = txtTrova;
        do {
            if (at->focusPolicy() & Qt::TabFocus)
                tabs << at->objectName();
            at = at->nextInFocusChain();
        } while (at != txtTrova);
        QCOMPARE(tabs,
                 QStringList({"txtTrova", "lstRecords", "btnStampa", "btnTrova", "btnChiudi"}));

        QStringList lines;
        for (const Card& c : kCards)
            lines << Search::resultLine(make(c), TfrmTrovaProtocollo::resultLine());
        list->setLines(lines);
        dialog.show();
        QCOMPARE(list->selectedLine(), 0);
        QVERIFY(list->lines().first().startsWith(QStringLiteral("Prot. n. 10/2026 ")));
        txtTrova->setText(QStringLiteral("bianchi"));
        click(list, "btnTrova");
        QCOMPARE(list->selectedLine(), 3);
        doubleClickLine(lstRecords, lstRecords->currentIndex());
        QVERIFY(!dialog.isVisible());
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("5"));
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("Auguri di fine anno"));
    }

    void doubleClickWithoutTheTagLoadsNothing() {
        Fixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        auto* lstRecords = control<QListView>(&w, "lstRecords");
        const QModelIndex first = lstRecords->model()->index(0, 0);
        doubleClickLine(lstRecords, first);
        QVERIFY(!w.isVisible());
        QVERIFY(f.label("lblPosizione")->text().isEmpty());
    }

    void unreachableRegisterStaysOnTheFilters() {
        Fixture f;
        f.label("lblFile")->setText(f.services.file(QStringLiteral("manca/2026.prt")));
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Notice);
        QVERIFY(f.services.messages[0].text.startsWith(QStringLiteral(
            "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r")));
        QVERIFY(control<QWidget>(&w, "panAvvio")->isVisible());
        QVERIFY(control<QLabel>(&w, "lblAttendere")->isVisible());
    }

    // Search of every year.

    void everyYearSearch_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("unreadable"); // a register the search cannot open
        QTest::addColumn<QStringList>("lines");  // year and number, in list order

        QTest::newRow("every card, newest year first")
            << QString() << QString()
            << QStringList{"2026 1", "2026 2", "2026 7", "2025 3", "2025 7", "2024 1", "2024 7"};
        QTest::newRow("one filter over the years")
            << QStringLiteral("fatt") << QString() << QStringList{"2026 2", "2025 3", "2024 1"};
        QTest::newRow("twin lines in three years") << QStringLiteral("Circolare") << QString()
                                                   << QStringList{"2026 7", "2025 7", "2024 7"};
        QTest::newRow("nothing found") << QStringLiteral("zzz") << QString() << QStringList{};
        QTest::newRow("a register between the others unreadable")
            << QString() << QStringLiteral("2025.prt")
            << QStringList{"2026 1", "2026 2", "2026 7", "2024 1", "2024 7"};
        QTest::newRow("the open register unreadable")
            << QStringLiteral("Circolare") << QStringLiteral("2026.prt")
            << QStringList{"2025 7", "2024 7"};
    }

    void everyYearSearch() {
        QFETCH(QString, subject);
        QFETCH(QString, unreadable);
        QFETCH(QStringList, lines);
        YearsFixture f;
        // Another copy holds the register for itself past the wait for its lock (cut short).
        QFile held(f.services.file(unreadable));
        if (!unreadable.isEmpty()) {
            QVERIFY(held.open(QIODevice::ReadWrite));
            if (FileLock::acquire(held, FileLock::Mode::Exclusive, 0) != FileLock::Result::Locked)
                QSKIP("this file system keeps no locks");
        }
        FileLock::faults().longestWaitMs = 50;
        const auto restore = qScopeGuard([] { FileLock::faults() = {}; });
        TfrmTrovaProtocollo w(&f.card, &f.card);
        searchEveryYear(w, subject);
        const QStringList found = results(w)->lines();
        QCOMPARE(yearsAndNumbers(found), lines);
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(lines.size()));
        QVERIFY(control<QWidget>(&w, "panContainer")->isVisible());
        // The lines of one card in several years differ only in their year.
        for (const QString& line : found) {
            if (line.contains(QStringLiteral("Circolare")))
                QCOMPARE(line.mid(4), found.last().mid(4));
        }
        if (unreadable.isEmpty()) {
            QVERIFY(f.services.messages.isEmpty());
        } else {
            QCOMPARE(f.services.messages.size(), 1);
            QCOMPARE(f.services.messages[0].kind, MessageKind::Notice);
            QCOMPARE(f.services.messages[0].text,
                     QStringLiteral("Impossibile leggere il registro %1: le sue schede non sono "
                                    "nell'elenco. Gli altri anni sono stati cercati.")
                         .arg(unreadable));
        }
        // "Trova" looks through the years too.
        control<QLineEdit>(&w, "txtTrova")->setText(found.isEmpty() ? QString() : found.last());
        click(&w, "btnTrova");
        QCOMPARE(results(w)->selectedLine(), int(found.size()) - 1);
    }

    void everyYearDoubleClick_data() {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("line"); // year and number of the chosen line
        QTest::addColumn<QString>("year"); // of the register the card window ends on
        QTest::addColumn<QString>("position");
        QTest::addColumn<QString>("sender");

        QTest::newRow("another year")
            << QStringLiteral("fatt") << QStringLiteral("2025 3") << QStringLiteral("2025")
            << QStringLiteral("1") << QStringLiteral("Verdi");
        QTest::newRow("the oldest year")
            << QString() << QStringLiteral("2024 1") << QStringLiteral("2024")
            << QStringLiteral("2") << QStringLiteral("Rossi");
        QTest::newRow("the open year")
            << QString() << QStringLiteral("2026 1") << QStringLiteral("2026")
            << QStringLiteral("2") << QStringLiteral("Bianchi");
        QTest::newRow("a twin line of an older year")
            << QStringLiteral("Circolare") << QStringLiteral("2024 7") << QStringLiteral("2024")
            << QStringLiteral("1") << QStringLiteral("Ufficio");
    }

    void everyYearDoubleClick() {
        QFETCH(QString, subject);
        QFETCH(QString, line);
        QFETCH(QString, year);
        QFETCH(QString, position);
        QFETCH(QString, sender);
        YearsFixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card, [&f](const QString& y) { f.card.openRegister(y); });
        w.setOpenerTag(QStringLiteral("protocollo"));
        searchEveryYear(w, subject);
        const int row = int(yearsAndNumbers(results(w)->lines()).indexOf(line));
        QVERIFY(row >= 0);
        auto* lstRecords = control<QListView>(&w, "lstRecords");
        doubleClickLine(lstRecords, lstRecords->model()->index(row, 0));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.label("lblFile")->text(), f.services.file(year + QStringLiteral(".prt")));
        QCOMPARE(f.card.windowTitle(), QStringLiteral(" Faldora - Protocollo Posta anno ") + year);
        QCOMPARE(f.label("lblPosizione")->text(), position);
        QCOMPARE(f.edit("txtMittente")->text(), sender);
        QVERIFY(f.services.messages.isEmpty());
    }

    // A search window that cannot move the card window to another year loads no card of
    // that year, not even the twin card of the open register.
    void everyYearLineOfAnotherYearWithoutMoving() {
        YearsFixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.setOpenerTag(QStringLiteral("protocollo"));
        searchEveryYear(w, QStringLiteral("Circolare"));
        const int row = int(yearsAndNumbers(results(w)->lines()).indexOf(u"2025 7"));
        auto* lstRecords = control<QListView>(&w, "lstRecords");
        doubleClickLine(lstRecords, lstRecords->model()->index(row, 0));
        QVERIFY(!w.isVisible());
        QCOMPARE(f.label("lblFile")->text(), f.services.file(QStringLiteral("2026.prt")));
        QVERIFY(f.label("lblPosizione")->text().isEmpty());
    }

    // From the card window's own command: the line of another year brings the window to that
    // year's register, as choosing the year does.
    void everyYearFromTheCardWindow() {
        YearsFixture f;
        f.card.show();
        bool driven = false;
        QTimer::singleShot(0, [&] {
            auto* w = qobject_cast<TfrmTrovaProtocollo*>(QApplication::activeModalWidget());
            QVERIFY(w);
            searchEveryYear(*w, QStringLiteral("fatt"));
            const int row = int(yearsAndNumbers(results(*w)->lines()).indexOf(u"2025 3"));
            auto* lstRecords = control<QListView>(w, "lstRecords");
            doubleClickLine(lstRecords, lstRecords->model()->index(row, 0));
            driven = true;
        });
        click(&f.card, "cmdTrova");
        QTRY_VERIFY(driven);
        QCOMPARE(f.label("lblFile")->text(), f.services.file(QStringLiteral("2025.prt")));
        QCOMPARE(f.card.windowTitle(), QStringLiteral(" Faldora - Protocollo Posta anno 2025"));
        QCOMPARE(f.label("lblPosizione")->text(), QStringLiteral("1"));
        QCOMPARE(f.edit("txtMittente")->text(), QStringLiteral("Verdi"));
    }

    // Unticked, the search reads the open register alone, as it always has, whatever other
    // registers lie beside it; the box lies in the free row below the filters.
    void everyYearBoxUnticked() {
        YearsFixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        auto* box = control<QCheckBox>(&w, "chkTuttiGliAnni");
        QCOMPARE(box->text(), QStringLiteral("Cerca in tutti gli anni"));
        QVERIFY(!box->isChecked());
        const QRect background = control<QWidget>(&w, "shpSfondoCampi")->geometry();
        for (const QWidget* other :
             control<QWidget>(&w, "panAvvio")
                 ->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other == box || other->objectName() == QLatin1String("lblTuttiGliAnni") ||
                other->objectName().startsWith(QLatin1String("shp")) ||
                other->objectName().startsWith(QLatin1String("img")) || other->isHidden())
                continue;
            QVERIFY2(!other->geometry().intersects(box->geometry()),
                     qPrintable(other->objectName()));
            QVERIFY2(
                !other->geometry().intersects(control<QWidget>(&w, "lblTuttiGliAnni")->geometry()),
                qPrintable(other->objectName()));
        }
        QVERIFY(background.contains(box->geometry()));
        QVERIFY(background.contains(control<QWidget>(&w, "lblTuttiGliAnni")->geometry()));

        click(&w, "btnCerca");
        const QStringList lines = results(w)->lines();
        QCOMPARE(lines.size(), 3);
        for (const QString& line : lines)
            QVERIFY(line.startsWith(QStringLiteral("Prot. n. ")));
        QCOMPARE(control<QLabel>(&w, "lblTrovate")->text(),
                 QStringLiteral("Il presente riepilogo contiene 3 schede."));
        // The document search has no years to go through.
        TfrmTrovaAltri documents(nullptr, &f.card);
        QVERIFY(!documents.findChild<QCheckBox*>(QStringLiteral("chkTuttiGliAnni")));
    }

    void printingTheList() {
        Fixture f;
        TfrmTrovaProtocollo w(&f.card, &f.card);
        w.show();
        click(&w, "btnCerca");
        click(&w, "btnStampa");
        QCOMPARE(f.services.printed.size(), 1);
        const Report::Prepared& list = f.services.printed[0];
        QCOMPARE(list.orientation, Report::Orientation::Landscape);
        QString title, body, footer;
        for (const Report::Page& page : list.pages) {
            for (const Report::Placed& placed : page.objects) {
                if (placed.object.name == QLatin1String("txtTitolo"))
                    title = placed.object.text;
                else if (placed.object.name == QLatin1String("txtRiepilogo"))
                    body +=
                        (body.isEmpty() ? QString() : QStringLiteral("\n")) + placed.object.text;
                else if (placed.object.name == QLatin1String("txtPagina"))
                    footer = placed.object.text;
            }
        }
        QCOMPARE(title, QStringLiteral("Protocollo documenti"));
        QCOMPARE(body, results(w)->lines().join(u'\n'));
        QCOMPARE(footer, QStringLiteral("Stampa eseguita in data 05/03/2026"));
        QVERIFY(QFileInfo(f.services.printedPdfs[0]).size() > 0);
    }

    void printingTheCard_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("pages");
        QTest::addColumn<QString>("row10");
        QTest::newRow("both") << " A4 "
                              << "12"
                              << "A4  -  N. pagine: 12";
        QTest::newRow("empty") << ""
                               << "  "
                               << "  -  N. pagine: ";
    }
    void printingTheCard() {
        QFETCH(QString, format);
        QFETCH(QString, pages);
        QFETCH(QString, row10);
        Fixture f;
        // A new card, not saved: what the fields show is printed.
        f.edit("txtNumero")->setText(QStringLiteral(" 17/2026 "));
        f.edit("txtOggetto")->setText(QStringLiteral("Fattura di € 1.250,00 – perché urgente"));
        f.edit("txtFormato")->setText(format);
        f.edit("txtPagine")->setText(pages);
        TfrmStampaProtocollo w(&f.card, f.card);
        w.show();
        click(&w, "btnStampa");
        QVERIFY(!w.isVisible());
        QCOMPARE(f.services.printed.size(), 1);
        const Report::Prepared& card = f.services.printed[0];
        QCOMPARE(card.pages.size(), 1);
        QCOMPARE(card.orientation, Report::Orientation::Portrait);
        QHash<QString, QString> texts;
        for (const Report::Placed& placed : card.pages[0].objects)
            texts.insert(placed.object.name, placed.object.text);
        QCOMPARE(texts.value(QStringLiteral("txtNumero")), QStringLiteral("17/2026"));
        QCOMPARE(texts.value(QStringLiteral("txtOggetto")),
                 QStringLiteral("Fattura di € 1.250,00 – perché urgente"));
        QCOMPARE(texts.value(QStringLiteral("txtFormato")), row10);
        QCOMPARE(texts.value(QStringLiteral("txtCalce")),
                 QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 10:30:15"));
        QVERIFY(texts.value(QStringLiteral("txtMittente")).isEmpty());
    }

    void annullaPrintsNothing() {
        Fixture f;
        TfrmStampaProtocollo w(&f.card, f.card);
        w.show();
        click(&w, "btnAnnulla");
        QVERIFY(!w.isVisible());
        QVERIFY(f.services.printed.isEmpty());
    }

    // Summary.

    void summaryChecks_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<MessageKind>("kind");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("no start") << "  "
                                  << "05/03/2026" << MessageKind::Warning
                                  << QStringLiteral(
                                         "Attenzione: per visualizzare il riepilogo è necessario "
                                         "indicare la data di inizio intervallo.")
                                  << "txtDataInizio";
        QTest::newRow("no end") << "01/01/2026"
                                << "" << MessageKind::Warning
                                << QStringLiteral("Attenzione: per visualizzare il riepilogo è "
                                                  "necessario indicare la data di fine intervallo.")
                                << "txtDataFine";
        QTest::newRow("31 February")
            << "31/02/2026"
            << "05/03/2026" << MessageKind::Notice
            << QStringLiteral(
                   "Attenzione: la data 31/02/2026 di inizio intervallo non esiste.\n\r\n\rPer "
                   "poter visualizzare il riepilogo è necessario indicare una data valida.")
            << "txtDataInizio";
        QTest::newRow("bad end")
            << "01/01/2026"
            << "1/3/26" << MessageKind::Notice
            << QStringLiteral(
                   "Attenzione: la data 1/3/26 di fine intervallo non esiste.\n\r\n\rPer poter "
                   "visualizzare il riepilogo è necessario indicare una data valida.")
            << "txtDataFine";
        QTest::newRow("start after end")
            << "06/03/2026"
            << "05/03/2026" << MessageKind::Notice
            << QStringLiteral(
                   "Attenzione: la data di fine intervallo (05/03/2026) non può essere anteriore a "
                   "quella di inizio intervallo (06/03/2026).\n\r\n\rPer poter visualizzare il "
                   "riepilogo è necessario indicare un intervallo di tempo valido.")
            << "grdRecords"; // the focus stays
    }
    void summaryChecks() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(MessageKind, kind);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        // The summary and the daily register check the dates alike.
        for (const char* command : {"cmdTrova", "cmdRegistro"}) {
            Fixture f;
            TfrmRiepProtocollo w(nullptr, f.path);
            w.show();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QCOMPARE(control<QLineEdit>(&w, "txtDataFine")->text(),
                     QStringLiteral("05/03/2026")); // today
            control<QLineEdit>(&w, "txtDataInizio")->setText(start);
            control<QLineEdit>(&w, "txtDataFine")->setText(end);
            // The focus is elsewhere when the check fails: the check itself moves it.
            auto* grdRecords = control<QTableView>(&w, "grdRecords");
            grdRecords->setFocus();
            QTRY_VERIFY(grdRecords->hasFocus());
            click(&w, command);
            QCOMPARE(f.services.messages.size(), 1);
            QCOMPARE(f.services.messages[0].kind, kind);
            QCOMPARE(f.services.messages[0].text, message);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
            QCOMPARE(w.grid()->rowCount(), 10); // unchanged
            QVERIFY(f.services.printed.isEmpty());
        }
    }

    void summaryListsTheRangeAndSkipsUndatedCards_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QStringList>("numbers");
        QTest::newRow("one day") << "05/03/2026"
                                 << "05/03/2026" << QStringList{"10/2026", "12/2026"};
        QTest::newRow("ends included, past a card without date")
            << "02/02/2026"
            << "31/12/2026" << QStringList{"9/2026", "10/2026", "12/2026", "13/2026"};
        QTest::newRow("nothing in the range") << "01/06/2026"
                                              << "30/06/2026" << QStringList{};
    }
    void summaryListsTheRangeAndSkipsUndatedCards() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QStringList, numbers);
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(start);
        control<QLineEdit>(&w, "txtDataFine")->setText(end);
        click(&w, "cmdTrova");
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(w.grid()->rowCount(), numbers.size());
        for (int r = 0; r < numbers.size(); ++r) {
            QCOMPARE(w.grid()->cell(r, 0), QString::number(r + 1));
            QCOMPARE(w.grid()->cell(r, 1), numbers[r]);
        }
    }

    void summaryOfAnEmptyRegisterKeepsTheGrid() {
        Fixture f(QList<Card>{});
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(QStringLiteral("01/01/2026"));
        click(&w, "cmdTrova");
        QCOMPARE(w.grid()->rowCount(), 10);
    }

    void gridTypingChangesOnlyTheExport() {
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(QStringLiteral("05/03/2026"));
        click(&w, "cmdTrova");
        RecordGridModel* grid = w.grid();
        QVERIFY(!grid->setData(grid->index(0, 3), QStringLiteral("01/01/2000"),
                               Qt::EditRole)); // read-only
        QVERIFY(grid->setData(grid->index(0, 8), QStringLiteral("Oggetto corretto"), Qt::EditRole));
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        const QByteArray xls = f.exported();
        QVERIFY(xls.contains(CELL_OPEN "Oggetto corretto</td>"));
        QVERIFY(xls.contains("<x:Name>Protocollo Documenti</x:Name>"));
        QCOMPARE(dataRows(xls), 2);
        QVERIFY(f.services.opened.isEmpty());
        const auto stored = RecordArchive(f.path, ProtocolRecord::layout()).read(2);
        QCOMPARE(ProtocolRecord(stored->bytes()).text(F::Oggetto),
                 QStringLiteral("Richiesta <urgente> di preventivo"));
    }

    // The export writes each row straight from the grid's stored bytes; the file is the
    // one built cell by cell from what the grid shows, typed cells, escaped characters,
    // accents and the euro sign included, in each format.
    void exportRowsAsTheCellsShow_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("xls") << "xls";
        QTest::newRow("xlsx") << "xlsx";
        QTest::newRow("csv") << "csv";
    }
    void exportRowsAsTheCellsShow() {
        QFETCH(QString, format);
        QList<Card> cards = kCards;
        cards.append({"14/2026", "06/03/2026", "Preventivo € 1.200,50 per Forlì", " È lui ",
                      "Interna", "“Œuvre” – A&B"});
        Fixture f(cards);
        TfrmExpProtocollo w(nullptr, f.path);
        const Spreadsheet::Format chosen = *Spreadsheet::formatOfKey(format);
        control<FormatButton>(&w, "cmdFormato")->choose(chosen);
        RecordGridModel* grid = w.grid();
        QVERIFY(
            grid->setData(grid->index(1, 8), QStringLiteral("  Oggetto <nuovo> € "), Qt::EditRole));
        QVERIFY(grid->setData(grid->index(5, 1), QStringLiteral("15/2026"), Qt::EditRole));
        QVERIFY(grid->setData(grid->index(2, 18), QStringLiteral("Aggiunto"), Qt::EditRole));
        const Spreadsheet::Target target = Spreadsheet::protocolExport();
        const QByteArray expected = Spreadsheet::fileBytes(
            target, grid->rowCount(),
            [&](int row, int column, QByteArray& scratch) {
                scratch = Cp1252::encode(grid->cell(row, column + 1));
                return QByteArrayView(scratch);
            },
            chosen);
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        const QByteArray exported =
            readBytes(f.services.file(QStringLiteral("Protocollo.") + format));
        if (chosen != Spreadsheet::Format::Xlsx) {
            QCOMPARE(exported, expected);
        } else {
            // A workbook carries the time it was made: compared cell by cell.
            const Workbook::Sheet sheet = Workbook::read(exported);
            QCOMPARE(sheet.name, QStringLiteral("Protocollo Posta"));
            QCOMPARE(sheet.rows, Workbook::read(expected).rows);
            QCOMPARE(sheet.rows.size(), 7);
            QCOMPARE(sheet.rows[0].value(2).text, QStringLiteral("Data registrazione"));
            QCOMPARE(sheet.rows[6].value(2), (Workbook::Cell{QStringLiteral("06/03/2026"), true}));
            QCOMPARE(sheet.rows[2].value(7).text, QStringLiteral("Oggetto <nuovo> €"));
        }
        if (chosen == Spreadsheet::Format::Xls) {
            QCOMPARE(dataRows(expected), 6);
            QVERIFY(expected.contains(CELL_OPEN "Oggetto &lt;nuovo&gt; \x80</td>"));
        }
        // The other formats' files are not touched.
        for (const Spreadsheet::FormatChoice& other : Spreadsheet::formats())
            QCOMPARE(QFile::exists(f.services.file(QStringLiteral("Protocollo.") + other.key)),
                     other.format == chosen);
    }

    void exportRun() {
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        // No: nothing is written.
        f.services.answers = {false};
        click(&w, "cmdEsporta");
        QVERIFY(!QFile::exists(f.services.file(QStringLiteral("Protocollo.xls"))));
        // Before any listing: the ten empty rows; then the file is opened.
        f.services.answers = {true, true};
        click(&w, "cmdEsporta");
        QCOMPARE(f.services.messages.size(), 3);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Question);
        QCOMPARE(
            f.services.messages[0].text,
            QStringLiteral(
                "L'esportazione dei dati in Excel può richiedere diversi minuti a seconda del "
                "numero di schede presenti in archivio.\r\n\r\nSi vuole esportare i dati adesso?"));
        QCOMPARE(f.services.messages[2].text,
                 QStringLiteral("Le schede in archivio sono state esportate con "
                                "successo.\r\n\r\nSi vuole aprire il file di Excel?"));
        QCOMPARE(dataRows(f.exported()), 10);
        QCOMPARE(f.services.opened,
                 QStringList{u'"' + f.services.file(QStringLiteral("Protocollo.xls")) + u'"'});
    }

    void exportFailureKeepsThePreviousFile() {
        Fixture f;
        const QString xls = f.services.file(QStringLiteral("Protocollo.xls"));
        // A folder in the file's place stands for a file that cannot be replaced.
        QVERIFY(QDir().mkpath(xls));
        TfrmExpProtocollo w(nullptr, f.path);
        f.services.answers = {true};
        click(&w, "cmdEsporta");
        QCOMPARE(f.services.messages.size(), 2);
        QCOMPARE(f.services.messages[1].kind, MessageKind::Notice);
        QCOMPARE(
            f.services.messages[1].text,
            QStringLiteral("Attenzione: il sistema non permette di esportare i "
                           "dati.\n\r\n\rAccertarsi che il file di Excel non sia già aperto."));
        QVERIFY(QFileInfo(xls).isDir());
        QVERIFY(f.services.opened.isEmpty());
    }

    // Export window.

    void exportWindowShowsTheWholeRegister() {
        Fixture f;
        TfrmExpProtocollo w(nullptr, f.path);
        QCOMPARE(w.grid()->rowCount(), 5);
        QCOMPARE(w.grid()->cell(2, 0), QStringLiteral("3"));
        QCOMPARE(w.grid()->cell(2, 8), QStringLiteral("Scheda senza data"));
        QCOMPARE(w.grid()->cell(0, 14), QStringLiteral("nota")); // trimmed
        QCOMPARE(control<QTableView>(&w, "grdRecords")
                     ->model()
                     ->headerData(1, Qt::Horizontal)
                     .toString(),
                 QStringLiteral("N. protocollo"));

        // The summary's export is replaced by the register's.
        TfrmRiepProtocollo summary(nullptr, f.path);
        control<QLineEdit>(&summary, "txtDataInizio")->setText(QStringLiteral("05/03/2026"));
        control<QLineEdit>(&summary, "txtDataFine")->setText(QStringLiteral("05/03/2026"));
        click(&summary, "cmdTrova");
        f.services.answers = {true, false};
        click(&summary, "cmdEsporta");
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        const QByteArray xls = f.exported();
        QCOMPARE(dataRows(xls), 5);
        QVERIFY(xls.contains("<x:Name>Protocollo Posta</x:Name>"));
        QVERIFY(xls.contains("Richiesta &lt;urgente&gt; di preventivo"));
        QVERIFY(xls.contains("Rossi &amp; Figli S.r.l."));
        QVERIFY(xls.contains("Forl\xEC"));
    }

    void exportWindowOfAnEmptyRegister() {
        Fixture f(QList<Card>{});
        TfrmExpProtocollo w(nullptr, f.path);
        QCOMPARE(w.grid()->rowCount(), 10);
        f.services.answers = {true, false};
        click(&w, "cmdEsporta");
        QCOMPARE(dataRows(f.exported()), 10);
    }

    // Daily register.

    void dailyRegisterPrinted_data() {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("end");
        QTest::addColumn<QList<bool>>("closing"); // the answer to the closing question, if asked
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("absent");
        QTest::newRow("one day")
            << "05/03/2026"
            << "05/03/2026" << QList<bool>{}
            << QStringList{"Registro giornaliero di protocollo",
                           "Registro di protocollo dell'anno 2026 (2026.prt) - dal 05/03/2026 al "
                           "05/03/2026",
                           "Giorno 05/03/2026 (giovedì)",
                           "10/2026",
                           "12/2026",
                           "Primo numero: 10/2026      Ultimo numero: 12/2026      Schede "
                           "registrate: 2",
                           "Totale delle schede elencate: 2",
                           "1 scheda senza data di registrazione valida: non è elencata.",
                           "Stampa eseguita in data 05/03/2026 alle ore 10:30:15"}
            << QStringList{"9/2026", "13/2026", "Chiusura dell'anno 2026"};
        QTest::newRow("a range without cards")
            << "01/06/2026"
            << "30/06/2026" << QList<bool>{}
            << QStringList{"Nessuna scheda registrata dal 01/06/2026 al 30/06/2026.",
                           "Totale delle schede elencate: 0"}
            << QStringList{"Giorno 05/03/2026 (giovedì)"};
        QTest::newRow("to the year's end, with its closing")
            << "01/01/2026"
            << "31/12/2026" << QList<bool>{true}
            << QStringList{"Giorno 02/02/2026 (lunedì)",
                           "Giorno 31/12/2026 (giovedì)",
                           "Chiusura dell'anno 2026",
                           "Schede nel registro: 5",
                           "Primo numero: 9/2026      Ultimo numero: 13/2026",
                           "Numeri saltati: nessuno",
                           "Numeri annullati: 0"}
            << QStringList{};
        QTest::newRow("to the year's end, without its closing")
            << "01/03/2026"
            << "31/12/2026" << QList<bool>{false} << QStringList{"Giorno 31/12/2026 (giovedì)"}
            << QStringList{"Chiusura dell'anno 2026", "Giorno 02/02/2026 (lunedì)"};
    }
    void dailyRegisterPrinted() {
        QFETCH(QString, start);
        QFETCH(QString, end);
        QFETCH(QList<bool>, closing);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, absent);
        Fixture f;
        f.services.answers = closing;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(start);
        control<QLineEdit>(&w, "txtDataFine")->setText(end);
        click(&w, "cmdRegistro");
        // The closing question, if asked, then where the PDF/A copy was kept.
        QCOMPARE(f.services.messages.size(), closing.size() + 1);
        const QString copyName =
            QStringLiteral("Registro_giornaliero_%1%2.pdf")
                .arg(readStrictDate(start)->toString(QStringLiteral("yyyy-MM-dd")),
                     start == end
                         ? QString()
                         : u'_' + readStrictDate(end)->toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(f.services.messages.last().kind, MessageKind::Information);
        QCOMPARE(f.services.messages.last().text,
                 QStringLiteral("Una copia del registro giornaliero in formato PDF/A è stata "
                                "salvata nella cartella del programma con il nome «%1».")
                     .arg(copyName));
        if (!closing.isEmpty())
            QCOMPARE(f.services.messages[0].text,
                     QStringLiteral("L'intervallo arriva alla fine dell'anno 2026: stampare anche "
                                    "la pagina di chiusura dell'anno?"));
        QCOMPARE(w.grid()->rowCount(), 10); // the summary's grid is left alone
        QCOMPARE(f.services.printed.size(), 1);
        const Report::Prepared& report = f.services.printed[0];
        QCOMPARE(report.orientation, Report::Orientation::Landscape);
        QStringList texts;
        for (const Report::Page& page : report.pages)
            texts << pageTexts(page);
        for (const QString& text : shown)
            QVERIFY2(texts.contains(text), qPrintable(text));
        for (const QString& text : absent)
            QVERIFY2(!texts.contains(text), qPrintable(text));
        // The register's SHA-256 stands on its own last page, the year's on the closing's.
        const auto run = DailyRegister::daily(f.path, *readStrictDate(start), *readStrictDate(end));
        QVERIFY(run);
        const QString digest = QString::fromLatin1(run->digest);
        qsizetype registerPage = report.pages.size() - 1;
        if (closing.value(0)) {
            const auto year = DailyRegister::closing(f.path);
            QVERIFY(year);
            QVERIFY(pageTexts(report.pages.last()).contains(QString::fromLatin1(year->digest)));
            while (!pageTexts(report.pages[registerPage])
                        .contains(QStringLiteral("Registro giornaliero di protocollo")))
                --registerPage;
        }
        QVERIFY(pageTexts(report.pages[registerPage]).contains(digest));
        QVERIFY(pageTexts(report.pages.last())
                    .contains(QStringLiteral("Pagina %1 di %1").arg(report.pages.size())));

        // Printed and kept as PDF/A-1b: their metadata say so.
        for (const QString& pdf : {f.services.printedPdfs[0], f.services.file(copyName)}) {
            QCOMPARE(pdfPages(pdf), report.pages.size());
            QVERIFY(readBytes(pdf).contains("pdfaid:part=\"1\" pdfaid:conformance=\"B\""));
        }
        const QString pdf = f.services.printedPdfs[0];
        if (tool("pdftotext").isEmpty())
            QSKIP("pdftotext is not installed");
        const QString text = pdfText(pdf);
        QVERIFY(text.contains(QStringLiteral("Registro giornaliero di protocollo")));
        QVERIFY(text.contains(digest));
        for (const QString& line : shown)
            QVERIFY2(text.contains(line.simplified()), qPrintable(line));
    }

    // A copy already kept for the same days stays as it is; a copy that cannot be written
    // leaves nothing behind, says so, and the print still goes ahead.
    void dailyRegisterCopies() {
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(QStringLiteral("05/03/2026"));
        control<QLineEdit>(&w, "txtDataFine")->setText(QStringLiteral("06/03/2026"));
        const QString first = f.services.file(QStringLiteral("Registro_giornaliero_2026-03-05_"
                                                             "2026-03-06.pdf"));
        click(&w, "cmdRegistro");
        QVERIFY(QFileInfo::exists(first));
        const QByteArray kept = readBytes(first);
        f.services.fixedNow = f.services.fixedNow.addDays(1);
        click(&w, "cmdRegistro");
        QCOMPARE(readBytes(first), kept);
        QVERIFY(QFileInfo::exists(f.services.file(QStringLiteral("Registro_giornaliero_2026-03-05_"
                                                                 "2026-03-06_2.pdf"))));

        const QStringList before = QDir(f.services.folderPath()).entryList(QDir::Files);
        FileLock::faults().syncsBeforeFailure = 0; // the disk refuses the copy's flush
        f.services.messages.clear();
        click(&w, "cmdRegistro");
        FileLock::faults() = {};
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("Attenzione: non è stato possibile salvare una copia del registro "
                                "giornaliero in formato PDF/A nella cartella del programma."));
        QCOMPARE(f.services.printed.size(), 3);
        QStringList after = QDir(f.services.folderPath()).entryList(QDir::Files);
        after.removeAll(QFileInfo(f.services.printedPdfs.last()).fileName());
        QCOMPARE(after, before);
    }

    void dailyRegisterOfAnUnreadableRegister() {
        TestServices services;
        const QString path = services.file(QStringLiteral("2026.prt"));
        QVERIFY(QDir().mkpath(path)); // a folder where the register should be
        TfrmRiepProtocollo w(nullptr, path);
        w.show();
        control<QLineEdit>(&w, "txtDataInizio")->setText(QStringLiteral("01/03/2026"));
        click(&w, "cmdRegistro");
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.messages[0].kind, MessageKind::Error);
        QCOMPARE(services.messages[0].text, Messages::kArchiveAccessError);
        QVERIFY(services.printed.isEmpty());
    }

    void dailyRegisterHint() {
        Fixture f;
        TfrmRiepProtocollo w(nullptr, f.path);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::mouseMove(control<QAbstractButton>(&w, "cmdRegistro"));
        QTRY_COMPARE(control<QLabel>(&w, "panInfo")->text(),
                     QStringLiteral("Stampa il registro giornaliero di protocollo dell'intervallo "
                                    "di tempo selezionato."));
    }

    void hints() {
        Fixture f;
        TfrmExpProtocollo w(nullptr, f.path);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(control<QLabel>(&w, "panInfo")->text(),
                 QStringLiteral("Esportazione archivio in Microsoft Excel."));
        QTest::mouseMove(control<QAbstractButton>(&w, "cmdGuida"));
        QTRY_COMPARE(control<QLabel>(&w, "panInfo")->text(),
                     QStringLiteral("Visualizza la pagina della guida sensibile al contesto."));
        QWidget* grid = control<QTableView>(&w, "grdRecords")->viewport();
        QTest::mouseMove(grid, QPoint(300, 300));
        QTest::mouseMove(grid, QPoint(301, 301));
        QTRY_VERIFY(control<QLabel>(&w, "panInfo")->text().isEmpty());
    }
};

QTEST_MAIN(TestProtocolOutputs)
#include "tst_ProtocolOutputs.moc"
