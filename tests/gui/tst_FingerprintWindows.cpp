#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "protocol/Protocollo.h"
#include "support/Files.h"
#include "support/TestServices.h"
#include "ui/CardWindow.h"

#include <QCryptographicHash>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

namespace {

QByteArray sha(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Bytes of a file over several copy blocks, different for each seed.
QByteArray content(int seed) {
    QByteArray bytes(2 * (1 << 20) + 7 + seed, Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * (seed + 3) + i / 4099);
    return bytes;
}

QString shortened(const QByteArray& sum) {
    return QStringLiteral("Impronta SHA-256: ") + QString::fromLatin1(sum.left(16)) + u'…' +
           QString::fromLatin1(sum.right(8));
}

// A card window of either archive over the test's program folder, with the user's own files
// elsewhere.
struct Fixture {
    TestServices services;
    QTemporaryDir elsewhere;
    std::unique_ptr<TfrmProtocollo> protocol = std::make_unique<TfrmProtocollo>();
    std::unique_ptr<TfrmAltri> documents = std::make_unique<TfrmAltri>();
    QString folder = services.file(QStringLiteral("Documenti_Allegati"));

    Fixture() { protocol->openRegister(QStringLiteral("2026")); }

    CardWindow* window(bool docs) const {
        return docs ? static_cast<CardWindow*>(documents.get()) : protocol.get();
    }
    QString userFile(const QString& name, const QByteArray& bytes) {
        const QString path = elsewhere.filePath(name);
        writeBytes(path, bytes);
        return path;
    }
    // Fills what a save needs on the card window.
    void fillRequired(bool docs) {
        CardWindow* w = window(docs);
        if (docs) {
            control<QLineEdit>(w, "txtDocumento")->setText(QStringLiteral("Contratto"));
            control<QLineEdit>(w, "txtProduttore")->setText(QStringLiteral("Studio Rossi"));
            control<QLineEdit>(w, "txtDataPro")->setText(QStringLiteral("05/03/2026"));
        } else {
            control<QLineEdit>(w, "txtNumero")->setText(QStringLiteral("1/2026"));
            control<QLineEdit>(w, "txtDataReg")->setText(QStringLiteral("05/03/2026"));
            control<QLineEdit>(w, "txtCategoria")->setText(QStringLiteral("Fatture"));
            control<QLineEdit>(w, "txtOggetto")->setText(QStringLiteral("Fattura"));
            control<QRadioButton>(w, "optEntrata")->setChecked(true);
        }
    }
    // Chooses `path` for attachment `field` ("Copia", "File01".."File03") of the card shown;
    // for a further attachment, what the window's slot showed (fingerprint, tooltip) and
    // "Applica e chiudi".
    QStringList attach(bool docs, const QString& field, const QString& path) {
        CardWindow* w = window(docs);
        services.nextFiles.append(path);
        if (field == QLatin1String("Copia")) {
            QTest::mouseClick(control<QAbstractButton>(w, "btnSfoglia"), Qt::LeftButton);
            return {};
        }
        const QByteArray n = field.right(2).toLatin1();
        QStringList seen;
        answerModal(clicking(control<QAbstractButton>(w, "cmdFile")), [&](QDialog* dialog) {
            QTest::mouseClick(
                control<QAbstractButton>(dialog, (QByteArray("btnSfoglia") + n).constData()),
                Qt::LeftButton);
            seen = shownIn(dialog, field);
            QTest::mouseClick(control<QAbstractButton>(dialog, "btnApplica"), Qt::LeftButton);
        });
        return seen;
    }
    // The name, fingerprint and tooltip shown for `field`: in the card window for the digital
    // copy, in the further attachments window (opened and cancelled) for the others.
    QStringList shown(bool docs, const QString& field) {
        CardWindow* w = window(docs);
        if (field == QLatin1String("Copia"))
            return shownIn(w, field);
        QStringList seen;
        answerModal(clicking(control<QAbstractButton>(w, "cmdFile")), [&](QDialog* dialog) {
            seen = shownIn(dialog, field);
            QTest::mouseClick(control<QAbstractButton>(dialog, "btnAnnulla"), Qt::LeftButton);
        });
        return seen;
    }
    static QStringList shownIn(QWidget* w, const QString& field) {
        const bool copy = field == QLatin1String("Copia");
        const QByteArray n = field.right(2).toLatin1();
        const QByteArray nameControl = copy ? QByteArray("txtCopia") : "txtFile" + n;
        const QByteArray printControl = copy ? QByteArray("lblImpronta") : "lblImpronta" + n;
        const auto* name = control<QLineEdit>(w, nameControl.constData());
        const auto* print = control<QLabel>(w, printControl.constData());
        return {name->text(), print->text(), print->toolTip()};
    }
    QStringList folderFiles() const {
        return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }
};

} // namespace

class TestFingerprintWindows : public QObject {
    Q_OBJECT
private slots:
    // A file attached in any slot of either card window: its SHA-256, recomputed here, shown
    // as it is attached, recorded at the save, shown again when the card is loaded, printed.
    void aFingerprintIsShownRecordedAndPrinted_data() {
        QTest::addColumn<bool>("docs");
        QTest::addColumn<QString>("field");
        for (bool docs : {false, true}) {
            for (const QString& field : Fingerprints::kFields)
                QTest::addRow("%s, %s", docs ? "documents" : "protocol", qPrintable(field))
                    << docs << field;
        }
    }
    void aFingerprintIsShownRecordedAndPrinted() {
        QFETCH(bool, docs);
        QFETCH(QString, field);
        Fixture f;
        CardWindow* w = f.window(docs);
        w->show();
        const QByteArray bytes = content(1);
        const QByteArray sum = sha(bytes);
        const QStringList expected{QStringLiteral("scansione.pdf"), shortened(sum),
                                   QString::fromLatin1(sum)};
        const QStringList seen = f.attach(docs, field, f.userFile("scansione.pdf", bytes));
        QCOMPARE(field == QLatin1String("Copia") ? f.shown(docs, field) : seen, expected);
        QVERIFY(f.services.messages.isEmpty());

        f.fillRequired(docs);
        w->saveCard();
        const QString archive = w->archivePath();
        const Fingerprints::Reading reading = Fingerprints::read(Fingerprints::pathFor(archive));
        QVERIFY(!reading.isDamaged());
        QCOMPARE(reading.lines.size(), 1);
        QCOMPARE(reading.find(1, field, QStringLiteral("scansione.pdf")), sum);

        w->PulisciScheda();
        QCOMPARE(f.shown(docs, field).value(1), QString());
        w->first();
        QCOMPARE(f.shown(docs, field), expected);

        ANSWER_MODAL(clicking(control<QAbstractButton>(w, "cmdStampa")), [](QDialog* dialog) {
            QTest::mouseClick(control<QAbstractButton>(dialog, "btnStampa"), Qt::LeftButton);
        });
        QCOMPARE(f.services.printed.size(), 1);
        QStringList printed;
        for (const Report::Placed& placed : f.services.printed[0].pages.value(0).objects) {
            if (placed.object.name.startsWith(QLatin1String("txtImpronta")) ||
                placed.object.name.startsWith(QLatin1String("lblImpronta")) ||
                placed.object.name == QLatin1String("titImpronte"))
                printed << placed.object.text;
        }
        QCOMPARE(printed,
                 (QStringList{QStringLiteral("IMPRONTE DEI FILE ALLEGATI (SHA-256)"),
                              Fingerprints::fieldCaption(field) + u':',
                              QString::fromLatin1(sum) + QStringLiteral("  scansione.pdf")}));
        QCOMPARE(f.services.messages.size(), 1); // the save's own message
    }

    // Attaching a file another card already holds: a question naming that card; Yes attaches
    // it, No leaves the card as it was and nothing of the copy in the folder.
    void theSameFileOnAnotherCardIsAskedAbout_data() {
        QTest::addColumn<bool>("docs");     // the second card's archive
        QTest::addColumn<QString>("field"); // the second card's slot
        QTest::addColumn<QString>("name");  // the chosen file's name
        QTest::addColumn<bool>("answer");
        for (bool answer : {true, false}) {
            const char* a = answer ? "yes" : "no";
            QTest::addRow("same register, digital copy, %s", a)
                << false << "Copia"
                << "copia della lettera.pdf" << answer;
            QTest::addRow("same register, further attachment, %s", a)
                << false << "File02"
                << "copia della lettera.pdf" << answer;
            QTest::addRow("document index, digital copy, %s", a)
                << true << "Copia"
                << "copia della lettera.pdf" << answer;
            QTest::addRow("document index, further attachment, %s", a)
                << true << "File03"
                << "copia della lettera.pdf" << answer;
            QTest::addRow("the same name, file in the folder kept, %s", a)
                << true << "Copia"
                << "lettera.pdf" << answer;
        }
    }
    void theSameFileOnAnotherCardIsAskedAbout() {
        QFETCH(bool, docs);
        QFETCH(QString, field);
        QFETCH(QString, name);
        QFETCH(bool, answer);
        Fixture f;
        f.protocol->show();
        const QByteArray bytes = content(2);
        f.attach(false, QStringLiteral("Copia"), f.userFile("lettera.pdf", bytes));
        f.fillRequired(false);
        f.protocol->saveCard();
        QCOMPARE(f.services.messages.size(), 1);
        f.services.messages.clear();
        const QStringList folderBefore = f.folderFiles();

        CardWindow* w = f.window(docs);
        if (docs)
            w->show();
        else
            f.protocol->newCard();
        const QStringList before = f.shown(docs, field);
        const bool sameName = name == QLatin1String("lettera.pdf");
        f.services.answers = sameName ? QList<bool>{false, answer} : QList<bool>{answer};
        // Another copy of the same bytes, from elsewhere.
        QTemporaryDir other;
        const QString chosen = other.filePath(name);
        writeBytes(chosen, bytes);
        f.attach(docs, field, chosen);

        const QString question = QStringLiteral(
            "Lo stesso file è già allegato alla scheda n. 1/2026 del Protocollo 2026 (Copia "
            "digitale). Allegarlo comunque?");
        QCOMPARE(f.services.messages.size(), sameName ? 2 : 1);
        QCOMPARE(f.services.messages.last().kind, MessageKind::Question);
        QCOMPARE(f.services.messages.last().text, question);
        const QByteArray sum = sha(bytes);
        if (answer) {
            QCOMPARE(f.shown(docs, field),
                     (QStringList{name, shortened(sum), QString::fromLatin1(sum)}));
            QCOMPARE(readBytes(f.folder + u'/' + name), bytes);
        } else {
            QCOMPARE(f.shown(docs, field), before);
            QCOMPARE(f.folderFiles(), folderBefore);
        }
    }

    // A question names the other card also when the first card is in the document index,
    // and leaves out the card itself: reattaching its own file asks nothing.
    void theCardItselfIsNotAnotherCard() {
        Fixture f;
        f.documents->show();
        const QByteArray bytes = content(3);
        f.attach(true, QStringLiteral("File01"), f.userFile("atto.pdf", bytes));
        f.fillRequired(true);
        f.documents->saveCard();
        f.services.messages.clear();
        QTemporaryDir other;
        writeBytes(other.filePath(QStringLiteral("atto bis.pdf")), bytes);
        f.attach(true, QStringLiteral("Copia"), other.filePath(QStringLiteral("atto bis.pdf")));
        QVERIFY(f.services.messages.isEmpty());

        f.protocol->show();
        f.protocol->newCard();
        // The copy is in the folder already: replaced by the same bytes, then the question.
        f.services.answers = {true, false};
        f.attach(false, QStringLiteral("Copia"), other.filePath(QStringLiteral("atto bis.pdf")));
        QCOMPARE(f.services.messages.size(), 2);
        QVERIFY(control<QLineEdit>(f.protocol.get(), "txtCopia")->text().isEmpty());
        QCOMPARE(f.services.messages[1].text,
                 QStringLiteral("Lo stesso file è già allegato alla scheda n. 1 dello Schedario "
                                "documenti (1° file allegato). Allegarlo comunque?"));
    }

    // A file attached to a card that another copy changed meanwhile: the card is reloaded
    // with what was done here, and its second save records the file's fingerprint.
    void aCardReloadedAfterAnotherCopysChangeKeepsItsAttachment() {
        Fixture f;
        f.protocol->show();
        f.fillRequired(false);
        f.protocol->saveCard();
        const auto stored =
            RecordArchive(f.protocol->archivePath(), ProtocolRecord::layout()).read(1);
        QVERIFY(stored);
        ProtocolRecord changed(stored->bytes());
        changed.setText(ProtocolRecord::Note, QStringLiteral("scritta da un'altra postazione"));
        QVERIFY(
            RecordArchive(f.protocol->archivePath(), ProtocolRecord::layout()).update(1, changed));
        const QByteArray bytes = content(7);
        f.attach(false, QStringLiteral("Copia"), f.userFile("ricevuta.pdf", bytes));
        f.services.messages.clear();
        f.protocol->saveCard();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].text, CardWindow::kChangedElsewhere);
        QCOMPARE(f.shown(false, QStringLiteral("Copia")).value(1), shortened(sha(bytes)));
        f.protocol->saveCard();
        QCOMPARE(f.services.messages.last().text, CardWindow::kUpdated);
        const Fingerprints::Reading reading =
            Fingerprints::read(Fingerprints::pathFor(f.protocol->archivePath()));
        QCOMPARE(reading.find(1, QStringLiteral("Copia"), QStringLiteral("ricevuta.pdf")),
                 sha(bytes));
    }

    // A side file damaged by hand is reported, once, when a card is loaded, and again when a
    // file is attached; the card still loads and saves.
    void aDamagedSideFileIsReported() {
        Fixture f;
        f.protocol->show();
        const QByteArray bytes = content(4);
        f.attach(false, QStringLiteral("Copia"), f.userFile("verbale.pdf", bytes));
        f.fillRequired(false);
        f.protocol->saveCard();
        f.services.messages.clear();
        const QString side = Fingerprints::pathFor(f.protocol->archivePath());
        writeBytes(side, readBytes(side) + "Protocollo 2026\t2\tCopia\tx.pdf\tnon un'impronta\r\n");
        const QString warning = QStringLiteral(
            "Attenzione: il file delle impronte dei documenti allegati «2026.prt.impronte» è "
            "danneggiato. Le sue righe illeggibili non vengono considerate; l'archivio resta "
            "utilizzabile.");
        f.protocol->first();
        f.protocol->first();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, warning);
        QCOMPARE(f.shown(false, QStringLiteral("Copia")).value(1), shortened(sha(bytes)));

        f.services.messages.clear();
        f.protocol->newCard();
        f.services.answers = {true};
        f.attach(false, QStringLiteral("Copia"), f.userFile("verbale bis.pdf", bytes));
        QCOMPARE(f.services.messages.size(), 2);
        QCOMPARE(f.services.messages[0].text, warning);
        QCOMPARE(f.services.messages[1].kind, MessageKind::Question);
        f.services.messages.clear();
        f.fillRequired(false);
        control<QLineEdit>(f.protocol.get(), "txtNumero")->setText(QStringLiteral("2/2026"));
        f.protocol->saveCard();
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].text, CardWindow::kInserted);
        QVERIFY(readBytes(side).contains("non un'impronta"));
    }
};

QTEST_MAIN(TestFingerprintWindows)
#include "tst_FingerprintWindows.moc"
