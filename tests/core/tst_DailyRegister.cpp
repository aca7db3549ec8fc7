#include "core/Annulments.h"
#include "core/DailyRegister.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using Journal::Kind;

namespace {

const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30, 15));
constexpr int kSize = 3403;

struct Card {
    const char* number;
    const char* date;
    const char* type = "In entrata";
};

// File order differs from number order; 4/2026 has no date, 7/2026 an impossible one, 5, 8
// and 9 were never given, and the card at position 8 is damaged (a length byte over its room).
const Card kCards[] = {
    {"3/2026", "05/03/2026"},  {"1/2026", "05/03/2026", "In uscita"},
    {"2/2026", "04/03/2026"},  {"4/2026", ""},
    {"6/2026", "05/03/2026"},  {"7/2026", "31/02/2026"},
    {"10/2026", "31/12/2026"}, {"11/2026", "05/03/2026"},
};
constexpr int kDamaged = 8;
constexpr int kAnnulled = 5; // 6/2026

RecordArchive protocolArchive(const QString& path) {
    RecordArchive archive(path, ProtocolRecord::layout());
    archive.setJournaling(Annulments::journaling(path, kAt));
    return archive;
}

struct Fixture {
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("2026.prt"));

    Fixture() {
        for (const Card& c : kCards) {
            ProtocolRecord r;
            r.setText(ProtocolRecord::Numero, QString::fromLatin1(c.number));
            r.setText(ProtocolRecord::DataReg, QString::fromLatin1(c.date));
            r.setText(ProtocolRecord::Tipologia, QString::fromLatin1(c.type));
            r.setText(ProtocolRecord::Mittente, QStringLiteral("Mittente ") + c.number);
            r.setText(ProtocolRecord::Destinatario, QStringLiteral("Destinatario ") + c.number);
            r.setText(ProtocolRecord::Oggetto, QStringLiteral("Oggetto ") + c.number);
            protocolArchive(path).append(r);
        }
        const RecordArchive archive = protocolArchive(path);
        archive.annotate(kAnnulled, Annulments::entries(archive.journaling()->identity, kAt,
                                                        kAnnulled, QStringLiteral("6/2026"),
                                                        QStringLiteral("Registrata due volte"),
                                                        QStringLiteral("Dott.ssa Rossi")));
        // The damage goes straight into the file, as a fault outside the program would.
        patch(path, qint64(kDamaged - 1) * kSize + 911, '\xff'); // Note's length byte
    }

    static void patch(const QString& file, qint64 at, char byte) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.seek(at));
        QCOMPARE(f.write(&byte, 1), 1);
    }
};

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The digest as anyone would recompute it from the two files, without the program: the
// records' bytes at `positions` in that order, then every journal line (after the first) of
// those positions, in file order, each ended by CR LF.
QByteArray recomputed(const QString& path, const QList<int>& positions) {
    const QByteArray records = readAll(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    QSet<int> wanted;
    for (int p : positions) {
        hash.addData(QByteArrayView(records).sliced(qsizetype(p - 1) * kSize, kSize));
        wanted.insert(p);
    }
    const QList<QByteArray> lines = readAll(path + QStringLiteral(".cronologia")).split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (line.endsWith('\r'))
            line.chop(1);
        const QList<QByteArray> columns = line.split('\t');
        if (columns.size() == 10 && wanted.contains(columns[3].toInt())) {
            hash.addData(line);
            hash.addData("\r\n");
        }
    }
    return hash.result().toHex();
}

// A day as "dd/MM/yyyy: numbers in printed order".
QStringList daysOf(const DailyRegister::Register& run) {
    QStringList out;
    for (const DailyRegister::Day& d : run.days) {
        QStringList numbers;
        for (const DailyRegister::Card& c : d.cards)
            numbers << c.number;
        out << d.date.toString(QStringLiteral("dd/MM/yyyy")) + QStringLiteral(": ") +
                   numbers.join(u' ');
    }
    return out;
}

QList<int> positionsOf(const DailyRegister::Register& run) {
    QList<int> out;
    for (const DailyRegister::Day& d : run.days)
        for (const DailyRegister::Card& c : d.cards)
            out << c.position;
    return out;
}

} // namespace

class TestDailyRegister : public QObject {
    Q_OBJECT
private slots:
    void listsEachDayInNumberOrder_data() {
        QTest::addColumn<QDate>("first");
        QTest::addColumn<QDate>("last");
        QTest::addColumn<QStringList>("days");
        QTest::addColumn<QList<int>>("positions");
        QTest::newRow("one day, file order 3 1 6 11")
            << QDate(2026, 3, 5) << QDate(2026, 3, 5)
            << QStringList{"05/03/2026: 1/2026 3/2026 6/2026 11/2026"} << QList<int>{2, 1, 5, 8};
        QTest::newRow("two days, the earlier first")
            << QDate(2026, 3, 4) << QDate(2026, 3, 5)
            << QStringList{"04/03/2026: 2/2026", "05/03/2026: 1/2026 3/2026 6/2026 11/2026"}
            << QList<int>{3, 2, 1, 5, 8};
        QTest::newRow("whole year, ends included")
            << QDate(2026, 1, 1) << QDate(2026, 12, 31)
            << QStringList{"04/03/2026: 2/2026", "05/03/2026: 1/2026 3/2026 6/2026 11/2026",
                           "31/12/2026: 10/2026"}
            << QList<int>{3, 2, 1, 5, 8, 7};
        QTest::newRow("empty range")
            << QDate(2026, 6, 1) << QDate(2026, 6, 30) << QStringList{} << QList<int>{};
    }
    void listsEachDayInNumberOrder() {
        QFETCH(QDate, first);
        QFETCH(QDate, last);
        QFETCH(QStringList, days);
        QFETCH(QList<int>, positions);
        Fixture f;
        const auto run = DailyRegister::daily(f.path, first, last);
        QVERIFY(run);
        QCOMPARE(daysOf(*run), days);
        QCOMPARE(positionsOf(*run), positions);
        QCOMPARE(run->count(), positions.size());
        // The two cards without a valid date are counted, whatever the range.
        QCOMPARE(run->notes.undated, 2);
        QCOMPARE(run->notes.damaged,
                 positions.contains(kDamaged) ? QList<int>{kDamaged} : QList<int>{});
        QVERIFY(!run->notes.annulmentsDamaged);
        QCOMPARE(run->notes.journalBadLines, 0);
        QCOMPARE(run->digest, recomputed(f.path, positions));
    }

    void aDayTellsItsNumbersAndItsAnnulledCards() {
        Fixture f;
        const auto run = DailyRegister::daily(f.path, QDate(2026, 3, 5), QDate(2026, 3, 5));
        QVERIFY(run);
        QCOMPARE(run->days.size(), 1);
        const DailyRegister::Day& day = run->days[0];
        QCOMPARE(day.firstNumber(), QStringLiteral("1/2026"));
        QCOMPARE(day.lastNumber(), QStringLiteral("11/2026"));
        QCOMPARE(day.cards.size(), 4);
        const DailyRegister::Card& outgoing = day.cards[0];
        QCOMPARE(outgoing.registered, QStringLiteral("05/03/2026"));
        QCOMPARE(outgoing.type, QStringLiteral("In uscita"));
        QCOMPARE(outgoing.correspondent, QStringLiteral("Destinatario 1/2026"));
        QCOMPARE(outgoing.subject, QStringLiteral("Oggetto 1/2026"));
        QCOMPARE(day.cards[1].correspondent, QStringLiteral("Mittente 3/2026"));
        QVERIFY(!day.cards[1].annulment);
        const DailyRegister::Card& annulled = day.cards[2];
        QCOMPARE(annulled.number, QStringLiteral("6/2026"));
        QVERIFY(annulled.annulment);
        QCOMPARE(annulled.annulment->reason, QStringLiteral("Registrata due volte"));
        QCOMPARE(annulled.annulment->authorisedBy, QStringLiteral("Dott.ssa Rossi"));
    }

    // What the digest vouches for: the listed cards' bytes (also those after a field's text)
    // and their journal lines; not the other cards.
    void digestChangesWithWhatItCovers_data() {
        QTest::addColumn<QString>("suffix"); // the file changed: the register or its journal
        QTest::addColumn<qint64>("at");
        QTest::addColumn<bool>("changes");
        QTest::newRow("a listed card's subject") << "" << qint64(kSize * 1 + 323 + 3) << true;
        QTest::newRow("a byte after a listed card's text")
            << "" << qint64(kSize * 1 + 323 + 200) << true;
        QTest::newRow("a card not listed") << "" << qint64(kSize * 2 + 323 + 3) << false;
        QTest::newRow("a journal line") << ".cronologia" << qint64(-40) << true;
    }
    void digestChangesWithWhatItCovers() {
        QFETCH(QString, suffix);
        QFETCH(qint64, at);
        QFETCH(bool, changes);
        Fixture f;
        const QDate day(2026, 3, 5);
        const auto before = DailyRegister::daily(f.path, day, day);
        QVERIFY(before);
        const QString file = f.path + suffix;
        const QByteArray bytes = readAll(file);
        // A journal place counts back from the end of the file.
        const qint64 where = at >= 0 ? at : bytes.size() + at;
        if (suffix.isEmpty()) {
            QVERIFY(bytes[where] != 'Z');
            Fixture::patch(file, where, 'Z');
        } else {
            // The last lines belong to the annulled card, which the day lists; change a hex
            // digit of its own SHA-256 so that the line no longer reads.
            Fixture::patch(file, where, bytes[where] == 'a' ? 'b' : 'a');
        }
        const auto after = DailyRegister::daily(f.path, day, day);
        QVERIFY(after);
        QCOMPARE(after->digest != before->digest, changes);
    }

    void yearClosing() {
        Fixture f;
        // One card whose number the numbering never writes.
        ProtocolRecord odd;
        odd.setText(ProtocolRecord::Numero, QStringLiteral("bozza"));
        odd.setText(ProtocolRecord::DataReg, QStringLiteral("06/03/2026"));
        protocolArchive(f.path).append(odd);
        const auto closing = DailyRegister::closing(f.path);
        QVERIFY(closing);
        QCOMPARE(closing->total, 9);
        QCOMPARE(closing->firstNumber, QStringLiteral("1/2026"));
        QCOMPARE(closing->lastNumber, QStringLiteral("11/2026"));
        QList<std::pair<qint64, qint64>> gaps;
        for (const auto& g : closing->gaps)
            gaps.append({g.from, g.to});
        QCOMPARE(gaps, (QList<std::pair<qint64, qint64>>{{5, 5}, {8, 9}}));
        QVERIFY(closing->twice.isEmpty());
        QCOMPARE(closing->unnumbered, QList<int>{9});
        QCOMPARE(closing->annulled.size(), 1);
        QCOMPARE(closing->annulled[0].number, QStringLiteral("6/2026"));
        QCOMPARE(closing->annulled[0].annulment->reason, QStringLiteral("Registrata due volte"));
        // Every card, undated ones included, in number order; the unnumbered one last.
        QCOMPARE(closing->digest, recomputed(f.path, {2, 3, 1, 4, 5, 6, 7, 8, 9}));
    }

    void numberGivenTwiceIsNamed() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        for (const char* n : {"1/2026", "2/2026", "2/2026", "4"}) {
            ProtocolRecord r;
            r.setText(ProtocolRecord::Numero, QString::fromLatin1(n));
            protocolArchive(path).append(r);
        }
        const auto closing = DailyRegister::closing(path);
        QVERIFY(closing);
        QCOMPARE(closing->twice, QList<qint64>{2});
        QCOMPARE(closing->gaps.size(), 1);
        QCOMPARE(closing->lastNumber, QStringLiteral("4"));
    }

    void damagedSideFilesAreNoted() {
        Fixture f;
        QFile annulments(Annulments::pathFor(f.path));
        QVERIFY(annulments.open(QIODevice::Append));
        annulments.write("not a line of annulments\r\n");
        annulments.close();
        // A journal line altered by hand.
        QByteArray journal = readAll(Journal::pathFor(f.path));
        const qsizetype second = journal.indexOf('\n') + 1;
        journal[second + 25] = journal[second + 25] == 'X' ? 'Y' : 'X';
        QFile out(Journal::pathFor(f.path));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(journal);
        out.close();
        const auto run = DailyRegister::daily(f.path, QDate(2026, 3, 5), QDate(2026, 3, 5));
        QVERIFY(run);
        QVERIFY(run->notes.annulmentsDamaged);
        QVERIFY(run->notes.journalBadLines > 0);
        // The sound line still says the annulment.
        QVERIFY(run->days[0].cards[2].annulment);
    }

    void unreadableRegisterGivesNothing() {
        QTemporaryDir dir;
        // A folder where the register should be: it cannot be opened as a file.
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        QVERIFY(QDir().mkpath(path));
        QVERIFY(!DailyRegister::daily(path, QDate(2026, 1, 1), QDate(2026, 12, 31)));
        QVERIFY(!DailyRegister::closing(path));
    }

    void yearOfTheFileName_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("year");
        QTest::newRow("register") << "2026.prt" << 2026;
        QTest::newRow("not a year") << "+202.prt" << 0;
        QTest::newRow("document index") << "Schedario_Documenti.pro" << 0;
    }
    void yearOfTheFileName() {
        QFETCH(QString, name);
        QFETCH(int, year);
        QCOMPARE(DailyRegister::yearOf(QStringLiteral("/x/") + name).value_or(0), year);
    }
};

QTEST_GUILESS_MAIN(TestDailyRegister)
#include "tst_DailyRegister.moc"
