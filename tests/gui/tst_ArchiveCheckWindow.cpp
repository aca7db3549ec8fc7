#include "access/Password.h"
#include "app/Avvio.h"
#include "app/Verifica.h"
#include "core/AttachmentFolder.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "protocol/Protocollo.h"
#include "support/EveryWindow.h"
#include "support/Files.h"
#include "support/TestServices.h"
#include "ui/LinkLabel.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace {

// Three protocol cards and one document card in the test's program folder; with `spoilt`, the
// second protocol card has a damaged length byte and a file lies in the attachments folder
// that no card names.
void writeArchives(const TestServices& services, bool spoilt) {
    const QString registerPath = services.file(QStringLiteral("2026.prt"));
    for (int n = 1; n <= 3; ++n) {
        ProtocolRecord card;
        card.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
        card.setText(ProtocolRecord::Oggetto, QStringLiteral("Pratica %1").arg(n));
        QCOMPARE(RecordArchive(registerPath, ProtocolRecord::layout()).append(card), n);
    }
    DocumentRecord document;
    document.setText(DocumentRecord::Documento, QStringLiteral("Contratto di affitto"));
    QCOMPARE(RecordArchive(services.file(DocumentArchive::FileName), DocumentRecord::layout())
                 .append(document),
             1);
    if (!spoilt)
        return;
    QFile file(registerPath);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const FieldSpec& note = ProtocolRecord::layout().field(ProtocolRecord::Note);
    QVERIFY(file.seek(qint64(ProtocolRecord::layout().size()) + note.offset));
    QVERIFY(file.write("\xFE", 1) == 1);
    file.close();
    QDir(services.folderPath()).mkdir(AttachmentFolder::Name);
    writeBytes(services.file(AttachmentFolder::Name + QStringLiteral("/vecchio.pdf")), "x");
}

QStringList rows(const TfrmVerifica& window) {
    const QAbstractItemModel* model = control<QTableView>(&window, "tblRisultati")->model();
    QStringList out;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        out << cells.join(u'|');
    }
    return out;
}

} // namespace

// The archive check window: runs, lists, prints, and opens a card found in its report.
class TestArchiveCheckWindow : public QObject {
    Q_OBJECT
private slots:
    void itListsWhatItFinds_data() {
        QTest::addColumn<bool>("spoilt");
        QTest::addColumn<QString>("outcome");
        QTest::addColumn<QString>("printedOutcome"); // no double click on paper
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("sound") << false << "Nessun problema trovato: l'archivio è in ordine."
                               << "Nessun problema trovato: l'archivio è in ordine."
                               << QStringList{};
        QTest::newRow("spoilt")
            << true << "Trovati 2 problemi. Doppio clic su una riga per aprire la scheda."
            << "Trovati 2 problemi."
            << QStringList{"2026.prt|2|2/2026|lunghezza oltre lo spazio del campo: Note",
                           "Documenti_Allegati|||il file «vecchio.pdf» non è allegato a nessuna "
                           "scheda"};
    }
    void itListsWhatItFinds() {
        QFETCH(bool, spoilt);
        QFETCH(QString, outcome);
        QFETCH(QString, printedOutcome);
        QFETCH(QStringList, expected);
        TestServices services;
        writeArchives(services, spoilt);
        TfrmVerifica window(nullptr);
        QCOMPARE(window.windowTitle(), QStringLiteral(" Verifica archivio"));
        window.show();
        window.start();
        QTRY_VERIFY(!window.running());
        QTRY_VERIFY(control<QLabel>(&window, "lblEsito")->isVisible());
        QVERIFY(!control<QProgressBar>(&window, "prbVerifica")->isVisible());
        QVERIFY(!control<QPushButton>(&window, "btnAnnulla")->isVisible());
        QCOMPARE(control<QLabel>(&window, "lblEsito")->text(), outcome);
        QCOMPARE(rows(window), expected);

        // The report prints with its date, outcome and every finding.
        QTest::mouseClick(control<QPushButton>(&window, "btnStampa"), Qt::LeftButton);
        QCOMPARE(services.printed.size(), 1);
        QStringList printed;
        for (const auto& page : services.printed.first().pages)
            for (const auto& placed : page.objects)
                printed << placed.object.text;
        const QString all = printed.join(u'\n');
        QVERIFY2(all.contains(QStringLiteral("Verifica eseguita il 05/03/2026 alle 10:30")),
                 qPrintable(all));
        const QStringList printedLines = all.split(u'\n');
        QVERIFY2(printedLines.contains(printedOutcome), qPrintable(all));
        QVERIFY(!all.contains(QStringLiteral("Doppio clic")));
        QVERIFY(printedLines.contains(
            QStringLiteral("Archivi verificati: 2026.prt, Schedario_Documenti.pro, "
                           "Documenti_Allegati")));
        if (spoilt)
            QVERIFY(all.contains(QStringLiteral("2026.prt, posizione 2, scheda 2/2026: lunghezza "
                                                "oltre lo spazio del campo: Note")));
    }

    void aDoubleClickOpensTheCardInItsWindow_data() {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::newRow("protocol register") << "2026.prt" << 3 << "txtNumero"
                                           << "3/2026";
        QTest::newRow("document index") << "Schedario_Documenti.pro" << 1 << "txtDocumento"
                                        << "Contratto di affitto";
    }
    void aDoubleClickOpensTheCardInItsWindow() {
        QFETCH(QString, archive);
        QFETCH(int, position);
        QFETCH(QString, field);
        QFETCH(QString, text);
        EveryWindow windows;
        writeArchives(windows.services, false);
        windows.registry.start();
        windows.registry.showMainMenu(windows.registry.password());
        windows.registry.openCard(windows.registry.avvio(), archive, position);
        CardWindow* card = archive == DocumentArchive::FileName
                               ? static_cast<CardWindow*>(windows.registry.altri())
                               : static_cast<CardWindow*>(windows.registry.protocollo());
        QVERIFY(card->isVisible());
        QVERIFY(!windows.registry.avvio()->isVisible());
        QCOMPARE(control<QLabel>(card, "lblPosizione")->text(), QString::number(position));
        QCOMPARE(control<QLineEdit>(card, qPrintable(field))->text(), text);
    }

    void theMenuLinkRunsTheCheck() {
        EveryWindow windows;
        writeArchives(windows.services, true);
        windows.registry.start();
        windows.registry.showMainMenu(windows.registry.password());
        TfrmAvvio* menu = windows.registry.avvio();
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* check = qobject_cast<TfrmVerifica*>(QApplication::activeModalWidget());
            QVERIFY(check);
            QTRY_VERIFY(!check->running());
            seen = true;
            // The damaged card, double-clicked.
            auto* table = control<QTableView>(check, "tblRisultati");
            const QModelIndex first = table->model()->index(0, 0);
            QCOMPARE(first.data().toString(), QStringLiteral("2026.prt"));
            emit table->doubleClicked(first);
        });
        // Whatever fails above, the window must not stay open waiting.
        QTimer::singleShot(20000, [] {
            if (QWidget* open = QApplication::activeModalWidget())
                open->close();
        });
        control<LinkLabel>(menu, "lnkVerifica")->clicked();
        QVERIFY(seen);
        TfrmProtocollo* protocollo = windows.registry.protocollo();
        QVERIFY(protocollo->isVisible());
        QCOMPARE(control<QLabel>(protocollo, "lblPosizione")->text(), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestArchiveCheckWindow)
#include "tst_ArchiveCheckWindow.moc"
