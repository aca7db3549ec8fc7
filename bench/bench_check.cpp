// Times the archive check ("Verifica archivio") over a program folder of 100,000 cards per
// archive, as a working installation keeps them: a register and a document index, each with
// its change journal (every card saved once as a new card; 1 % of the register annulled
// afterwards), the register's annulled cards, the fingerprints of every attached file, and
// in "Documenti_Allegati" every file the cards name (200 of 100 KB, the rest small).
// Each figure is the best of three runs, each in a process of its own so that its peak
// memory is its own: the check itself, and the check window from its start to its result
// shown; beside them the peak memory of a process that does nothing, to tell the check's
// own share. Then the same check once one attached file is 1 GB, when the disk has room
// (skipped below 3 GB free). The folder is clean: the check should find nothing in it but
// what the generated cards themselves hold, and the findings are listed by kind.

#include "SideFiles.h"
#include "app/Application.h"
#include "app/Verifica.h"
#include "core/ArchiveCheck.h"
#include "core/AttachmentFolder.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/ProtocolRecord.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "ui/Services.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMap>
#include <QProcess>
#include <QStorageInfo>
#include <QTemporaryDir>
#include <cstdio>

namespace {

constexpr int kCards = 100000;
constexpr int kLargeFiles = 200;
constexpr qint64 kLargeBytes = 100 * 1024;
constexpr qint64 kSmallBytes = 1024;
constexpr qint64 kHugeBytes = qint64(1) << 30;
constexpr qint64 kHugeRoom = qint64(3) << 30;

// Makes the attached file `name` 1 GB, and its fingerprints follow it.
bool makeHuge(const QString& folder, const QStringList& archives, const QString& name) {
    QFile out(AttachmentFolder::fileFor(folder, name));
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const QByteArray block = BenchSideFiles::fileBytes(name, 8 << 20);
    for (qint64 written = 0; written < kHugeBytes; written += block.size()) {
        if (out.write(block) != block.size())
            return false;
    }
    out.close();
    const auto sum = Fingerprints::ofFile(out.fileName());
    if (!sum)
        return false;
    for (const QString& archive : archives) {
        const QString sideFile = Fingerprints::pathFor(folder + archive);
        Fingerprints::Reading reading = Fingerprints::read(sideFile);
        for (Fingerprints::Line& line : reading.lines) {
            if (line.name == name)
                line.sha256 = *sum;
        }
        QFile file(sideFile);
        const QByteArray bytes = Fingerprints::bytes(reading.lines);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            return false;
    }
    return true;
}

const char* problemName(ArchiveCheck::Problem problem) {
    using P = ArchiveCheck::Problem;
    switch (problem) {
    case P::Unreadable:
        return "unreadable";
    case P::DamagedRecord:
        return "damaged record";
    case P::PartialRecord:
        return "partial record";
    case P::NumberMissing:
        return "number missing";
    case P::NumberTwice:
        return "number twice";
    case P::NumbersSkipped:
        return "numbers skipped";
    case P::AttachmentMissing:
        return "attachment missing";
    case P::FileUnnamed:
        return "file named by no card";
    case P::JournalDamaged:
        return "journal damaged";
    case P::JournalBroken:
        return "journal broken";
    case P::CardChangedOutside:
        return "card changed outside";
    case P::FingerprintChanged:
        return "fingerprint changed";
    case P::SideFileDamaged:
        return "side file damaged";
    }
    return "?";
}

// In the child: runs one action and prints its seconds, its peak memory and its findings'
// count, then one line per kind of finding (count, and the first one's words).
int runAction(const QString& action, const QString& folder) {
    const Services::FolderScope programFolder(folder);
    QElapsedTimer timer;
    ArchiveCheck::Result result;
    if (action == QLatin1String("check")) {
        ArchiveCheck::Control control;
        timer.start();
        result = ArchiveCheck::run(folder, control);
    } else if (action == QLatin1String("window")) {
        TfrmVerifica window(nullptr);
        window.show();
        QApplication::processEvents();
        timer.start();
        window.start();
        while (window.running())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QApplication::processEvents();
        result = window.result();
    } else if (action == QLatin1String("idle")) {
        timer.start();
    } else {
        return 2;
    }
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    std::printf("%.3f %.1f %lld\n", seconds, BenchSideFiles::peakMegabytes(),
                qint64(result.findings.size()));
    QMap<int, QList<const ArchiveCheck::Finding*>> byKind;
    for (const ArchiveCheck::Finding& f : result.findings)
        byKind[int(f.problem)].append(&f);
    for (auto it = byKind.cbegin(); it != byKind.cend(); ++it) {
        const ArchiveCheck::Finding& first = *it.value().first();
        std::printf("%6lld  %-22s e.g. %s pos. %d %s: %s\n", qint64(it.value().size()),
                    problemName(first.problem), qPrintable(first.archive), first.position,
                    qPrintable(first.card), qPrintable(ArchiveCheck::describe(first)));
    }
    return 0;
}

struct Figure {
    double seconds = 1e9;
    double peakMb = 0;
    qint64 findings = -1;
    QString kinds;
};

// Best of three runs, each in a process of its own.
Figure measure(const QString& action, const QString& folder) {
    Figure best;
    for (int run = 0; run < 3; ++run) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {action, folder});
        child.waitForFinished(-1);
        const QString out = QString::fromUtf8(child.readAllStandardOutput());
        const qsizetype nl = out.indexOf(u'\n');
        const QStringList figures = out.left(nl).trimmed().split(u' ');
        bool ok = false;
        const double seconds = figures.value(0).toDouble(&ok);
        if (ok && seconds < best.seconds)
            best = {seconds, figures.value(1).toDouble(), figures.value(2).toLongLong(),
                    out.mid(nl + 1)};
    }
    return best;
}

void report(const char* what, const Figure& f) {
    std::printf("%-34s %9.3f %9.1f %9lld\n", what, f.seconds, f.peakMb, f.findings);
}

double megabytes(const QString& path) {
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() == 3)
        return runAction(args[1], args[2]);

    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QElapsedTimer making;
    making.start();
    const BenchSideFiles::Installation attached =
        BenchSideFiles::writeInstallation(folder, kCards, kLargeFiles, kLargeBytes, kSmallBytes);
    const QStringList& archives = attached.archives;
    if (!attached.ok) {
        std::fprintf(stderr, "cannot write the program folder\n");
        return 1;
    }
    std::printf("program folder made in %.1f s\n", double(making.nsecsElapsed()) / 1e9);
    for (const QString& archive : archives) {
        std::printf("%s: %d cards, %.1f MB; side files: %s\n", qPrintable(archive), kCards,
                    megabytes(folder + archive),
                    qPrintable(BenchSideFiles::presentText(folder + archive)));
    }
    std::printf("%s: %d files, %.1f MB (%d of %lld KB)", qPrintable(AttachmentFolder::Name),
                attached.files, double(attached.bytes) / (1024.0 * 1024.0),
                std::min(attached.files, kLargeFiles), kLargeBytes / 1024);
    if (attached.unwritable)
        std::printf("; %d names the file system refused", attached.unwritable);
    std::printf("\n\n%-34s %9s %9s %9s\n", "action", "seconds", "peak MB", "findings");

    report("process doing nothing", measure(QStringLiteral("idle"), folder));
    const Figure check = measure(QStringLiteral("check"), folder);
    report("archive check", check);
    report("check window, start to result", measure(QStringLiteral("window"), folder));

    if (QStorageInfo(folder).bytesAvailable() < kHugeRoom) {
        std::printf("(no 1 GB attachment: less than 3 GB free)\n");
    } else if (!makeHuge(folder, archives, attached.firstLarge)) {
        std::fprintf(stderr, "cannot write the 1 GB attachment\n");
        return 1;
    } else {
        report("archive check, one file of 1 GB", measure(QStringLiteral("check"), folder));
    }
    std::printf("\nfindings of the check by kind:\n%s", qPrintable(check.kinds));
    return 0;
}
