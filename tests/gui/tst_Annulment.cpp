#include "core/Annulments.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "protocol/Annulla.h"
#include "protocol/Protocollo.h"
#include "support/Files.h"
#include "support/TestServices.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
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

QString worker() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/archive_worker");
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
            other.start(worker(),
                        {QStringLiteral("annul-dying"), f.path(), QStringLiteral("2"), "-1"});
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
