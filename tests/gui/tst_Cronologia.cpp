#include "core/DocumentRecord.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "protocol/Protocollo.h"
#include "support/TestServices.h"
#include "ui/CardWindow.h"
#include "ui/Cronologia.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <memory>

Q_DECLARE_METATYPE(MessageKind)

namespace {

const QDateTime kFirst(QDate(2026, 3, 5), QTime(10, 30, 15));
const QDateTime kSecond(QDate(2026, 3, 6), QTime(9, 0, 0));
const QDateTime kThird(QDate(2026, 3, 9), QTime(17, 45, 30));

QByteArray readBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// What the history window showed.
struct Shown {
    QStringList rows; // date and time|what happened|field|before|after
    QString card, count, notice;
    bool noticeShown = false;
};

// One of the two card windows over its archive in a temporary program folder: the protocol
// register of 2026 ("protocollo") or the document card index ("altri").
struct Fixture {
    TestServices services;
    std::unique_ptr<CardWindow> window;
    bool protocol;

    explicit Fixture(const QString& which) : protocol(which == QLatin1String("protocollo")) {
        if (protocol) {
            auto* card = new TfrmProtocollo;
            card->openRegister(QStringLiteral("2026"));
            window.reset(card);
        } else {
            window.reset(new TfrmAltri);
        }
    }
    bool show() {
        window->show();
        return QTest::qWaitForWindowActive(window.get());
    }
    QString path() const { return window->archivePath(); }
    const RecordLayout& layout() const {
        return protocol ? ProtocolRecord::layout() : DocumentRecord::layout();
    }
    // The archive as a copy of the program without the journal writes it.
    RecordArchive plainArchive() const { return RecordArchive(path(), layout()); }
    // The archive as the program writes it, at `at`.
    RecordArchive journaledArchive(const QDateTime& at, Journal::Kind kind) const {
        RecordArchive archive = plainArchive();
        archive.setJournaling({protocol ? ProtocolRecord::journalIdentity(path())
                                        : DocumentRecord::journalIdentity(path()),
                               at, kind});
        return archive;
    }
    // A card whose required fields are filled, numbered `number`.
    Record storedCard(const QString& number) const {
        Record r(layout());
        const QStringList texts = {QStringLiteral("Numero=") + number,
                                   QStringLiteral("DataReg=01/03/2026"),
                                   QStringLiteral("Categoria=Varie"),
                                   QStringLiteral("Tipologia=In entrata"),
                                   QStringLiteral("Documento=Documento ") + number,
                                   QStringLiteral("Produttore=Studio"),
                                   QStringLiteral("DataPro=01/03/2026"),
                                   QStringLiteral("Oggetto=Oggetto di prima")};
        for (const QString& text : texts) {
            const int field = layout().indexOf(text.section(u'=', 0, 0));
            if (field >= 0)
                r.setText(field, text.section(u'=', 1));
        }
        return r;
    }

    QLineEdit* edit(const char* name) const { return control<QLineEdit>(window.get(), name); }
    void click(const char* name) {
        QTest::mouseClick(control<QAbstractButton>(window.get(), name), Qt::LeftButton);
    }
    // The required fields of a new card.
    void fillNewCard() {
        if (protocol) {
            edit("txtNumero")->setText(QStringLiteral("1/2026"));
            edit("txtCategoria")->setText(QStringLiteral("Preventivi"));
            edit("txtOggetto")->setText(QStringLiteral("Richiesta di preventivo"));
            control<QRadioButton>(window.get(), "optUscita")->setChecked(true);
        } else {
            edit("txtDocumento")->setText(QStringLiteral("Contratto di locazione"));
            edit("txtProduttore")->setText(QStringLiteral("Studio Bianchi"));
            edit("txtDataPro")->setText(QStringLiteral("02/03/2026"));
        }
    }
    // Saves the card shown at `at`; true when the program said it did.
    bool saveAt(const QDateTime& at) {
        services.fixedNow = at;
        const qsizetype before = services.messages.size();
        click("cmdSalva");
        return services.messages.size() == before + 1 &&
               services.messages.last().kind == MessageKind::Information;
    }

    // Opens the history of the card shown with its command and reads it.
    Shown history() {
        Shown shown;
        answerModal(clicking(control<QWidget>(window.get(), "cmdCronologia")), [&](QDialog* d) {
            auto* view = qobject_cast<TfrmCronologia*>(d);
            QVERIFY(view);
            QTRY_VERIFY(view->isLoaded());
            const QAbstractItemModel* model = control<QTableView>(view, "grdCronologia")->model();
            for (int r = 0; r < model->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < model->columnCount(); ++c)
                    cells << model->index(r, c).data().toString();
                shown.rows << cells.join(u'|');
            }
            shown.card = control<QLabel>(view, "lblScheda")->text();
            shown.count = control<QLabel>(view, "lblConta")->text();
            auto* notice = control<QLabel>(view, "lblAvviso");
            shown.notice = notice->text();
            shown.noticeShown = notice->isVisible();
            QTest::mouseClick(control<QAbstractButton>(view, "cmdEsci"), Qt::LeftButton);
        });
        return shown;
    }
};

// Runs `trigger`; any modal window it opens is closed at once. True when none opened.
bool opensNoWindow(const std::function<void()>& trigger) {
    bool opened = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = true;
            modal->close();
        }
    });
    watch.start(20);
    trigger();
    QTest::qWait(100);
    return !opened;
}

QString row(const QDateTime& at, const char* kind, const char* field, const char* before,
            const char* after) {
    return QStringList{at.toString(QStringLiteral("dd/MM/yyyy hh:mm:ss")), QString::fromUtf8(kind),
                       QString::fromUtf8(field), QString::fromUtf8(before),
                       QString::fromUtf8(after)}
        .join(u'|');
}

} // namespace

// The "Cronologia" command of both card windows and the history window it opens: the
// changes of the card shown, what a card without history says, and the warning over a
// journal altered outside the program.
class TestCronologia : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qRegisterMetaType<MessageKind>(); }

    // New card, then one changed and saved again, then (documents) a duplicate saved: each
    // card's history lists exactly its changes, at the time of each save.
    void eachSaveShowsInTheHistory_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("card");
        QTest::addColumn<QStringList>("first");     // card 1 after the two saves
        QTest::addColumn<QStringList>("duplicate"); // its saved duplicate; none: no duplicate
        QTest::newRow("protocol card")
            << "protocollo" << QStringLiteral("Protocollo 2026 — scheda n. 1/2026, in posizione 1")
            << QStringList{row(kFirst, "Nuova scheda", "N. protocollo:", "", "1/2026"),
                           row(kFirst, "Nuova scheda", "Tipologia posta", "", "In uscita"),
                           row(kFirst, "Nuova scheda", "Data registrazione:", "", "05/03/2026"),
                           row(kFirst, "Nuova scheda", "Categoria:", "", "Preventivi"),
                           row(kFirst, "Nuova scheda", "Oggetto:", "", "Richiesta di preventivo"),
                           row(kSecond, "Modifica", "Oggetto:", "Richiesta di preventivo",
                               "Richiesta di preventivo – ufficio tecnico"),
                           row(kSecond, "Modifica", "Note:", "", "Sollecitata il 6 marzo")}
            << QStringList{};
        QTest::newRow("document card and its duplicate")
            << "altri" << QStringLiteral("Schedario documenti — scheda in posizione 1")
            << QStringList{row(kFirst, "Nuova scheda", "Documento:", "", "Contratto di locazione"),
                           row(kFirst, "Nuova scheda", "Produttore:", "", "Studio Bianchi"),
                           row(kFirst, "Nuova scheda", "Data produzione:", "", "02/03/2026"),
                           row(kFirst, "Nuova scheda", "Da completare", "", "No"),
                           row(kSecond, "Modifica", "Note:", "", "Sollecitata il 6 marzo"),
                           row(kSecond, "Modifica", "Da completare", "No", "Sì")}
            << QStringList{
                   row(kThird, "Duplicato salvato", "Documento:", "", "Contratto di locazione bis"),
                   row(kThird, "Duplicato salvato", "Produttore:", "", "Studio Bianchi"),
                   row(kThird, "Duplicato salvato", "Data produzione:", "", "02/03/2026"),
                   row(kThird, "Duplicato salvato", "Note:", "", "Sollecitata il 6 marzo"),
                   row(kThird, "Duplicato salvato", "Da completare", "", "No")};
    }
    void eachSaveShowsInTheHistory() {
        QFETCH(QString, window);
        QFETCH(QString, card);
        QFETCH(QStringList, first);
        QFETCH(QStringList, duplicate);
        Fixture f(window);
        QVERIFY(f.show());
        f.fillNewCard();
        QVERIFY(f.saveAt(kFirst));
        if (f.protocol)
            f.edit("txtOggetto")
                ->setText(QStringLiteral("Richiesta di preventivo – ufficio tecnico"));
        else
            control<QCheckBox>(f.window.get(), "chkDaCompletare")->setChecked(true);
        f.edit("txtNote")->setText(QStringLiteral("Sollecitata il 6 marzo"));
        QVERIFY(f.saveAt(kSecond));

        Shown shown = f.history();
        QCOMPARE(shown.rows, first);
        QCOMPARE(shown.card, card);
        QCOMPARE(shown.count, QStringLiteral("%1 modifiche in 2 salvataggi").arg(first.size()));
        QVERIFY(!shown.noticeShown);
        if (duplicate.isEmpty())
            return;

        f.click("cmdDuplica");
        f.edit("txtDocumento")->setText(QStringLiteral("Contratto di locazione bis"));
        QVERIFY(f.saveAt(kThird));
        QCOMPARE(control<QLabel>(f.window.get(), "lblPosizione")->text(), QStringLiteral("2"));
        shown = f.history();
        QCOMPARE(shown.rows, duplicate);
        QCOMPARE(shown.count, QStringLiteral("5 modifiche in 1 salvataggio"));
        // The card it came from keeps its own.
        f.click("cmdPrimo");
        QCOMPARE(f.history().rows, first);
    }

    // A card stored by a copy of the program that kept no journal has no history, and says
    // so; changed since, it lists only what came after.
    void aCardFromBeforeTheJournal_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("journal"); // "none", "other cards", "changed since"
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("no journal at all") << "protocollo"
                                           << "none" << TfrmCronologia::kNoHistory << QStringList{};
        QTest::newRow("a journal of other cards only")
            << "altri"
            << "other cards" << TfrmCronologia::kNoHistory << QStringList{};
        QTest::newRow("stored before, changed since")
            << "protocollo"
            << "changed since" << TfrmCronologia::kEarlierHistory
            << QStringList{row(kSecond, "Modifica", "Note:", "", "Aggiunta dopo")};
    }
    void aCardFromBeforeTheJournal() {
        QFETCH(QString, window);
        QFETCH(QString, journal);
        QFETCH(QString, notice);
        QFETCH(QStringList, rows);
        Fixture f(window);
        QCOMPARE(f.plainArchive().append(f.storedCard(QStringLiteral("1"))), 1);
        if (journal == QLatin1String("other cards"))
            QCOMPARE(f.journaledArchive(kFirst, Journal::Kind::New)
                         .append(f.storedCard(QStringLiteral("2"))),
                     2);
        QVERIFY(f.show());
        f.click("cmdPrimo");
        if (journal == QLatin1String("changed since")) {
            f.edit("txtNote")->setText(QStringLiteral("Aggiunta dopo"));
            QVERIFY(f.saveAt(kSecond));
        }
        QCOMPARE(QFile::exists(Journal::pathFor(f.path())), journal != QLatin1String("none"));
        const Shown shown = f.history();
        QCOMPARE(shown.notice, notice);
        QVERIFY(shown.noticeShown);
        QCOMPARE(shown.rows, rows);
    }

    // A journal changed outside the program: the warning names what is wrong and where, and
    // the rows that could be read still show. Lines: 1 the first line, 2-6 the new card,
    // 7 its closing entry, 8-9 the change, 10 its closing entry.
    void anAlteredJournalWarns_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("notice");
        QTest::addColumn<QList<int>>("rows"); // of the seven, those still listed
        const QString file = QStringLiteral("2026.prt.cronologia");
        const auto altered = [&](const char* what) {
            return TfrmCronologia::kAltered.arg(file, QString::fromUtf8(what));
        };
        QTest::newRow("one byte of an entry")
            << "byte 3" << altered("la riga 3 è stata modificata o non si legge")
            << QList<int>{0, 2, 3, 4, 5, 6};
        QTest::newRow("bytes of two entries")
            << "byte 3 byte 8" << altered("le righe 3 e 8 sono state modificate o non si leggono")
            << QList<int>{0, 2, 3, 4, 6};
        QTest::newRow("an entry removed")
            << "remove 8" << altered("mancano righe, o ne sono state aggiunte, prima della riga 8")
            << QList<int>{0, 1, 2, 3, 4, 6};
        QTest::newRow("the first line changed")
            << "byte 1" << altered("la prima riga non è quella scritta dal programma")
            << QList<int>{0, 1, 2, 3, 4, 5, 6};
        QTest::newRow("the journal cannot be read")
            << "unreadable" << TfrmCronologia::kUnreadable.arg(file) << QList<int>{};
        QTest::newRow("the card rewritten without the journal")
            << "card" << TfrmCronologia::kChangedSince << QList<int>{0, 1, 2, 3, 4, 5, 6};
    }
    void anAlteredJournalWarns() {
        QFETCH(QString, change);
        QFETCH(QString, notice);
        QFETCH(QList<int>, rows);
        Fixture f(QStringLiteral("protocollo"));
        QVERIFY(f.show());
        f.fillNewCard();
        QVERIFY(f.saveAt(kFirst));
        f.edit("txtOggetto")->setText(QStringLiteral("Richiesta di preventivo – ufficio tecnico"));
        f.edit("txtNote")->setText(QStringLiteral("Sollecitata il 6 marzo"));
        QVERIFY(f.saveAt(kSecond));
        const QStringList all = f.history().rows;
        QCOMPARE(all.size(), 7);

        const QString journal = Journal::pathFor(f.path());
        QList<QByteArray> lines = readBytes(journal).split('\n');
        QCOMPARE(lines.size(), 11); // ten lines and the empty rest after the last line end
        const QStringList words = change.split(u' ');
        for (qsizetype i = 0; i + 1 < words.size(); i += 2) {
            const int at = words[i + 1].toInt() - 1;
            if (words[i] == QLatin1String("byte"))
                lines[at][3] = char(lines[at][3] ^ 0x20);
            else
                lines.removeAt(at);
        }
        if (change == QLatin1String("unreadable")) {
            QVERIFY(QFile::remove(journal));
            QVERIFY(QDir().mkdir(journal));
        } else if (change == QLatin1String("card")) {
            Record changed = *f.plainArchive().read(1);
            changed.setText(ProtocolRecord::Oggetto, QStringLiteral("Cambiato di nascosto"));
            QVERIFY(f.plainArchive().update(1, changed));
        } else {
            QVERIFY(writeBytes(journal, lines.join('\n')));
        }

        const Shown shown = f.history();
        QCOMPARE(shown.notice, notice);
        QVERIFY(shown.noticeShown);
        QStringList listed;
        for (const int r : rows)
            listed << all[r];
        QCOMPARE(shown.rows, listed);
        // The card stays as it was, ready for work.
        QCOMPARE(f.edit("txtNote")->text(), QStringLiteral("Sollecitata il 6 marzo"));
        QVERIFY(f.window->isEnabled());
    }

    // A card not in the archive yet has no history: the command says so and opens nothing.
    void anUnsavedCardHasNoHistory_data() {
        QTest::addColumn<QString>("window");
        QTest::addColumn<bool>("duplicate"); // a stored card duplicated, not saved
        QTest::newRow("new protocol card") << "protocollo" << false;
        QTest::newRow("new document card") << "altri" << false;
        QTest::newRow("duplicate not saved yet") << "altri" << true;
    }
    void anUnsavedCardHasNoHistory() {
        QFETCH(QString, window);
        QFETCH(bool, duplicate);
        Fixture f(window);
        QCOMPARE(f.journaledArchive(kFirst, Journal::Kind::New)
                     .append(f.storedCard(QStringLiteral("1"))),
                 1);
        QVERIFY(f.show());
        if (duplicate) {
            f.click("cmdPrimo");
            f.click("cmdDuplica");
        } else {
            f.fillNewCard();
        }
        f.services.messages.clear();
        QVERIFY(opensNoWindow([&] { f.click("cmdCronologia"); }));
        QCOMPARE(f.services.messages.size(), 1);
        QCOMPARE(f.services.messages[0].kind, MessageKind::Warning);
        QCOMPARE(f.services.messages[0].text, CardWindow::kHistoryOfNewCard);
    }

    // The command lies in the free right end of the hint bar, over no other control, and
    // has its hint.
    void theCommandFitsTheHintBar_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("protocol card window") << "protocollo";
        QTest::newRow("document card window") << "altri";
    }
    void theCommandFitsTheHintBar() {
        QFETCH(QString, window);
        Fixture f(window);
        QVERIFY(f.show());
        auto* command = control<QWidget>(f.window.get(), "cmdCronologia");
        QWidget* bar = control<QWidget>(f.window.get(), "panHint");
        QVERIFY(command->isVisible());
        QVERIFY(bar->geometry().contains(command->geometry()));
        for (QObject* child : command->parentWidget()->children()) {
            auto* other = qobject_cast<QWidget*>(child);
            if (!other || other == command || other == bar || other->isHidden() ||
                other->objectName() == QLatin1String("panInfo"))
                continue;
            QVERIFY2(!other->geometry().intersects(command->geometry()),
                     qPrintable(other->objectName()));
        }
        // Over the hint line's text, so that it takes the clicks.
        QCOMPARE(command->parentWidget()->childAt(command->geometry().center()), command);
        auto* panInfo = control<QLabel>(f.window.get(), "panInfo");
        QTest::mouseMove(command, QPoint(4, 4));
        QTRY_COMPARE(panInfo->text(),
                     QStringLiteral("Visualizza la cronologia delle modifiche della scheda "
                                    "corrente."));
        // The longest hint of the window ends before it.
        QTest::mouseMove(f.edit(f.protocol ? "txtDataReg" : "txtDataPro"));
        QTRY_VERIFY(panInfo->text().startsWith(QStringLiteral("Fai clic")));
        QVERIFY(panInfo->x() + panInfo->fontMetrics().horizontalAdvance(panInfo->text()) <
                command->x());
    }

    // A long journal, mostly of other cards: read once with its progress bar, which is gone
    // when the rows show; only the card's own rows are kept.
    void aLongJournalShowsItsProgress() {
        Fixture f(QStringLiteral("protocollo"));
        const Record stored = f.storedCard(QStringLiteral("1"));
        QCOMPARE(f.plainArchive().append(stored), 1);
        const QString card = QString::fromLatin1(Journal::digest(stored.bytes()));
        QByteArray journal = Journal::kHeader + "\r\n";
        QByteArray previous = Journal::digest(Journal::kHeader);
        const auto add = [&](Journal::Kind kind, int position, const QString& field,
                             const QString& before, const QString& after) {
            Journal::Entry e{kFirst,   QStringLiteral("Protocollo 2026"),
                             kind,     position,
                             {},       field,
                             before,   after,
                             previous, {}};
            journal += Journal::line(e) + "\r\n";
            previous = e.own;
        };
        // Saves of cards another copy appended, then the one change of card 1.
        for (int save = 0; save < 20000; ++save) {
            const int position = 2 + save % 50;
            for (const char* field : {"Oggetto", "Note", "Riferimenti"})
                add(Journal::Kind::Rewrite, position, QString::fromLatin1(field),
                    QStringLiteral("Testo %1").arg(save), QStringLiteral("Testo %1").arg(save + 1));
            add(Journal::Kind::Close, position, {}, QString::fromLatin1(Journal::digest("a")),
                QString::fromLatin1(Journal::digest("b")));
        }
        add(Journal::Kind::Rewrite, 1, QStringLiteral("Note"), {}, QStringLiteral("Ultima"));
        add(Journal::Kind::Close, 1, {}, QString::fromLatin1(Journal::digest("c")), card);
        QVERIFY(journal.size() > 4 << 20);
        QVERIFY(writeBytes(Journal::pathFor(f.path()), journal));

        QVERIFY(f.show());
        f.click("cmdPrimo");
        bool progressed = false, hidden = false;
        answerModal(clicking(control<QWidget>(f.window.get(), "cmdCronologia")), [&](QDialog* d) {
            auto* view = qobject_cast<TfrmCronologia*>(d);
            QVERIFY(view);
            QTRY_VERIFY(view->isLoaded());
            auto* bar = control<QProgressBar>(view, "prbCronologia");
            progressed = bar->value() == bar->maximum() && bar->maximum() > 0;
            hidden = bar->isHidden();
            const QAbstractItemModel* model = control<QTableView>(view, "grdCronologia")->model();
            QCOMPARE(model->rowCount(), 1);
            QCOMPARE(model->index(0, 4).data().toString(), QStringLiteral("Ultima"));
            // Stored before its first change was journaled.
            QCOMPARE(control<QLabel>(view, "lblAvviso")->text(), TfrmCronologia::kEarlierHistory);
            QTest::mouseClick(control<QAbstractButton>(view, "cmdEsci"), Qt::LeftButton);
        });
        QVERIFY(progressed);
        QVERIFY(hidden);
    }

    // The help button of the history window opens its own topic.
    void helpShowsTheHistoryTopic() {
        Fixture f(QStringLiteral("altri"));
        QCOMPARE(f.journaledArchive(kFirst, Journal::Kind::New)
                     .append(f.storedCard(QStringLiteral("1"))),
                 1);
        QVERIFY(f.show());
        f.click("cmdPrimo");
        QString title;
        answerModal(
            clicking(control<QWidget>(f.window.get(), "cmdCronologia")), [&](QDialog* view) {
                answerModal(clicking(control<QWidget>(view, "cmdGuida")), [&](QDialog* guida) {
                    title = control<QLabel>(guida, "lblTitolo")->text();
                    QTest::mouseClick(control<QAbstractButton>(guida, "btnChiudi"), Qt::LeftButton);
                });
                QTest::mouseClick(control<QAbstractButton>(view, "cmdEsci"), Qt::LeftButton);
            });
        QCOMPARE(title, QStringLiteral("Cronologia della scheda."));
    }
};

QTEST_MAIN(TestCronologia)
#include "tst_Cronologia.moc"
