#include "core/Annulments.h"
#include "core/Numbering.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/WholeFile.h"
#include "core/platform/FileLock.h"
#include "support/Files.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSaveFile>
#include <QTemporaryDir>
#include <QTest>

using Journal::Entry;
using Journal::Kind;

namespace {

const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));
const QString kReason = QStringLiteral("Registrata due volte");
const QString kPerson = QStringLiteral("Dott.ssa Rossi");

// A register as the protocol window writes it: journaled, with the annulments kept.
RecordArchive protocolArchive(const QString& path) {
    RecordArchive archive(path, ProtocolRecord::layout());
    archive.setJournaling(Annulments::journaling(path, kAt));
    return archive;
}

ProtocolRecord protocolCard(int n) {
    ProtocolRecord card;
    card.setText(ProtocolRecord::Numero, QStringLiteral("%1/2026").arg(n));
    card.setText(ProtocolRecord::Oggetto, QStringLiteral("Lettera %1").arg(n));
    return card;
}

// A register of `count` cards numbered 1/2026...
void makeRegister(const QString& path, int count) {
    for (int n = 1; n <= count; ++n)
        QCOMPARE(protocolArchive(path).append(protocolCard(n)), n);
}

bool annul(const QString& path, int position, const QString& reason = kReason,
           const QString& person = kPerson) {
    const RecordArchive archive = protocolArchive(path);
    return archive.annotate(
        position, Annulments::entries(archive.journaling()->identity, kAt, position,
                                      QStringLiteral("%1/2026").arg(position), reason, person));
}

// The journal's entries as "kind|position|card|field|before|after".
QStringList journalOf(const QString& path) {
    QStringList out;
    Journal::read(path, ProtocolRecord::layout().size(), [&](const Entry& e) {
        out << QStringList{Journal::kindText(e.kind),
                           QString::number(e.position),
                           e.card,
                           e.field,
                           e.kind == Kind::Close ? QString() : e.before,
                           e.kind == Kind::Close ? QString() : e.after}
                   .join(u'|');
    });
    return out;
}

} // namespace

// The annulments side file: what an annulment writes, that an annulled card takes no more
// blocks, and that the side file and the journal agree whatever befalls the save.
class TestAnnulments : public QObject {
    Q_OBJECT
private slots:
    void init() { FileLock::faults() = {}; }
    void cleanup() {
        FileLock::faults() = {};
        WholeFile::setCommitForTests(nullptr);
    }

    void aLineReadsBackAsWritten_data() {
        QTest::addColumn<QString>("reason");
        QTest::newRow("plain") << kReason;
        QTest::newRow("accents and euro") << QStringLiteral("Società «Àlfa»: importo € 12,50");
        QTest::newRow("separators and escapes") << QStringLiteral("a\tb\r\nc\\d\\t \\");
    }
    void aLineReadsBackAsWritten() {
        QFETCH(QString, reason);
        const Annulments::Annulment annulment{12, QStringLiteral("12/2026\t"), kAt, reason,
                                              reason + u'!'};
        const QByteArray bytes = Annulments::line(annulment);
        QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
        const auto back = Annulments::parseLine(bytes);
        QVERIFY(back);
        QCOMPARE(back->position, 12);
        QCOMPARE(back->number, annulment.number);
        QCOMPARE(back->at, kAt);
        QCOMPARE(back->reason, reason);
        QCOMPARE(back->authorisedBy, reason + u'!');
    }

    void anAnnulmentIsJournaledAndKept() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        makeRegister(path, 3);
        const QByteArray registerBefore = readBytes(path);
        QVERIFY(annul(path, 2));
        QCOMPARE(readBytes(path), registerBefore); // the record's bytes stay
        QCOMPARE(journalOf(path).mid(9),
                 (QStringList{"annullamento|2|2/2026|Motivo||Registrata due volte",
                              "annullamento|2|2/2026|Autorizzazione||Dott.ssa Rossi",
                              "chiusura|2|2/2026|||"}));
        const QByteArray expected = "Faldora annullamenti 1\r\n"
                                    "2\t2/2026\t2026-03-05 10:30:15\tRegistrata due volte\t"
                                    "Dott.ssa Rossi\r\n";
        QCOMPARE(readBytes(Annulments::pathFor(path)), expected);

        const Annulments::Reading reading = Annulments::read(path);
        QVERIFY(reading.exists && !reading.damaged());
        QCOMPARE(reading.byPosition.size(), 1);
        QVERIFY(reading.find(2));
        QCOMPARE(Annulments::markText(*reading.find(2)),
                 QStringLiteral("ANNULLATA il 05/03/2026 alle 10:30 - Motivo: Registrata due "
                                "volte - Autorizzato da: Dott.ssa Rossi"));

        // Later saves hand the annulment block over again: the side file stays as it is.
        QVERIFY(protocolArchive(path).update(3, protocolCard(3)));
        QCOMPARE(protocolArchive(path).append(protocolCard(4)), 4);
        QVERIFY(annul(path, 1));
        QCOMPARE(readBytes(Annulments::pathFor(path)),
                 expected + "1\t1/2026\t2026-03-05 10:30:15\tRegistrata due volte\t"
                            "Dott.ssa Rossi\r\n");
    }

    // Once annulled, a card takes neither a rewrite (also from a copy that loaded it before)
    // nor a second annulment; the other cards do, and numbering goes on from the count.
    void anAnnulledCardIsRefused_data() {
        QTest::addColumn<QString>("action");
        QTest::newRow("rewrite") << "rewrite";
        QTest::newRow("rewrite of the card as loaded before") << "loaded";
        QTest::newRow("annulled again") << "annul";
    }
    void anAnnulledCardIsRefused() {
        QFETCH(QString, action);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        makeRegister(path, 3);
        const QByteArray loaded =
            readBytes(path).mid(ProtocolRecord::layout().size(), ProtocolRecord::layout().size());
        QVERIFY(annul(path, 2));
        const QByteArray registerBefore = readBytes(path);
        const QByteArray journalBefore = readBytes(Journal::pathFor(path));
        const QByteArray sideBefore = readBytes(Annulments::pathFor(path));
        ProtocolRecord changed = protocolCard(2);
        changed.setText(ProtocolRecord::Note, QStringLiteral("cambiata"));
        const RecordArchive archive = protocolArchive(path);
        if (action == QLatin1String("rewrite")) {
            QCOMPARE(archive.rewrite(2, changed), RecordArchive::Rewrite::Refused);
            QVERIFY(!archive.update(2, changed));
        } else if (action == QLatin1String("loaded")) {
            std::optional<Record> stored;
            QCOMPARE(archive.update(2, changed, loaded, stored), RecordArchive::Rewrite::Refused);
        } else {
            QVERIFY(!annul(path, 2, QStringLiteral("Altro motivo")));
        }
        QCOMPARE(readBytes(path), registerBefore);
        QCOMPARE(readBytes(Journal::pathFor(path)), journalBefore);
        QCOMPARE(readBytes(Annulments::pathFor(path)), sideBefore);

        QVERIFY(archive.update(3, changed));
        QCOMPARE(archive.count(), 3);
        QCOMPARE(
            Numbering::propose(QStringLiteral("1"), QString(), *archive.count(), QDate(2026, 3, 5)),
            QStringLiteral("4"));
    }

    // A side file the disk refuses undoes the annulment whole: journal and side file stay.
    void aFailingSideFileUndoesTheAnnulment_data() {
        QTest::addColumn<QString>("fault");
        QTest::newRow("first annulment, sync refused") << "sync";
        QTest::newRow("first annulment, rename refused") << "rename";
        QTest::newRow("second annulment, sync refused") << "second sync";
        QTest::newRow("second annulment, rename refused") << "second rename";
    }
    void aFailingSideFileUndoesTheAnnulment() {
        QFETCH(QString, fault);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        makeRegister(path, 3);
        if (fault.startsWith(QLatin1String("second")))
            QVERIFY(annul(path, 1));
        const QByteArray journalBefore = readBytes(Journal::pathFor(path));
        const QByteArray sideBefore = readBytes(Annulments::pathFor(path));
        if (fault.endsWith(QLatin1String("sync")))
            FileLock::faults().syncsBeforeFailure = 1; // the journal's goes, the side file's not
        else
            WholeFile::setCommitForTests([](QSaveFile&) { return false; });
        QVERIFY(!annul(path, 2));
        cleanup();
        QCOMPARE(readBytes(Journal::pathFor(path)), journalBefore);
        QCOMPARE(readBytes(Annulments::pathFor(path)), sideBefore);
        QVERIFY(!Annulments::read(path).find(2));
        // Nothing is left half done: the card can be annulled now.
        QVERIFY(annul(path, 2));
        QVERIFY(Annulments::read(path).find(2));
    }

    // A copy killed in the middle of an annulment: the journal has the block or not, and the
    // next writer brings the side file in line with it before anything else.
    void aKilledAnnulmentIsCaughtUp_data() {
        QTest::addColumn<int>("syncs");
        QTest::addColumn<int>("exitCode"); // 86: died as told; 0: lived to the end
        QTest::newRow("at the journal's sync") << 0 << 86;
        QTest::newRow("at the side file's sync") << 1 << 86;
        QTest::newRow("not at all") << 2 << 0;
    }
    void aKilledAnnulmentIsCaughtUp() {
        QFETCH(int, syncs);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        makeRegister(path, 3);
        QProcess writer;
        QVERIFY(startWorker(writer, {QStringLiteral("annul-dying"), path, QStringLiteral("2"),
                                     QString::number(syncs)}));
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), exitCode);
        // The next writer: a save of another card, then a rewrite of the annulled one.
        QVERIFY(protocolArchive(path).update(1, protocolCard(1)));
        const bool journaled =
            journalOf(path).contains(QStringLiteral("annullamento|2|2/2026|Motivo||Registrata "
                                                    "due volte"));
        QVERIFY(journaled); // written before the death, so on the disk
        const Annulments::Reading reading = Annulments::read(path);
        QVERIFY(!reading.damaged());
        QVERIFY(reading.find(2));
        QCOMPARE(reading.find(2)->authorisedBy, QStringLiteral("Il responsabile"));
        QCOMPARE(protocolArchive(path).rewrite(2, protocolCard(2)),
                 RecordArchive::Rewrite::Refused);
    }

    // A damaged side file is reported, its sound lines still count, and the register
    // still opens and saves.
    void aDamagedSideFileIsReported_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("badHeader");
        QTest::addColumn<QList<int>>("damagedLines");
        QTest::addColumn<QList<int>>("annulled");
        const QByteArray header = Annulments::kHeader + "\r\n";
        const QByteArray two = "2\t2/2026\t2026-03-05 10:30:15\tErrore\tRossi\r\n";
        QTest::newRow("sound") << header + two << false << QList<int>{} << QList<int>{2};
        QTest::newRow("foreign header")
            << "Altro file\r\n" + two << true << QList<int>{} << QList<int>{2};
        QTest::newRow("a line with a column too few")
            << header + "3\t3/2026\t2026-03-05 10:30:15\tErrore\r\n" + two << false << QList<int>{2}
            << QList<int>{2};
        QTest::newRow("a bad date and a stray backslash")
            << header + "3\t3/2026\t2026-13-05 10:30:15\tErrore\tRossi\r\n" +
                   "1\t1/2026\t2026-03-05 10:30:15\tErr\\ore\tRossi\r\n" + two
            << false << QList<int>{2, 3} << QList<int>{2};
        QTest::newRow("a time that is none, a date in another shape")
            << header + "3\t3/2026\t2026-03-05 24:30:15\tErrore\tRossi\r\n" +
                   "1\t1/2026\t2026-03-05T10:30:15\tErrore\tRossi\r\n" + two
            << false << QList<int>{2, 3} << QList<int>{2};
        QTest::newRow("a last line cut short")
            << header + two + "1\t1/2026\t2026-03" << false << QList<int>{3} << QList<int>{2};
        QTest::newRow("binary") << QByteArray("\x00\xff\x01\n\xfe", 5) << true << QList<int>{2}
                                << QList<int>{};
    }
    void aDamagedSideFileIsReported() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, badHeader);
        QFETCH(QList<int>, damagedLines);
        QFETCH(QList<int>, annulled);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        makeRegister(path, 3);
        writeBytes(Annulments::pathFor(path), bytes);
        const Annulments::Reading reading = Annulments::read(path);
        QVERIFY(reading.exists && reading.readable);
        QCOMPARE(reading.badHeader, badHeader);
        QCOMPARE(reading.damagedLines, damagedLines);
        QCOMPARE(reading.damaged(), badHeader || !damagedLines.isEmpty());
        QList<int> positions = reading.byPosition.keys();
        std::sort(positions.begin(), positions.end());
        QCOMPARE(positions, annulled);
        QCOMPARE(protocolArchive(path).count(), 3);
        QVERIFY(protocolArchive(path).update(3, protocolCard(3)));
    }

    void noSideFileIsNoAnnulment() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const Annulments::Reading reading = Annulments::read(path);
        QVERIFY(!reading.exists && !reading.damaged());
        QVERIFY(reading.byPosition.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAnnulments)
#include "tst_Annulments.moc"
