#include "RewriteCards.h"
#include "core/DocumentRecord.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/platform/FileLock.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

using Journal::Entry;
using Journal::Kind;

namespace {

const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));

RecordArchive protocolArchive(const QString& path, Kind kind = Kind::New) {
    RecordArchive archive(path, ProtocolRecord::layout());
    archive.setJournaling({ProtocolRecord::journalIdentity(path), kAt, kind});
    return archive;
}

ProtocolRecord protocolCard(const QString& number, const QString& subject) {
    ProtocolRecord card;
    card.setText(ProtocolRecord::Numero, number);
    card.setText(ProtocolRecord::Oggetto, subject);
    return card;
}

// The entries a reader sees, as "kind|position|card|field|before|after"; a closing entry's
// digests show as "-" (none), "=" (the digest of the record now stored there) or "old".
QStringList entriesOf(const QString& path, int recordSize, Journal::Reading* reading = nullptr) {
    QStringList out;
    QList<Entry> entries;
    const auto read =
        Journal::read(path, recordSize, [&](const Entry& entry) { entries.append(entry); });
    if (!read)
        return {QStringLiteral("<unreadable>")};
    if (reading)
        *reading = *read;
    const QByteArray archive = readBytes(path);
    for (const Entry& e : entries) {
        QString before = e.before, after = e.after;
        if (e.kind == Kind::Close) {
            const QString stored = QString::fromLatin1(
                Journal::digest(archive.mid(qsizetype(e.position - 1) * recordSize, recordSize)));
            after = after == stored ? QStringLiteral("=") : QStringLiteral("old");
            before = before.isEmpty() ? QStringLiteral("-") : QStringLiteral("old");
        }
        out << QStringList{Journal::kindText(e.kind),
                           QString::number(e.position),
                           e.card,
                           e.field,
                           before,
                           after}
                   .join(u'|');
    }
    return out;
}

// A journal of three saves of one card, for the tampering cases: its lines.
QList<QByteArray> journalLines(const QString& path) {
    return readBytes(Journal::pathFor(path)).split('\n');
}

// The version of the card at `position`: 'A', 'B', or '-' for none there.
QChar versionOf(const QString& path, int position) {
    const int size = ProtocolRecord::layout().size();
    const QByteArray record = readBytes(path).mid(qsizetype(position - 1) * size, size);
    for (QChar v : {u'A', u'B'}) {
        if (record == rewriteCard(position, v).bytes())
            return v;
    }
    return record.size() == size ? u'?' : u'-';
}

} // namespace

// The change journal: what each save writes, how an altered journal shows, and that a save
// that fails or dies leaves record and journal agreeing.
class TestJournal : public QObject {
    Q_OBJECT
private slots:
    void init() { FileLock::faults() = {}; }
    void cleanup() { FileLock::faults() = {}; }

    void aLineReadsBackAsWritten_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QStringLiteral("Lettera del Comune");
        QTest::newRow("accents and euro") << QStringLiteral("Società «Àlfa» € 1.250,00, perché");
        QTest::newRow("separators and escapes")
            << QStringLiteral("a\tb\r\nc\\d\\t not a tab \\\\ end\\");
        QTest::newRow("empty") << QString();
    }
    void aLineReadsBackAsWritten() {
        QFETCH(QString, text);
        Entry entry{kAt,  QStringLiteral("Protocollo 2026"), Kind::Rewrite,
                    7,    QStringLiteral("7/2026"),          QStringLiteral("Note"),
                    text, text + QStringLiteral("!"),        Journal::digest("x"),
                    {}};
        const QByteArray bytes = Journal::line(entry);
        QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
        QCOMPARE(bytes.count('\t'), 9);
        const auto back = Journal::parseLine(bytes);
        QVERIFY(back);
        QCOMPARE(back->at, entry.at);
        QCOMPARE(back->archive, entry.archive);
        QCOMPARE(back->kind, entry.kind);
        QCOMPARE(back->position, entry.position);
        QCOMPARE(back->card, entry.card);
        QCOMPARE(back->field, entry.field);
        QCOMPARE(back->before, entry.before);
        QCOMPARE(back->after, entry.after);
        QCOMPARE(back->previous, entry.previous);
        QCOMPARE(back->own, entry.own);
        // Any one byte changed anywhere, the line no longer holds.
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            QByteArray changed = bytes;
            changed[i] = char(changed[i] ^ 0x01);
            QVERIFY2(!Journal::parseLine(changed), qPrintable(QString::number(i)));
        }
    }

    void eachSaveWritesItsChangedFields_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("new card") << "new"
                                  << QStringList{"nuova|1|1/2026|Numero||1/2026",
                                                 "nuova|1|1/2026|Oggetto||Lettera",
                                                 "chiusura|1|1/2026||-|="};
        QTest::newRow("rewrite of one field")
            << "new rewrite"
            << QStringList{"nuova|1|1/2026|Numero||1/2026", "nuova|1|1/2026|Oggetto||Lettera",
                           "chiusura|1|1/2026||-|old",
                           "modifica|1|1/2026|Oggetto|Lettera|Lettera bis",
                           "chiusura|1|1/2026||old|="};
        QTest::newRow("saved unchanged")
            << "new same"
            << QStringList{"nuova|1|1/2026|Numero||1/2026", "nuova|1|1/2026|Oggetto||Lettera",
                           "chiusura|1|1/2026||-|=", "chiusura|1|1/2026||old|="};
        QTest::newRow("duplicate") << "new duplicate"
                                   << QStringList{"nuova|1|1/2026|Numero||1/2026",
                                                  "nuova|1|1/2026|Oggetto||Lettera",
                                                  "chiusura|1|1/2026||-|=",
                                                  "duplicato|2|2/2026|Numero||2/2026",
                                                  "duplicato|2|2/2026|Oggetto||Lettera",
                                                  "chiusura|2|2/2026||-|="};
        QTest::newRow("card saved before the journal")
            << "plain rewrite"
            << QStringList{"modifica|1|1/2026|Oggetto|Lettera|Lettera bis",
                           "chiusura|1|1/2026||old|="};
    }
    void eachSaveWritesItsChangedFields() {
        QFETCH(QString, steps);
        QFETCH(QStringList, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        for (const QString& step : steps.split(u' ')) {
            if (step == QLatin1String("new")) {
                QCOMPARE(protocolArchive(path).append(protocolCard("1/2026", "Lettera")), 1);
            } else if (step == QLatin1String("plain")) {
                const RecordArchive plain(path, ProtocolRecord::layout());
                QCOMPARE(plain.append(protocolCard("1/2026", "Lettera")), 1);
            } else if (step == QLatin1String("rewrite")) {
                QVERIFY(protocolArchive(path).update(1, protocolCard("1/2026", "Lettera bis")));
            } else if (step == QLatin1String("same")) {
                QVERIFY(protocolArchive(path).update(1, protocolCard("1/2026", "Lettera")));
            } else if (step == QLatin1String("duplicate")) {
                QCOMPARE(protocolArchive(path, Kind::Duplicate)
                             .append(protocolCard("2/2026", "Lettera")),
                         2);
            }
        }
        Journal::Reading reading;
        QCOMPARE(entriesOf(path, ProtocolRecord::layout().size(), &reading), expected);
        QVERIFY(reading.damagedLines.isEmpty() && reading.brokenLinks.isEmpty());
        QVERIFY(!reading.badHeader);
        // The file as a user opening it sees it: named lines, the date and the archive.
        const QByteArray journal = readBytes(Journal::pathFor(path));
        QVERIFY(journal.startsWith("Faldora cronologia 1\r\n"));
        QVERIFY(journal.contains("2026-03-05 10:30:15\tProtocollo 2026\t"));
    }

    void aDocumentCardIsNamedByItsPosition() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Schedario_Documenti.pro"));
        RecordArchive archive(path, DocumentRecord::layout());
        archive.setJournaling({DocumentRecord::journalIdentity(path), kAt, Kind::New});
        DocumentRecord card;
        card.setText(DocumentRecord::Documento, QStringLiteral("Contratto"));
        QCOMPARE(archive.append(card), 1);
        QCOMPARE(archive.append(card), 2);
        QCOMPARE(entriesOf(path, DocumentRecord::layout().size()),
                 (QStringList{"nuova|1|1|Documento||Contratto", "chiusura|1|1||-|=",
                              "nuova|2|2|Documento||Contratto", "chiusura|2|2||-|="}));
        QVERIFY(readBytes(Journal::pathFor(path)).contains("\tSchedario documenti\tnuova\t2\t"));
    }

    // A journal changed by hand: every change shows, at the line where it was made.
    void anAlteredJournalShows_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QList<int>>("damaged");
        QTest::addColumn<QList<int>>("broken");
        QTest::addColumn<bool>("badHeader");
        // Lines: 1 header, 2-4 the new card, 5-6 the first rewrite, 7-8 the second.
        QTest::newRow("untouched") << "" << QList<int>{} << QList<int>{} << false;
        QTest::newRow("one byte of an entry") << "byte 5" << QList<int>{5} << QList<int>{} << false;
        QTest::newRow("one byte of the last entry")
            << "byte 8" << QList<int>{8} << QList<int>{} << false;
        QTest::newRow("an entry removed") << "remove 5" << QList<int>{} << QList<int>{5} << false;
        QTest::newRow("two entries swapped")
            << "swap 5" << QList<int>{} << QList<int>{5, 6, 7} << false;
        QTest::newRow("the header changed") << "byte 1" << QList<int>{} << QList<int>{2} << true;
    }
    void anAlteredJournalShows() {
        QFETCH(QString, change);
        QFETCH(QList<int>, damaged);
        QFETCH(QList<int>, broken);
        QFETCH(bool, badHeader);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        QCOMPARE(protocolArchive(path).append(protocolCard("1/2026", "Lettera")), 1);
        QVERIFY(protocolArchive(path).update(1, protocolCard("1/2026", "Lettera bis")));
        QVERIFY(protocolArchive(path).update(1, protocolCard("1/2026", "Lettera ter")));
        QList<QByteArray> lines = journalLines(path);
        QCOMPARE(lines.size(), 9); // eight lines and the empty rest after the last line end
        const QStringList words = change.split(u' ');
        const int at = words.size() > 1 ? words[1].toInt() - 1 : 0;
        if (words[0] == QLatin1String("byte"))
            lines[at][3] = char(lines[at][3] ^ 0x20);
        else if (words[0] == QLatin1String("remove"))
            lines.removeAt(at);
        else if (words[0] == QLatin1String("swap"))
            lines.swapItemsAt(at, at + 1);
        writeBytes(Journal::pathFor(path), lines.join('\n'));

        Journal::Reading reading;
        entriesOf(path, ProtocolRecord::layout().size(), &reading);
        QVERIFY(reading.exists && reading.readable);
        QCOMPARE(reading.damagedLines, damaged);
        QCOMPARE(reading.brokenLinks, broken);
        QCOMPARE(reading.badHeader, badHeader);

        // A reader that wants no card's entries (another card's history) is told the same.
        int visited = 0;
        const auto picky = Journal::read(
            path, ProtocolRecord::layout().size(), [&](const Entry&) { ++visited; }, {},
            [](int position) { return position != 1; });
        QVERIFY(picky);
        QCOMPARE(visited, 0);
        QCOMPARE(picky->damagedLines, damaged);
        QCOMPARE(picky->brokenLinks, broken);
        QCOMPARE(picky->badHeader, badHeader);
        QCOMPARE(picky->lines, reading.lines);
    }

    // A save whose journal or record the disk refuses reports the failure and leaves both
    // files byte for byte as they were; the next save goes in whole.
    void aFailedSaveLeavesRecordAndJournalAsTheyWere_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<QString>("fault");
        for (bool append : {true, false}) {
            const char* what = append ? "new card" : "rewrite";
            QTest::addRow("%s, journal not flushed", what) << append << "sync 0";
            QTest::addRow("%s, record not flushed", what)
                << append << (append ? "sync 1" : "sync 2");
            QTest::addRow("%s, journal over the size limit", what) << append << "journal full";
            QTest::addRow("%s, first save, journal not flushed", what) << append << "first sync 0";
        }
        QTest::newRow("rewrite, side file not flushed") << false << "sync 1";
        QTest::newRow("new card, register over the size limit") << true << "register full";
    }
    void aFailedSaveLeavesRecordAndJournalAsTheyWere() {
        QFETCH(bool, append);
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const QString journal = Journal::pathFor(path);
        const RecordArchive archive = protocolArchive(path);
        const bool first = fault.startsWith(QLatin1String("first"));
        const RecordArchive plain(path, ProtocolRecord::layout());
        if (first) {
            QCOMPARE(plain.append(protocolCard("1/2026", "Lettera")), 1);
        } else if (fault == QLatin1String("register full")) {
            // A register that outgrows its journal.
            for (int p = 1; p <= 3; ++p)
                QCOMPARE(plain.append(protocolCard(QStringLiteral("%1/2026").arg(p), "Lettera")),
                         p);
            QVERIFY(archive.update(1, protocolCard("1/2026", "Lettera bis")));
        } else {
            QCOMPARE(archive.append(protocolCard("1/2026", "Lettera")), 1);
            // Long notes, so that the journal outgrows the register.
            for (int i = 0; i < 14; ++i) {
                ProtocolRecord card = protocolCard("1/2026", "Lettera");
                card.setText(ProtocolRecord::Note, QString(240, QChar(u'a' + i)));
                QVERIFY(archive.update(1, card));
            }
        }
        const QByteArray registerBefore = readBytes(path);
        const QByteArray journalBefore = readBytes(journal);
        const ProtocolRecord card = protocolCard(append ? "2/2026" : "1/2026", "Nuovo oggetto");
        const auto save = [&] {
            return append ? archive.append(card).has_value() : archive.update(1, card);
        };
        {
            std::unique_ptr<FileSizeLimit> limit;
            if (fault.contains(QLatin1String("sync"))) {
                FileLock::faults().syncsBeforeFailure = fault.section(u' ', -1).toInt();
            } else {
                const bool journalFull = fault == QLatin1String("journal full");
                // Room for the one file's save but not for the other's.
                QVERIFY(journalFull ? journalBefore.size() > registerBefore.size() + 2 * 3403
                                    : registerBefore.size() > journalBefore.size() + 2000);
                const qsizetype room =
                    journalFull ? journalBefore.size() + 100 : registerBefore.size() + 1000;
                limit = std::make_unique<FileSizeLimit>(room);
                if (!limit->ok())
                    QSKIP(qPrintable(limit->why()));
            }
            QVERIFY(!save());
        }
        QCOMPARE(readBytes(path), registerBefore);
        if (first)
            QVERIFY(!QFile::exists(journal) || readBytes(journal).isEmpty());
        else
            QCOMPARE(readBytes(journal), journalBefore);
        QVERIFY(!QFile::exists(path + RecordFile::kRewriteSuffix));

        FileLock::faults() = {};
        QVERIFY(save());
        Journal::Reading reading;
        const QStringList entries = entriesOf(path, ProtocolRecord::layout().size(), &reading);
        QVERIFY(reading.damagedLines.isEmpty() && reading.brokenLinks.isEmpty());
        QVERIFY(!reading.badHeader);
        const int size = ProtocolRecord::layout().size();
        QCOMPARE(entries.last(), QStringLiteral("chiusura|%1|%2||%3|=")
                                     .arg(append ? registerBefore.size() / size + 1 : 1)
                                     .arg(append ? "2/2026" : "1/2026")
                                     .arg(append ? "-" : "old"));
    }

    // A copy killed while it saves (a power cut, a crash) leaves the card with its journal
    // entries or the card as it was without them, whichever copy comes next.
    void aKilledSaveLeavesRecordAndJournalAgreeing_data() {
        QTest::addColumn<bool>("append");
        QTest::addColumn<int>("syncs");         // syncs before the writer dies
        QTest::addColumn<QString>("aftermath"); // what the cut left besides
        QTest::addColumn<bool>("reading");      // the next copy only reads
        QTest::addColumn<QChar>("expected");    // the card's version after
        for (bool reading : {false, true}) {
            const char* next = reading ? "next copy reads" : "next copy writes";
            QTest::addRow("new card, died flushing the journal, %s", next)
                << true << 0 << "" << reading << QChar(u'-');
            QTest::addRow("new card, journal cut short, %s", next)
                << true << 0 << "journal torn" << reading << QChar(u'-');
            QTest::addRow("new card, died flushing the record, %s", next)
                << true << 1 << "" << reading << QChar(u'B');
            QTest::addRow("new card, record half written, %s", next)
                << true << 1 << "record torn" << reading << QChar(u'-');
            QTest::addRow("rewrite, died flushing the journal, %s", next)
                << false << 0 << "" << reading << QChar(u'A');
            QTest::addRow("rewrite, journal cut short, %s", next)
                << false << 0 << "journal torn" << reading << QChar(u'A');
            QTest::addRow("rewrite, died flushing the side file, %s", next)
                << false << 1 << "" << reading << QChar(u'B');
            QTest::addRow("rewrite, died flushing the record, %s", next)
                << false << 2 << "" << reading << QChar(u'B');
        }
    }
    void aKilledSaveLeavesRecordAndJournalAgreeing() {
        QFETCH(bool, append);
        QFETCH(int, syncs);
        QFETCH(QString, aftermath);
        QFETCH(bool, reading);
        QFETCH(QChar, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const int size = ProtocolRecord::layout().size();
        // Two cards in version A, saved with the journal.
        for (int p = 1; p <= 2; ++p)
            QCOMPARE(protocolArchive(path).append(rewriteCard(p, u'A')), p);
        const int position = append ? 3 : 2;

        QProcess writer;
        QVERIFY(startWorker(writer, {QStringLiteral("rewrite-dying"), path,
                                     QString::number(position), QStringLiteral("B"),
                                     QString::number(syncs), QStringLiteral("journaled")}));
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), 86); // died where it was told to
        if (aftermath == QLatin1String("journal torn")) {
            const QString journal = Journal::pathFor(path);
            QVERIFY(QFile::resize(journal, QFile(journal).size() - 700));
        } else if (aftermath == QLatin1String("record torn")) {
            QVERIFY(QFile::resize(path, qint64(position - 1) * size + size / 2));
        }

        if (!reading)
            QVERIFY(protocolArchive(path).update(1, rewriteCard(1, u'B')));
        Journal::Reading read;
        const QStringList entries = entriesOf(path, size, &read);
        QCOMPARE(versionOf(path, position), expected);
        QVERIFY(read.damagedLines.isEmpty() && read.brokenLinks.isEmpty());
        const QString close = QStringLiteral("chiusura|%1|").arg(position);
        QStringList closes;
        for (const QString& e : entries) {
            if (e.startsWith(close))
                closes << e.section(u'|', 4);
        }
        // Its history: the first save, and the second exactly when the card is version B.
        QStringList history;
        if (!append)
            history << (expected == u'B' ? QStringLiteral("-|old") : QStringLiteral("-|="));
        if (expected == u'B')
            history << (append ? QStringLiteral("-|=") : QStringLiteral("old|="));
        QCOMPARE(closes, history);
        if (!reading) {
            // The writer cut what had no record, and went on after the last block it kept.
            QVERIFY(entries.last().startsWith(QLatin1String("chiusura|1|")));
            QVERIFY(entries.last().endsWith(QLatin1String("|old|=")));
            QVERIFY(readBytes(Journal::pathFor(path)).endsWith("\r\n"));
        }
    }

    // Side files kept from the journal: a follower that fails undoes the save whole, and a
    // block whose follower a killed copy never ran is handed over by the next writer.
    void aFollowerThatFailsUndoesTheBlock_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("new card") << "append";
        QTest::newRow("rewrite") << "update";
        QTest::newRow("annotation") << "annotate";
    }
    void aFollowerThatFailsUndoesTheBlock() {
        QFETCH(QString, action);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        QCOMPARE(protocolArchive(path).append(protocolCard("1/2026", "Lettera")), 1);
        const QByteArray registerBefore = readBytes(path);
        const QByteArray journalBefore = readBytes(Journal::pathFor(path));
        RecordArchive archive = protocolArchive(path);
        auto journaling = *archive.journaling();
        int calls = 0;
        journaling.follow = [&](const QList<Entry>&) { return ++calls > 1; };
        archive.setJournaling(journaling);
        const ProtocolRecord card = protocolCard("1/2026", "Lettera bis");
        if (action == QLatin1String("append")) {
            QVERIFY(!archive.append(card));
        } else if (action == QLatin1String("update")) {
            QVERIFY(!archive.update(1, card));
        } else {
            QVERIFY(!archive.annotate(1, {Entry{kAt,
                                                QStringLiteral("Protocollo 2026"),
                                                Kind::Annulment,
                                                1,
                                                QStringLiteral("1/2026"),
                                                QStringLiteral("Motivo"),
                                                {},
                                                QStringLiteral("Errore"),
                                                {},
                                                {}}}));
        }
        QCOMPARE(calls, 1);
        QCOMPARE(readBytes(path), registerBefore);
        QCOMPARE(readBytes(Journal::pathFor(path)), journalBefore);
    }

    void theNextWriterHandsOnWhatAKilledCopyLeft() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        // A save that reached the disk, whose copy died before its follower ran.
        QCOMPARE(protocolArchive(path).append(protocolCard("1/2026", "Lettera")), 1);
        RecordArchive archive = protocolArchive(path);
        auto journaling = *archive.journaling();
        QList<QStringList> blocks;
        journaling.follow = [&](const QList<Entry>& block) {
            QStringList fields;
            for (const Entry& e : block)
                fields << Journal::kindText(e.kind) + u':' + e.field;
            blocks << fields;
            return true;
        };
        journaling.extra = [](int position, const Record& after) {
            return QList<Entry>{{kAt,
                                 QStringLiteral("Protocollo 2026"),
                                 Kind::Fingerprint,
                                 position,
                                 after.text(ProtocolRecord::Numero),
                                 QStringLiteral("Copia"),
                                 {},
                                 Journal::digest("file"),
                                 {},
                                 {}}};
        };
        archive.setJournaling(journaling);
        QVERIFY(archive.update(1, protocolCard("1/2026", "Lettera bis")));
        QCOMPARE(blocks, (QList<QStringList>{{"nuova:Numero", "nuova:Oggetto", "chiusura:"},
                                             {"modifica:Oggetto", "impronta:Copia", "chiusura:"}}));
        // Each writer hands the last block over again, which the follower takes as done.
        blocks.clear();
        QCOMPARE(archive.append(protocolCard("2/2026", "Lettera")), 2);
        QCOMPARE(blocks.size(), 2); // the last block again, as the follower must take
        QCOMPARE(blocks.last().first(), QStringLiteral("nuova:Numero"));
    }

    // A journaling writer killed at random moments: afterwards each card's last closing entry
    // holds the card's bytes, and the chain is whole.
    void killedAtRandomMomentsRecordsAndJournalAgree() {
        const int kills = qEnvironmentVariableIsSet("FALDORA_KILLS")
                              ? qEnvironmentVariableIntValue("FALDORA_KILLS")
                              : 100;
        constexpr int kCards = 4;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const int size = ProtocolRecord::layout().size();
        for (int p = 1; p <= kCards; ++p)
            QCOMPARE(protocolArchive(path).append(rewriteCard(p, u'A')), p);
        auto* random = QRandomGenerator::global();
        for (int k = 0; k < kills; ++k) {
            QProcess writer;
            QVERIFY(startWorker(writer, {QStringLiteral("rewrite"), path, QString::number(kCards),
                                         QStringLiteral("journaled")}));
            QThread::msleep(random->bounded(5, 60));
            writer.kill();
            QVERIFY(writer.waitForFinished(30000));
            if (k % 2) // every other time the next copy writes, and so settles the journal
                QVERIFY(protocolArchive(path).update(1, rewriteCard(1, u'A')));
            Journal::Reading reading;
            const QStringList entries = entriesOf(path, size, &reading);
            QVERIFY2(reading.damagedLines.isEmpty() && reading.brokenLinks.isEmpty(),
                     qPrintable(QString::number(k)));
            for (int p = 1; p <= kCards; ++p) {
                const QString close = QStringLiteral("chiusura|%1|").arg(p);
                QString last;
                for (const QString& e : entries) {
                    if (e.startsWith(close))
                        last = e;
                }
                QVERIFY2(
                    last.endsWith(QLatin1String("|=")),
                    qPrintable(QStringLiteral("kill %1, card %2: %3").arg(k).arg(p).arg(last)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_Journal.moc"
