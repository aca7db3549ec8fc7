// The checked restore: a backup comes back byte for byte, the files it replaces are kept
// aside, a zip that is damaged, foreign, lying, climbing out of the folder or built to fill
// the disk is refused with nothing changed, and a restore killed at any step leaves either
// the previous files or the restored ones, whole.
#include "ProgramFolderFixture.h"
#include "core/Backup.h"
#include "core/BackupManifest.h"
#include "core/RecordFile.h"
#include "core/Restore.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/ReadOnly.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <zip.h>

using namespace ProgramFolderFixture;

namespace {

const QDateTime kRestoredAt(QDate(2026, 3, 6), QTime(9, 15));
const QString kBefore = QStringLiteral("Faldora_Prima_del_ripristino_2026-03-06_0915");
// What a restore never touches, or makes itself: left out when folders are compared.
const QStringList kNotData{"Faldora_Pro.ini.lock", "unins000.dll.lock", kBefore};

QByteArray sha(const QByteArray& bytes) {
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

struct Entry {
    QString name;
    QByteArray bytes;
};

// A zip of `entries` in order, deflated.
bool writeZip(const QString& path, const QList<Entry>& entries) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    for (const Entry& e : entries) {
        zip_source_t* source =
            zip_source_buffer(zip, e.bytes.constData(), zip_uint64_t(e.bytes.size()), 0);
        const zip_int64_t index =
            zip_file_add(zip, e.name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            zip_discard(zip);
            return false;
        }
        zip_set_file_compression(zip, zip_uint64_t(index), ZIP_CM_DEFLATE, 9);
    }
    if (zip_close(zip) != 0) {
        zip_discard(zip);
        return false;
    }
    return true;
}

BackupManifest::Manifest manifestOf(const QList<Entry>& entries) {
    BackupManifest::Manifest manifest{BackupManifest::programVersion(), 1, kAt, {}};
    for (const Entry& e : entries)
        manifest.files.append({e.name, e.bytes.size(), sha(e.bytes)});
    return manifest;
}

// Puts `value` as a 4-byte little-endian number at every place where the local header
// and the central directory keep the uncompressed size of the entry named `name`.
void patchDeclaredSize(QByteArray& zip, const QByteArray& name, quint32 value) {
    const auto put = [&](qsizetype at) {
        for (int i = 0; i < 4; ++i)
            zip[at + i] = char((value >> (8 * i)) & 0xFF);
    };
    for (qsizetype at = zip.indexOf("PK\x03\x04"); at >= 0;
         at = zip.indexOf("PK\x03\x04", at + 4)) {
        if (zip.mid(at + 30, name.size()) == name)
            put(at + 22);
    }
    for (qsizetype at = zip.indexOf("PK\x01\x02"); at >= 0;
         at = zip.indexOf("PK\x01\x02", at + 4)) {
        if (zip.mid(at + 46, name.size()) == name)
            put(at + 24);
    }
}

// A program folder with data, its backup, and the folder changed after the backup: a card
// added, a year begun, an attachment gone and another come, the settings changed.
struct Scene {
    QTemporaryDir program, target;
    QString zip;
    QMap<QString, QByteArray> backedUp, changed;

    bool make() {
        if (!fill(program.path()))
            return false;
        backedUp = digest(program.path(), kNotData);
        Backup::Control control;
        zip = Backup::write(folder(), target.path(), kAt, control).path;
        const QDir dir(program.path());
        const QString path = dir.filePath("2026.prt");
        if (!journaled(path, ProtocolRecord::layout(), ProtocolRecord::journalIdentity(path))
                 .append(rewriteCard(4, u'B')))
            return false;
        const QString year = dir.filePath("2027.prt");
        if (!journaled(year, ProtocolRecord::layout(), ProtocolRecord::journalIdentity(year))
                 .append(rewriteCard(1, u'C')))
            return false;
        if (!QFile::remove(dir.filePath("Documenti_Allegati/vuoto.txt")) ||
            !put(dir.filePath("Documenti_Allegati/nuovo.pdf"), "%PDF nuovo") ||
            !put(dir.filePath("Faldora_Pro.ini"), "[Numerazione Protocollo]\r\nInizio=9\r\n"))
            return false;
        changed = digest(program.path(), kNotData);
        return !zip.isEmpty();
    }
    QString folder() const { return program.path() + u'/'; }
};

} // namespace

class TestRestore : public QObject {
    Q_OBJECT

private slots:
    void bringsTheBackupBackAndKeepsTheFilesItReplaces();
    void restoresIntoAFolderWithNoArchives();
    void showsWhatTheBackupHolds();
    void refusesABadZipAndChangesNothing_data();
    void refusesABadZipAndChangesNothing();
    void anUnpackingThatDoesNotEndChangesNothing_data();
    void anUnpackingThatDoesNotEndChangesNothing();
    void aMoveThatFailsPutsEverythingBack();
    void noSaveReachesAnArchiveDuringTheSwap();
    void aKilledRestoreLeavesTheOldFilesOrTheNew_data();
    void aKilledRestoreLeavesTheOldFilesOrTheNew();
};

void TestRestore::bringsTheBackupBackAndKeepsTheFilesItReplaces() {
    Scene scene;
    QVERIFY(scene.make());
    const auto others = digest(scene.program.path(), {});
    Backup::Control control;
    const Restore::Result result = Restore::apply(scene.zip, scene.folder(), kRestoredAt, control);
    QVERIFY2(result.outcome == Restore::Outcome::Restored, qPrintable(result.error));
    QCOMPARE(result.before, kBefore);
    // A copy that was on its way into the attachments folder is not part of a backup.
    QMap<QString, QByteArray> restored = scene.backedUp;
    restored.remove("Documenti_Allegati/.allegato-k3j2");
    QCOMPARE(digest(scene.program.path(), kNotData), restored);
    // The replaced files, as they were, in the dated folder; exports and the guide in place.
    const QString before = QDir(scene.program.path()).filePath(kBefore);
    QMap<QString, QByteArray> kept = digest(before);
    QMap<QString, QByteArray> expected;
    for (auto it = scene.changed.cbegin(); it != scene.changed.cend(); ++it) {
        if (it.key() != "Protocollo.xls" && it.key() != "Guida.pdf")
            expected.insert(it.key(), it.value());
    }
    QCOMPARE(kept, expected);
    QCOMPARE(digest(scene.program.path()).value("Guida.pdf"), others.value("Guida.pdf"));
    QVERIFY(!QFileInfo::exists(QDir(scene.program.path()).filePath(Restore::kWorkFolder)));
    QVERIFY(!QFileInfo::exists(QDir(scene.program.path()).filePath(Restore::kPlanFile)));
}

void TestRestore::restoresIntoAFolderWithNoArchives() {
    Scene scene;
    QVERIFY(scene.make());
    QTemporaryDir empty;
    Backup::Control control;
    const Restore::Result result =
        Restore::apply(scene.zip, empty.path() + u'/', kRestoredAt, control);
    QVERIFY2(result.outcome == Restore::Outcome::Restored, qPrintable(result.error));
    QVERIFY(result.before.isEmpty());
    QMap<QString, QByteArray> expected = scene.backedUp;
    expected.remove("Protocollo.xls");
    expected.remove("Guida.pdf");
    expected.remove("Documenti_Allegati/.allegato-k3j2");
    QCOMPARE(digest(empty.path(), kNotData), expected);
}

void TestRestore::showsWhatTheBackupHolds() {
    Scene scene;
    QVERIFY(scene.make());
    const auto before = digest(scene.program.path());
    Backup::Control control;
    const Restore::Checked checked = Restore::inspect(scene.zip, scene.folder(), control);
    QVERIFY2(checked.contents, qPrintable(checked.error));
    QCOMPARE(checked.contents->manifest.date, kAt);
    const QList<std::pair<QString, qint64>> cards{
        {"2026.prt", 3}, {"2025.prt", 3}, {"Schedario_Documenti.pro", 2}};
    QCOMPARE(checked.contents->cards, cards);
    QCOMPARE(checked.contents->attachments, 3);
    QCOMPARE(control.done.load(), checked.contents->bytes);
    QCOMPARE(digest(scene.program.path()), before);
}

void TestRestore::refusesABadZipAndChangesNothing_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("message");
    const QString damaged = QStringLiteral("Il file scelto non è un archivio zip integro");
    const QString foreign = QStringLiteral("Il file scelto non è un backup di Faldora");
    const QString lies = QStringLiteral("Il backup non corrisponde al suo elenco del contenuto");
    const QString out = QStringLiteral("Il backup contiene un percorso non ammesso");
    QTest::newRow("not a zip") << "not a zip" << damaged;
    QTest::newRow("cut short") << "cut" << damaged;
    QTest::newRow("a zip of another program") << "no manifest" << foreign;
    QTest::newRow("another program's list") << "foreign manifest" << foreign;
    QTest::newRow("a later format") << "later format" << foreign;
    QTest::newRow("a size that lies") << "size" << lies;
    QTest::newRow("a SHA-256 that lies") << "sha" << lies;
    QTest::newRow("a listed file missing") << "missing" << lies;
    QTest::newRow("a file not listed") << "extra" << lies;
    QTest::newRow("climbing out with ..") << "../2026.prt" << out;
    QTest::newRow("inside, then out") << "Documenti_Allegati/../../x.pdf" << out;
    QTest::newRow("absolute path") << "/etc/cron.d/x" << out;
    QTest::newRow("drive letter") << "C:/Windows/x.prt" << out;
    QTest::newRow("drive-relative") << "C:2026.prt" << out;
    QTest::newRow("backslashes") << "Documenti_Allegati\\..\\..\\x.pdf" << out;
    QTest::newRow("a program file") << "faldora.exe" << out;
    QTest::newRow("a device of Windows") << "Documenti_Allegati/CON.pdf" << out;
    QTest::newRow("a stream of Windows") << "Documenti_Allegati/a.pdf:nascosto" << out;
    QTest::newRow("a character Windows reserves") << "Documenti_Allegati/a|b.pdf" << out;
    QTest::newRow("listed far larger than it packs")
        << "bomb ratio" << QStringLiteral("Il backup dichiara per «Documenti_Allegati/zeri.bin»");
    QTest::newRow("declares less than it inflates") << "bomb declared" << lies;
}

// Refused by the check and by the restore alike, with the program's message, and the
// program folder is the same to the byte, with nothing added.
void TestRestore::refusesABadZipAndChangesNothing() {
    QFETCH(QString, kind);
    QFETCH(QString, message);
    Scene scene;
    QVERIFY(scene.make());
    const QString bad = QDir(scene.target.path()).filePath("cattivo.zip");
    QList<Entry> entries{{"2026.prt", rewriteCard(1, u'A').bytes()},
                         {"Documenti_Allegati/a.pdf", "%PDF a"}};
    BackupManifest::Manifest manifest = manifestOf(entries);
    const auto withManifest = [&](QList<Entry> list, const BackupManifest::Manifest& m) {
        list.append({BackupManifest::kEntryName, BackupManifest::write(m)});
        return list;
    };
    if (kind == "not a zip") {
        writeBytes(bad, "Faldora, non un archivio zip");
    } else if (kind == "cut") {
        const QByteArray whole = readBytes(scene.zip);
        writeBytes(bad, whole.left(whole.size() - 100));
    } else if (kind == "no manifest") {
        QVERIFY(writeZip(bad, {{"leggimi.txt", "un altro programma"}, {"2026.prt", "x"}}));
    } else if (kind == "foreign manifest") {
        QVERIFY(writeZip(bad, entries + QList<Entry>{{BackupManifest::kEntryName,
                                                      "Altro programma 3\nfile\t1\tx\n"}}));
    } else if (kind == "later format") {
        manifest.format = 2;
        QVERIFY(writeZip(bad, withManifest(entries, manifest)));
    } else if (kind == "size") {
        manifest.files[1].size += 1;
        QVERIFY(writeZip(bad, withManifest(entries, manifest)));
    } else if (kind == "sha") {
        manifest.files[0].sha256 = sha("altro");
        QVERIFY(writeZip(bad, withManifest(entries, manifest)));
    } else if (kind == "missing") {
        manifest.files.append({"2025.prt", 3, sha("abc")});
        QVERIFY(writeZip(bad, withManifest(entries, manifest)));
    } else if (kind == "extra") {
        QVERIFY(writeZip(bad, withManifest(entries + QList<Entry>{{"2025.prt", "abc"}}, manifest)));
    } else if (kind == "bomb ratio") {
        const Entry zeros{"Documenti_Allegati/zeri.bin", QByteArray(64 * 1024, '\0')};
        manifest.files.append({zeros.name, qint64(4) << 40, sha(zeros.bytes)});
        QVERIFY(writeZip(bad, withManifest(entries + QList<Entry>{zeros}, manifest)));
    } else if (kind == "bomb declared") {
        // 8 MB of zeros that say they are 1000 bytes, in the list and in the zip alike.
        const Entry zeros{"Documenti_Allegati/zeri.bin", QByteArray(8 * 1024 * 1024, '\0')};
        manifest.files.append({zeros.name, 1000, sha(zeros.bytes.left(1000))});
        QVERIFY(writeZip(bad, withManifest(entries + QList<Entry>{zeros}, manifest)));
        QByteArray bytes = readBytes(bad);
        patchDeclaredSize(bytes, zeros.name.toUtf8(), 1000);
        writeBytes(bad, bytes);
    } else {
        // A path that leads elsewhere, listed as if it were the program's.
        const Entry outside{kind, "sovrascritto"};
        manifest.files.append({outside.name, outside.bytes.size(), sha(outside.bytes)});
        QVERIFY(writeZip(bad, withManifest(entries + QList<Entry>{outside}, manifest)));
    }

    const auto before = digest(scene.program.path());
    Backup::Control control;
    const Restore::Checked checked = Restore::inspect(bad, scene.folder(), control);
    QVERIFY(!checked.contents);
    QVERIFY2(checked.error.startsWith(message), qPrintable(checked.error));
    QVERIFY2(checked.error.endsWith(QStringLiteral(" Nulla è stato modificato.")),
             qPrintable(checked.error));
    Backup::Control again;
    const Restore::Result result = Restore::apply(bad, scene.folder(), kRestoredAt, again);
    QCOMPARE(result.outcome, Restore::Outcome::Failed);
    QCOMPARE(result.error, checked.error);
    QCOMPARE(digest(scene.program.path()), before);
    QVERIFY(!QFileInfo::exists(QDir(scene.target.path()).filePath("x.pdf")));
}

void TestRestore::anUnpackingThatDoesNotEndChangesNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<Restore::Outcome>("outcome");
    QTest::newRow("disk full") << "full" << Restore::Outcome::Failed;
    QTest::newRow("cancelled") << "cancel" << Restore::Outcome::Cancelled;
}

// The disk fills up, or the user cancels, while the backup is unpacked: the folder is as it
// was, with nothing of the unpacked files left in it.
void TestRestore::anUnpackingThatDoesNotEndChangesNothing() {
    QFETCH(QString, how);
    QFETCH(Restore::Outcome, outcome);
    Scene scene;
    QVERIFY(scene.make());
    const auto before = digest(scene.program.path());
    Backup::Control control;
    std::unique_ptr<FileSizeLimit> limit;
    if (how == "full") {
        // Less than the largest attachment.
        limit = std::make_unique<FileSizeLimit>(64 * 1024);
        if (!limit->ok())
            QSKIP(qPrintable(limit->why()));
    } else {
        control.tick = [&control] {
            if (control.done > 100000)
                control.cancel = true;
        };
    }
    const Restore::Result result = Restore::apply(scene.zip, scene.folder(), kRestoredAt, control);
    limit.reset();
    QCOMPARE(result.outcome, outcome);
    if (outcome == Restore::Outcome::Failed)
        QCOMPARE(result.error, QStringLiteral("Impossibile scrivere i file del backup nella "
                                              "cartella del programma: controllare lo spazio "
                                              "libero e i permessi. Nulla è stato modificato."));
    QCOMPARE(digest(scene.program.path()), before);
}

// A file that cannot be moved in the middle of the swap (another program keeps it): every
// file goes back where it was, and the restore says so.
void TestRestore::aMoveThatFailsPutsEverythingBack() {
    Scene scene;
    QVERIFY(scene.make());
    const auto before = digest(scene.program.path());
    // Moved after the archives and the settings: several moves are undone.
    ReadOnly stuck(QDir(scene.program.path()).filePath("unins000.dll"));
    if (!stuck.ok())
        QSKIP("no way to make a file refuse a move here");
    Backup::Control control;
    const Restore::Result result = Restore::apply(scene.zip, scene.folder(), kRestoredAt, control);
    QCOMPARE(result.outcome, Restore::Outcome::Failed);
    QCOMPARE(result.error, QStringLiteral("Il ripristino non è riuscito (un file non si è potuto "
                                          "spostare): i file sono tornati com'erano."));
    QCOMPARE(digest(scene.program.path()), before);
}

// At every step of the swap, each register and the index, wherever it is at that moment
// (in its place, set aside or waiting to come in), refuses a writer: another copy's save
// waits until every file is where it belongs.
void TestRestore::noSaveReachesAnArchiveDuringTheSwap() {
    Scene scene;
    QVERIFY(scene.make());
    const QDir program(scene.program.path());
    int steps = 0;
    QStringList open;
    Restore::setStepObserver([&](int) {
        ++steps;
        for (const QString& folder :
             {program.path(), program.filePath(kBefore), program.filePath(Restore::kWorkFolder)}) {
            for (const char* name : {"2025.prt", "2026.prt", "2027.prt"}) {
                const QString path = QDir(folder).filePath(QLatin1String(name));
                if (!QFileInfo::exists(path))
                    continue;
                RecordFile file(ProtocolRecord::layout().size());
                if (file.open(path, RecordFile::Access::Write, 20))
                    open << QStringLiteral("%1 at step %2").arg(path).arg(steps - 1);
            }
        }
    });
    Backup::Control control;
    const Restore::Result result = Restore::apply(scene.zip, scene.folder(), kRestoredAt, control);
    Restore::setStepObserver({});
    QVERIFY2(result.outcome == Restore::Outcome::Restored, qPrintable(result.error));
    QCOMPARE(steps, 26);
    // The last step comes after the plan is gone, with the locks still held.
    QVERIFY2(open.isEmpty(), qPrintable(open.join(u'\n')));
}

void TestRestore::aKilledRestoreLeavesTheOldFilesOrTheNew_data() {
    QTest::addColumn<int>("step");
    // The plan (0), each move (thirteen names out, eleven in), the plan removed (25); the
    // last rows are past the end, where the restore completes.
    for (int step = 0; step <= 27; ++step)
        QTest::addRow("killed at step %d", step) << step;
}

// Killed at any step of its swap: the next start (recover) puts the previous files back
// whole, unless the swap had ended, and then the restored ones stay whole.
void TestRestore::aKilledRestoreLeavesTheOldFilesOrTheNew() {
    QFETCH(int, step);
    Scene scene;
    QVERIFY(scene.make());
    QProcess restore;
    QVERIFY(
        startWorker(restore, {"restore-dying", scene.zip, scene.folder(), QString::number(step)}));
    QVERIFY(restore.waitForFinished(60000));
    const bool died = restore.exitCode() == 86;
    QVERIFY2(died || restore.exitCode() == 0, restore.readAllStandardError().constData());
    QCOMPARE(died, step <= 25);
    const bool planLeft =
        QFileInfo::exists(QDir(scene.program.path()).filePath(Restore::kPlanFile));

    const Restore::Recovery recovery = Restore::recover(scene.folder());
    QCOMPARE(recovery, planLeft ? Restore::Recovery::Undone : Restore::Recovery::Nothing);
    const auto now = digest(scene.program.path(), kNotData);
    if (planLeft) {
        QCOMPARE(now, scene.changed);
        QVERIFY(!QFileInfo::exists(QDir(scene.program.path()).filePath(kBefore)));
    } else {
        QMap<QString, QByteArray> restored = scene.backedUp;
        restored.remove("Documenti_Allegati/.allegato-k3j2");
        QCOMPARE(now, restored);
    }
    QVERIFY(!QFileInfo::exists(QDir(scene.program.path()).filePath(Restore::kWorkFolder)));
}

QTEST_GUILESS_MAIN(TestRestore)
#include "tst_Restore.moc"
