// A second copy of the program for the concurrency tests, as a separate process:
//   archive_worker append PATH NAME COUNT [documents]
//                                           appends COUNT cards numbered "NAME-n" to a
//                                           register (or the document card index); each
//                                           repeats its number through the subject, so a
//                                           card torn by another writer shows
//   archive_worker timed PATH COUNT         appends COUNT cards, one every 50 ms, and prints
//                                           the longest wait for one append in ms
//   archive_worker scan PATH STOPFILE       scans the register back to back until STOPFILE
//                                           exists; prints the number of scans
//   archive_worker settings PATH SECTION COUNT
//                                           writes Valore=1..COUNT into SECTION of a
//                                           settings file; fails when a write fails (with
//                                           the writer's message) or when, before a write,
//                                           its own last value is gone (another copy's write
//                                           put back an older file)
//   archive_worker rewrite PATH COUNT [PAUSE]
//                                           rewrites cards 1..COUNT in turn, alternating
//                                           between versions A and B, until killed; PAUSE ms
//                                           after each, as a user saving often would
//   archive_worker rewrite-dying PATH POSITION VERSION SYNCS
//                                           rewrites one card to VERSION and dies, as in a
//                                           power cut, at the sync after SYNCS more; at
//                                           POSITION count + 1 appends it instead
//   A last argument "journaled" to rewrite and rewrite-dying writes the change journal too;
//   "fingerprinted" writes it and keeps the attachments' fingerprints, the card's digital
//   copy having been attached with the SHA-256 of its version letter.
//   archive_worker restore-dying ZIP FOLDER STEP
//                                           restores the backup ZIP into the program folder
//                                           FOLDER and dies, as in a power cut, at STEP of
//                                           its swap of the files
//   archive_worker annul-dying PATH POSITION SYNCS
//                                           annuls the card at POSITION of a register (the
//                                           journal and the annulments side file) and dies,
//                                           as in a power cut, at the sync after SYNCS more
#include "RewriteCards.h"
#include "core/Annulments.h"
#include "core/DocumentRecord.h"
#include "core/Fingerprints.h"
#include "core/IniFile.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "core/Restore.h"
#include "core/platform/FileLock.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QStringList>
#include <QThread>
#include <cstdio>
#include <cstdlib>

namespace {

int append(const RecordArchive& archive, const QString& name, int count) {
    // The number goes into the first field of either archive's record.
    const RecordLayout& layout = archive.layout();
    for (int n = 1; n <= count; ++n) {
        const QString number = QStringLiteral("%1-%2").arg(name).arg(n);
        Record card(layout);
        card.setText(0, number);
        card.setText(layout.indexOf(QStringLiteral("Oggetto")), (number + u' ').repeated(40));
        card.setText(layout.indexOf(QStringLiteral("Desc03")), number);
        if (!archive.append(card)) {
            std::fprintf(stderr, "append %d failed\n", n);
            return 1;
        }
    }
    return 0;
}

int timed(const RecordArchive& archive, int count) {
    qint64 longest = 0;
    for (int n = 1; n <= count; ++n) {
        ProtocolRecord card;
        card.setText(ProtocolRecord::Numero, QStringLiteral("T-%1").arg(n));
        QElapsedTimer clock;
        clock.start();
        if (!archive.append(card)) {
            std::fprintf(stderr, "append %d failed after %lld ms\n", n,
                         static_cast<long long>(clock.elapsed()));
            return 1;
        }
        longest = std::max(longest, clock.elapsed());
        QThread::msleep(50);
    }
    std::printf("%lld\n", static_cast<long long>(longest));
    return 0;
}

int scan(const RecordArchive& archive, const QString& stopFile) {
    int scans = 0;
    while (!QFile::exists(stopFile)) {
        int seen = 0;
        if (!archive.scan([&](int, const Record&) { ++seen; }))
            return 1;
        ++scans;
    }
    std::printf("%d\n", scans);
    return 0;
}

int settings(const QString& path, const QString& section, int count) {
    const IniFile file(path);
    const QString key = QStringLiteral("Valore");
    for (int n = 1; n <= count; ++n) {
        const QString before = file.read(section, key);
        if (n > 1 && before != QString::number(n - 1)) {
            std::fprintf(stderr, "value %d lost (found \"%s\")\n", n - 1, qPrintable(before));
            return 3;
        }
        QString error;
        if (!file.write(section, key, QString::number(n), &error)) {
            std::fprintf(stderr, "write %d failed: %s\n", n, qPrintable(error));
            return 1;
        }
    }
    return 0;
}

int rewrite(const RecordArchive& archive, int count, int pauseMs = 0) {
    for (long long i = 0;; ++i) {
        const int position = int(i % count) + 1;
        const QChar version = (i / count) % 2 ? u'B' : u'A';
        if (!archive.update(position, rewriteCard(position, version)))
            return 1;
        if (pauseMs > 0)
            QThread::msleep(static_cast<unsigned long>(pauseMs));
    }
}

int rewriteDying(RecordArchive archive, int position, QChar version, int syncs,
                 bool fingerprinted) {
    const auto count = archive.count();
    if (!count)
        return 1;
    if (fingerprinted) {
        auto journaling = *archive.journaling();
        Fingerprints::install(
            journaling, archive.path(),
            {{QStringLiteral("Copia"), rewriteCard(position, version).text(ProtocolRecord::Copia),
              Journal::digest(QString(version).toLatin1())}});
        archive.setJournaling(journaling);
    }
    FileLock::faults().syncsBeforeDeath = syncs;
    if (position == *count + 1)
        return archive.append(rewriteCard(position, version)) ? 0 : 1;
    return archive.update(position, rewriteCard(position, version)) ? 0 : 1;
}

int annulDying(const QString& path, int position, int syncs) {
    RecordArchive archive(path, ProtocolRecord::layout());
    const QDateTime at(QDate(2026, 3, 5), QTime(10, 30));
    const Journal::Identity identity = ProtocolRecord::journalIdentity(path);
    archive.setJournaling(Annulments::journaling(path, at));
    const auto card = archive.read(position);
    if (!card)
        return 1;
    FileLock::faults().syncsBeforeDeath = syncs;
    return archive.annotate(position, Annulments::entries(identity, at, position,
                                                          card->text(ProtocolRecord::Numero),
                                                          QStringLiteral("Registrata due volte"),
                                                          QStringLiteral("Il responsabile")))
               ? 0
               : 1;
}

} // namespace

int restoreDying(const QString& zip, const QString& folder, int step) {
    Restore::setStepObserver([step](int n) {
        if (n == step)
            std::_Exit(86);
    });
    Backup::Control control;
    return Restore::apply(zip, folder, QDateTime(QDate(2026, 3, 6), QTime(9, 15)), control)
                       .outcome == Restore::Outcome::Restored
               ? 0
               : 1;
}

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QString mode = args[1];
    if (mode == QLatin1String("restore-dying") && args.size() == 5)
        return restoreDying(args[2], args[3], args[4].toInt());
    RecordArchive archive(args[2], ProtocolRecord::layout());
    const bool fingerprinted = args.last() == QLatin1String("fingerprinted");
    if (args.last() == QLatin1String("journaled") || fingerprinted) {
        archive.setJournaling({ProtocolRecord::journalIdentity(args[2]),
                               QDateTime(QDate(2026, 3, 5), QTime(10, 30)), Journal::Kind::New});
        args.removeLast();
    }
    if (mode == QLatin1String("append") && args.size() == 5)
        return append(archive, args[3], args[4].toInt());
    if (mode == QLatin1String("append") && args.size() == 6 &&
        args[5] == QLatin1String("documents"))
        return append(RecordArchive(args[2], DocumentRecord::layout()), args[3], args[4].toInt());
    if (mode == QLatin1String("timed") && args.size() == 4)
        return timed(archive, args[3].toInt());
    if (mode == QLatin1String("scan") && args.size() == 4)
        return scan(archive, args[3]);
    if (mode == QLatin1String("settings") && args.size() == 5)
        return settings(args[2], args[3], args[4].toInt());
    if (mode == QLatin1String("rewrite") && args.size() == 4)
        return rewrite(archive, args[3].toInt());
    if (mode == QLatin1String("rewrite") && args.size() == 5)
        return rewrite(archive, args[3].toInt(), args[4].toInt());
    if (mode == QLatin1String("rewrite-dying") && args.size() == 6)
        return rewriteDying(archive, args[3].toInt(), args[4].at(0), args[5].toInt(),
                            fingerprinted);
    if (mode == QLatin1String("annul-dying") && args.size() == 5)
        return annulDying(args[2], args[3].toInt(), args[4].toInt());
    return 2;
}
