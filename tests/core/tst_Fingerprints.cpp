#include "RewriteCards.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/platform/FileLock.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using Journal::Entry;
using Journal::Kind;

namespace {

const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));

QByteArray sha(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// One archive of either kind in a temporary folder, saved as the card windows save.
struct Archive {
    QTemporaryDir dir;
    bool documents;
    QString path;

    explicit Archive(bool documents_)
        : documents(documents_),
          path(dir.filePath(documents ? DocumentArchive::FileName : QStringLiteral("2026.prt"))) {}

    const RecordLayout& layout() const {
        return documents ? DocumentRecord::layout() : ProtocolRecord::layout();
    }
    QString side() const { return Fingerprints::pathFor(path); }

    RecordArchive journaled(const QList<Fingerprints::Shown>& attached) const {
        RecordArchive archive(path, layout());
        RecordArchive::Journaling journaling{documents ? DocumentRecord::journalIdentity(path)
                                                       : ProtocolRecord::journalIdentity(path),
                                             kAt, Kind::New};
        Fingerprints::install(journaling, path, attached);
        archive.setJournaling(journaling);
        return archive;
    }
    Record card(const QString& field, const QString& name) const {
        Record record(layout());
        record.setText(0, documents ? QStringLiteral("Contratto") : QStringLiteral("1/2026"));
        record.setText(layout().indexOf(field), name);
        return record;
    }
    // Journal entries as "kind|position|card|field|before|after", closing entries as
    // "chiusura|position".
    QStringList entries() const {
        QStringList out;
        Journal::read(path, layout().size(), [&](const Entry& e) {
            out << (e.kind == Kind::Close
                        ? QStringLiteral("chiusura|%1").arg(e.position)
                        : QStringList{Journal::kindText(e.kind), QString::number(e.position),
                                      e.card, e.field, e.before, e.after}
                              .join(u'|'));
        });
        return out;
    }
};

QByteArray sideLine(const QString& archive, int position, const QString& field, const QString& name,
                    const QByteArray& sum) {
    return archive.toUtf8() + '\t' + QByteArray::number(position) + '\t' + field.toUtf8() + '\t' +
           name.toUtf8() + '\t' + sum + "\r\n";
}

} // namespace

// The fingerprints of attached files: computed from the file, kept beside each archive as its
// saves journal them, never lost or left behind by a failed or killed save, and found again
// for the double registration check.
class TestFingerprints : public QObject {
    Q_OBJECT
private slots:
    void init() { FileLock::faults() = {}; }
    void cleanup() { FileLock::faults() = {}; }

    void aFingerprintIsTheFilesSha256_data() {
        QTest::addColumn<qsizetype>("size");
        QTest::newRow("empty") << qsizetype(0);
        QTest::newRow("one byte") << qsizetype(1);
        QTest::newRow("a block less one") << qsizetype((1 << 20) - 1);
        QTest::newRow("a block") << qsizetype(1 << 20);
        QTest::newRow("three blocks and a bit") << qsizetype(3 * (1 << 20) + 5);
    }
    void aFingerprintIsTheFilesSha256() {
        QFETCH(qsizetype, size);
        QTemporaryDir dir;
        QByteArray bytes(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            bytes[i] = char(i * 31 + i / 977);
        const QString path = dir.filePath(QStringLiteral("file.bin"));
        writeBytes(path, bytes);
        QCOMPARE(Fingerprints::ofFile(path), std::optional<QByteArray>(sha(bytes)));
        QVERIFY(!Fingerprints::ofFile(dir.filePath(QStringLiteral("missing"))));
        QVERIFY(!Fingerprints::ofFile(dir.path())); // a folder
    }

    // Attach, attach another file, attach new content under the same name, save without
    // touching it, clear: each save's journal block and the side file, for every attachment
    // field of both archives.
    void eachAttachmentFieldKeepsItsFingerprint_data() {
        QTest::addColumn<bool>("documents");
        QTest::addColumn<QString>("field");
        for (bool documents : {false, true}) {
            for (const QString& field : Fingerprints::kFields)
                QTest::addRow("%s, %s", documents ? "documents" : "protocol", qPrintable(field))
                    << documents << field;
        }
    }
    void eachAttachmentFieldKeepsItsFingerprint() {
        QFETCH(bool, documents);
        QFETCH(QString, field);
        Archive a(documents);
        const QString archive =
            documents ? QStringLiteral("Schedario documenti") : QStringLiteral("Protocollo 2026");
        const QString card = documents ? QStringLiteral("1") : QStringLiteral("1/2026");
        const QString first = documents ? QStringLiteral("Documento") : QStringLiteral("Numero");
        const QString firstText = documents ? QStringLiteral("Contratto") : card;
        const QByteArray shaA = sha("A"), shaB = sha("B"), shaC = sha("C");
        const QString p = QStringLiteral("|1|") + card + u'|' + field + u'|';
        int seen = 0;
        const auto block = [&] {
            const QStringList all = a.entries();
            const QStringList last = all.mid(seen);
            seen = int(all.size());
            return last;
        };

        // Attached to a new card.
        QCOMPARE(a.journaled({{field, "a.pdf", shaA}}).append(a.card(field, "a.pdf")), 1);
        QCOMPARE(block(), (QStringList{QStringLiteral("nuova|1|") + card + u'|' + first +
                                           QStringLiteral("||") + firstText,
                                       QStringLiteral("nuova") + p + QStringLiteral("|a.pdf"),
                                       QStringLiteral("impronta") + p + u'|' + shaA,
                                       QStringLiteral("chiusura|1")}));
        QCOMPARE(readBytes(a.side()),
                 "Faldora impronte 1\r\n" + sideLine(archive, 1, field, "a.pdf", shaA));

        // Another file: both the name and the fingerprint change.
        QVERIFY(a.journaled({{field, "b.pdf", shaB}}).update(1, a.card(field, "b.pdf")));
        QCOMPARE(block(),
                 (QStringList{QStringLiteral("modifica") + p + QStringLiteral("a.pdf|b.pdf"),
                              QStringLiteral("impronta") + p + shaA + u'|' + shaB,
                              QStringLiteral("chiusura|1")}));
        QCOMPARE(readBytes(a.side()),
                 "Faldora impronte 1\r\n" + sideLine(archive, 1, field, "b.pdf", shaB));

        // New content under the same name: the fingerprint alone.
        QVERIFY(a.journaled({{field, "b.pdf", shaC}}).update(1, a.card(field, "b.pdf")));
        QCOMPARE(block(), (QStringList{QStringLiteral("impronta") + p + shaB + u'|' + shaC,
                                       QStringLiteral("chiusura|1")}));
        QCOMPARE(readBytes(a.side()),
                 "Faldora impronte 1\r\n" + sideLine(archive, 1, field, "b.pdf", shaC));

        // Saved again without attaching: the fingerprint stays as recorded.
        Record other = a.card(field, "b.pdf");
        other.setText(a.layout().indexOf(QStringLiteral("Note")), QStringLiteral("nota"));
        QVERIFY(a.journaled({}).update(1, other));
        QCOMPARE(block().filter(QStringLiteral("impronta")), QStringList());
        QCOMPARE(readBytes(a.side()),
                 "Faldora impronte 1\r\n" + sideLine(archive, 1, field, "b.pdf", shaC));

        // Cleared: the fingerprint goes.
        other.setText(a.layout().indexOf(field), QString());
        QVERIFY(a.journaled({}).update(1, other));
        QCOMPARE(block(), (QStringList{QStringLiteral("modifica") + p + QStringLiteral("b.pdf|"),
                                       QStringLiteral("impronta") + p + shaC + u'|',
                                       QStringLiteral("chiusura|1")}));
        QCOMPARE(readBytes(a.side()), QByteArray("Faldora impronte 1\r\n"));
    }

    // A save whose side file the disk refuses is undone whole: record, journal and side file
    // stay byte for byte; the next save goes in whole.
    void aFailingSideFileUndoesTheSave_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<QString>("fault");
        for (bool append : {true, false}) {
            const char* what = append ? "new card" : "rewrite";
            QTest::addRow("%s, side file not flushed", what) << append << "sync";
            QTest::addRow("%s, side file over the size limit", what) << append << "limit";
        }
    }
    void aFailingSideFileUndoesTheSave() {
        QFETCH(bool, append);
        QFETCH(QString, fault);
        Archive a(false);
        QCOMPARE(a.journaled({{"Copia", "a.pdf", sha("A")}}).append(a.card("Copia", "a.pdf")), 1);
        // Other cards' fingerprints, so that the side file outgrows the register and journal.
        QList<Fingerprints::Line> lines{{"Protocollo 2026", 1, "Copia", "a.pdf", sha("A")}};
        for (int p = 100; p < 300; ++p)
            lines.append({"Protocollo 2026", p, "File01", "altro.pdf", sha("x")});
        writeBytes(a.side(), Fingerprints::bytes(lines));
        const QByteArray registerBefore = readBytes(a.path);
        const QByteArray journalBefore = readBytes(Journal::pathFor(a.path));
        const QByteArray sideBefore = readBytes(a.side());
        const Record card = a.card("Copia", "b.pdf");
        const auto save = [&] {
            const RecordArchive archive = a.journaled({{"Copia", "b.pdf", sha("B")}});
            return append ? archive.append(card).has_value() : archive.update(1, card);
        };
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (fault == QLatin1String("sync")) {
                // The journal, the record (a rewrite first puts it beside), then the side file.
                FileLock::faults().syncsBeforeFailure = append ? 2 : 3;
            } else {
                QVERIFY(sideBefore.size() > registerBefore.size() + 4 * 3403);
                QVERIFY(sideBefore.size() > journalBefore.size() + 4000);
                limit = std::make_unique<FileSizeLimit>(registerBefore.size() + 2 * 3403 + 1000);
                if (!limit->ok())
                    QSKIP(qPrintable(limit->why()));
            }
            QVERIFY(!save());
        }
        QCOMPARE(readBytes(a.path), registerBefore);
        QCOMPARE(readBytes(Journal::pathFor(a.path)), journalBefore);
        QCOMPARE(readBytes(a.side()), sideBefore);

        FileLock::faults() = {};
        QVERIFY(save());
        const int position = append ? 2 : 1;
        QVERIFY(readBytes(a.side()).contains(
            sideLine("Protocollo 2026", position, "Copia", "b.pdf", sha("B"))));
        QCOMPARE(a.entries().filter(QStringLiteral("impronta")).last(),
                 QStringLiteral("impronta|%1|1/2026|Copia|%2|%3")
                     .arg(position)
                     .arg(append ? QString() : QString::fromLatin1(sha("A")),
                          QString::fromLatin1(sha("B"))));
    }

    // A copy killed while it saves a card with a new attachment: the next writer brings the
    // side file to what the record holds, whichever sync the copy died at.
    void aKilledSaveIsCaughtUpByTheNextWriter_data() {
        QTest::addColumn<int>("syncs");
        QTest::addColumn<QChar>("expected"); // the card's version after
        QTest::addColumn<bool>("behind");    // the record was on the disk, its side file not
        QTest::newRow("died flushing the journal") << 0 << QChar(u'A') << false;
        QTest::newRow("died flushing the record beside") << 1 << QChar(u'B') << false;
        QTest::newRow("died flushing the record") << 2 << QChar(u'B') << true;
        QTest::newRow("died between record and side file") << 3 << QChar(u'B') << true;
    }
    void aKilledSaveIsCaughtUpByTheNextWriter() {
        QFETCH(int, syncs);
        QFETCH(QChar, expected);
        QFETCH(bool, behind);
        Archive a(false);
        const auto copyOf = [](int p, QChar v) {
            return rewriteCard(p, v).text(ProtocolRecord::Copia);
        };
        for (int p = 1; p <= 2; ++p)
            QCOMPARE(
                a.journaled({{"Copia", copyOf(p, u'A'), sha("A")}}).append(rewriteCard(p, u'A')),
                p);
        QProcess writer;
        QVERIFY(startWorker(writer, {QStringLiteral("rewrite-dying"), a.path, QStringLiteral("2"),
                                     QStringLiteral("B"), QString::number(syncs),
                                     QStringLiteral("fingerprinted")}));
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), 86);
        const QByteArray lineA = sideLine("Protocollo 2026", 2, "Copia", copyOf(2, u'A'), sha("A"));
        const QByteArray lineB = sideLine("Protocollo 2026", 2, "Copia", copyOf(2, u'B'), sha("B"));
        const int size = ProtocolRecord::layout().size();
        QCOMPARE(readBytes(a.path).mid(size, size) == rewriteCard(2, u'B').bytes(), behind);
        QVERIFY(readBytes(a.side()).contains(lineA));

        // The next writer saves another card.
        QVERIFY(a.journaled({}).update(1, rewriteCard(1, u'A')));
        QCOMPARE(ProtocolRecord(readBytes(a.path).mid(size, size)).bytes(),
                 rewriteCard(2, expected).bytes());
        QVERIFY(readBytes(a.side()).contains(expected == u'B' ? lineB : lineA));
        QCOMPARE(a.entries().filter(QStringLiteral("impronta|2|")).size(),
                 expected == u'B' ? 2 : 1);
    }

    // A side file damaged by hand: reported, its sound lines used, its damaged lines kept as
    // they are by the next save, and the archive saves as before.
    void aDamagedSideFileIsReportedAndKept_data() {
        QTest::addColumn<QByteArray>("damage");
        QTest::addColumn<QList<int>>("lines");
        QTest::addColumn<bool>("badHeader");
        const QByteArray sound = sideLine("Protocollo 2026", 1, "Copia", "a.pdf", sha("A"));
        QTest::newRow("sound") << ("Faldora impronte 1\r\n" + sound) << QList<int>{} << false;
        QTest::newRow("fingerprint cut short")
            << ("Faldora impronte 1\r\n" + sound + "Protocollo 2026\t2\tCopia\tb.pdf\t12ab\r\n")
            << QList<int>{3} << false;
        QTest::newRow("column missing")
            << ("Faldora impronte 1\r\nProtocollo 2026\t2\tb.pdf\t" + sha("B") + "\r\n" + sound)
            << QList<int>{2} << false;
        QTest::newRow("unknown field") << ("Faldora impronte 1\r\n" + sound +
                                           "Protocollo 2026\t2\tNote\tb.pdf\t" + sha("B") + "\r\n")
                                       << QList<int>{3} << false;
        QTest::newRow("header changed")
            << ("Faldora impronte 9\r\n" + sound) << QList<int>{1} << true;
    }
    void aDamagedSideFileIsReportedAndKept() {
        QFETCH(QByteArray, damage);
        QFETCH(QList<int>, lines);
        QFETCH(bool, badHeader);
        Archive a(false);
        QCOMPARE(a.journaled({{"Copia", "a.pdf", sha("A")}}).append(a.card("Copia", "a.pdf")), 1);
        writeBytes(a.side(), damage);
        const Fingerprints::Reading reading = Fingerprints::read(a.side());
        QCOMPARE(reading.damagedLines, lines);
        QCOMPARE(reading.badHeader, badHeader);
        QCOMPARE(reading.isDamaged(), !lines.isEmpty());
        QCOMPARE(reading.damaged.size(), lines.size()); // their bytes, for a rewrite
        QCOMPARE(reading.find(1, "Copia", "a.pdf"), sha("A"));
        const auto search =
            Fingerprints::cardsHolding(a.dir.path() + u'/', sha("A"), QString(), std::nullopt);
        QCOMPARE(search.damagedFiles.size(), lines.isEmpty() ? 0 : 1);
        QCOMPARE(search.holders.size(), 1);

        QCOMPARE(a.journaled({{"Copia", "c.pdf", sha("C")}}).append(a.card("Copia", "c.pdf")), 2);
        const QByteArray after = readBytes(a.side());
        QVERIFY(after.startsWith("Faldora impronte 1\r\n"));
        QVERIFY(after.contains(sideLine("Protocollo 2026", 2, "Copia", "c.pdf", sha("C"))));
        for (int n : lines) {
            const QByteArray line = damage.split('\n').at(n - 1);
            if (n > 1)
                QVERIFY2(after.contains(line), line.constData());
        }
    }

    // The cards holding a fingerprint, over every archive of the folder.
    void theCardsHoldingAFileAreFoundInEveryArchive_data() {
        QTest::addColumn<QString>("archive");
        QTest::addColumn<int>("position"); // 0: a new card
        QTest::addColumn<QStringList>("expected");
        const QString p26 =
            QStringLiteral("alla scheda n. 2/2026 del Protocollo 2026 (Copia digitale)");
        const QString p25 =
            QStringLiteral("alla scheda n. 1/2025 del Protocollo 2025 (3° file allegato)");
        const QString d1 =
            QStringLiteral("alla scheda n. 1 dello Schedario documenti (2° file allegato)");
        QTest::newRow("a new card") << "2026.prt" << 0 << QStringList{p25, p26, d1};
        QTest::newRow("the card itself left out") << "2026.prt" << 2 << QStringList{p25, d1};
        QTest::newRow("from the document index")
            << DocumentArchive::FileName << 1 << QStringList{p25, p26};
        QTest::newRow("another card of the same index")
            << DocumentArchive::FileName << 2 << QStringList{p25, p26, d1};
    }
    void theCardsHoldingAFileAreFoundInEveryArchive() {
        QFETCH(QString, archive);
        QFETCH(int, position);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString folder = dir.path() + u'/';
        const QByteArray wanted = sha("doppio");
        const auto save = [&](const QString& file, bool documents, const QString& number,
                              const QString& field, const QString& name, const QByteArray& sum) {
            const QString path = folder + file;
            const RecordLayout& layout =
                documents ? DocumentRecord::layout() : ProtocolRecord::layout();
            RecordArchive target(path, layout);
            RecordArchive::Journaling journaling{documents ? DocumentRecord::journalIdentity(path)
                                                           : ProtocolRecord::journalIdentity(path),
                                                 kAt, Kind::New};
            Fingerprints::install(journaling, path, {{field, name, sum}});
            target.setJournaling(journaling);
            Record card(layout);
            card.setText(0, number);
            card.setText(layout.indexOf(field), name);
            QVERIFY(target.append(card));
        };
        save("2026.prt", false, "1/2026", "Copia", "uno.pdf", sha("altro"));
        save("2026.prt", false, "2/2026", "Copia", "due.pdf", wanted);
        save("2025.prt", false, "1/2025", "File03", "vecchio.pdf", wanted);
        save(DocumentArchive::FileName, true, "Contratto", "File02", "contratto.pdf", wanted);
        // A card renamed since by a program that keeps no fingerprints: no longer a holder.
        save("2024.prt", false, "1/2024", "Copia", "rinominato.pdf", wanted);
        ProtocolRecord renamed;
        renamed.setText(ProtocolRecord::Numero, QStringLiteral("1/2024"));
        renamed.setText(ProtocolRecord::Copia, QStringLiteral("altro.pdf"));
        QVERIFY(RecordArchive(folder + "2024.prt", ProtocolRecord::layout()).update(1, renamed));
        // A side file of no archive of the program's.
        writeBytes(folder + "copia.prt.impronte",
                   Fingerprints::bytes({{"x", 1, "Copia", "a", wanted}}));

        const auto search =
            Fingerprints::cardsHolding(folder, wanted, folder + archive,
                                       position ? std::optional<int>(position) : std::nullopt);
        QStringList found;
        for (const auto& holder : search.holders)
            found << Fingerprints::holderText(holder);
        QCOMPARE(found, expected);
        QVERIFY(search.damagedFiles.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFingerprints)
#include "tst_Fingerprints.moc"
