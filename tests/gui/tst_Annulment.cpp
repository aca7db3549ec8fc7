#include "core/Annulments.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "protocol/Annulla.h"
#include "protocol/Protocollo.h"
#include "protocol_outputs/ExpProtocollo.h"
#include "protocol_outputs/RiepProtocollo.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "support/Files.h"
#include "support/TestServices.h"
#include "support/Processes.h"
#include "ui/ResultList.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kReason = QStringLiteral("Registrata due volte");
const QString kPerson = QStringLiteral("Dott.ssa Rossi");

ProtocolRecord card(int n) {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
    r.setText(ProtocolRecord::Tipologia, MailType::Entrata);
    r.setText(ProtocolRecord::DataReg, QStringLiteral("0%1/02/2026").arg(n));
    r.setText(ProtocolRecord::Categoria, QStringLiteral("Corrispondenza"));
    r.setText(ProtocolRecord::Oggetto, QStringLiteral("Oggetto della scheda %1").arg(n));
    return r;
}

// A protocol card window over a register of `cards` cards in a temporary program folder.
struct Fixture {
    TestServices services;
    TfrmProtocollo window;

    explicit Fixture(int cards = 3) {
        control<QLabel>(&window, "lblFile")->setText(path());
        for (int n = 1; n <= cards; ++n)
            RecordArchive(path(), ProtocolRecord::layout()).append(card(n));
    }
    QString path() const { return services.file(QStringLiteral("2026.prt")); }
    bool show() {
        window.show();
        return QTest::qWaitForWindowActive(&window);
    }
    void load(TfrmProtocollo& w, int position) {
        w.loadCard(*RecordArchive(path(), ProtocolRecord::layout()).read(position), position);
    }
    QLabel* mark() const { return control<QLabel>(&window, "lblAnnullata"); }
    QPushButton* command() const { return control<QPushButton>(&window, "cmdAnnulla"); }
};

// Fills the annulment window and confirms it (the question answered Yes).
void fillAndConfirm(QDialog* dialog, TestServices& services, const QString& reason = kReason,
                    const QString& person = kPerson) {
    control<QLineEdit>(dialog, "txtMotivo")->setText(reason);
    control<QLineEdit>(dialog, "txtAutorizzato")->setText(person);
    services.answers << true;
    QTest::mouseClick(control<QPushButton>(dialog, "btnConferma"), Qt::LeftButton);
}

const QString kMark = QStringLiteral("ANNULLATA il 05/03/2026 alle 10:30 - Motivo: Registrata "
                                     "due volte - Autorizzato da: Dott.ssa Rossi");

// Annuls card `position` of the register as the window does, at the test clock's time.
bool annulled(const QString& path, int position, const QString& reason = kReason) {
    RecordArchive archive(path, ProtocolRecord::layout());
    const Journal::Identity identity = ProtocolRecord::journalIdentity(path);
    const QDateTime at(QDate(2026, 3, 5), QTime(10, 30, 15));
    archive.setJournaling(Annulments::journaling(path, at, Journal::Kind::Annulment));
    return archive.annotate(position, Annulments::entries(identity, at, position,
                                                          QStringLiteral("%1/2026").arg(position),
                                                          reason, kPerson));
}

void click(QWidget* window, const char* name) {
    QTest::mouseClick(control<QAbstractButton>(window, name), Qt::LeftButton);
}

} // namespace

// The annulment of a protocol card from its window: the window that asks, the mark, and the
// card that can no longer be saved, here or in another copy of the program.
class TestAnnulment : public QObject {
    Q_OBJECT
private slots:
    void theWindowWantsReasonAndAuthorisation_data() {
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("warning"); // empty: none
        QTest::addColumn<QString>("focus");   // the field that gets the focus after it
        QTest::addColumn<bool>("confirmed");  // the answer to the question, when asked
        QTest::addColumn<bool>("answered");
        QTest::newRow("nothing") << ""
                                 << "" << TfrmAnnulla::kNoReason << "txtMotivo" << false << false;
        QTest::newRow("blanks only")
            << "   " << kPerson << TfrmAnnulla::kNoReason << "txtMotivo" << false << false;
        QTest::newRow("no authorisation") << kReason << "  " << TfrmAnnulla::kNoAuthorisation
                                          << "txtAutorizzato" << false << false;
        QTest::newRow("both, not confirmed") << kReason << kPerson << ""
                                             << "" << false << false;
        QTest::newRow("both, confirmed") << kReason << kPerson << ""
                                         << "" << true << true;
    }
    void theWindowWantsReasonAndAuthorisation() {
        QFETCH(QString, reason);
        QFETCH(QString, person);
        QFETCH(QString, warning);
        QFETCH(QString, focus);
        QFETCH(bool, confirmed);
        QFETCH(bool, answered);
        TestServices services;
        TfrmAnnulla dialog(nullptr, QStringLiteral("7/2026"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        control<QLineEdit>(&dialog, "txtMotivo")->setText(reason);
        control<QLineEdit>(&dialog, "txtAutorizzato")->setText(person);
        if (warning.isEmpty())
            services.answers << confirmed;
        QTest::mouseClick(control<QPushButton>(&dialog, "btnConferma"), Qt::LeftButton);
        QCOMPARE(services.messages.size(), 1);
        if (warning.isEmpty()) {
            QCOMPARE(services.lastMessage().kind, MessageKind::Question);
            QCOMPARE(services.lastMessage().text, TfrmAnnulla::kConfirm.arg("7/2026"));
        } else {
            QCOMPARE(services.lastMessage().kind, MessageKind::Warning);
            QCOMPARE(services.lastMessage().text, warning);
            QTRY_COMPARE(QApplication::focusWidget()->objectName(), focus);
        }
        QCOMPARE(dialog.isVisible(), !answered);
        QCOMPARE(bool(dialog.answer()), answered);
        if (answered) {
            QCOMPARE(dialog.answer()->reason, kReason);
            QCOMPARE(dialog.answer()->authorisedBy, kPerson);
        }
    }

    // The annulment window's help, and the register's help telling of the command.
    void helpTellsOfTheAnnulment() {
        Fixture f;
        QVERIFY(f.show());
        f.load(f.window, 1);
        QString title, body;
        ANSWER_MODAL(clicking(f.command()), [&](QDialog* d) {
            ANSWER_MODAL(clicking(control<QPushButton>(d, "btnGuida")), [&](QDialog* help) {
                title = control<QLabel>(help, "lblTitolo")->text();
                body = control<QPlainTextEdit>(help, "txtGuida")->toPlainText();
                QTest::mouseClick(control<QPushButton>(help, "btnChiudi"), Qt::LeftButton);
            });
            QTest::mouseClick(control<QPushButton>(d, "btnChiudi"), Qt::LeftButton);
        });
        QCOMPARE(title, QStringLiteral("Annullamento di una scheda di protocollo."));
        QVERIFY(body.contains(QStringLiteral("«Annulla la scheda»")));
        QVERIFY(!Annulments::read(f.path()).exists); // closed: nothing annulled
        QString registerHelp;
        ANSWER_MODAL(clicking(control<QWidget>(&f.window, "cmdGuida")), [&](QDialog* help) {
            registerHelp = control<QPlainTextEdit>(help, "txtGuida")->toPlainText();
            QTest::mouseClick(control<QPushButton>(help, "btnChiudi"), Qt::LeftButton);
        });
        QVERIFY(registerHelp.contains(QStringLiteral("«Annulla scheda»")));
    }

    void anAnnulledCardShowsItsMarkAndIsNotSaved() {
        Fixture f;
        QVERIFY(f.show());
        QVERIFY(!f.command()->isEnabled()); // a new card
        f.load(f.window, 2);
        QVERIFY(f.command()->isEnabled() && !f.mark()->isVisible());
        ANSWER_MODAL(clicking(f.command()), [&](QDialog* d) { fillAndConfirm(d, f.services); });
        QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kAnnulled);
        QVERIFY(f.mark()->isVisible() && !f.command()->isVisible());
        const QString mark = QStringLiteral("ANNULLATA il 05/03/2026 alle 10:30 - Motivo: "
                                            "Registrata due volte - Autorizzato da: Dott.ssa "
                                            "Rossi");
        QCOMPARE(f.mark()->text(), mark);
        // The whole mark is on the hint line too (a long reason is cut on the mark).
        QTest::mouseMove(f.mark());
        QTRY_COMPARE(control<QLabel>(&f.window, "panInfo")->text(), mark);
        QStringList entries;
        Journal::read(f.path(), ProtocolRecord::layout().size(), [&](const Journal::Entry& e) {
            if (e.kind == Journal::Kind::Annulment)
                entries << e.card + u'|' + e.field + u'|' + e.after;
        });
        QCOMPARE(entries, (QStringList{"2/2026|Motivo|Registrata due volte",
                                       "2/2026|Autorizzazione|Dott.ssa Rossi"}));
        QVERIFY(Annulments::read(f.path()).find(2));

        // Saving it again is refused, the register stays.
        const QByteArray before = readBytes(f.path());
        control<QLineEdit>(&f.window, "txtNote")->setText(QStringLiteral("cambiata"));
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(f.services.lastMessage().kind, MessageKind::Warning);
        QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kAnnulledNoSave);
        QCOMPARE(readBytes(f.path()), before);

        // The mark goes with the card: away and back by the arrows.
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdAvanti"), Qt::LeftButton);
        QVERIFY(!f.mark()->isVisible() && f.command()->isEnabled());
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdIndietro"), Qt::LeftButton);
        QVERIFY(f.mark()->isVisible());
        // A new card: no mark, and the annulled number is not proposed again.
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdNuovo"), Qt::LeftButton);
        QVERIFY(!f.mark()->isVisible() && !f.command()->isEnabled());
        QCOMPARE(control<QLineEdit>(&f.window, "txtNumero")->text(), QStringLiteral("4"));
    }

    // A copy that showed the card before it was annulled elsewhere cannot save it, and does
    // not give its number again.
    void anotherCopyCannotSaveTheAnnulledCard_data() {
        QTest::addColumn<bool>("otherProcess");
        QTest::newRow("another window") << false;
        QTest::newRow("another program") << true;
    }
    void anotherCopyCannotSaveTheAnnulledCard() {
        QFETCH(bool, otherProcess);
        Fixture f;
        QVERIFY(f.show());
        f.load(f.window, 2);
        if (otherProcess) {
            QProcess other;
            QVERIFY(startWorker(
                other, {QStringLiteral("annul-dying"), f.path(), QStringLiteral("2"), "-1"}));
            QVERIFY(other.waitForFinished(30000));
            QCOMPARE(other.exitCode(), 0);
        } else {
            TfrmProtocollo second;
            control<QLabel>(&second, "lblFile")->setText(f.path());
            second.show();
            f.load(second, 2);
            ANSWER_MODAL(clicking(control<QPushButton>(&second, "cmdAnnulla")),
                         [&](QDialog* d) { fillAndConfirm(d, f.services); });
            QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kAnnulled);
        }
        QVERIFY(!f.mark()->isVisible()); // this window does not know yet
        const QByteArray before = readBytes(f.path());
        const QByteArray journal = readBytes(Journal::pathFor(f.path()));
        control<QLineEdit>(&f.window, "txtNote")->setText(QStringLiteral("cambiata"));
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdSalva"), Qt::LeftButton);
        QCOMPARE(f.services.lastMessage().kind, MessageKind::Warning);
        QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kAnnulledNoSave);
        QCOMPARE(readBytes(f.path()), before);
        QCOMPARE(readBytes(Journal::pathFor(f.path())), journal);
        QVERIFY(f.mark()->isVisible()); // now it does
        // Nor can it be annulled a second time from here.
        f.window.annulCard();
        QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kAlreadyAnnulled);
        QTest::mouseClick(control<QAbstractButton>(&f.window, "cmdNuovo"), Qt::LeftButton);
        QCOMPARE(control<QLineEdit>(&f.window, "txtNumero")->text(), QStringLiteral("4"));
    }

    void aNewCardIsNotAnnulled() {
        Fixture f;
        QVERIFY(f.show());
        f.window.annulCard();
        QCOMPARE(f.services.lastMessage().text, TfrmProtocollo::kNotStored);
        QVERIFY(!QFile::exists(Annulments::pathFor(f.path())));
    }

    // The outputs read the annulments once and mark the annulled card; the other cards are
    // listed as ever.
    void theSearchListsTheMarkAndLoadsTheCardWithIt() {
        Fixture f;
        QVERIFY(annulled(f.path(), 2));
        QVERIFY(f.show());
        TfrmTrovaProtocollo w(&f.window, &f.window);
        w.setOpenerTag(QStringLiteral("protocollo"));
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        click(&w, "btnCerca");
        const QStringList lines = w.findChild<ResultList*>()->lines();
        ProtocolRecord marked = card(2);
        marked.setText(ProtocolRecord::Oggetto,
                       QStringLiteral("ANNULLATA - Oggetto della scheda 2"));
        QCOMPARE(lines,
                 (QStringList{Search::resultLine(card(1), TfrmTrovaProtocollo::resultLine()),
                              Search::resultLine(marked, TfrmTrovaProtocollo::resultLine()),
                              Search::resultLine(card(3), TfrmTrovaProtocollo::resultLine())}));
        QVERIFY(
            lines[1].contains(QLatin1String("In entrata  ANNULLATA - Oggetto della scheda 2 ")));
        // A double click on the marked line loads the annulled card, with its mark.
        auto* list = control<QListView>(&w, "lstRecords");
        const QModelIndex second = list->model()->index(1, 0);
        list->setCurrentIndex(second);
        const QPoint at = list->visualRect(second).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(control<QLabel>(&f.window, "lblPosizione")->text(), QStringLiteral("2"));
        QCOMPARE(control<QLineEdit>(&f.window, "txtOggetto")->text(),
                 QStringLiteral("Oggetto della scheda 2"));
        QVERIFY(f.mark()->isVisible());
    }

    void theGridsAndTheirExportMarkTheNumber_data() {
        QTest::addColumn<bool>("summary");
        QTest::newRow("summary") << true;
        QTest::newRow("export") << false;
    }
    void theGridsAndTheirExportMarkTheNumber() {
        QFETCH(bool, summary);
        Fixture f;
        QVERIFY(annulled(f.path(), 2));
        std::unique_ptr<GridWindow> w;
        if (summary) {
            w = std::make_unique<TfrmRiepProtocollo>(nullptr, f.path());
            control<QLineEdit>(w.get(), "txtDataInizio")->setText(QStringLiteral("01/02/2026"));
            control<QLineEdit>(w.get(), "txtDataFine")->setText(QStringLiteral("28/02/2026"));
            click(w.get(), "cmdTrova");
        } else {
            w = std::make_unique<TfrmExpProtocollo>(nullptr, f.path());
        }
        QCOMPARE(w->grid()->rowCount(), 3);
        QCOMPARE(w->grid()->cell(0, 1), QStringLiteral("1/2026"));
        QCOMPARE(w->grid()->cell(1, 1), QStringLiteral("2/2026 - ") + kMark);
        QCOMPARE(w->grid()->cell(2, 1), QStringLiteral("3/2026"));
        QCOMPARE(w->grid()->data(w->grid()->index(1, 4), Qt::ForegroundRole).value<QColor>(),
                 QColor(0xC0, 0x00, 0x00));
        QVERIFY(!w->grid()->data(w->grid()->index(0, 4), Qt::ForegroundRole).isValid());
        f.services.answers = {true, false};
        click(w.get(), "cmdEsporta");
        const QByteArray xls = readBytes(f.services.file(QStringLiteral("Protocollo.xls")));
        QVERIFY(xls.contains(">2/2026 - " + kMark.toLatin1() + "</td>"));
        QVERIFY(xls.contains(">1/2026</td>"));
        QVERIFY(xls.contains(">3/2026</td>"));
    }

    void thePrintedCardCarriesTheMark_data() {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("title"); // empty: no mark
        QTest::addColumn<QStringList>("details");
        QTest::newRow("annulled") << 2 << kReason << "ANNULLATA il 05/03/2026 alle 10:30"
                                  << QStringList{"Motivo: Registrata due volte",
                                                 "Autorizzato da: Dott.ssa Rossi"};
        // A long reason is wrapped at blanks, never cut off at the page's edge.
        const QString longReason =
            QStringLiteral("Documento protocollato per errore in entrata anziché in uscita ")
                .repeated(3) +
            QStringLiteral("come da verbale");
        QTest::newRow("annulled, long reason")
            << 2 << longReason << "ANNULLATA il 05/03/2026 alle 10:30"
            << QStringList{("Motivo: " + longReason).left(100).section(u' ', 0, -2), QString(),
                           "Autorizzato da: Dott.ssa Rossi"};
        QTest::newRow("not annulled") << 1 << kReason << "" << QStringList{""};
    }
    void thePrintedCardCarriesTheMark() {
        QFETCH(int, position);
        QFETCH(QString, reason);
        QFETCH(QString, title);
        QFETCH(QStringList, details);
        Fixture f;
        QVERIFY(annulled(f.path(), 2, reason));
        QVERIFY(f.show());
        f.load(f.window, position);
        TfrmStampaProtocollo w(&f.window, f.window);
        w.show();
        click(&w, "btnStampa");
        QCOMPARE(f.services.printed.size(), 1);
        QHash<QString, QString> texts;
        for (const Report::Placed& placed : f.services.printed[0].pages[0].objects)
            texts.insert(placed.object.name, placed.object.text);
        QCOMPARE(texts.value(QStringLiteral("txtNumero")), QStringLiteral("%1/2026").arg(position));
        QCOMPARE(texts.contains(QStringLiteral("titAnnullata")), !title.isEmpty());
        QCOMPARE(texts.value(QStringLiteral("titAnnullata")), title);
        const QStringList printed = texts.value(QStringLiteral("txtAnnullata")).split(u'\n');
        QCOMPARE(printed.size(), details.size());
        for (qsizetype i = 0; i < details.size(); ++i) {
            QVERIFY2(printed[i].size() <= 110, qPrintable(printed[i]));
            if (!details[i].isEmpty() || details.size() == 1)
                QVERIFY2(printed[i].startsWith(details[i]), qPrintable(printed[i]));
        }
        // Every word of the reason is printed.
        QCOMPARE(printed.join(u' ').simplified().contains(reason.simplified()), !title.isEmpty());
        if (!qEnvironmentVariableIsEmpty("FALDORA_KEEP_PRINT"))
            QFile::copy(f.services.printedPdfs.first(), qEnvironmentVariable("FALDORA_KEEP_PRINT"));
    }

    void aDamagedSideFileIsToldOnceAndKeepsWhatItCan() {
        Fixture f;
        writeBytes(Annulments::pathFor(f.path()),
                   Annulments::kHeader +
                       "\r\nrotto\r\n2\t2/2026\t2026-03-05 10:30:15\tErr\tRossi\r\n");
        QVERIFY(f.show());
        f.load(f.window, 1);
        f.load(f.window, 2);
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.lastMessage().text,
                 TfrmProtocollo::kAnnulmentsDamaged.arg("2026.prt.annullate"));
        QVERIFY(f.mark()->isVisible());
        f.load(f.window, 3);
        QVERIFY(!f.mark()->isVisible() && f.command()->isEnabled());
    }
};

QTEST_MAIN(TestAnnulment)
#include "tst_Annulment.moc"
