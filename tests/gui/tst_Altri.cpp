#include "app/Avvio.h"
#include "app/WindowRegistry.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "protocol/Protocollo.h"
#include "support/BrowsingRows.h"
#include "support/ChosenNameRows.h"
#include "support/TestServices.h"
#include "ui/Guida.h"
#include "ui/Widgets.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(MessageKind)

namespace {

using F = DocumentRecord::Field;

const QString kAccessError = QStringLiteral(
    "Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\rAccertarsi di "
    "possedere i privilegi di scrittura nella cartella di installazione del programma.");
const QString kEmpty = QStringLiteral("L'archivio non contiene nessuna scheda.");
const QString kInserted = QStringLiteral("La scheda corrente è stata inserita in archivio.");
const QString kUpdated =
    QStringLiteral("Le modifiche apportate alla scheda corrente sono state salvate in archivio.");
const QString kNoDocument = QStringLiteral(
    "Attenzione: per salvare la scheda è necessario indicare il nome del documento.");
const QString kNoProducer = QStringLiteral(
    "Attenzione: per salvare la scheda è necessario indicare il nome del produttore del "
    "documento.");
const QString kNoDate = QStringLiteral(
    "Attenzione: per salvare la scheda è necessario indicare la data di produzione del "
    "documento.");
const QString kOverwrite = QStringLiteral(
    "Attenzione: nella cartella dei documenti allegati è presente un file con lo stesso "
    "nome.\r\n\r\nSi vuole sovrascrivere il file esistente?");
const QString kCopyFailed = QStringLiteral(
    "Attenzione: non è stato possibile copiare il file nella cartella dei documenti allegati.");

DocumentRecord card(int n, const QString& mark = DocumentRecord::No) {
    DocumentRecord r;
    r.setText(F::Documento, QStringLiteral("Documento %1").arg(n));
    r.setText(F::Protocollo, QStringLiteral("%1/2026").arg(n));
    r.setText(F::Produttore, QStringLiteral("Produttore %1").arg(n));
    r.setText(F::DataPro, QStringLiteral("0%1/02/2026").arg(n));
    r.setText(F::Oggetto, QStringLiteral("Oggetto della scheda %1").arg(n));
    r.setText(F::Note, QStringLiteral("Nota %1 – città, €").arg(n));
    r.setText(F::Copia, QStringLiteral("copia%1.pdf").arg(n));
    r.setText(F::DaCompletare, mark);
    r.setText(F::File02, QStringLiteral("allegato%1.pdf").arg(n));
    r.setText(F::Desc03, QStringLiteral("Descrizione %1").arg(n));
    return r;
}

// The document card window over a card index in a temporary program folder.
struct Fixture {
    TestServices services;
    TfrmAltri window;
    QTemporaryDir elsewhere; // where the user's own files are

    explicit Fixture(int cards = 0) {
        for (int n = 1; n <= cards; ++n)
            archive().append(card(n, n == 2 ? DocumentRecord::Yes : DocumentRecord::No));
    }
    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    RecordArchive archive() const { return DocumentArchive::in(services.folderPath()); }
    QLineEdit* edit(const char* name) const { return control<QLineEdit>(&window, name); }
    QString text(const char* name) const { return edit(name)->text(); }
    QString position() const { return control<QLabel>(&window, "lblPosizione")->text(); }
    QCheckBox* mark() const { return control<QCheckBox>(&window, "chkDaCompletare"); }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(&window, name), Qt::LeftButton);
    }
    void fillRequired() {
        edit("txtDocumento")->setText(QStringLiteral("Contratto di locazione"));
        edit("txtProduttore")->setText(QStringLiteral("Studio Bianchi"));
        edit("txtDataPro")->setText(QStringLiteral("05/03/2026"));
    }
    QString userFile(const QString& name, const QByteArray& bytes) {
        const QString path = elsewhere.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
        return path;
    }
    QByteArray attached(const QString& name) const {
        QFile f(services.file(QStringLiteral("Documenti_Allegati")) + QDir::separator() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

// The 22 edit fields of the card, in tab order, with the record field each one shows.
struct FieldRow {
    const char* name;
    F field;
    int maxLength;
};
const FieldRow kFields[] = {
    {"txtDocumento", F::Documento, 120},
    {"txtProtocollo", F::Protocollo, 30},
    {"txtProduttore", F::Produttore, 50},
    {"txtIndirizzoPro", F::IndirizzoPro, 120},
    {"txtDataPro", F::DataPro, 10},
    {"txtDestinatario", F::Destinatario, 50},
    {"txtIndirizzoDes", F::IndirizzoDes, 120},
    {"txtDataDes", F::DataDes, 10},
    {"txtOggetto", F::Oggetto, 250},
    {"txtTipo", F::Tipo, 50},
    {"txtClassificazione", F::Classificazione, 50},
    {"txtFascicolo", F::Fascicolo, 120},
    {"txtFormato", F::Formato, 50},
    {"txtPagine", F::Pagine, 30},
    {"txtAllegati", F::Allegati, 250},
    {"txtRiferimenti", F::Riferimenti, 250},
    {"txtLivello", F::Livello, 50},
    {"txtSoftware", F::Software, 50},
    {"txtLuogo", F::Luogo, 50},
    {"txtSoggetti", F::Soggetti, 250},
    {"txtNote", F::Note, 250},
    {"txtCopia", F::Copia, 250},
};

} // namespace

class TestAltri : public QObject {
    Q_OBJECT
private slots:
    // Layout and conventions.

    void showingStartsOnAnEmptyCard() {
        Fixture f(3);
        f.window.CaricaScheda(card(2, DocumentRecord::Yes), 2);
        QVERIFY(f.mark()->isChecked());
        QVERIFY(f.show());
        for (const FieldRow& row : kFields)
            QVERIFY2(f.text(row.name).isEmpty(), row.name);
        QVERIFY(!f.mark()->isChecked());
        QVERIFY(f.position().isEmpty());
        QVERIFY(control<QLabel>(&f.window, "lblFile02")->text().isEmpty());
        QVERIFY(!control<QPushButton>(&f.window, "btnApri")->isEnabled());
        QTRY_VERIFY(f.edit("txtDocumento")->hasFocus());
        QCOMPARE(f.window.windowTitle(), QStringLiteral(" Faldora - Schedario Documenti"));
        QCOMPARE(control<QLabel>(&f.window, "panInfo")->text(),
                 QStringLiteral("Pronto per archiviare una nuova scheda..."));
        QVERIFY(f.services.messages.isEmpty());
    }

    void fieldsHoldAtMostTheirRecordFieldAndFollowTheTabOrder() {
        Fixture f;
        QWidget* previous = nullptr;
        for (const FieldRow& row : kFields) {
            QLineEdit* edit = f.edit(row.name);
            QCOMPARE(edit->maxLength(), row.maxLength);
            QCOMPARE(edit->font().family(), QStringLiteral("Verdana"));
            QVERIFY(edit->font().bold());
            if (previous) {
                // The check box stands between the cited subjects and the notes.
                QWidget* expected = edit;
                if (QLatin1String(row.name) == QLatin1String("txtNote")) {
                    QCOMPARE(previous->nextInFocusChain(), f.mark());
                    previous = f.mark();
                }
                QWidget* next = previous->nextInFocusChain();
                while (next && next->focusPolicy() == Qt::NoFocus)
                    next = next->nextInFocusChain();
                QCOMPARE(next, expected);
            }
            previous = edit;
        }
        QWidget* afterCopy = f.edit("txtCopia")->nextInFocusChain();
        while (afterCopy->focusPolicy() == Qt::NoFocus)
            afterCopy = afterCopy->nextInFocusChain();
        QCOMPARE(afterCopy, control<QPushButton>(&f.window, "btnSfoglia"));
        QCOMPARE(afterCopy->nextInFocusChain(), control<QPushButton>(&f.window, "btnApri"));
        for (const char* date : {"txtDataPro", "txtDataDes"}) {
            QVERIFY(f.edit(date)->isReadOnly());
            QCOMPARE(f.edit(date)->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        }
        QVERIFY(f.edit("txtCopia")->isReadOnly());
        QCOMPARE(f.edit("txtProtocollo")->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    }

    void enterMovesAlongTheCardAndDateFieldsAskForTheCalendar() {
        Fixture f;
        QVERIFY(f.show());
        const char* chain[] = {"txtDocumento", "txtProtocollo", "txtProduttore", "txtIndirizzoPro",
                               "txtDataPro"};
        f.edit(chain[0])->setFocus();
        for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
            QTest::keyClick(f.edit(chain[i]), Qt::Key_Return);
            QTRY_VERIFY2(f.edit(chain[i + 1])->hasFocus(), chain[i + 1]);
        }
        const char* later[] = {"txtOggetto", "txtTipo",     "txtClassificazione", "txtFascicolo",
                               "txtFormato", "txtPagine",   "txtAllegati",        "txtRiferimenti",
                               "txtLivello", "txtSoftware", "txtLuogo",           "txtSoggetti",
                               "txtNote",    "txtCopia"};
        for (std::size_t i = 0; i + 1 < std::size(later); ++i) {
            f.edit(later[i])->setFocus();
            QTest::keyClick(f.edit(later[i]), Qt::Key_Return);
            QTRY_VERIFY2(f.edit(later[i + 1])->hasFocus(), later[i + 1]);
        }
        // Enter in the production date opens the calendar: it never reaches the addressee.
        QString tag;
        f.edit("txtDataPro")->setFocus();
        ANSWER_MODAL(pressing(f.edit("txtDataPro"), Qt::Key_Return), [&](QDialog* dialog) {
            tag = control<QLabel>(dialog, "lblMemory")->text();
            control<QCalendarWidget>(dialog, "calAppuntamenti")->setSelectedDate(QDate(2021, 3, 5));
            QTest::mouseClick(control<QPushButton>(dialog, "btnImportaData"), Qt::LeftButton);
        });
        QCOMPARE(tag, QStringLiteral("datapro"));
        QCOMPARE(f.text("txtDataPro"), QStringLiteral("05/03/2021"));
        QVERIFY(!f.edit("txtDestinatario")->hasFocus());

        f.edit("txtDataDes")->setFocus();
        ANSWER_MODAL(pressing(f.edit("txtDataDes"), Qt::Key_A), [&](QDialog* dialog) {
            tag = control<QLabel>(dialog, "lblMemory")->text();
            QTest::mouseClick(control<QPushButton>(dialog, "btnImportaData"), Qt::LeftButton);
        });
        QCOMPARE(tag, QStringLiteral("datades"));
        QCOMPARE(f.text("txtDataDes"), QStringLiteral("05/03/2026")); // today, as the clock says
        QTest::keyClick(f.edit("txtDataDes"), Qt::Key_Backspace);
        QVERIFY(f.text("txtDataDes").isEmpty());
        f.edit("txtDataPro")->setFocus();
        QTest::keyClick(f.edit("txtDataPro"), Qt::Key_Delete);
        QVERIFY(f.text("txtDataPro").isEmpty());
    }

    void hintLine_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("hint");
        const char* rows[][2] = {
            {"cmdNuovo", "Prepara la schermata per la registrazione di una nuova scheda."},
            {"cmdDuplica", "Prepara la schermata per la registrazione di una nuova scheda "
                           "duplicando i dati correnti."},
            {"cmdSalva", "Salva la scheda corrente in archivio."},
            {"cmdTrova", "Trova una scheda in archivio."},
            {"cmdFile", "Allega file alla scheda corrente."},
            {"cmdStampa", "Stampa la scheda corrente."},
            {"cmdPrimo", "Visualizza la prima scheda in archivio."},
            {"cmdIndietro", "Visualizza la scheda precedente in archivio."},
            {"cmdAvanti", "Visualizza la scheda successiva in archivio."},
            {"cmdUltimo", "Visualizza l'ultima scheda in archivio."},
            {"cmdEsporta", "Esporta tutte le schede in archivio in un file di Microsoft Excel."},
            {"cmdDaCompletare", "Visualizza il riepilogo dei documenti non ancora completati."},
            {"cmdGuida", "Visualizza la guida in linea."},
            {"cmdEsci", "Esci da questa schermata di lavoro."},
            {"btnSfoglia", "Seleziona il file da allegare alla scheda corrente."},
            {"btnApri", "Apri il file allegato alla scheda corrente."},
            {"btnCancella", "Cancella il percorso del file allegato alla scheda corrente."},
            {"chkDaCompletare", "Spunta questa casella per indicare che il documento deve ancora "
                                "essere completato."},
            {"txtDataPro", "Fai clic su questo campo e premi un tasto qualsiasi per importare "
                           "una data dal calendario."},
            {"txtDataDes", "Fai clic su questo campo e premi un tasto qualsiasi per importare "
                           "una data dal calendario."},
        };
        for (const auto& row : rows)
            QTest::newRow(row[0]) << QString::fromLatin1(row[0]) << QString::fromUtf8(row[1]);
    }
    void hintLine() {
        QFETCH(QString, control);
        QFETCH(QString, hint);
        Fixture f;
        QVERIFY(f.show());
        auto* panInfo = ::control<QLabel>(&f.window, "panInfo");
        auto* widget = f.window.findChild<QWidget*>(control);
        QVERIFY(widget);
        widget->setEnabled(true); // "Apri" waits for a file, its hint does not
        QTest::mouseMove(widget, QPoint(2, 2));
        QTRY_COMPARE(panInfo->text(), hint);
    }

    void areasEmptyTheHintLine_data() {
        QTest::addColumn<QString>("area");
        QTest::addColumn<bool>("empties");
        for (const char* name : {"shpGruppo1", "shpGruppo4", "shpGruppo6", "shpScheda",
                                 "shpAllegato", "shpCopia", "icoCopia", "icoDaCompletare"})
            QTest::newRow(name) << QString::fromLatin1(name) << true;
        // The binder picture, the captions and the hint bar leave it as it is.
        for (const char* name : {"icoArchivio", "lblCampo001", "panHint", "panInfo"})
            QTest::newRow(name) << QString::fromLatin1(name) << false;
    }
    void areasEmptyTheHintLine() {
        QFETCH(QString, area);
        QFETCH(bool, empties);
        Fixture f;
        QVERIFY(f.show());
        auto* panInfo = control<QLabel>(&f.window, "panInfo");
        QTest::mouseMove(control<QWidget>(&f.window, "cmdSalva"), QPoint(3, 3));
        QTRY_COMPARE(panInfo->text(), QStringLiteral("Salva la scheda corrente in archivio."));
        auto* widget = f.window.findChild<QWidget*>(area);
        QVERIFY(widget);
        QTest::mouseMove(widget, QPoint(2, 2));
        QTest::mouseMove(widget, QPoint(3, 3));
        QCoreApplication::processEvents();
        QCOMPARE(panInfo->text().isEmpty(), empties);
    }

    // Browsing.

    void browsing_data() { addBrowsingRows(); }
    void browsing() {
        QFETCH(QString, from);
        QFETCH(QString, command);
        QFETCH(QString, to);
        Fixture f(3);
        QVERIFY(f.show());
        if (!from.isEmpty())
            f.window.CaricaScheda(*f.archive().read(from.toInt()), from.toInt());
        f.click(command.toLatin1());
        QCOMPARE(f.position(), to);
        QCOMPARE(f.text("txtDocumento"), QStringLiteral("Documento ") + to);
        QCOMPARE(f.mark()->isChecked(), to == QLatin1String("2"));
        QVERIFY(f.services.messages.isEmpty());
    }

    void emptyArchive_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("after");
        QTest::addColumn<bool>("message");
        QTest::newRow("first") << "cmdPrimo"
                               << ""
                               << "" << true;
        QTest::newRow("previous") << "cmdIndietro"
                                  << ""
                                  << "" << true;
        QTest::newRow("next") << "cmdAvanti"
                              << ""
                              << "" << true;
        QTest::newRow("last") << "cmdUltimo"
                              << ""
                              << "" << true;
        QTest::newRow("next from card 2 empties the position") << "cmdAvanti"
                                                               << "2"
                                                               << "" << true;
        QTest::newRow("last from card 2 keeps it") << "cmdUltimo"
                                                   << "2"
                                                   << "2" << true;
        QTest::newRow("previous on card 1 says nothing") << "cmdIndietro"
                                                         << "1"
                                                         << "1" << false;
    }
    void emptyArchive() {
        QFETCH(QString, command);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        QFETCH(bool, message);
        Fixture f;
        QVERIFY(f.show());
        control<QLabel>(&f.window, "lblPosizione")->setText(shown);
        f.edit("txtOggetto")->setText(QStringLiteral("da non perdere"));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
            QCOMPARE(f.services.messages[0].text, kEmpty);
        }
        QCOMPARE(f.position(), after);
        QCOMPARE(f.text("txtOggetto"), QStringLiteral("da non perdere"));
    }

    void unreachableArchiveGivesTheAccessError_data() {
        QTest::addColumn<QString>("command");
        for (const char* command :
             {"cmdPrimo", "cmdIndietro", "cmdAvanti", "cmdUltimo", "cmdSalva"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void unreachableArchiveGivesTheAccessError() {
        QFETCH(QString, command);
        Fixture f(3);
        QVERIFY(f.show());
        f.window.CaricaScheda(*f.archive().read(2), 2);
        f.edit("txtOggetto")->setText(QStringLiteral("modificato"));
        // A folder in the index's place: the file cannot be opened, nor made.
        const QString index = f.archive().path();
        const QString aside = index + QStringLiteral(".bak");
        QVERIFY(QFile::rename(index, aside));
        QVERIFY(QDir().mkpath(index));
        f.click(command.toLatin1());
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Error);
        QCOMPARE(f.services.messages[0].text, kAccessError);
        QCOMPARE(f.position(), QStringLiteral("2"));
        QCOMPARE(f.text("txtOggetto"), QStringLiteral("modificato"));
        QVERIFY(f.mark()->isChecked());
    }

    void theMarkFollowsOnlyYesAndNo_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("before");
        QTest::addColumn<bool>("after");
        QTest::newRow("Sì checks") << QStringLiteral("Sì") << false << true;
        QTest::newRow("No unchecks") << QStringLiteral("No") << true << false;
        QTest::newRow("lower case keeps it checked") << QStringLiteral("sì") << true << true;
        QTest::newRow("without the accent keeps it unchecked")
            << QStringLiteral("Si") << false << false;
        QTest::newRow("empty keeps it checked") << QString() << true << true;
    }
    void theMarkFollowsOnlyYesAndNo() {
        QFETCH(QString, stored);
        QFETCH(bool, before);
        QFETCH(bool, after);
        Fixture f;
        f.mark()->setChecked(before);
        f.window.CaricaScheda(card(1, stored), 1);
        QCOMPARE(f.mark()->isChecked(), after);
    }

    void loadRuleFillsEveryControl() {
        Fixture f;
        DocumentRecord r;
        const auto& layout = DocumentRecord::layout();
        for (int i = 0; i < layout.fieldCount(); ++i)
            r.Record::setText(i, QStringLiteral("%1 è€   ").arg(i));
        r.setText(F::DaCompletare, DocumentRecord::Yes);
        f.window.CaricaScheda(r, 42);
        for (int i = 0; i < layout.fieldCount(); ++i) {
            if (i == F::DaCompletare)
                continue;
            const QString name = QLatin1String(layout.field(i).name);
            const bool hidden =
                name.startsWith(QLatin1String("File")) || name.startsWith(QLatin1String("Desc"));
            QObject* shown = f.window.findChild<QObject*>(
                (hidden ? QStringLiteral("lbl") : QStringLiteral("txt")) + name);
            QVERIFY2(shown, qPrintable(name));
            QCOMPARE(shown->property("text").toString(), QStringLiteral("%1 è€").arg(i));
        }
        QCOMPARE(f.position(), QStringLiteral("42"));
        QVERIFY(f.mark()->isChecked());
        QVERIFY(control<QPushButton>(&f.window, "btnApri")->isEnabled());
    }

    // Saving.

    void requiredFieldsInTheirOrder_data() {
        QTest::addColumn<QStringList>("blank"); // of the three required fields
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");
        QTest::newRow("all three") << QStringList{"txtDocumento", "txtProduttore", "txtDataPro"}
                                   << kNoDocument << "txtDocumento";
        QTest::newRow("name of blanks only")
            << QStringList{"txtDocumento"} << kNoDocument << "txtDocumento";
        QTest::newRow("producer and date")
            << QStringList{"txtProduttore", "txtDataPro"} << kNoProducer << "txtProduttore";
        QTest::newRow("name and date")
            << QStringList{"txtDocumento", "txtDataPro"} << kNoDocument << "txtDocumento";
        QTest::newRow("date") << QStringList{"txtDataPro"} << kNoDate << "txtDataPro";
    }
    void requiredFieldsInTheirOrder() {
        QFETCH(QStringList, blank);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        Fixture f;
        QVERIFY(f.show());
        f.fillRequired();
        for (const QString& name : blank)
            f.edit(name.toLatin1())->setText(QStringLiteral("   "));
        f.click("cmdSalva");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, message);
        QTRY_VERIFY(f.edit(focus.toLatin1())->hasFocus());
        // The date field takes the focus without opening the calendar.
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(QFile(f.archive().path()).size(), 0);
        QVERIFY(f.position().isEmpty());
    }

    void savingAppendsThenRewrites() {
        Fixture f;
        QVERIFY(f.show());
        f.fillRequired();
        f.edit("txtOggetto")->setText(QStringLiteral("Rinnovo   "));
        f.mark()->setChecked(true);
        f.click("cmdSalva");
        QCOMPARE(f.position(), QStringLiteral("1"));
        QCOMPARE(f.services.lastMessage().kind, MessageKind::Information);
        QCOMPARE(f.services.lastMessage().text, kInserted);
        QCOMPARE(QFile(f.archive().path()).size(), 3991);
        // The field keeps what was typed; the card holds it trimmed.
        QCOMPARE(f.text("txtOggetto"), QStringLiteral("Rinnovo   "));
        const DocumentRecord stored(f.archive().read(1)->bytes());
        QCOMPARE(stored.text(F::Oggetto), QStringLiteral("Rinnovo"));
        QCOMPARE(stored.bytes().mid(2482, 3), QByteArray("\x02S\xEC"));

        f.mark()->setChecked(false);
        QTest::keyClick(f.edit("txtDataDes"), Qt::Key_Delete);
        f.click("cmdSalva");
        QCOMPARE(f.services.lastMessage().text, kUpdated);
        QCOMPARE(f.position(), QStringLiteral("1"));
        QCOMPARE(QFile(f.archive().path()).size(), 3991);
        const DocumentRecord again(f.archive().read(1)->bytes());
        QCOMPARE(again.bytes().mid(2482, 3), QByteArray("\x02No"));
        QVERIFY(again.text(F::DataDes).isEmpty());
    }

    void savingANewCardInAnArchiveOfSeven() {
        Fixture f(7);
        QVERIFY(f.show());
        f.fillRequired();
        f.click("cmdSalva");
        QCOMPARE(f.position(), QStringLiteral("8"));
        QCOMPARE(f.archive().count(), std::optional<int>(8));
        QCOMPARE(f.archive().read(8)->text(F::Documento), QStringLiteral("Contratto di locazione"));
    }

    void newCardEmptiesEverything() {
        Fixture f(3);
        QVERIFY(f.show());
        f.click("cmdUltimo");
        f.mark()->setChecked(true);
        f.click("cmdNuovo");
        for (const FieldRow& row : kFields)
            QVERIFY2(f.text(row.name).isEmpty(), row.name);
        QVERIFY(!f.mark()->isChecked());
        QVERIFY(f.position().isEmpty());
        QVERIFY(control<QLabel>(&f.window, "lblFile02")->text().isEmpty());
        QTRY_VERIFY(f.edit("txtDocumento")->hasFocus());
        QCOMPARE(f.archive().count(), std::optional<int>(3));
    }

    // Duplicating.

    void duplicatingANewCardIsRefused() {
        Fixture f;
        QVERIFY(f.show());
        f.fillRequired();
        f.edit("txtCopia")->setText(QStringLiteral("scansione.pdf"));
        f.click("cmdDuplica");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("Attenzione: la duplicazione di una scheda può avvenire soltanto "
                                "dopo che questa è stata inserita in archivio."));
        QCOMPARE(f.text("txtCopia"), QStringLiteral("scansione.pdf"));
        QCOMPARE(f.text("txtDocumento"), QStringLiteral("Contratto di locazione"));
    }

    void duplicatingAStoredCard() {
        Fixture f(7);
        QVERIFY(f.show());
        f.window.CaricaScheda(*f.archive().read(4), 4);
        f.mark()->setChecked(true);
        f.click("cmdDuplica");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Information);
        QCOMPARE(f.services.messages[0].text,
                 QStringLiteral("E' ora possibile apportare le proprie modifiche alla scheda "
                                "corrente.\n\r\n\rAl termine premere Salva per inserire la scheda "
                                "in archivio."));
        QTRY_VERIFY(f.edit("txtDocumento")->hasFocus());
        QCOMPARE(f.text("txtDocumento"), QStringLiteral("Documento 4"));
        QCOMPARE(f.text("txtNote"), QStringLiteral("Nota 4 – città, €"));
        QVERIFY(f.text("txtCopia").isEmpty());
        QVERIFY(!control<QPushButton>(&f.window, "btnApri")->isEnabled());
        QVERIFY(!f.mark()->isChecked());
        for (const char* label :
             {"lblFile01", "lblFile02", "lblFile03", "lblDesc01", "lblDesc02", "lblDesc03"})
            QVERIFY2(control<QLabel>(&f.window, label)->text().isEmpty(), label);
        QVERIFY(f.position().isEmpty());

        const QByteArray fourth = f.archive().read(4)->bytes();
        f.click("cmdSalva");
        QCOMPARE(f.position(), QStringLiteral("8"));
        QCOMPARE(f.archive().read(4)->bytes(), fourth);
        const DocumentRecord copy(f.archive().read(8)->bytes());
        QCOMPARE(copy.text(F::Documento), QStringLiteral("Documento 4"));
        QVERIFY(copy.text(F::Copia).isEmpty());
        QVERIFY(copy.text(F::File02).isEmpty());
        QCOMPARE(copy.text(F::DaCompletare), QStringLiteral("No"));
    }

    void duplicatingWhenTheArchiveCannotBeOpened() {
        Fixture f(3);
        QVERIFY(f.show());
        f.window.CaricaScheda(*f.archive().read(2), 2);
        const QString index = f.archive().path();
        QVERIFY(QFile::rename(index, index + QStringLiteral(".bak")));
        QVERIFY(QDir().mkpath(index));
        f.click("cmdDuplica");
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning); // not an error box here
        QCOMPARE(f.services.messages[0].text, kAccessError);
        // The fields stay as the duplication left them.
        QVERIFY(f.position().isEmpty());
        QVERIFY(f.text("txtCopia").isEmpty());
        QCOMPARE(f.text("txtDocumento"), QStringLiteral("Documento 2"));
    }

    // Help and closing.

    void helpShowsTheCardIndexTopic() {
        Fixture f;
        QVERIFY(f.show());
        QString title, body;
        ANSWER_MODAL(clicking(control<QWidget>(&f.window, "cmdGuida")), [&](QDialog* dialog) {
            title = control<QLabel>(dialog, "lblTitolo")->text();
            body = control<QPlainTextEdit>(dialog, "txtGuida")->toPlainText();
            QTest::mouseClick(control<QPushButton>(dialog, "btnChiudi"), Qt::LeftButton);
        });
        QCOMPARE(title, QStringLiteral("Applicazione Schedario Documenti."));
        QCOMPARE(body.split(QStringLiteral("\n\n")).size(), 12);
        QVERIFY(body.contains(QStringLiteral("Duplica")));
        QVERIFY(body.contains(QStringLiteral("Da completare")));
        QVERIFY(body.contains(QStringLiteral("«Cronologia»")));
        QVERIFY(body.contains(QStringLiteral("impronta (SHA-256)")));
    }

    // Attachments.

    void attachingTheDigitalCopy() {
        Fixture f;
        QVERIFY(f.show());
        f.services.nextFiles.append(f.userFile(QStringLiteral("contratto.pdf"), "PDF-1"));
        f.click("btnSfoglia");
        QCOMPARE(f.services.dialogTitles,
                 QStringList{QStringLiteral("Selezionare il file da allegare:")});
        QCOMPARE(f.text("txtCopia"), QStringLiteral("contratto.pdf"));
        QCOMPARE(f.attached(QStringLiteral("contratto.pdf")), QByteArray("PDF-1"));
        QVERIFY(control<QPushButton>(&f.window, "btnApri")->isEnabled());
        f.fillRequired();
        f.click("cmdSalva");
        QCOMPARE(f.archive().read(1)->text(F::Copia), QStringLiteral("contratto.pdf"));
        f.click("btnApri");
        QCOMPARE(f.services.opened,
                 QStringList{u'"' + f.services.file(QStringLiteral("Documenti_Allegati")) +
                             QDir::separator() + QStringLiteral("contratto.pdf") + u'"'});

        // The clear button forgets the name; the file stays in the folder.
        f.click("btnCancella");
        QVERIFY(f.text("txtCopia").isEmpty());
        QVERIFY(!control<QPushButton>(&f.window, "btnApri")->isEnabled());
        f.click("cmdSalva");
        QVERIFY(f.archive().read(1)->text(F::Copia).isEmpty());
        QCOMPARE(f.attached(QStringLiteral("contratto.pdf")), QByteArray("PDF-1"));
    }

    void aNameAlreadyInTheFolderIsSharedWithTheProtocolCard_data() {
        QTest::addColumn<bool>("replace");
        QTest::newRow("yes replaces the shared file") << true;
        QTest::newRow("no keeps it") << false;
    }
    void aNameAlreadyInTheFolderIsSharedWithTheProtocolCard() {
        QFETCH(bool, replace);
        Fixture f;
        QVERIFY(f.show());
        // A protocol card attached "lettera.pdf" first.
        TfrmProtocollo protocol;
        control<QLabel>(&protocol, "lblFile")->setText(f.services.file(QStringLiteral("2026.prt")));
        f.services.nextFiles.append(f.userFile(QStringLiteral("lettera.pdf"), "PROTOCOLLO"));
        QTest::mouseClick(control<QPushButton>(&protocol, "btnSfoglia"), Qt::LeftButton);
        QCOMPARE(f.attached(QStringLiteral("lettera.pdf")), QByteArray("PROTOCOLLO"));

        QTemporaryDir other;
        const QString second = other.filePath(QStringLiteral("lettera.pdf"));
        QFile file(second);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("DOCUMENTO");
        file.close();
        f.services.nextFiles.append(second);
        f.services.answers = {replace};
        f.click("btnSfoglia");
        QCOMPARE(f.services.lastMessage().kind, MessageKind::Question);
        QCOMPARE(f.services.lastMessage().text, kOverwrite);
        QCOMPARE(f.text("txtCopia"), QStringLiteral("lettera.pdf"));
        QCOMPARE(f.attached(QStringLiteral("lettera.pdf")),
                 replace ? QByteArray("DOCUMENTO") : QByteArray("PROTOCOLLO"));
        QCOMPARE(QDir(f.services.file(QStringLiteral("Documenti_Allegati"))).entryList(QDir::Files),
                 QStringList{QStringLiteral("lettera.pdf")});
    }

    // The name a chosen file gets: the same in the field, on the stored card and in the
    // folder, for the digital copy and for the further attachments.
    void theCopyBearsTheNameTheCardStores_data() { addChosenNameRows(); }
    void theCopyBearsTheNameTheCardStores() {
        QFETCH(bool, further);
        QFETCH(QString, chosen);
        QFETCH(QString, stored);
        Fixture f;
        QVERIFY(f.show());
        const QString source = f.userFile(chosen, chosen.toUtf8());
        REQUIRE_CHOSEN_FILE(source);
        f.services.nextFiles.append(source);
        QString shown;
        if (further) {
            ANSWER_MODAL(clicking(control<QWidget>(&f.window, "cmdFile")), [&](QDialog* dialog) {
                QTest::mouseClick(control<QPushButton>(dialog, "btnSfoglia02"), Qt::LeftButton);
                shown = control<QLineEdit>(dialog, "txtFile02")->text();
                QTest::mouseClick(control<QPushButton>(dialog, "btnApplica"), Qt::LeftButton);
            });
        } else {
            f.click("btnSfoglia");
            shown = f.text("txtCopia");
        }
        QVERIFY(f.services.messages.isEmpty());
        QCOMPARE(shown, stored);
        QCOMPARE(f.attached(stored), chosen.toUtf8());
        QCOMPARE(QDir(f.services.file(QStringLiteral("Documenti_Allegati")))
                     .entryList(QDir::Files | QDir::Hidden),
                 QStringList{stored});
        f.fillRequired();
        f.click("cmdSalva");
        QCOMPARE(f.archive().read(1)->text(further ? F::File02 : F::Copia), stored);
    }

    // A protocol card's Cyrillic name and a document card's other one: two files, and no
    // question offering the protocol card's file.
    void namesOutsideTheCodePageKeepTheirOwnFiles() {
        Fixture f;
        QVERIFY(f.show());
        TfrmProtocollo protocol;
        control<QLabel>(&protocol, "lblFile")->setText(f.services.file(QStringLiteral("2026.prt")));
        f.services.nextFiles.append(f.userFile(QStringLiteral("Договор.pdf"), "PROTOCOLLO"));
        QTest::mouseClick(control<QPushButton>(&protocol, "btnSfoglia"), Qt::LeftButton);
        const QString first = control<QLineEdit>(&protocol, "txtCopia")->text();
        f.services.nextFiles.append(f.userFile(QStringLiteral("Справка.pdf"), "DOCUMENTO"));
        f.click("btnSfoglia");
        const QString second = f.text("txtCopia");
        QVERIFY(f.services.messages.isEmpty());
        QVERIFY(first != second);
        QCOMPARE(f.attached(first), QByteArray("PROTOCOLLO"));
        QCOMPARE(f.attached(second), QByteArray("DOCUMENTO"));
    }

    void aFailedCopyKeepsTheFormerName() {
        Fixture f;
        QVERIFY(f.show());
        f.edit("txtCopia")->setText(QStringLiteral("prima.pdf"));
        // A file in the folder's place: the attachments folder cannot be made.
        QFile blocker(f.services.file(QStringLiteral("Documenti_Allegati")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.services.nextFiles.append(f.userFile(QStringLiteral("nuovo.pdf"), "X"));
        f.click("btnSfoglia");
        QCOMPARE(f.services.lastMessage().text, kCopyFailed);
        QCOMPARE(f.text("txtCopia"), QStringLiteral("prima.pdf"));
    }

    void theFolderOwnFileKeepsItsBytes() {
        Fixture f;
        QVERIFY(f.show());
        f.services.nextFiles.append(f.userFile(QStringLiteral("verbale.pdf"), "VERBALE"));
        f.click("btnSfoglia");
        const QString own = f.services.file(QStringLiteral("Documenti_Allegati")) +
                            QDir::separator() + QStringLiteral("verbale.pdf");
        f.services.nextFiles.append(own);
        f.services.answers = {true};
        f.click("btnSfoglia");
        QCOMPARE(f.attached(QStringLiteral("verbale.pdf")), QByteArray("VERBALE"));
        QCOMPARE(f.text("txtCopia"), QStringLiteral("verbale.pdf"));
    }

    void aStoredNameWithAFolderPartOpensNothing() {
        Fixture f;
        DocumentRecord r = card(1);
        r.setText(F::Copia, QStringLiteral("..\\..\\segreti.txt"));
        f.window.CaricaScheda(r, 1);
        f.click("btnApri");
        QVERIFY(f.services.opened.isEmpty());
    }

    void furtherAttachmentsInAltriMode() {
        Fixture f(1);
        QVERIFY(f.show());
        f.window.CaricaScheda(*f.archive().read(1), 1);
        QString tag;
        QStringList shown;
        ANSWER_MODAL(clicking(control<QWidget>(&f.window, "cmdFile")), [&](QDialog* dialog) {
            tag = control<QLabel>(dialog, "lblMemory")->text();
            for (const char* name : {"txtFile01", "txtFile02", "txtDesc03"})
                shown << control<QLineEdit>(dialog, name)->text();
            control<QLineEdit>(dialog, "txtDesc01")->setText(QStringLiteral("  Planimetria  "));
            QTest::mouseClick(control<QPushButton>(dialog, "btnApplica"), Qt::LeftButton);
        });
        QCOMPARE(tag, QStringLiteral("altri"));
        QCOMPARE(shown, (QStringList{QString(), QStringLiteral("allegato1.pdf"),
                                     QStringLiteral("Descrizione 1")}));
        QCOMPARE(control<QLabel>(&f.window, "lblDesc01")->text(), QStringLiteral("Planimetria"));
        QCOMPARE(control<QLabel>(&f.window, "lblFile02")->text(), QStringLiteral("allegato1.pdf"));
        f.click("cmdSalva");
        QCOMPARE(f.archive().read(1)->text(F::Desc01), QStringLiteral("Planimetria"));

        // "Annulla" leaves the card's labels as they were.
        ANSWER_MODAL(clicking(control<QWidget>(&f.window, "cmdFile")), [&](QDialog* dialog) {
            control<QLineEdit>(dialog, "txtDesc02")->setText(QStringLiteral("non applicata"));
            QTest::mouseClick(control<QPushButton>(dialog, "btnAnnulla"), Qt::LeftButton);
        });
        QVERIFY(control<QLabel>(&f.window, "lblDesc02")->text().isEmpty());
    }

    // The run.

    void mainMenuOpensTheCardIndexAndStartUpMakesIt_data() {
        QTest::addColumn<QString>("control");
        QTest::newRow("picture") << "imgDocumenti";
        QTest::newRow("button") << "btnDocumenti";
    }
    void mainMenuOpensTheCardIndexAndStartUpMakesIt() {
        QFETCH(QString, control);
        TestServices services;
        const QString index = services.file(QStringLiteral("Schedario_Documenti.pro"));
        QVERIFY(!QFile::exists(index));
        WindowRegistry registry;
        registry.createAll();
        QVERIFY(QFile::exists(index));
        QCOMPARE(QFile(index).size(), 0);
        QVERIFY(services.messages.isEmpty());

        registry.avvio()->show();
        QTest::mouseClick(registry.avvio()->findChild<QAbstractButton*>(control), Qt::LeftButton);
        QVERIFY(registry.altri()->isVisible());
        QVERIFY(!registry.avvio()->isVisible());
        registry.altri()->close();
        QVERIFY(registry.avvio()->isVisible());
        QVERIFY(!registry.altri()->isVisible());
    }

    void startUpInAFolderThatRefusesTheIndexSaysNothing() {
        TestServices services;
        // A folder in the index's place: it can be neither opened nor made.
        QVERIFY(QDir().mkpath(services.file(QStringLiteral("Schedario_Documenti.pro"))));
        WindowRegistry registry;
        registry.createAll();
        QVERIFY(services.messages.isEmpty());
    }
};

QTEST_MAIN(TestAltri)
#include "tst_Altri.moc"
