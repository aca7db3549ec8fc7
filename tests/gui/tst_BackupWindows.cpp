// The backup and the restore as the main menu runs them: the links with their pictures and
// hints, the folder dialog that remembers the last folder, the question that shows what a
// backup holds, and the messages of each outcome.
#include "access/Password.h"
#include "app/Avvio.h"
#include "app/BackupFlow.h"
#include "core/ProgramFolderFixture.h"
#include "support/EveryWindow.h"
#include "support/Files.h"
#include "support/TestServices.h"
#include "ui/LinkLabel.h"
#include "ui/ProgramFolder.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace ProgramFolderFixture;

namespace {

const QString kZipName = QStringLiteral("Faldora_Backup_2026-03-05_1030.zip");

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

class TestBackupWindows : public QObject {
    Q_OBJECT

private slots:
    void theMenuOffersBackupAndRestore_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("picture");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("restore");
        QTest::newRow("backup") << "lnkBackup"
                                << "imgBackup"
                                << "Backup" << false;
        QTest::newRow("restore") << "lnkRipristina"
                                 << "imgRipristina"
                                 << "Ripristina backup" << true;
    }
    // In the foot of the menu beside "Verifica archivio", each with its picture and hint,
    // none over another control.
    void theMenuOffersBackupAndRestore() {
        QFETCH(QString, link);
        QFETCH(QString, picture);
        QFETCH(QString, text);
        QFETCH(bool, restore);
        TestServices services;
        TfrmAvvio menu;
        menu.show();
        auto* label = control<LinkLabel>(&menu, qPrintable(link));
        auto* image = control<Picture>(&menu, qPrintable(picture));
        QCOMPARE(label->text(), text);
        QVERIFY(!label->toolTip().isEmpty());
        QCOMPARE(image->toolTip(), label->toolTip());
        const QRect foot = label->geometry().united(image->geometry());
        for (QWidget* other :
             label->parentWidget()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
            if (other != label && other != image && other->objectName() != "shpSfondo")
                QVERIFY2(!other->geometry().intersects(foot), qPrintable(other->objectName()));
        }
        QSignalSpy backup(&menu, &TfrmAvvio::backupRequested);
        QSignalSpy restoring(&menu, &TfrmAvvio::restoreRequested);
        emit label->clicked();
        QCOMPARE(backup.count(), restore ? 0 : 1);
        QCOMPARE(restoring.count(), restore ? 1 : 0);
    }

    // The zip lands in the chosen folder, the message names it, and the next backup's
    // folder dialog opens there.
    void aBackupGoesToTheChosenFolderAndRemembersIt() {
        TestServices services;
        QVERIFY(fill(services.folderPath()));
        QTemporaryDir target;
        services.nextFolders << target.path() << QString();
        BackupFlow::backup(nullptr);
        QCOMPARE(services.folderStarts.first(),
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
        QCOMPARE(services.messages.size(), 1);
        QCOMPARE(services.lastMessage().kind, MessageKind::Notice);
        QCOMPARE(services.lastMessage().text,
                 QStringLiteral("Backup completato: il file «%1» è nella cartella «%2».")
                     .arg(kZipName, native(target.path())));
        QVERIFY(QFileInfo(QDir(target.path()).filePath(kZipName)).isFile());
        BackupFlow::backup(nullptr);
        QCOMPARE(services.folderStarts.last(), native(target.path()));
        QCOMPARE(services.messages.size(), 1);
    }

    // "Annulla" in the progress window: no zip, and the message says so.
    void theCancelButtonStopsTheBackup() {
        TestServices services;
        QVERIFY(fill(services.folderPath()));
        QTemporaryDir target;
        services.nextFolders << target.path();
        bool clicked = false;
        QTimer::singleShot(0, [&] {
            QWidget* window = QApplication::activeModalWidget();
            QVERIFY(window && window->objectName() == "frmBackup");
            QTest::mouseClick(control<QPushButton>(window, "btnAnnulla"), Qt::LeftButton);
            clicked = true;
        });
        BackupFlow::backup(nullptr);
        QVERIFY(clicked);
        QCOMPARE(services.lastMessage().text,
                 QStringLiteral("Backup annullato: nessun file è stato scritto."));
        QCOMPARE(
            QDir(target.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
            QStringList{});
    }

    void aBackupThatCannotBeWrittenSaysWhy() {
        TestServices services;
        QVERIFY(fill(services.folderPath()));
        QTemporaryDir target;
        const QString missing = QDir(target.path()).filePath("non_esiste");
        services.nextFolders << missing;
        BackupFlow::backup(nullptr);
        QCOMPARE(services.lastMessage().kind, MessageKind::Error);
        QCOMPARE(services.lastMessage().text,
                 QStringLiteral("Impossibile scrivere il backup nella cartella «%1»: controllare "
                                "che esista, che sia scrivibile e che ci sia spazio libero.")
                     .arg(native(missing)));
        QVERIFY(ProgramFolder::settings().backupFolder().isEmpty());
    }

    void theRestoreAsksFirst_data() {
        QTest::addColumn<QString>("zip");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("restored");
        QTest::newRow("confirmed") << "backup" << true << true;
        QTest::newRow("declined") << "backup" << false << false;
        QTest::newRow("a damaged zip") << "damaged" << false << false;
        QTest::newRow("no file chosen") << "" << false << false;
    }
    // The question names the backup's date and what it holds; only a Yes changes the
    // folder, and a damaged zip is refused before any question.
    void theRestoreAsksFirst() {
        QFETCH(QString, zip);
        QFETCH(bool, answer);
        QFETCH(bool, restored);
        TestServices services;
        QVERIFY(fill(services.folderPath()));
        QTemporaryDir target;
        Backup::Control progress;
        const QString path =
            Backup::write(services.folderPath(), target.path(), services.fixedNow, progress).path;
        QVERIFY(put(services.file("2027.prt"), rewriteCard(1, u'C').bytes()));
        const auto before = digest(services.folderPath());
        if (zip == "damaged") {
            writeBytes(path, readBytes(path).left(1000));
            services.nextFiles << path;
        } else {
            services.nextFiles << (zip.isEmpty() ? QString() : path);
        }
        if (zip == "backup")
            services.answers << answer;

        QCOMPARE(BackupFlow::restore(nullptr), restored);
        const QString prima = QStringLiteral("Faldora_Prima_del_ripristino_2026-03-05_1030");
        if (zip == "backup") {
            const auto& question = services.messages.first();
            QCOMPARE(question.kind, MessageKind::Question);
            QVERIFY2(question.text.startsWith(
                         QStringLiteral("Il backup è stato fatto il 05/03/2026 alle 10:30 e "
                                        "contiene:\n• Protocollo 2026: 3 schede\n• Protocollo "
                                        "2025: 3 schede\n• Schedario documenti: 2 schede\n• 3 "
                                        "file allegati\n\nRipristinarlo al posto dei file "
                                        "attuali?")),
                     qPrintable(question.text));
        }
        if (zip == "damaged") {
            QCOMPARE(services.messages.size(), 1);
            QCOMPARE(services.lastMessage().kind, MessageKind::Error);
            QVERIFY(services.lastMessage().text.startsWith(
                QStringLiteral("Il file scelto non è un archivio zip integro")));
        }
        if (restored) {
            QCOMPARE(services.lastMessage().text,
                     QStringLiteral("Ripristino completato. I file di prima sono nella cartella "
                                    "«%1» della cartella del programma.\nFaldora torna "
                                    "all'accesso: vale la password del backup.")
                         .arg(prima));
            QVERIFY(!QFileInfo::exists(services.file("2027.prt")));
            QCOMPARE(readBytes(services.file(prima + "/2027.prt")), rewriteCard(1, u'C').bytes());
        } else {
            QCOMPARE(digest(services.folderPath()), before);
        }
    }

    void aRestoreLeftHalfWayIsUndoneAtTheStart_data() {
        QTest::addColumn<QString>("left");
        QTest::addColumn<bool>("goesOn");
        QTest::addColumn<QString>("message");
        QTest::newRow("nothing") << "" << true << "";
        QTest::newRow("a restore stopped in its swap")
            << "swap" << true
            << "Un ripristino di backup era rimasto interrotto: i file sono stati riportati "
               "com'erano prima.";
        QTest::newRow("a plan that cannot be read")
            << "damaged plan" << false
            << "Un ripristino di backup è rimasto interrotto e i file non si riescono a "
               "riportare com'erano: controllare che la cartella del programma sia scrivibile e "
               "che nessun altro programma tenga aperti i suoi file, poi riavviare Faldora. Il "
               "piano del ripristino è nel file «Faldora_Ripristino.piano».";
    }
    // Before the login: the previous files back, said once; a plan that cannot be followed
    // stops the program rather than let it make new archives in their places.
    void aRestoreLeftHalfWayIsUndoneAtTheStart() {
        QFETCH(QString, left);
        QFETCH(bool, goesOn);
        QFETCH(QString, message);
        TestServices services;
        QVERIFY(fill(services.folderPath()));
        QMap<QString, QByteArray> original;
        if (left == "swap") {
            QTemporaryDir target;
            Backup::Control progress;
            const QString path =
                Backup::write(services.folderPath(), target.path(), services.fixedNow, progress)
                    .path;
            QVERIFY(put(services.file("2027.prt"), rewriteCard(1, u'C').bytes()));
            original = digest(services.folderPath());
            // Stopped after a few moves, as a restore whose process ended there.
            struct Stop {};
            Restore::setStepObserver([](int step) {
                if (step == 4)
                    throw Stop{};
            });
            bool stopped = false;
            try {
                Restore::apply(path, services.folderPath(), services.fixedNow, progress);
            } catch (const Stop&) {
                stopped = true;
            }
            Restore::setStepObserver({});
            QVERIFY(stopped);
            QVERIFY(!QFileInfo::exists(services.file("2025.prt")));
        } else if (left == "damaged plan") {
            QVERIFY(put(services.file(Restore::kPlanFile), "Faldora ripristino 1\nprima\t..\n"));
        }
        const auto expected = digest(services.folderPath(), {Restore::kPlanFile});
        QCOMPARE(BackupFlow::recoverAtStart(), goesOn);
        QCOMPARE(services.messages.isEmpty(), message.isEmpty());
        if (!message.isEmpty())
            QCOMPARE(services.lastMessage().text, message);
        if (left == "swap")
            QCOMPARE(digest(services.folderPath()), original);
        else
            QCOMPARE(digest(services.folderPath(), {Restore::kPlanFile}), expected);
    }

    // After a restore the run starts over from the login: the restored folder may hold
    // another password, and no window keeps a card of the files that went aside.
    void theMenuGoesBackToTheLoginAfterARestore() {
        EveryWindow windows;
        QVERIFY(fill(windows.services.folderPath()));
        QTemporaryDir target;
        Backup::Control progress;
        const QString path = Backup::write(windows.services.folderPath(), target.path(),
                                           windows.services.fixedNow, progress)
                                 .path;
        windows.registry.start();
        windows.registry.showMainMenu(windows.registry.password());
        windows.services.nextFiles << path;
        windows.services.answers << true;
        emit control<LinkLabel>(windows.registry.avvio(), "lnkRipristina")->clicked();
        QVERIFY(windows.registry.password()->isVisible());
        QVERIFY(!windows.registry.avvio()->isVisible());
    }
};

QTEST_MAIN(TestBackupWindows)
#include "tst_BackupWindows.moc"
