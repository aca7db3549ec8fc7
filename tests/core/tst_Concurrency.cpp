#include "core/DocumentRecord.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/TextField.h"
#include "core/platform/FileLock.h"
#include "support/Files.h"
#include "support/Processes.h"
#include "support/ReadOnly.h"
#include "support/Users.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>

namespace {

const QByteArray kSettings = "[Numerazione Protocollo]\r\nInizio=100\r\n";

// A settings file in a folder that every user may write, as an administrator shares them.
QString sharedSettings(const QTemporaryDir& dir) {
    const auto everyone = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                          QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                          QFileDevice::ReadOther | QFileDevice::WriteOther;
    QFile::setPermissions(dir.path(), everyone | QFileDevice::ExeOwner | QFileDevice::ExeGroup |
                                          QFileDevice::ExeOther);
    const QString path = dir.filePath(QStringLiteral("Faldora_Pro.ini"));
    writeBytes(path, kSettings);
    QFile::setPermissions(path, everyone);
    return path;
}

// One copy of the program writing `count` values into `section`, as `otherUser` or not; its
// users keep what they make to themselves (umask 077).
bool startSettingsWriter(QProcess& process, const QString& path, const QString& section, int count,
                         bool otherUser) {
    return startAs(process, otherUser, 077, workerPath(),
                   {QStringLiteral("settings"), path, section, QString::number(count)});
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
        QVERIFY(startWorker(a, argsA));
        QVERIFY(startWorker(b, argsB));
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
        QVERIFY(startWorker(readerA, {QStringLiteral("scan"), path, stop}));
        QVERIFY(startWorker(readerB, {QStringLiteral("scan"), path, stop}));
        QThread::msleep(300); // both scanning
        QVERIFY(startWorker(writer, {QStringLiteral("timed"), path, QStringLiteral("20")}));
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
        QVERIFY(startWorker(a, {QStringLiteral("settings"), path,
                                QStringLiteral("Numerazione Protocollo"), QString::number(kEach)}));
        QVERIFY(startWorker(b, {QStringLiteral("settings"), path,
                                QStringLiteral("Protocollo Documenti"), QString::number(kEach)}));
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QCOMPARE(a.exitCode(), 0);
        QCOMPARE(b.exitCode(), 0);
        const IniFile settings(path);
        QCOMPARE(settings.read(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Valore")),
                 QString::number(kEach));
        QCOMPARE(settings.read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Valore")),
                 QString::number(kEach));
    }

    // A settings write goes ahead only under its lock: a lock file this user cannot open or
    // lock fails the write, which keeps the file, and the lock file the program makes can be
    // used by every user of the folder.
    void settingsWriteNeedsItsLock_data() {
        QTest::addColumn<QString>("lockFile");
        QTest::addColumn<bool>("otherUser"); // who writes
        QTest::addColumn<bool>("written");
        QTest::newRow("owner-only, made by another user") << "owner-only" << true << false;
        QTest::newRow("made by the program for another user") << "made" << true << true;
        QTest::newRow("held by another copy past the timeout") << "held" << false << false;
        QTest::newRow("refusing writes") << "read-only" << false << false;
    }
    void settingsWriteNeedsItsLock() {
        QFETCH(QString, lockFile);
        QFETCH(bool, otherUser);
        QFETCH(bool, written);
        if (const QString why = otherUserUnavailable(); otherUser && !why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryDir dir;
        const QString path = sharedSettings(dir);
        const QString lockPath = path + QStringLiteral(".lock");
        QFile held(lockPath);
        std::unique_ptr<ReadOnly> readOnly;
        if (lockFile == QLatin1String("owner-only")) {
            writeBytes(lockPath, {});
            QFile::setPermissions(lockPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        } else if (lockFile == QLatin1String("made")) {
            const Umask ownerOnly(077);
            QVERIFY(IniFile(path).write(QStringLiteral("Protocollo Documenti"),
                                        QStringLiteral("Ufficio"), QStringLiteral("Segreteria")));
        } else if (lockFile == QLatin1String("held")) {
            QVERIFY(held.open(QIODevice::ReadWrite));
            QCOMPARE(FileLock::acquire(held, FileLock::Mode::Exclusive, 0),
                     FileLock::Result::Locked);
        } else {
            writeBytes(lockPath, {});
            readOnly = std::make_unique<ReadOnly>(lockPath);
            if (!readOnly->ok())
                QSKIP("this machine cannot make the lock file refuse writes");
        }
        const QByteArray before = readBytes(path);

        QProcess writer;
        QVERIFY(startSettingsWriter(writer, path, QStringLiteral("Numerazione Protocollo"), 1,
                                    otherUser));
        QVERIFY(writer.waitForFinished(60000));
        const QString errors = QString::fromLocal8Bit(writer.readAllStandardError());
        if (written) {
            QVERIFY2(writer.exitCode() == 0, qPrintable(errors));
            QCOMPARE(IniFile(path).read(QStringLiteral("Numerazione Protocollo"),
                                        QStringLiteral("Valore")),
                     QStringLiteral("1"));
        } else {
            QCOMPARE(writer.exitCode(), 1);
            QVERIFY2(errors.contains(QStringLiteral("Unable to write to ") +
                                     QDir::toNativeSeparators(path)),
                     qPrintable(errors));
            QCOMPARE(readBytes(path), before);
        }
    }

    // Two users, each keeping new files to itself, write many values into one shared
    // settings file: every write goes in and none is lost, whoever made the lock file.
    void usersSharingTheSettingsFileKeepEachOthersValues_data() {
        QTest::addColumn<bool>("lockByOtherUser");
        QTest::newRow("lock file made by this user") << false;
        QTest::newRow("lock file made by the other user") << true;
    }
    void usersSharingTheSettingsFileKeepEachOthersValues() {
        QFETCH(bool, lockByOtherUser);
        if (const QString why = otherUserUnavailable(); !why.isEmpty())
            QSKIP(qPrintable(why));
        QTemporaryDir dir;
        const QString path = sharedSettings(dir);
        QProcess first;
        QVERIFY(startSettingsWriter(first, path, QStringLiteral("Prima"), 1, lockByOtherUser));
        QVERIFY(first.waitForFinished(60000));
        QCOMPARE(first.exitCode(), 0);

        constexpr int kEach = 150;
        QProcess a, b;
        QVERIFY(
            startSettingsWriter(a, path, QStringLiteral("Numerazione Protocollo"), kEach, false));
        QVERIFY(startSettingsWriter(b, path, QStringLiteral("Protocollo Documenti"), kEach, true));
        QVERIFY(a.waitForFinished(120000) && b.waitForFinished(120000));
        QVERIFY2(a.exitCode() == 0, a.readAllStandardError().constData());
        QVERIFY2(b.exitCode() == 0, b.readAllStandardError().constData());
        const IniFile settings(path);
        QCOMPARE(settings.read(QStringLiteral("Numerazione Protocollo"), QStringLiteral("Valore")),
                 QString::number(kEach));
        QCOMPARE(settings.read(QStringLiteral("Protocollo Documenti"), QStringLiteral("Valore")),
                 QString::number(kEach));
    }
};

QTEST_GUILESS_MAIN(TestConcurrency)
#include "tst_Concurrency.moc"
