// The backup zip: what it takes from a program folder, what its list of contents says, that
// a failed or cancelled one leaves nothing, and that a save by another copy of the program
// during a backup is never half in it.
#include "ProgramFolderFixture.h"
#include "RewriteCards.h"
#include "core/ArchiveCheck.h"
#include "core/Backup.h"
#include "core/BackupManifest.h"
#include "core/Restore.h"
#include "support/Files.h"
#include "support/FullDisk.h"
#include "support/Processes.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <memory>
#include <zip.h>

using namespace ProgramFolderFixture;

namespace {

struct ZipCloser {
    void operator()(zip_t* zip) const { zip_discard(zip); }
};

// The entries of the zip at `path` in their order, with their bytes.
QList<QPair<QString, QByteArray>> entriesOf(const QString& path) {
    QList<QPair<QString, QByteArray>> out;
    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> zip(
        zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!zip)
        return out;
    for (zip_int64_t i = 0; i < zip_get_num_entries(zip.get(), 0); ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        zip_stat_index(zip.get(), zip_uint64_t(i), 0, &st);
        QByteArray bytes(qsizetype(st.size), '\0');
        zip_file_t* file = zip_fopen_index(zip.get(), zip_uint64_t(i), 0);
        const zip_int64_t n = file ? zip_fread(file, bytes.data(), st.size) : -1;
        if (file)
            zip_fclose(file);
        out.append({QString::fromUtf8(st.name), n == zip_int64_t(st.size) ? bytes : "<?>"});
    }
    return out;
}

QStringList entriesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TestBackup : public QObject {
    Q_OBJECT

private slots:
    void takesEveryDataFileWithItsListOfContents();
    void aSecondBackupInTheSameMinuteKeepsTheFirst();
    void nothingIsLeftWhenItDoesNotEnd_data();
    void nothingIsLeftWhenItDoesNotEnd();
    void aSaveDuringTheBackupIsWholeOrAbsent();
};

// Every register, the document index, their side files, the settings, the credential and
// the attachments, byte for byte; no lock file, no export, no copy on its way in; the list
// of contents last, naming each file with its size and SHA-256.
void TestBackup::takesEveryDataFileWithItsListOfContents() {
    QTemporaryDir program, target;
    QVERIFY(fill(program.path()));
    Backup::Control control;
    const Backup::Result result = Backup::write(program.path() + u'/', target.path(), kAt, control);
    QCOMPARE(result.outcome, Backup::Outcome::Written);
    QCOMPARE(result.path, QDir(target.path()).filePath("Faldora_Backup_2026-03-05_1030.zip"));
    QCOMPARE(entriesIn(target.path()), QStringList{"Faldora_Backup_2026-03-05_1030.zip"});
    QCOMPARE(control.done.load(), control.total.load());

    const auto entries = entriesOf(result.path);
    QStringList names;
    for (const auto& [name, bytes] : entries)
        names << name;
    QCOMPARE(names, dataFiles() << BackupManifest::kEntryName);

    QString why;
    const auto manifest = BackupManifest::parse(entries.last().second, &why);
    QVERIFY2(manifest, qPrintable(why));
    QVERIFY(entries.last().second.startsWith("Faldora backup 1\nprogramma\t1.0\nformato\t1\n"
                                             "data\t2026-03-05T10:30:15\n"));
    QCOMPARE(manifest->files.size(), entries.size() - 1);
    for (qsizetype i = 0; i + 1 < entries.size(); ++i) {
        const auto& [name, bytes] = entries[i];
        QCOMPARE(bytes, readBytes(QDir(program.path()).filePath(name)));
        QCOMPARE(manifest->files[i].path, name);
        QCOMPARE(manifest->files[i].size, bytes.size());
        QCOMPARE(manifest->files[i].sha256,
                 QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    }
}

void TestBackup::aSecondBackupInTheSameMinuteKeepsTheFirst() {
    QTemporaryDir program, target;
    QVERIFY(fill(program.path()));
    Backup::Control control;
    const QString first = Backup::write(program.path() + u'/', target.path(), kAt, control).path;
    const QByteArray before = readBytes(first);
    const Backup::Result second = Backup::write(program.path() + u'/', target.path(), kAt, control);
    QCOMPARE(second.outcome, Backup::Outcome::Written);
    QCOMPARE(QFileInfo(second.path).fileName(), "Faldora_Backup_2026-03-05_1030_2.zip");
    QCOMPARE(readBytes(first), before);
}

void TestBackup::nothingIsLeftWhenItDoesNotEnd_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<Backup::Outcome>("outcome");
    QTest::newRow("cancelled before it starts") << "cancel 0" << Backup::Outcome::Cancelled;
    QTest::newRow("cancelled half way") << "cancel 200000" << Backup::Outcome::Cancelled;
    QTest::newRow("disk full") << "full" << Backup::Outcome::Failed;
    QTest::newRow("target folder missing") << "missing" << Backup::Outcome::Failed;
    QTest::newRow("target inside the attachments") << "attachments" << Backup::Outcome::Failed;
    QTest::newRow("an attachment named as a device") << "device" << Backup::Outcome::Failed;
}

// A cancelled or failed backup leaves no zip, whole or partial, and no temporary file; the
// program folder is left as it was.
void TestBackup::nothingIsLeftWhenItDoesNotEnd() {
    QFETCH(QString, how);
    QFETCH(Backup::Outcome, outcome);
    QTemporaryDir program, targetDir;
    QVERIFY(fill(program.path()));
    auto before = digest(program.path());
    QString target = targetDir.path();
    Backup::Control control;
    std::unique_ptr<FileSizeLimit> limit;
    if (how.startsWith(QLatin1String("cancel"))) {
        const qint64 after = how.section(u' ', 1).toLongLong();
        control.tick = [&control, after] {
            if (control.done >= after)
                control.cancel = true;
        };
        control.cancel = after == 0;
    } else if (how == QLatin1String("full")) {
        limit = std::make_unique<FileSizeLimit>(64 * 1024);
        if (!limit->ok())
            QSKIP(qPrintable(limit->why()));
    } else if (how == QLatin1String("missing")) {
        target = QDir(targetDir.path()).filePath("non_esiste");
    } else if (how == QLatin1String("device")) {
        // Put there by hand on Linux: a restore on Windows would write to the printer.
        // Windows itself never lets such a file be made, so no backup there meets one.
        if (!put(QDir(program.path()).filePath("Documenti_Allegati/PRN.txt"), "x"))
            QSKIP("this system does not let a file be named as a device");
        before = digest(program.path());
    } else if (how == QLatin1String("attachments")) {
        target = QDir(program.path()).filePath("Documenti_Allegati/2025");
    }
    const Backup::Result result = Backup::write(program.path() + u'/', target, kAt, control);
    limit.reset();
    QVERIFY2(result.outcome == outcome, qPrintable(result.error + u' ' + result.path));
    QVERIFY(result.path.isEmpty());
    if (outcome == Backup::Outcome::Failed)
        QVERIFY(!result.error.isEmpty());
    if (how == QLatin1String("device"))
        QCOMPARE(result.error, QStringLiteral("Il file «Documenti_Allegati/PRN.txt» ha un nome che "
                                              "non tutti i sistemi accettano: rinominarlo e rifare "
                                              "il backup."));
    QCOMPARE(entriesIn(targetDir.path()), QStringList{});
    QCOMPARE(digest(program.path()), before);
}

// Another copy of the program rewrites cards back to back, with their journal, while
// backups are taken: in each, every card is one version whole, and the journal saved with
// the register says exactly what the register holds (no card changed outside a save, no
// save half written).
void TestBackup::aSaveDuringTheBackupIsWholeOrAbsent() {
    constexpr int kCards = 40;
    QTemporaryDir program, target;
    const QString path = QDir(program.path()).filePath("2026.prt");
    const RecordArchive archive =
        journaled(path, ProtocolRecord::layout(), ProtocolRecord::journalIdentity(path));
    for (int n = 1; n <= kCards; ++n)
        QCOMPARE(archive.append(rewriteCard(n, u'A')), n);

    QProcess writer;
    QVERIFY(startWorker(writer, {"rewrite", path, QString::number(kCards), "2", "journaled"}));
    const auto stop = qScopeGuard([&] {
        writer.kill();
        writer.waitForFinished();
    });
    for (int round = 0; round < 6; ++round) {
        QTest::qWait(30);
        Backup::Control control;
        // A slow disk: the other copy has time for several saves while one archive is read.
        control.tick = [] { QThread::msleep(1); };
        const Backup::Result result =
            Backup::write(program.path() + u'/', target.path(), kAt.addSecs(60 * round), control);
        QVERIFY2(result.outcome == Backup::Outcome::Written, qPrintable(result.error));
        QCOMPARE(writer.state(), QProcess::Running);

        // The list of contents matches every entry.
        Backup::Control check;
        const Restore::Checked checked = Restore::inspect(result.path, program.path(), check);
        QVERIFY2(checked.contents, qPrintable(checked.error));

        QTemporaryDir unpacked;
        for (const auto& [name, bytes] : entriesOf(result.path))
            QVERIFY(put(QDir(unpacked.path()).filePath(name), bytes));
        const QByteArray records = readBytes(QDir(unpacked.path()).filePath("2026.prt"));
        const int size = ProtocolRecord::layout().size();
        QCOMPARE(records.size(), qsizetype(kCards) * size);
        for (int p = 1; p <= kCards; ++p) {
            const QByteArray card = records.mid(qsizetype(p - 1) * size, size);
            QVERIFY2(card == rewriteCard(p, u'A').bytes() || card == rewriteCard(p, u'B').bytes(),
                     qPrintable(QStringLiteral("card %1 mixed").arg(p)));
        }
        ArchiveCheck::Control run;
        for (const ArchiveCheck::Finding& f :
             ArchiveCheck::run(unpacked.path() + u'/', run).findings) {
            QVERIFY2(f.problem != ArchiveCheck::Problem::CardChangedOutside &&
                         f.problem != ArchiveCheck::Problem::JournalBroken &&
                         f.problem != ArchiveCheck::Problem::JournalDamaged &&
                         f.problem != ArchiveCheck::Problem::PartialRecord,
                     qPrintable(ArchiveCheck::describe(f)));
        }
    }
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_Backup.moc"
