#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"

#include <QCoreApplication>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// Two copies of the program appending to one register in a shared folder lose no card.
class TestConcurrentAppend : public QObject {
    Q_OBJECT
private slots:
    void twoProcessesAppendingLoseNothing() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("2026.prt"));
        const QString worker =
            QCoreApplication::applicationDirPath() + QStringLiteral("/append_worker");
        constexpr int kEach = 500;
        QProcess a, b;
        a.start(worker, {path, QStringLiteral("A"), QString::number(kEach)});
        b.start(worker, {path, QStringLiteral("B"), QString::number(kEach)});
        QVERIFY(a.waitForStarted() && b.waitForStarted());
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);

        QCOMPARE(QFile(path).size(), qint64(2 * kEach) * ProtocolRecord::layout().size());
        QMap<QString, int> lastSeen; // per writer, its cards must come in their own order
        int intact = 0;
        const bool read =
            RecordArchive(path, ProtocolRecord::layout()).scan([&](int, const Record& r) {
                const ProtocolRecord card(r.bytes());
                const QString number = card.text(ProtocolRecord::Numero);
                const QString writer = number.section(u'-', 0, 0);
                const int n = number.section(u'-', 1).toInt();
                const bool whole =
                    card.text(ProtocolRecord::Oggetto) ==
                        TextField::trimBlanks((number + u' ').repeated(40).left(250)) &&
                    card.text(ProtocolRecord::Desc03) == number;
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
};

QTEST_GUILESS_MAIN(TestConcurrentAppend)
#include "tst_ConcurrentAppend.moc"
