// Times the backup ("Backup") and the checked restore ("Ripristina backup") of a program
// folder of 100,000 cards per archive, as a working installation keeps them: a register and
// a document index with their change journals, the register's annulled cards, the
// fingerprints and every file the cards name in "Documenti_Allegati", plus one attached file
// of 1 GB (left out below 5 GB free, as the zip and the restored copy need room too).
// Each figure is the best of three runs, each in a process of its own so that its peak
// memory is its own: the backup (with another copy of the program saving a card every 50 ms
// meanwhile, whose longest wait for the register's lock is printed: the lock is held only
// while the register and its side files are copied aside), the check of the zip alone, and
// the restore into an empty folder (check, unpack, check again, swap). Beside them the peak
// memory of a process that does nothing.

#include "SideFiles.h"
#include "app/Application.h"
#include "core/AttachmentFolder.h"
#include "core/Backup.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/Restore.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <thread>

namespace {

constexpr int kCards = 100000;
constexpr qint64 kSmallBytes = 1024;
constexpr qint64 kHugeBytes = qint64(1) << 30;
constexpr qint64 kHugeRoom = qint64(5) << 30;
const QDateTime kAt(QDate(2026, 3, 5), QTime(10, 30));

// 1 GB that deflate cannot shrink, as scans and PDFs: an 8 MB block of noise over and over
// (far beyond deflate's reach back).
bool writeHuge(const QString& path) {
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    QByteArray block(8 << 20, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(block.data()), block.size() / 4);
    for (qint64 written = 0; written < kHugeBytes; written += block.size()) {
        if (out.write(block) != block.size())
            return false;
    }
    return true;
}

// In the child: one action; prints its seconds, its peak memory and a figure of its own.
int runAction(const QString& action, const QString& folder, const QString& other) {
    QElapsedTimer timer;
    double extra = 0;
    bool ok = true;
    Backup::Control control;
    if (action == QLatin1String("backup")) {
        QDir(other).removeRecursively();
        QDir().mkpath(other);
        // Another copy saving a card every 50 ms: how long its longest save waited.
        std::atomic<bool> stop{false};
        std::atomic<qint64> longest{0};
        std::thread saver([&] {
            const RecordArchive archive(folder + QStringLiteral("2026.prt"),
                                        ProtocolRecord::layout());
            ProtocolRecord card;
            card.setText(ProtocolRecord::Oggetto, QStringLiteral("Salvata durante il backup"));
            while (!stop) {
                QElapsedTimer wait;
                wait.start();
                if (!archive.append(card))
                    longest = -1;
                else if (longest >= 0)
                    longest = std::max<qint64>(longest, wait.elapsed());
                QThread::msleep(50);
            }
        });
        timer.start();
        ok = Backup::write(folder, other, kAt, control).outcome == Backup::Outcome::Written;
        stop = true;
        saver.join();
        extra = double(longest);
    } else if (action == QLatin1String("check")) {
        const QString zip = QDir(other).filePath(Backup::fileName(kAt));
        timer.start();
        const Restore::Checked checked = Restore::inspect(zip, folder, control);
        ok = checked.contents.has_value();
        extra = ok ? double(checked.contents->bytes) / (1024.0 * 1024.0) : 0;
    } else if (action == QLatin1String("restore")) {
        const QString zip = QDir(other).filePath(Backup::fileName(kAt));
        QTemporaryDir into(QDir(folder).filePath(QStringLiteral("../ripristino-XXXXXX")));
        timer.start();
        ok = Restore::apply(zip, into.path() + u'/', kAt, control).outcome ==
             Restore::Outcome::Restored;
    } else if (action == QLatin1String("idle")) {
        timer.start();
    } else {
        return 2;
    }
    if (!ok)
        return 1;
    std::printf("%.3f %.1f %.1f\n", double(timer.nsecsElapsed()) / 1e9,
                BenchSideFiles::peakMegabytes(), extra);
    return 0;
}

struct Figure {
    double seconds = 1e9;
    double peakMb = 0;
    double extra = 0;
};

Figure measure(const QString& action, const QString& folder, const QString& other) {
    Figure best;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {action, folder, other});
        child.waitForFinished(-1);
        const QStringList figures =
            QString::fromUtf8(child.readAllStandardOutput()).trimmed().split(u' ');
        bool ok = false;
        const double seconds = figures.value(0).toDouble(&ok);
        if (child.exitCode() != 0 || !ok) {
            std::fprintf(stderr, "%s failed\n", qPrintable(action));
            continue;
        }
        if (seconds < best.seconds)
            best = {seconds, figures.value(1).toDouble(), figures.value(2).toDouble()};
    }
    return best;
}

double megabytes(qint64 bytes) {
    return double(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() == 4)
        return runAction(args[1], args[2], args[3]);

    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath(QStringLiteral("Faldora")) + u'/';
    const QString target = QDir(dir.path()).filePath(QStringLiteral("Backup"));
    QDir().mkpath(folder);
    QElapsedTimer making;
    making.start();
    const BenchSideFiles::Installation made =
        BenchSideFiles::writeInstallation(folder, kCards, 0, 0, kSmallBytes);
    const int files = made.files;
    if (!made.ok) {
        std::fprintf(stderr, "cannot write the program folder\n");
        return 1;
    }
    const bool huge = QStorageInfo(folder).bytesAvailable() >= kHugeRoom;
    if (huge &&
        !writeHuge(
            QDir(AttachmentFolder::path(folder)).filePath(QStringLiteral("Scansioni_2026.bin")))) {
        std::fprintf(stderr, "cannot write the 1 GB attachment\n");
        return 1;
    }
    qint64 total = 0;
    for (const Backup::Item& item : Backup::dataIn(folder))
        total += QFileInfo(folder + item.path).size();
    std::printf("program folder made in %.1f s: %d cards per archive, %d attached files%s, "
                "%.1f MB to back up\n",
                double(making.nsecsElapsed()) / 1e9, kCards, files,
                huge ? " and one of 1 GB" : " (no 1 GB file: less than 5 GB free)",
                megabytes(total));
    std::printf("\n%-44s %9s %9s\n", "action", "seconds", "peak MB");
    const auto report = [](const char* what, const Figure& f) {
        std::printf("%-44s %9.3f %9.1f\n", what, f.seconds, f.peakMb);
    };
    report("process doing nothing", measure(QStringLiteral("idle"), folder, target));
    const Figure backup = measure(QStringLiteral("backup"), folder, target);
    report("backup", backup);
    report("check of the backup zip", measure(QStringLiteral("check"), folder, target));
    report("restore into an empty folder", measure(QStringLiteral("restore"), folder, target));
    std::printf("\nzip: %.1f MB; ",
                megabytes(QFileInfo(QDir(target).filePath(Backup::fileName(kAt))).size()));
    if (backup.extra < 0)
        std::printf("a save during the backup failed (its lock was held too long)\n");
    else
        std::printf("longest wait of a save during the backup: %.0f ms\n", backup.extra);
    return 0;
}
