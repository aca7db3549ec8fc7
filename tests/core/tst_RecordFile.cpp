#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/RecordFile.h"
#include "core/platform/FileLock.h"
#include "support/ReadOnly.h"

#include <climits>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

constexpr int kSize = 3403;

ProtocolRecord card(const QString& number) {
    ProtocolRecord r;
    r.setText(ProtocolRecord::Numero, number);
    r.setText(ProtocolRecord::Oggetto, QStringLiteral("Oggetto ") + number);
    return r;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestRecordFile : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QString path(const char* name) const { return m_dir.filePath(QLatin1String(name)); }

private slots:
    void openCreatesAMissingFileEmpty() {
        const RecordArchive archive(path("2021.prt"), ProtocolRecord::layout());
        QVERIFY(!QFile::exists(archive.path()));
        QCOMPARE(archive.count(), std::optional<int>(0));
        QVERIFY(QFile::exists(archive.path()));
        QCOMPARE(QFile(archive.path()).size(), 0);
    }

    void appendsGrowByOneRecordEach() {
        const RecordArchive archive(path("append.prt"), ProtocolRecord::layout());
        for (int n = 1; n <= 3; ++n) {
            QCOMPARE(archive.append(card(QString::number(n))), std::optional<int>(n));
            QCOMPARE(QFile(archive.path()).size(), n * kSize);
        }
        QCOMPARE(archive.read(2)->text(ProtocolRecord::Numero), QStringLiteral("2"));
        QCOMPARE(archive.read(3)->text(ProtocolRecord::Oggetto), QStringLiteral("Oggetto 3"));
    }

    void incompleteTailIsNotACardAndTheNextAppendOverwritesIt() {
        const QString p = path("tail.prt");
        QByteArray bytes;
        for (int n = 1; n <= 3; ++n)
            bytes += card(QString::number(n)).bytes();
        bytes += QByteArray(100, '\x7F');
        writeBytes(p, bytes);

        const RecordArchive archive(p, ProtocolRecord::layout());
        QCOMPARE(archive.count(), std::optional<int>(3));
        QVERIFY(!archive.read(4));
        QCOMPARE(archive.append(card(QStringLiteral("4"))), std::optional<int>(4));
        const QByteArray after = fileBytes(p);
        QCOMPARE(after.size(), 13612);
        QCOMPARE(after.mid(10209), card(QStringLiteral("4")).bytes());
        QCOMPARE(after.left(10209), bytes.left(10209));
    }

    void updateRewritesOnlyItsOwnRecord() {
        const QString p = path("update.prt");
        const RecordArchive archive(p, ProtocolRecord::layout());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(archive.append(card(QString::number(n))));
        const QByteArray before = fileBytes(p);
        QVERIFY(archive.update(2, card(QStringLiteral("due"))));
        const QByteArray after = fileBytes(p);
        QCOMPARE(after.size(), before.size());
        QCOMPARE(after.left(kSize), before.left(kSize));
        QCOMPARE(after.mid(kSize, kSize), card(QStringLiteral("due")).bytes());
        QCOMPARE(after.mid(2 * kSize), before.mid(2 * kSize));
    }

    void positionsOutsideTheFileFail() {
        const RecordArchive archive(path("bounds.prt"), ProtocolRecord::layout());
        QVERIFY(archive.append(card(QStringLiteral("1"))));
        QVERIFY(!archive.read(0));
        QVERIFY(!archive.read(2));
        QVERIFY(!archive.update(0, card(QStringLiteral("x"))));
        // Rewriting position count + 1 would be an append in disguise.
        QVERIFY(!archive.update(3, card(QStringLiteral("x"))));
        QCOMPARE(QFile(archive.path()).size(), kSize);

        RecordFile file(kSize);
        QVERIFY(file.open(archive.path(), RecordFile::Access::Read));
        QVERIFY(file.seek(1)); // at the end, ready to append
        QVERIFY(!file.seek(2));
        QByteArray bytes;
        QVERIFY(!file.read(bytes));
    }

    void positionFollowsReadsAndWrites() {
        const QString p = path("position.prt");
        RecordFile file(kSize);
        QVERIFY(file.open(p, RecordFile::Access::Write));
        QCOMPARE(file.position(), 0);
        QVERIFY(file.write(card(QStringLiteral("1")).bytes()));
        QVERIFY(file.write(card(QStringLiteral("2")).bytes()));
        QCOMPARE(file.position(), 2);
        QVERIFY(file.seek(0));
        QByteArray bytes;
        QVERIFY(file.read(bytes));
        QCOMPARE(file.position(), 1);
        QVERIFY(!file.write(QByteArray(10, 'x'))); // not a whole record
        file.close();
        QVERIFY(!file.isOpen());
        QCOMPARE(QFile(p).size(), 2 * kSize);
    }

    void aFileThatCannotBeCreatedFails() {
        // A program folder that does not exist (or is a file) cannot hold the register.
        const QString inMissingFolder = path("missing/2021.prt");
        const RecordArchive archive(inMissingFolder, ProtocolRecord::layout());
        QVERIFY(!archive.count());
        QVERIFY(!archive.append(card(QStringLiteral("1"))));
        QVERIFY(!archive.browse(BrowseCommand::First, std::nullopt));
        QVERIFY(!QFile::exists(inMissingFolder));

        writeBytes(path("plainfile"), "x");
        QVERIFY(!RecordArchive(path("plainfile/2021.prt"), ProtocolRecord::layout()).count());
    }

    void scanVisitsEveryCardInOrder() {
        const QString p = path("scan.prt");
        QByteArray bytes;
        const int n = 600; // more than one read block
        for (int i = 1; i <= n; ++i)
            bytes += card(QString::number(i)).bytes();
        bytes += QByteArray(7, 'z');
        writeBytes(p, bytes);
        QList<int> positions;
        bool allMatch = true;
        const bool ok =
            RecordArchive(p, ProtocolRecord::layout()).scan([&](int pos, const Record& r) {
                positions.append(pos);
                allMatch = allMatch && r.text(ProtocolRecord::Numero) == QString::number(pos);
            });
        QVERIFY(ok);
        QCOMPARE(positions.size(), n);
        QCOMPARE(positions.first(), 1);
        QCOMPARE(positions.last(), n);
        QVERIFY(allMatch);
    }

    // A past year marked read-only, or a copy on a read-only share: it is read, browsed and
    // searched as any other; saving in it fails and changes nothing. A rewrite a killed copy
    // left behind waits for the first copy that can write the register.
    void aRegisterThatRefusesWritesIsStillRead_data() {
        QTest::addColumn<bool>("leftRewrite");
        QTest::newRow("whole register") << false;
        QTest::newRow("a rewrite left behind") << true;
    }
    void aRegisterThatRefusesWritesIsStillRead() {
        QFETCH(bool, leftRewrite);
        const QString p = path(leftRewrite ? "ro-left.prt" : "ro.prt");
        const QString side = p + RecordFile::kRewriteSuffix;
        const RecordArchive archive(p, ProtocolRecord::layout());
        for (int n = 1; n <= 3; ++n)
            QVERIFY(archive.append(card(QString::number(n))));
        if (leftRewrite)
            writeBytes(side, "Faldora riscrittura 1\n"); // cut short: the card stays as it is
        const QByteArray before = fileBytes(p);
        {
            ReadOnly readOnly(p);
            if (!readOnly.ok())
                QSKIP("this machine cannot make the register read-only");
            QCOMPARE(archive.count(), std::optional<int>(3));
            QCOMPARE(archive.read(2)->text(ProtocolRecord::Oggetto), QStringLiteral("Oggetto 2"));
            const auto last = archive.browse(BrowseCommand::Last, std::nullopt);
            QVERIFY(last && last->record);
            QCOMPARE(last->record->text(ProtocolRecord::Numero), QStringLiteral("3"));
            int seen = 0;
            QVERIFY(archive.scan([&](int, const Record&) { ++seen; }));
            QCOMPARE(seen, 3);

            QVERIFY(!archive.append(card(QStringLiteral("4"))));
            QVERIFY(!archive.update(1, card(QStringLiteral("x"))));
            QCOMPARE(fileBytes(p), before);
            QCOMPARE(QFile::exists(side), leftRewrite);
        }
        // Writable again: the next save settles what was left and goes through.
        QVERIFY(archive.update(1, card(QStringLiteral("x"))));
        QVERIFY(!QFile::exists(side));
        QCOMPARE(archive.read(1)->text(ProtocolRecord::Numero), QStringLiteral("x"));
        QCOMPARE(archive.read(2)->text(ProtocolRecord::Numero), QStringLiteral("2"));
    }

    // A write is done only when its bytes are on the disk: a flush the system refuses fails
    // the action and leaves the file byte for byte as it was, side file included.
    void aRefusedFlushFailsTheWriteAndChangesNothing_data() {
        QTest::addColumn<bool>("rewrite");
        QTest::addColumn<int>("syncs"); // flushes that succeed before the refused one
        QTest::newRow("append") << false << 0;
        QTest::newRow("rewrite, its side file's flush") << true << 0;
        QTest::newRow("rewrite, the record's flush") << true << 1;
    }
    void aRefusedFlushFailsTheWriteAndChangesNothing() {
        QFETCH(bool, rewrite);
        QFETCH(int, syncs);
        const QString p = path(rewrite ? "flush-rewrite.prt" : "flush-append.prt");
        const RecordArchive archive(p, ProtocolRecord::layout());
        for (int n = 1; n <= 2; ++n)
            QVERIFY(archive.append(card(QString::number(n))));
        const QByteArray before = fileBytes(p);

        FileLock::faults().syncsBeforeFailure = syncs;
        const bool written = rewrite ? archive.update(2, card(QStringLiteral("due")))
                                     : archive.append(card(QStringLiteral("3"))).has_value();
        const int unused = FileLock::faults().syncsBeforeFailure;
        FileLock::faults().syncsBeforeFailure = -1;
        QVERIFY(!written);
        QCOMPARE(unused, -1); // the refusal came where the row says
        QCOMPARE(fileBytes(p), before);
        QVERIFY(!QFile::exists(p + RecordFile::kRewriteSuffix));
        QCOMPARE(archive.read(2)->text(ProtocolRecord::Numero), QStringLiteral("2"));
    }

    // A file system that keeps no locks is used at once without them, not after the whole
    // wait for a lock that can never come.
    void withoutLocksTheFileIsUsedAtOnce() {
        const RecordArchive archive(path("nolocks.prt"), ProtocolRecord::layout());
        FileLock::faults().noLocks = true;
        FileLock::faults().lockAttempts = 0;
        const auto appended = archive.append(card(QStringLiteral("1")));
        const auto read = archive.read(1);
        const int attempts = FileLock::faults().lockAttempts;
        FileLock::faults().noLocks = false;
        QCOMPARE(appended, std::optional<int>(1));
        QVERIFY(read);
        QCOMPARE(attempts, 2); // one attempt per action
    }

    // A register with more cards than a position can number (a damaged or foreign file) is
    // refused, never counted short: a count that wrapped round would put the next card in
    // the middle of the file.
    void aFileTooLargeToNumberIsRefused_data() {
        QTest::addColumn<qint64>("records");
        QTest::addColumn<bool>("refused");
        QTest::newRow("the last countable") << qint64(INT_MAX) - 1 << false;
        QTest::newRow("one more") << qint64(INT_MAX) << true;
        QTest::newRow("a count that wraps to 0") << (qint64(1) << 32) << true;
        QTest::newRow("a count that wraps to 3") << (qint64(1) << 32) + 3 << true;
    }
    void aFileTooLargeToNumberIsRefused() {
        QFETCH(qint64, records);
        QFETCH(bool, refused);
        const QString p = path("huge.prt");
        QFile::remove(p);
        const qint64 size = records * kSize + 10;
        {
            QFile file(p);
            QVERIFY(file.open(QIODevice::WriteOnly));
            if (!file.resize(size))
                QSKIP("this file system cannot hold a sparse file that large");
        }
        const RecordArchive archive(p, ProtocolRecord::layout());
        QCOMPARE(archive.count().has_value(), !refused);
        if (!refused) {
            QCOMPARE(*archive.count(), int(records));
            QFile::remove(p);
            return;
        }
        QVERIFY(!archive.append(card(QStringLiteral("x"))));
        QVERIFY(!archive.browse(BrowseCommand::Last, std::nullopt));
        QVERIFY(!archive.update(1, card(QStringLiteral("x"))));
        QCOMPARE(QFile(p).size(), size);
        QFile::remove(p);
    }

    // Two copies showing one card: the second save must not write over the first one's
    // change, and learns what the card holds now.
    void aRewriteChecksTheCardItWasLoadedFrom() {
        const QString p = path("changed.prt");
        const RecordArchive archive(p, ProtocolRecord::layout());
        for (int n = 1; n <= 2; ++n)
            QVERIFY(archive.append(card(QString::number(n))));
        const QByteArray loaded = archive.read(2)->bytes();

        std::optional<Record> stored;
        QCOMPARE(archive.update(2, card(QStringLiteral("first")), loaded, stored),
                 RecordArchive::Rewrite::Written);
        QVERIFY(!stored);
        const QByteArray afterFirst = fileBytes(p);
        QCOMPARE(archive.update(2, card(QStringLiteral("second")), loaded, stored),
                 RecordArchive::Rewrite::ChangedMeanwhile);
        QVERIFY(stored);
        QCOMPARE(stored->text(ProtocolRecord::Numero), QStringLiteral("first"));
        QCOMPARE(fileBytes(p), afterFirst);
        QCOMPARE(archive.update(3, card(QStringLiteral("x")), loaded, stored),
                 RecordArchive::Rewrite::Failed);
    }

    void writersWaitForEachOther() {
        const QString p = path("lock.prt");
        RecordFile reader1(kSize), reader2(kSize), writer(kSize);
        QVERIFY(reader1.open(p, RecordFile::Access::Read));
        QVERIFY(reader2.open(p, RecordFile::Access::Read, 0)); // readers share
        QVERIFY(!writer.open(p, RecordFile::Access::Write, 50));
        QVERIFY(!writer.isOpen());
        reader1.close();
        reader2.close();
        QVERIFY(writer.open(p, RecordFile::Access::Write, 0));
        QVERIFY(!reader1.open(p, RecordFile::Access::Read, 50));
        writer.close();
        QVERIFY(reader1.open(p, RecordFile::Access::Read, 0));
    }
};

QTEST_APPLESS_MAIN(TestRecordFile)
#include "tst_RecordFile.moc"
