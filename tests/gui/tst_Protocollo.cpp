#include "app/CardWindow.h"
#include "app/Widgets.h"
#include "app/WindowRegistry.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "protocol/Protocollo.h"
#include "support/TestServices.h"

#include <QFile>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

namespace {

ProtocolRecord card(int n, const QString& mailType = MailType::Entrata) {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
    r.setText(ProtocolRecord::Tipologia, mailType);
    r.setText(ProtocolRecord::DataReg, QStringLiteral("0%1/02/2026").arg(n));
    r.setText(ProtocolRecord::Ufficio, QStringLiteral("Ufficio %1").arg(n));
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
        window.lblFile->setText(services.file(QStringLiteral("2026.prt")));
        for (int n = 1; n <= cards; ++n)
            archive().append(card(n, n == 2   ? MailType::Uscita
                                     : n == 3 ? MailType::Interna
                                              : MailType::Entrata));
    }
    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    QString position() const { return window.lblPosizione->text(); }
    RecordArchive archive() const {
        return RecordArchive(window.lblFile->text(), ProtocolRecord::layout());
    }
    void click(const char* name) {
        auto* button = window.findChild<QAbstractButton*>(QLatin1String(name));
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
};

} // namespace

class TestProtocollo : public QObject {
    Q_OBJECT
private slots:
    void showingStartsOnAnEmptyCard() {
        Fixture f(2);
        f.window.txtUfficio->setText(QStringLiteral("Segreteria"));
        f.window.txtOggetto->setText(QStringLiteral("resto di prima"));
        f.window.lblFile02->setText(QStringLiteral("vecchio.pdf"));
        QVERIFY(f.show());
        QCOMPARE(f.window.txtDataReg->text(), QStringLiteral("05/03/2026"));
        QVERIFY(f.window.txtOggetto->text().isEmpty());
        QVERIFY(f.window.lblFile02->text().isEmpty());
        QVERIFY(f.position().isEmpty());
        QCOMPARE(f.window.txtUfficio->text(), QStringLiteral("Segreteria"));
        QVERIFY(!f.window.optEntrata->isChecked() && !f.window.optUscita->isChecked() &&
                !f.window.optInterna->isChecked());
        QVERIFY(!f.window.btnApri->isEnabled());
        QTRY_VERIFY(f.window.txtNumero->hasFocus());
        QCOMPARE(f.window.panInfo->text(),
                 QStringLiteral("Pronto per archiviare una nuova scheda..."));
        // Nothing touched the register yet.
        QVERIFY(f.services.messages.isEmpty());
    }

    void browsing_data() {
        QTest::addColumn<QString>("from"); // "" = a new card
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("to");
        const char* commands[] = {"cmdPrimo", "cmdIndietro", "cmdAvanti", "cmdUltimo"};
        // Expected position for each command, from a new card and from cards 1, 2, 3.
        const char* expected[4][4] = {
            {"1", "1", "1", "3"}, // new card
            {"1", "1", "2", "3"}, // card 1
            {"1", "1", "3", "3"}, // card 2
            {"1", "2", "3", "3"}, // card 3
        };
        const char* starts[] = {"", "1", "2", "3"};
        for (int s = 0; s < 4; ++s)
            for (int c = 0; c < 4; ++c)
                QTest::addRow("%s from %s", commands[c], *starts[s] ? starts[s] : "new")
                    << QString::fromLatin1(starts[s]) << QString::fromLatin1(commands[c])
                    << QString::fromLatin1(expected[s][c]);
    }
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
        QCOMPARE(f.window.txtNumero->text(), to + QStringLiteral("/2026"));
        QCOMPARE(f.window.txtOggetto->text(), QStringLiteral("Oggetto della scheda ") + to);
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
        f.window.lblPosizione->setText(shown);
        f.window.txtOggetto->setText(QStringLiteral("da non perdere"));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("L'archivio non contiene nessuna scheda."));
        QCOMPARE(f.position(), after);
        QCOMPARE(f.window.txtOggetto->text(), QStringLiteral("da non perdere"));
        // The first browse created the year's register, empty.
        QVERIFY(QFile::exists(f.window.lblFile->text()));
        QCOMPARE(QFile(f.window.lblFile->text()).size(), 0);
    }

    void previousOnTheFirstCardSaysNothing() {
        Fixture f; // empty register, yet card 1 is shown
        QVERIFY(f.show());
        f.window.lblPosizione->setText(QStringLiteral("1"));
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
        f.window.txtOggetto->setText(QStringLiteral("modificato"));
        // The program folder cannot hold a register (it does not exist).
        f.window.lblFile->setText(f.services.file(QStringLiteral("sparita/2026.prt")));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(
            f.services.messages[0].text,
            QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                           "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                           "installazione del programma."));
        QCOMPARE(f.position(), QStringLiteral("2"));
        QCOMPARE(f.window.txtOggetto->text(), QStringLiteral("modificato"));
        QCOMPARE(f.window.txtNumero->text(), QStringLiteral("2/2026"));
        QVERIFY(f.window.optUscita->isChecked());
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
        QVERIFY(f.window.optInterna->isChecked());
        QVERIFY(!f.window.optEntrata->isChecked() && !f.window.optUscita->isChecked());
        QVERIFY(f.window.btnApri->isEnabled()); // the card names a digital copy
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
        for (QRadioButton* b : {f.window.optEntrata, f.window.optUscita, f.window.optInterna})
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
        QFile file(f.window.lblFile->text());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QVERIFY(f.show());
        f.click("cmdPrimo");
        QCOMPARE(f.window.txtOggetto->text(), QStringLiteral("Roma"));
    }

    void registrationDateKeys() {
        Fixture f;
        QVERIFY(f.show());
        f.window.txtDataReg->setFocus();
        QTest::keyClick(f.window.txtDataReg, Qt::Key_X);
        QCOMPARE(f.window.txtDataReg->text(), QStringLiteral("05/03/2026"));
        QTest::keyClick(f.window.txtDataReg, Qt::Key_Backspace);
        QVERIFY(f.window.txtDataReg->text().isEmpty());
    }

    void enterMovesThroughTheCard() {
        Fixture f;
        QVERIFY(f.show());
        const char* chain[] = {
            "txtUfficio",     "txtOperatore",    "txtCategoria",   "txtCollocazione",
            "txtOggetto",     "txtDataSpe",      "txtDataRic",     "txtFormato",
            "txtPagine",      "txtRiferimenti",  "txtNote",        "txtMittente",
            "txtRecapitoMit", "txtDestinatario", "txtRecapitoDes", "txtCopia"};
        f.window.txtNumero->setFocus();
        QTest::keyClick(f.window.txtNumero, Qt::Key_Return);
        QVERIFY(f.window.txtDataReg->hasFocus());
        f.window.txtUfficio->setFocus();
        for (std::size_t i = 1; i < std::size(chain); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(chain[i]));
        }
        QTest::keyClick(f.window.txtCopia, Qt::Key_Return);
        QVERIFY(f.window.txtCopia->hasFocus());
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
        QTest::mouseMove(f.window.cmdSalva);
        QTRY_COMPARE(f.window.panInfo->text(),
                     QStringLiteral("Salva la scheda corrente in archivio."));
        QTest::mouseMove(f.window.txtDataReg);
        QTRY_COMPARE(f.window.panInfo->text(),
                     QStringLiteral("Fai clic su questo campo e premi un tasto qualsiasi per "
                                    "importare una data dal calendario."));
        auto* body = f.window.findChild<QWidget*>(QStringLiteral("shpScheda"));
        QTest::mouseMove(body, QPoint(5, 300));
        QTest::mouseMove(body, QPoint(6, 301));
        QTRY_VERIFY(f.window.panInfo->text().isEmpty());
    }

    void yearCaptionAndRegister() {
        TestServices services;
        WindowRegistry registry;
        registry.createAll();
        registry.openProtocolYear(QStringLiteral(" 2021 "));
        TfrmProtocollo* w = registry.protocollo();
        QCOMPARE(w->windowTitle(), QStringLiteral(" Faldora - Protocollo Posta anno 2021"));
        QCOMPARE(w->lblFile->text(), services.file(QStringLiteral("2021.prt")));
    }
};

QTEST_MAIN(TestProtocollo)
#include "tst_Protocollo.moc"
