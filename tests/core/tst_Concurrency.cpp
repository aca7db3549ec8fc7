#include "core/DocumentRecord.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

namespace {

QString worker() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/archive_worker");
}

} // namespace

// Two copies of the program sharing a folder: no card and no setting is lost, and a busy
// stream of readers does not keep a save waiting.
class TestConcurrency : public QObject {
    Q_OBJECT
private slots:
    void twoProcessesAppendingLoseNothing_data() {
        QTest::addColumn<bool>("documents");
        QTest::newRow("protocol register") << false;
        QTest::newRow("document card index") << true;
    }
    void twoProcessesAppendingLoseNothing() {
        QFETCH(bool, documents);
        const RecordLayout& layout =
            documents ? DocumentRecord::layout() : ProtocolRecord::layout();
        QTemporaryDir dir;
        const QString path = dir.filePath(documents ? QStringLiteral("Schedario_Documenti.pro")
                                                    : QStringLiteral("2026.prt"));
        constexpr int kEach = 500;
        QStringList argsA{QStringLiteral("append"), path, QStringLiteral("A"),
                          QString::number(kEach)};
        QStringList argsB = argsA;
        argsB[2] = QStringLiteral("B");
        if (documents) {
            argsA << QStringLiteral("documents");
            argsB << QStringLiteral("documents");
        }
        QProcess a, b;
        a.start(worker(), argsA);
        b.start(worker(), argsB);
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        QCOMPARE(QFile(path).size(), qint64(2 * kEach) * layout.size());
        QMap<QString, int> lastSeen; // per writer, its cards must come in their own order
        int intact = 0;
        const bool read = RecordArchive(path, layout).scan([&](int, const Record& card) {
            const QString number = card.text(0);
            const QString writer = number.section(u'-', 0, 0);
            const int n = number.section(u'-', 1).toInt();
            const bool whole = card.text(layout.indexOf(QStringLiteral("Oggetto"))) ==
                                   TextField::trimBlanks((number + u' ').repeated(40).left(250)) &&
                               card.text(layout.indexOf(QStringLiteral("Desc03"))) == number;
            if (whole && n == lastSeen.value(writer) + 1) {
                lastSeen[writer] = n;
                ++intact;
            }
        });
        QVERIFY(read);
        QCOMPARE(intact, 2 * kEach);
        QCOMPARE(lastSeen.value(QStringLiteral("A")), kEach);
        QCOMPARE(lastSeen.value(QStringLiteral("B")), kEach);
    }

    void readersScanningBackToBackDoNotStarveAWriter() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            ProtocolRecord card;
            card.setText(ProtocolRecord::Oggetto, QString(250, u'o'));
            const QByteArray block = card.bytes().repeated(1000);
            for (int i = 0; i < 30; ++i)
                QCOMPARE(file.write(block), block.size());
        }
        const QString stop = dir.filePath(QStringLiteral("stop"));
        QProcess readerA, readerB, writer;
        readerA.start(worker(), {QStringLiteral("scan"), path, stop});
        readerB.start(worker(), {QStringLiteral("scan"), path, stop});
        QVERIFY(readerA.waitForStarted() && readerB.waitForStarted());
        QThread::msleep(300); // both scanning
        writer.start(worker(), {QStringLiteral("timed"), path, QStringLiteral("20")});
        QVERIFY(writer.waitForFinished(120000));
        QFile(stop).open(QIODevice::WriteOnly);
        QVERIFY(readerA.waitForFinished(60000) && readerB.waitForFinished(60000));

        QCOMPARE(writer.exitCode(), 0); // every append went in
        const int longest = writer.readAllStandardOutput().trimmed().toInt();
        QVERIFY2(longest < 1000, qPrintable(QStringLiteral("an append waited %1 ms").arg(longest)));
        QCOMPARE(readerA.exitCode(), 0);
        QCOMPARE(readerB.exitCode(), 0);
        QVERIFY(readerA.readAllStandardOutput().trimmed().toInt() > 0);
        QCOMPARE(RecordArchive(path, ProtocolRecord::layout()).count(), std::optional<int>(30020));
    }

    void twoProcessesWritingSettingsKeepBothValues() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Faldora_Pro.ini"));
        constexpr int kEach = 100;
        QProcess a, b;
        a.start(worker(), {QStringLiteral("settings"), path,
                           QStringLiteral("Numerazione Protocollo"), QString::number(kEach)});
        b.start(worker(), {QStringLiteral("settings"), path, QStringLiteral("Protocollo Documenti"),
                           QString::number(kEach)});
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const IniFile settings(path);
        QCOMPARE(settings.read(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Valore")),
                 QString::number(kEach));
        QCOMPARE(settings.read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Valore")),
                 QString::number(kEach));
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_Concurrency.moc"
