#include "app/WindowRegistry.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "protocol/Protocollo.h"
#include "support/BrowsingRows.h"
#include "support/Files.h"
#include "support/ReadOnly.h"
#include "support/TestServices.h"
#include "ui/CardWindow.h"
#include "ui/Widgets.h"

#include <QCalendarWidget>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

namespace {

ProtocolRecord card(int n, const QString& mailType = MailType::Entrata) {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
    r.setText(ProtocolRecord::Tipologia, mailType);
    r.setText(ProtocolRecord::DataReg, QStringLiteral("0%1/02/2026").arg(n));
    r.setText(ProtocolRecord::Ufficio, QStringLiteral("Ufficio %1").arg(n));
    r.setText(ProtocolRecord::Categoria, QStringLiteral("Corrispondenza"));
    r.setText(ProtocolRecord::Oggetto, QStringLiteral("Oggetto della scheda %1").arg(n));
    r.setText(ProtocolRecord::Mittente, QStringLiteral("Comune di Forlì"));
    r.setText(ProtocolRecord::File02, QStringLiteral("allegato%1.pdf").arg(n));
    r.setText(ProtocolRecord::Desc03, QStringLiteral("Descrizione %1").arg(n));
    return r;
}

// A card window over a register in a temporary program folder.
struct Fixture {
    TestServices services;
    TfrmProtocollo window;

    explicit Fixture(int cards = 0) {
        label("lblFile")->setText(services.file(QStringLiteral("2026.prt")));
        for (int n = 1; n <= cards; ++n)
            archive().append(card(n, n == 2   ? MailType::Uscita
                                     : n == 3 ? MailType::Interna
                                              : MailType::Entrata));
    }
    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    // The window's controls, by name.
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&window, name); }
    QLabel* label(const char* name) const { return control<QLabel>(&window, name); }
    QRadioButton* radio(const char* name) const { return control<QRadioButton>(&window, name); }
    QAbstractButton* button(const char* name) const {
        return control<QAbstractButton>(&window, name);
    }
    QString position() const { return label("lblPosizione")->text(); }
    IniFile settings() const { return IniFile(services.file(QStringLiteral("Faldora_Pro.ini"))); }
    // Every required field filled, an outgoing letter.
    void fillRequired() {
        edit("txtNumero")->setText(QStringLiteral("1"));
        edit("txtCategoria")->setText(QStringLiteral("Preventivi"));
        edit("txtOggetto")->setText(QStringLiteral("Richiesta di preventivo – ufficio tecnico"));
        radio("optUscita")->setChecked(true);
    }
    RecordArchive archive() const {
        return RecordArchive(label("lblFile")->text(), ProtocolRecord::layout());
    }
    void click(const char* name) { QTest::mouseClick(button(name), Qt::LeftButton); }
};

} // namespace

class TestProtocollo : public QObject {
    Q_OBJECT
private slots:
    void showingStartsOnAnEmptyCard() {
        Fixture f(2);
        QVERIFY(IniFile(f.services.file(QStringLiteral("Faldora_Pro.ini")))
                    .write(QStringLiteral("protocollo documenti"), QStringLiteral("UFFICIO"),
                           QStringLiteral("Segreteria")));
        f.edit("txtOperatore")->setText(QStringLiteral("di prima"));
        f.edit("txtOggetto")->setText(QStringLiteral("resto di prima"));
        f.label("lblFile02")->setText(QStringLiteral("vecchio.pdf"));
        QVERIFY(f.show());
        QCOMPARE(f.edit("txtDataReg")->text(), QStringLiteral("05/03/2026"));
        QVERIFY(f.edit("txtOggetto")->text().isEmpty());
        QVERIFY(f.label("lblFile02")->text().isEmpty());
        QVERIFY(f.position().isEmpty());
        QCOMPARE(f.edit("txtUfficio")->text(), QStringLiteral("Segreteria"));
        QVERIFY(f.edit("txtOperatore")->text().isEmpty()); // no value in the settings
        QVERIFY(!f.radio("optEntrata")->isChecked() && !f.radio("optUscita")->isChecked() &&
                !f.radio("optInterna")->isChecked());
        QVERIFY(!f.button("btnApri")->isEnabled());
        QTRY_VERIFY(f.edit("txtNumero")->hasFocus());
        QCOMPARE(f.label("panInfo")->text(),
                 QStringLiteral("Pronto per archiviare una nuova scheda..."));
        // Nothing touched the register yet.
        QVERIFY(f.services.messages.isEmpty());
    }

    void browsing_data() { addBrowsingRows(); }
    void browsing() {
        QFETCH(QString, from);
        QFETCH(QString, command);
        QFETCH(QString, to);
        Fixture f(3);
        QVERIFY(f.show());
        if (!from.isEmpty()) {
            const auto shown = f.archive().read(from.toInt());
            QVERIFY(shown);
            f.window.CaricaScheda(ProtocolRecord(shown->bytes()), from.toInt());
        }
        f.click(command.toLatin1());
        QCOMPARE(f.position(), to);
        QCOMPARE(f.edit("txtNumero")->text(), to + QStringLiteral("/2026"));
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("Oggetto della scheda ") + to);
        QVERIFY(f.services.messages.isEmpty());
    }

    void emptyRegister_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("after");
        QTest::newRow("first") << "cmdPrimo"
                               << ""
                               << "";
        QTest::newRow("previous") << "cmdIndietro"
                                  << ""
                                  << "";
        QTest::newRow("next") << "cmdAvanti"
                              << ""
                              << "";
        QTest::newRow("last") << "cmdUltimo"
                              << ""
                              << "";
        // A register emptied meanwhile (restored from a backup, say).
        QTest::newRow("next from card 2 empties the position") << "cmdAvanti"
                                                               << "2"
                                                               << "";
        QTest::newRow("last from card 2 keeps it") << "cmdUltimo"
                                                   << "2"
                                                   << "2";
    }
    void emptyRegister() {
        QFETCH(QString, command);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        Fixture f;
        QVERIFY(f.show());
        f.label("lblPosizione")->setText(shown);
        f.edit("txtOggetto")->setText(QStringLiteral("da non perdere"));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("L'archivio non contiene nessuna scheda."));
        QCOMPARE(f.position(), after);
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("da non perdere"));
        // The first browse created the year's register, empty.
        QVERIFY(QFile::exists(f.label("lblFile")->text()));
        QCOMPARE(QFile(f.label("lblFile")->text()).size(), 0);
    }

    void previousOnTheFirstCardSaysNothing() {
        Fixture f; // empty register, yet card 1 is shown
        QVERIFY(f.show());
        f.label("lblPosizione")->setText(QStringLiteral("1"));
        f.click("cmdIndietro");
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(f.position(), QStringLiteral("1"));
    }

    void unreachableRegisterGivesTheAccessError_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("first") << "cmdPrimo";
        QTest::newRow("previous") << "cmdIndietro";
        QTest::newRow("next") << "cmdAvanti";
        QTest::newRow("last") << "cmdUltimo";
    }
    void unreachableRegisterGivesTheAccessError() {
        QFETCH(QString, command);
        Fixture f(3);
        QVERIFY(f.show());
        f.window.CaricaScheda(card(2, MailType::Uscita), 2);
        f.edit("txtOggetto")->setText(QStringLiteral("modificato"));
        // The program folder cannot hold a register (it does not exist).
        f.label("lblFile")->setText(f.services.file(QStringLiteral("sparita/2026.prt")));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(
            f.services.messages[0].text,
            QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                           "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                           "installazione del programma."));
        QCOMPARE(f.position(), QStringLiteral("2"));
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("modificato"));
        QCOMPARE(f.edit("txtNumero")->text(), QStringLiteral("2/2026"));
        QVERIFY(f.radio("optUscita")->isChecked());
    }

    void loadRuleFillsEveryControl() {
        Fixture f;
        ProtocolRecord r;
        const auto& layout = ProtocolRecord::layout();
        for (int i = 0; i < layout.fieldCount(); ++i)
            r.Record::setText(i, QStringLiteral("%1 è€").arg(i));
        r.setText(ProtocolRecord::Tipologia, MailType::Interna);
        f.window.CaricaScheda(r, 42);
        for (int i = 0; i < layout.fieldCount(); ++i) {
            const QString name = QLatin1String(layout.field(i).name);
            if (i == ProtocolRecord::Tipologia)
                continue;
            const bool hidden =
                name.startsWith(QLatin1String("File")) || name.startsWith(QLatin1String("Desc"));
            QObject* control = f.window.findChild<QObject*>(
                (hidden ? QStringLiteral("lbl") : QStringLiteral("txt")) + name);
            QVERIFY2(control, qPrintable(name));
            QCOMPARE(control->property("text").toString(), QStringLiteral("%1 è€").arg(i));
            // Shown from its beginning, as a long subject must be.
            if (auto* edit = qobject_cast<QLineEdit*>(control))
                QCOMPARE(edit->cursorPosition(), 0);
        }
        QCOMPARE(f.position(), QStringLiteral("42"));
        QVERIFY(f.radio("optInterna")->isChecked());
        QVERIFY(!f.radio("optEntrata")->isChecked() && !f.radio("optUscita")->isChecked());
        QVERIFY(f.button("btnApri")->isEnabled()); // the card names a digital copy
    }

    void mailTypeLoading_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("checked"); // after a card with "In uscita"
        QTest::newRow("incoming") << MailType::Entrata << "optEntrata";
        QTest::newRow("outgoing") << MailType::Uscita << "optUscita";
        QTest::newRow("internal") << MailType::Interna << "optInterna";
        QTest::newRow("other case keeps the previous") << "interna"
                                                       << "optUscita";
        QTest::newRow("unknown keeps the previous") << "Fax"
                                                    << "optUscita";
        QTest::newRow("empty keeps the previous") << ""
                                                  << "optUscita";
    }
    void mailTypeLoading() {
        QFETCH(QString, stored);
        QFETCH(QString, checked);
        Fixture f;
        f.window.CaricaScheda(card(1, MailType::Uscita), 1);
        f.window.CaricaScheda(card(2, stored), 2);
        for (QRadioButton* b : {f.radio("optEntrata"), f.radio("optUscita"), f.radio("optInterna")})
            QCOMPARE(b->isChecked(), b->objectName() == checked);
    }

    void blanksWrittenByAnotherProgramAreNotShown() {
        Fixture f;
        ProtocolRecord r = card(1);
        QByteArray bytes = r.bytes();
        const int at = ProtocolRecord::layout().field(ProtocolRecord::Oggetto).offset;
        const QByteArray raw("  Roma \t ");
        bytes[at] = static_cast<char>(raw.size());
        bytes.replace(at + 1, raw.size(), raw);
        QFile file(f.label("lblFile")->text());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(f.show());
        f.click("cmdPrimo");
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("Roma"));
    }

    void registrationDateKeys() {
        Fixture f;
        QVERIFY(f.show());
        f.edit("txtDataReg")->setFocus();
        QString tag;
        ANSWER_MODAL(pressing(f.edit("txtDataReg"), Qt::Key_X), [&](QDialog* dialog) {
            tag = dialog->findChild<QLabel*>(QStringLiteral("lblMemory"))->text();
            auto* calendar = dialog->findChild<QCalendarWidget*>();
            calendar->setSelectedDate(QDate(2021, 3, 5));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnAnnulla")),
                              Qt::LeftButton);
        });
        QCOMPARE(tag, QStringLiteral("datareg"));
        QCOMPARE(f.edit("txtDataReg")->text(), QStringLiteral("05/03/2026"));
        ANSWER_MODAL(pressing(f.edit("txtDataReg"), Qt::Key_Return), [&](QDialog* dialog) {
            auto* calendar = dialog->findChild<QCalendarWidget*>();
            QCOMPARE(calendar->selectedDate(), QDate(2026, 3, 5)); // today, not the field's date
            calendar->setSelectedDate(QDate(2021, 3, 5));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("btnImportaData")),
                              Qt::LeftButton);
        });
        QCOMPARE(f.edit("txtDataReg")->text(), QStringLiteral("05/03/2021"));
        QVERIFY(!QApplication::activeModalWidget());
        QTest::keyClick(f.edit("txtDataReg"), Qt::Key_Backspace);
        QVERIFY(f.edit("txtDataReg")->text().isEmpty());
    }

    void enterMovesThroughTheCard() {
        Fixture f;
        QVERIFY(f.show());
        const char* chain[] = {
            "txtUfficio",     "txtOperatore",    "txtCategoria",   "txtCollocazione",
            "txtOggetto",     "txtDataSpe",      "txtDataRic",     "txtFormato",
            "txtPagine",      "txtRiferimenti",  "txtNote",        "txtMittente",
            "txtRecapitoMit", "txtDestinatario", "txtRecapitoDes", "txtCopia"};
        f.edit("txtNumero")->setFocus();
        QTest::keyClick(f.edit("txtNumero"), Qt::Key_Return);
        QVERIFY(f.edit("txtDataReg")->hasFocus());
        f.edit("txtUfficio")->setFocus();
        for (std::size_t i = 1; i < std::size(chain); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(chain[i]));
        }
        QTest::keyClick(f.edit("txtCopia"), Qt::Key_Return);
        QVERIFY(f.edit("txtCopia")->hasFocus());
    }

    void fieldsHoldAtMostTheirRecordField() {
        Fixture f;
        const auto& layout = ProtocolRecord::layout();
        int checked = 0;
        for (auto* edit : f.window.findChildren<QLineEdit*>()) {
            const int index = layout.indexOf(edit->objectName().mid(3));
            QVERIFY2(index >= 0, qPrintable(edit->objectName()));
            QCOMPARE(edit->maxLength(), layout.field(index).capacity);
            ++checked;
        }
        QCOMPARE(checked, 18);
        for (auto* edit : f.window.findChildren<QLineEdit*>())
            QVERIFY2(
                f.window.findChild<QWidget*>(QStringLiteral("eff") + edit->objectName().mid(3)),
                qPrintable(edit->objectName()));
    }

    void hintLine() {
        Fixture f;
        QVERIFY(f.show());
        QTest::mouseMove(f.button("cmdSalva"));
        QTRY_COMPARE(f.label("panInfo")->text(),
                     QStringLiteral("Salva la scheda corrente in archivio."));
        QTest::mouseMove(f.edit("txtDataReg"));
        QTRY_COMPARE(f.label("panInfo")->text(),
                     QStringLiteral("Fai clic su questo campo e premi un tasto qualsiasi per "
                                    "importare una data dal calendario."));
        auto* body = f.window.findChild<QWidget*>(QStringLiteral("shpScheda"));
        QTest::mouseMove(body, QPoint(5, 300));
        QTest::mouseMove(body, QPoint(6, 301));
        QTRY_VERIFY(f.label("panInfo")->text().isEmpty());
    }

    void newCard_data() {
        QTest::addColumn<int>("cards");
        QTest::addColumn<QString>("start"); // "<none>": no settings file
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("number");
        QTest::newRow("no settings file") << 0 << "<none>"
                                          << ""
                                          << "1";
        QTest::newRow("empty register, start 1, No") << 0 << "1"
                                                     << "No"
                                                     << "1";
        QTest::newRow("16 cards, Sì") << 16 << "1" << QStringLiteral("Sì") << "17/2021";
        QTest::newRow("16 cards, start 100, Sì")
            << 16 << "100" << QStringLiteral("Sì") << "116/2021";
        QTest::newRow("si appends no year") << 16 << "1"
                                            << "si"
                                            << "17";
        QTest::newRow("SI appends no year") << 16 << "1"
                                            << "SI"
                                            << "17";
        QTest::newRow("start 0") << 0 << "0"
                                 << "No"
                                 << "0";
        QTest::newRow("empty start is 1") << 2 << ""
                                          << "No"
                                          << "3";
    }
    void newCard() {
        QFETCH(int, cards);
        QFETCH(QString, start);
        QFETCH(QString, year);
        QFETCH(QString, number);
        Fixture f(cards);
        f.services.fixedNow = QDateTime(QDate(2021, 6, 30), QTime(9, 0));
        if (start != QLatin1String("<none>")) {
            QVERIFY(f.settings().write(QStringLiteral("Numerazione Protocollo"),
                                       QStringLiteral("Inizio"), start));
            QVERIFY(f.settings().write(QStringLiteral("Numerazione Protocollo"),
                                       QStringLiteral("Indicazione Anno Solare"), year));
        }
        QVERIFY(f.show());
        f.window.CaricaScheda(card(1), 1);
        f.edit("txtUfficio")->setText(QStringLiteral("Protocollo generale"));
        f.click("cmdNuovo");
        QCOMPARE(f.edit("txtNumero")->text(), number);
        QCOMPARE(f.edit("txtDataReg")->text(), QStringLiteral("30/06/2021"));
        QVERIFY(f.position().isEmpty());
        QVERIFY(f.edit("txtOggetto")->text().isEmpty() && f.label("lblFile02")->text().isEmpty());
        QVERIFY(!f.radio("optEntrata")->isChecked());
        QCOMPARE(f.edit("txtUfficio")->text(), QStringLiteral("Protocollo generale"));
        QTRY_VERIFY(f.edit("txtCategoria")->hasFocus());
        QVERIFY(f.services.messages.isEmpty());
    }

    void newCardWithAHandEditedStart() {
        Fixture f(3);
        QVERIFY(f.settings().write(QStringLiteral("Numerazione Protocollo"),
                                   QStringLiteral("Inizio"), QStringLiteral("dieci")));
        QVERIFY(f.show());
        f.window.CaricaScheda(card(2), 2);
        f.click("cmdNuovo");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.services.messages[0].text, CardWindow::kAccessError);
        // The card was emptied before the number could be made.
        QVERIFY(f.edit("txtNumero")->text().isEmpty());
        QCOMPARE(f.edit("txtDataReg")->text(), QStringLiteral("05/03/2026"));
        QVERIFY(f.position().isEmpty());
    }

    void savingANewCardAppendsThenRewrites() {
        Fixture f;
        QVERIFY(f.show());
        f.click("cmdNuovo");
        f.fillRequired();
        f.edit("txtNote")->setText(QStringLiteral("  nota con spazi  "));
        f.label("lblDesc01")->setText(QString(300, u'd'));
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("La scheda corrente è stata inserita in archivio."));
        QCOMPARE(f.position(), QStringLiteral("1"));
        QCOMPARE(QFile(f.label("lblFile")->text()).size(), 3403);

        const auto stored = f.archive().read(1);
        QVERIFY(stored);
        const ProtocolRecord saved(stored->bytes());
        QCOMPARE(saved.text(ProtocolRecord::Numero), QStringLiteral("1"));
        QCOMPARE(saved.text(ProtocolRecord::Tipologia), MailType::Uscita);
        QCOMPARE(saved.text(ProtocolRecord::DataReg), QStringLiteral("05/03/2026"));
        QCOMPARE(saved.text(ProtocolRecord::Oggetto),
                 QStringLiteral("Richiesta di preventivo – ufficio tecnico"));
        QCOMPARE(saved.text(ProtocolRecord::Note), QStringLiteral("nota con spazi"));
        QCOMPARE(saved.text(ProtocolRecord::Desc01), QString(250, u'd'));

        f.edit("txtOggetto")->setText(QStringLiteral("Oggetto corretto"));
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 2);
        QCOMPARE(
            f.services.messages[1].text,
            QStringLiteral(
                "Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
        QCOMPARE(f.position(), QStringLiteral("1"));
        QCOMPARE(QFile(f.label("lblFile")->text()).size(), 3403);
        QCOMPARE(ProtocolRecord(f.archive().read(1)->bytes()).text(ProtocolRecord::Oggetto),
                 QStringLiteral("Oggetto corretto"));
    }

    void twoCopiesNeverStoreOneNumberTwice_data() {
        QTest::addColumn<bool>("typedByHand");
        QTest::newRow("proposal untouched") << false;
        QTest::newRow("number typed by hand") << true;
    }
    void twoCopiesNeverStoreOneNumberTwice() {
        QFETCH(bool, typedByHand);
        Fixture a(3);
        TfrmProtocollo b; // a second copy of the program on the same folder
        control<QLabel>(&b, "lblFile")->setText(a.label("lblFile")->text());
        QVERIFY(a.settings().write(
            QStringLiteral("Numerazione Protocollo"),
            {{QStringLiteral("Inizio"), QStringLiteral("100")},
             {QStringLiteral("Indicazione Anno Solare"), QStringLiteral("Sì")}}));
        a.click("cmdNuovo");
        QTest::mouseClick(control<QAbstractButton>(&b, "cmdNuovo"), Qt::LeftButton);
        QCOMPARE(a.edit("txtNumero")->text(), QStringLiteral("103/2026"));
        QCOMPARE(control<QLineEdit>(&b, "txtNumero")->text(), QStringLiteral("103/2026"));
        if (typedByHand) {
            a.edit("txtNumero")->selectAll();
            QTest::keyClicks(a.edit("txtNumero"), QStringLiteral("103/2026"));
        }
        for (TfrmProtocollo* w : {&b, &a.window}) {
            control<QLineEdit>(w, "txtCategoria")->setText(QStringLiteral("Varie"));
            control<QLineEdit>(w, "txtOggetto")->setText(QStringLiteral("Lettera"));
            control<QRadioButton>(w, "optEntrata")->setChecked(true);
        }
        QTest::mouseClick(control<QAbstractButton>(&b, "cmdSalva"), Qt::LeftButton);
        a.services.messages.clear();
        a.click("cmdSalva");

        const auto first = a.archive().read(4);
        const auto second = a.archive().read(5);
        QVERIFY(first && second);
        QCOMPARE(first->text(ProtocolRecord::Numero), QStringLiteral("103/2026"));
        QCOMPARE(a.position(), QStringLiteral("5"));
        QCOMPARE(a.services.messages.first().text,
                 QStringLiteral("La scheda corrente è stata inserita in archivio."));
        if (typedByHand) {
            // What the user typed is kept as typed: the register takes it twice.
            QCOMPARE(second->text(ProtocolRecord::Numero), QStringLiteral("103/2026"));
            QCOMPARE(a.services.messages.size(), 1);
            return;
        }
        QCOMPARE(second->text(ProtocolRecord::Numero), QStringLiteral("104/2026"));
        QCOMPARE(a.edit("txtNumero")->text(), QStringLiteral("104/2026"));
        QCOMPARE(a.services.messages.size(), 2);
        QCOMPARE(a.services.messages[1].kind, MessageKind::Notice);
        QCOMPARE(a.services.messages[1].text,
                 QStringLiteral("Attenzione: il numero proposto è stato assegnato nel frattempo "
                                "da un'altra postazione. Alla scheda è stato assegnato il numero "
                                "104/2026."));
        // Saved again, the card keeps its number and place.
        a.click("cmdSalva");
        QCOMPARE(a.archive().count(), std::optional<int>(5));
        QCOMPARE(a.archive().read(5)->text(ProtocolRecord::Numero), QStringLiteral("104/2026"));
    }

    // Two copies show the same stored card; the first saves a change. The second copy's save
    // must not write over it: it warns, and on OK shows the stored card with its own typing
    // put back, for a second save that keeps both changes.
    void aCardChangedElsewhereIsNotWrittenOver_data() {
        QTest::addColumn<bool>("reload");
        QTest::addColumn<bool>("sameField"); // the second copy changed "Note" too
        QTest::newRow("reloaded, other fields") << true << false;
        QTest::newRow("reloaded, the same field") << true << true;
        QTest::newRow("cancelled") << false << false;
    }
    void aCardChangedElsewhereIsNotWrittenOver() {
        QFETCH(bool, reload);
        QFETCH(bool, sameField);
        Fixture a(3);
        TfrmProtocollo b; // a second copy of the program on the same folder
        control<QLabel>(&b, "lblFile")->setText(a.label("lblFile")->text());
        const auto bEdit = [&](const char* name) { return control<QLineEdit>(&b, name); };
        const auto bSave = [&] {
            QTest::mouseClick(control<QAbstractButton>(&b, "cmdSalva"), Qt::LeftButton);
        };
        a.click("cmdAvanti");
        QTest::mouseClick(control<QAbstractButton>(&b, "cmdAvanti"), Qt::LeftButton);
        QCOMPARE(control<QLabel>(&b, "lblPosizione")->text(), QStringLiteral("1"));

        a.edit("txtNote")->setText(QStringLiteral("Nota della prima postazione"));
        a.click("cmdSalva");
        QCOMPARE(a.services.lastMessage().text, CardWindow::kUpdated);
        const QByteArray afterFirst = a.archive().read(1)->bytes();

        bEdit("txtOggetto")->setText(QStringLiteral("Oggetto della seconda postazione"));
        if (sameField)
            bEdit("txtNote")->setText(QStringLiteral("Nota della seconda postazione"));
        a.services.messages.clear();
        a.services.warningAnswers = {reload};
        bSave();
        QCOMPARE(a.services.messages.first().kind, MessageKind::Warning);
        QCOMPARE(a.services.messages.first().text, CardWindow::kChangedElsewhere);
        QCOMPARE(a.archive().read(1)->bytes(), afterFirst); // the first change is still stored

        if (!reload) {
            QCOMPARE(a.services.messages.size(), 1);
            QCOMPARE(bEdit("txtOggetto")->text(),
                     QStringLiteral("Oggetto della seconda postazione"));
            QCOMPARE(bEdit("txtNote")->text(), QString());
            bSave(); // still refused, and nothing stored
            QCOMPARE(a.services.lastMessage().text, CardWindow::kChangedElsewhere);
            QCOMPARE(a.archive().read(1)->bytes(), afterFirst);
            return;
        }
        QCOMPARE(bEdit("txtOggetto")->text(), QStringLiteral("Oggetto della seconda postazione"));
        QCOMPARE(bEdit("txtNumero")->text(), QStringLiteral("1/2026"));
        if (sameField) {
            // The typing stays in the field; the other copy's text is shown beside it.
            QCOMPARE(bEdit("txtNote")->text(), QStringLiteral("Nota della seconda postazione"));
            QCOMPARE(a.services.messages.size(), 2);
            QCOMPARE(a.services.messages[1].kind, MessageKind::Warning);
            QCOMPARE(a.services.messages[1].text,
                     CardWindow::kBothChanged.arg(QStringLiteral("Note: Nota della prima "
                                                                 "postazione")));
        } else {
            QCOMPARE(bEdit("txtNote")->text(), QStringLiteral("Nota della prima postazione"));
            QCOMPARE(a.services.messages.size(), 1);
        }
        bSave();
        QCOMPARE(a.services.lastMessage().text, CardWindow::kUpdated);
        const auto stored = a.archive().read(1);
        QCOMPARE(stored->text(ProtocolRecord::Oggetto),
                 QStringLiteral("Oggetto della seconda postazione"));
        QCOMPARE(stored->text(ProtocolRecord::Note), bEdit("txtNote")->text());
        QCOMPARE(stored->text(ProtocolRecord::Mittente), QStringLiteral("Comune di Forlì"));
        // The first copy, saving again what it shows, is now the one that is warned.
        a.services.warningAnswers = {false};
        a.click("cmdSalva");
        QCOMPARE(a.services.lastMessage().text, CardWindow::kChangedElsewhere);
    }

    // A renumbering belongs to the card it happened to: the next new card keeps the number
    // it was proposed or given by hand and shows no notice, unless another copy takes its
    // proposed number too; a number typed by hand is never changed.
    void renumberingConcernsOnlyItsOwnCard_data() {
        QTest::addColumn<QString>("typed");     // the next card's number by hand; "" keeps it
        QTest::addColumn<int>("othersBetween"); // cards another copy stores before its save
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("notice"); // "" for none
        QTest::newRow("proposal, nobody else") << "" << 0 << "106/2026"
                                               << "";
        QTest::newRow("typed, nobody else") << "200/2026" << 0 << "200/2026"
                                            << "";
        QTest::newRow("typed, another copy stores one") << "200/2026" << 1 << "200/2026"
                                                        << "";
        QTest::newRow("proposal, another copy stores one")
            << "" << 1 << "107/2026"
            << "Attenzione: il numero proposto è stato assegnato nel frattempo da un'altra "
               "postazione. Alla scheda è stato assegnato il numero 107/2026.";
    }
    void renumberingConcernsOnlyItsOwnCard() {
        QFETCH(QString, typed);
        QFETCH(int, othersBetween);
        QFETCH(QString, stored);
        QFETCH(QString, notice);
        Fixture f(3);
        QVERIFY(f.settings().write(
            QStringLiteral("Numerazione Protocollo"),
            {{QStringLiteral("Inizio"), QStringLiteral("100")},
             {QStringLiteral("Indicazione Anno Solare"), QStringLiteral("Sì")}}));
        auto fillAndSave = [&f] {
            f.edit("txtCategoria")->setText(QStringLiteral("Varie"));
            f.edit("txtOggetto")->setText(QStringLiteral("Lettera"));
            f.radio("optEntrata")->setChecked(true);
            f.services.messages.clear();
            f.click("cmdSalva");
        };
        const QString inserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");

        // Another copy stores two cards between "Nuovo" and "Salva": 103 becomes 105.
        f.click("cmdNuovo");
        QCOMPARE(f.edit("txtNumero")->text(), QStringLiteral("103/2026"));
        QVERIFY(f.archive().append(card(20)));
        QVERIFY(f.archive().append(card(21)));
        fillAndSave();
        QCOMPARE(f.archive().read(6)->text(ProtocolRecord::Numero), QStringLiteral("105/2026"));
        QCOMPARE(f.services.messages.size(), 2);

        f.click("cmdNuovo");
        QCOMPARE(f.edit("txtNumero")->text(), QStringLiteral("106/2026"));
        if (!typed.isEmpty()) {
            f.edit("txtNumero")->setFocus();
            f.edit("txtNumero")->selectAll();
            QTest::keyClicks(f.edit("txtNumero"), typed);
        }
        for (int n = 0; n < othersBetween; ++n)
            QVERIFY(f.archive().append(card(30 + n)));
        fillAndSave();

        const int position = 7 + othersBetween;
        QCOMPARE(f.archive().count(), std::optional<int>(position));
        QCOMPARE(f.position(), QString::number(position));
        QCOMPARE(f.archive().read(position)->text(ProtocolRecord::Numero), stored);
        QCOMPARE(f.edit("txtNumero")->text(), stored);
        QStringList shown;
        for (const auto& m : f.services.messages)
            shown << m.text;
        const QStringList expected =
            notice.isEmpty() ? QStringList{inserted} : QStringList{inserted, notice};
        QCOMPARE(shown, expected);
    }

    void savingAStoredCardRewritesOnlyIt() {
        Fixture f(3);
        QVERIFY(f.show());
        f.click("cmdPrimo");
        f.click("cmdAvanti");
        QCOMPARE(f.position(), QStringLiteral("2"));
        QFile file(f.label("lblFile")->text());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();
        f.edit("txtOggetto")->setText(QStringLiteral("Cambiato"));
        f.radio("optInterna")->setChecked(true);
        f.click("cmdSalva");
        QCOMPARE(
            f.services.lastMessage().text,
            QStringLiteral(
                "Le modifiche apportate alla scheda corrente sono state salvate in archivio."));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray after = file.readAll();
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.left(3403), before.left(3403));
        QCOMPARE(after.mid(2 * 3403), before.mid(2 * 3403));
        const ProtocolRecord saved(after.mid(3403, 3403));
        QCOMPARE(saved.text(ProtocolRecord::Oggetto), QStringLiteral("Cambiato"));
        QCOMPARE(saved.text(ProtocolRecord::Tipologia), MailType::Interna);
        QCOMPARE(saved.text(ProtocolRecord::File02), QStringLiteral("allegato2.pdf"));
    }

    void requiredFields_data() {
        QTest::addColumn<QString>("missing"); // the first field left empty; "all": every one
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all empty")
            << "all"
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il numero "
                              "di protocollo del documento.")
            << "txtNumero";
        QTest::newRow("date") << "txtDataReg"
                              << QStringLiteral("Attenzione: per salvare la scheda è necessario "
                                                "indicare la data di registrazione del documento.")
                              << "txtDataReg";
        QTest::newRow("category") << "txtCategoria"
                                  << QStringLiteral(
                                         "Attenzione: per salvare la scheda è necessario indicare "
                                         "la categoria del documento.")
                                  << "txtCategoria";
        QTest::newRow("subject, blanks only")
            << "txtOggetto"
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare l'oggetto "
                              "del documento.")
            << "txtOggetto";
        QTest::newRow("mail type")
            << "opt"
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare la "
                              "tipologia di posta (in entrata, in uscita o interna).")
            << "optEntrata";
    }
    void requiredFields() {
        QFETCH(QString, missing);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture f;
        QVERIFY(f.show());
        if (missing == QLatin1String("all")) {
            f.edit("txtDataReg")->clear();
        } else {
            f.fillRequired();
            if (missing == QLatin1String("opt"))
                f.window.PulisciScheda(), f.edit("txtNumero")->setText(QStringLiteral("1")),
                    f.edit("txtCategoria")->setText(QStringLiteral("Fatture")),
                    f.edit("txtOggetto")->setText(QStringLiteral("Oggetto"));
            else
                f.window.findChild<QLineEdit*>(missing)->setText(QStringLiteral("   "));
        }
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, message);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(!QFile::exists(f.label("lblFile")->text())); // the register was not touched
    }

    // Two required fields left empty: the warning is the earlier check's, so two checks
    // that changed places show.
    void requiredChecksInTheirOrder_data() {
        QTest::addColumn<QStringList>("empty"); // "opt": no mail type
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("number and date")
            << QStringList{"txtNumero", "txtDataReg"}
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare il numero "
                              "di protocollo del documento.")
            << "txtNumero";
        QTest::newRow("date and category")
            << QStringList{"txtDataReg", "txtCategoria"}
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare la data "
                              "di registrazione del documento.")
            << "txtDataReg";
        QTest::newRow("category and subject")
            << QStringList{"txtCategoria", "txtOggetto"}
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare la "
                              "categoria del documento.")
            << "txtCategoria";
        QTest::newRow("subject and mail type")
            << QStringList{"txtOggetto", "opt"}
            << QStringLiteral("Attenzione: per salvare la scheda è necessario indicare "
                              "l'oggetto del documento.")
            << "txtOggetto";
    }
    void requiredChecksInTheirOrder() {
        QFETCH(QStringList, empty);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture f;
        QVERIFY(f.show());
        f.window.PulisciScheda(); // no mail type, today's date
        const auto fill = [&](QLineEdit* field, const QString& text) {
            if (empty.contains(field->objectName()))
                field->setText(QStringLiteral("  "));
            else if (!text.isEmpty())
                field->setText(text);
        };
        fill(f.edit("txtNumero"), QStringLiteral("1"));
        fill(f.edit("txtDataReg"), QString());
        fill(f.edit("txtCategoria"), QStringLiteral("Fatture"));
        fill(f.edit("txtOggetto"), QStringLiteral("Oggetto"));
        if (!empty.contains(QStringLiteral("opt")))
            f.radio("optInterna")->setChecked(true);
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, message);
        QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
        QVERIFY(!QFile::exists(f.label("lblFile")->text()));
    }

    // A past year marked read-only: its cards are browsed as usual; a save says that the
    // archive cannot be written and changes nothing.
    void aReadOnlyRegisterIsBrowsedButNotWritten() {
        Fixture f(3);
        QVERIFY(f.show());
        const QString path = f.label("lblFile")->text();
        const QByteArray before = readBytes(path);
        ReadOnly readOnly(path);
        if (!readOnly.ok())
            QSKIP("this machine cannot make the register read-only");
        f.click("cmdUltimo");
        QCOMPARE(f.position(), QStringLiteral("3"));
        f.click("cmdIndietro");
        QCOMPARE(f.position(), QStringLiteral("2"));
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("Oggetto della scheda 2"));
        QVERIFY(f.services.messages.isEmpty());

        f.edit("txtOggetto")->setText(QStringLiteral("modificato"));
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.services.messages[0].text, CardWindow::kAccessError);
        QCOMPARE(f.edit("txtOggetto")->text(), QStringLiteral("modificato"));
        QCOMPARE(readBytes(path), before);
    }

    void failedSaveKeepsTheCardNew() {
        Fixture f;
        QVERIFY(f.show());
        f.fillRequired();
        f.label("lblFile")->setText(f.services.file(QStringLiteral("sparita/2026.prt")));
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.services.messages[0].text, CardWindow::kAccessError);
        QVERIFY(f.position().isEmpty());
    }

    void officeAndOperatorAreRemembered() {
        Fixture f;
        QVERIFY(f.show());
        f.edit("txtUfficio")->setText(QStringLiteral("  Ufficio legale "));
        f.edit("txtOperatore")->setText(QStringLiteral("Anna Bruno"));
        f.window.close();
        QCOMPARE(
            f.settings().read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Ufficio")),
            QStringLiteral("Ufficio legale"));
        f.edit("txtUfficio")->clear();
        f.edit("txtOperatore")->clear();
        QVERIFY(f.show());
        QCOMPARE(f.edit("txtUfficio")->text(), QStringLiteral("Ufficio legale"));
        QCOMPARE(f.edit("txtOperatore")->text(), QStringLiteral("Anna Bruno"));
        // Emptied fields are remembered empty.
        f.edit("txtOperatore")->clear();
        f.window.close();
        QCOMPARE(
            f.settings().read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Operatore")),
            QString());
        QVERIFY(f.services.messages.isEmpty());
    }

    void numberingWindowOpensForTheProtocol() {
        Fixture f;
        QVERIFY(f.show());
        QString tag;
        ANSWER_MODAL([&] { f.click("cmdNumerazione"); },
                     [&](QDialog* dialog) {
                         tag = dialog->findChild<QLabel*>(QStringLiteral("lblMemory"))->text();
                         QTest::mouseClick(
                             dialog->findChild<QPushButton*>(QStringLiteral("btnAnnulla")),
                             Qt::LeftButton);
                     });
        QCOMPARE(tag, QStringLiteral("protocollo"));
        QVERIFY(!QApplication::activeModalWidget());
    }

    void yearCaptionAndRegister() {
        TestServices services;
        WindowRegistry registry;
        registry.createAll();
        registry.openProtocolYear(QStringLiteral(" 2021 "));
        TfrmProtocollo* w = registry.protocollo();
        QCOMPARE(w->windowTitle(), QStringLiteral(" Faldora - Protocollo Posta anno 2021"));
        QCOMPARE(control<QLabel>(w, "lblFile")->text(), services.file(QStringLiteral("2021.prt")));
    }
};

QTEST_MAIN(TestProtocollo)
#include "tst_Protocollo.moc"
