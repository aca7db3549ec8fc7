#include "RewriteCards.h"
#include "core/RecordArchive.h"
#include "core/RecordFile.h"
#include "support/Files.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

constexpr int kCards = 4;

// A register of kCards cards, all in version A.
void writeRegister(const QString& path) {
    QByteArray bytes;
    for (int p = 1; p <= kCards; ++p)
        bytes += rewriteCard(p, u'A').bytes();
    writeBytes(path, bytes);
}

// The version of the card at `position` that the file holds: 'A', 'B', 'C', or '?' for a
// record that is none of them (a torn card).
QChar versionOf(const QByteArray& file, int position) {
    const int size = ProtocolRecord::layout().size();
    const QByteArray record = file.mid(qsizetype(position - 1) * size, size);
    for (QChar v : {u'A', u'B', u'C'}) {
        if (record == rewriteCard(position, v).bytes())
            return v;
    }
    return u'?';
}

} // namespace

// A copy of the program killed while it rewrites a card in place (a power cut, a crash, a
// dropped network share) leaves the old card or the new one, never a mix of both.
class TestKilledWriter : public QObject {
    Q_OBJECT
private slots:
    void aRewriteCutShortIsCompletedOrDiscarded_data() {
        QTest::addColumn<int>("syncs");         // syncs before the writer dies
        QTest::addColumn<QString>("aftermath"); // what the cut left besides
        QTest::addColumn<bool>("reading");      // the next copy only reads
        QTest::addColumn<QChar>("expected");

        QTest::newRow("died flushing its side file") << 0 << "" << false << QChar(u'B');
        QTest::newRow("side file cut short") << 0 << "side cut" << false << QChar(u'A');
        QTest::newRow("record half written") << 0 << "record torn" << false << QChar(u'B');
        QTest::newRow("record half written, next copy reads")
            << 0 << "record torn" << true << QChar(u'B');
        QTest::newRow("side file cut short, next copy reads")
            << 0 << "side cut" << true << QChar(u'A');
        QTest::newRow("died flushing the record") << 1 << "" << false << QChar(u'B');
        // An older copy of the program, which knows no side file, saved the card since.
        QTest::newRow("card saved since by another copy")
            << 0 << "saved since" << false << QChar(u'C');
    }
    void aRewriteCutShortIsCompletedOrDiscarded() {
        QFETCH(int, syncs);
        QFETCH(QString, aftermath);
        QFETCH(bool, reading);
        QFETCH(QChar, expected);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const QString side = path + RecordFile::kRewriteSuffix;
        writeRegister(path);
        constexpr int kPosition = 3;

        QProcess writer;
        QVERIFY(
            startWorker(writer, {QStringLiteral("rewrite-dying"), path, QString::number(kPosition),
                                 QStringLiteral("B"), QString::number(syncs)}));
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitCode(), 86); // died where it was told to
        QVERIFY(QFile::exists(side));

        const int size = ProtocolRecord::layout().size();
        const qint64 at = qint64(kPosition - 1) * size;
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        if (aftermath == QLatin1String("record torn")) {
            QVERIFY(file.seek(at));
            QVERIFY(file.write(rewriteCard(kPosition, u'B').bytes().left(size / 2)) > 0);
        } else if (aftermath == QLatin1String("saved since")) {
            QVERIFY(file.seek(at));
            QCOMPARE(file.write(rewriteCard(kPosition, u'C').bytes()), qint64(size));
        } else if (aftermath == QLatin1String("side cut")) {
            QVERIFY(QFile::resize(side, QFile(side).size() / 2));
        }
        file.close();

        const RecordArchive archive(path, ProtocolRecord::layout());
        if (reading)
            QVERIFY(archive.read(1));
        else
            QVERIFY(archive.update(1, rewriteCard(1, u'B')));
        QVERIFY(!QFile::exists(side));
        const QByteArray bytes = readBytes(path);
        QCOMPARE(bytes.size(), qsizetype(kCards) * size);
        QCOMPARE(versionOf(bytes, kPosition), expected);
        QCOMPARE(versionOf(bytes, 1), reading ? QChar(u'A') : QChar(u'B'));
        for (int p : {2, 4})
            QCOMPARE(versionOf(bytes, p), QChar(u'A'));
    }

    // A writer rewriting cards in a loop, killed at random moments: afterwards every card is
    // one of its two versions. FALDORA_KILLS sets the number of kills for a longer run.
    void killedAtRandomMomentsEveryCardIsWhole() {
        const int kills = qEnvironmentVariableIsSet("FALDORA_KILLS")
                              ? qEnvironmentVariableIntValue("FALDORA_KILLS")
                              : 300;
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        writeRegister(path);
        const RecordArchive archive(path, ProtocolRecord::layout());
        auto* random = QRandomGenerator::global();
        int torn = 0;
        for (int k = 0; k < kills; ++k) {
            QProcess writer;
            QVERIFY(
                startWorker(writer, {QStringLiteral("rewrite"), path, QString::number(kCards)}));
            QThread::msleep(random->bounded(5, 60));
            writer.kill();
            QVERIFY(writer.waitForFinished(30000));
            QVERIFY(archive.count()); // the opening that finishes what was left
            const QByteArray bytes = readBytes(path);
            for (int p = 1; p <= kCards; ++p) {
                if (versionOf(bytes, p) == u'?') {
                    ++torn;
                    // Put it right, so that each torn card is counted once.
                    QVERIFY(archive.update(p, rewriteCard(p, u'A')));
                }
            }
        }
        qInfo("%d kills, %d torn cards", kills, torn);
        QCOMPARE(torn, 0);
    }
};

QTEST_GUILESS_MAIN(TestKilledWriter)
#include "tst_KilledWriter.moc"
