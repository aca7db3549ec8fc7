// Times the history window ("Cronologia") over a change journal of a million lines: a
// register of 10,000 cards whose journal holds 100,000 saves of nine changed fields each,
// chained as the program chains them. Prints the seconds from the window's opening until its
// rows show, for a card with many saves and for one with few, best of three, and the
// process's peak memory; the target is a window that opens at once, fills within a few
// seconds with its progress bar moving, and holds only the card's rows.

#include "SideFiles.h"
#include "app/Application.h"
#include "core/Journal.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "genprotocol/ProtocolGenerator.h"
#include "ui/Cronologia.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

namespace {

constexpr int kCards = 10000;
constexpr int kSaves = 100000;
constexpr int kFieldsPerSave = 9;

// The journal's lines, written at once: each save rewrites nine fields of a card (card 1
// gets every hundredth save), then its closing entry.
bool writeJournal(const QString& archivePath, qint64* lines) {
    BenchSideFiles::JournalFile journal(archivePath);
    const Journal::Identity identity = ProtocolRecord::journalIdentity(archivePath);
    const QDateTime start(QDate(2026, 1, 2), QTime(8, 0, 0));
    const auto& layout = ProtocolRecord::layout();
    for (int save = 0; save < kSaves; ++save) {
        const int position = save % 100 == 0 ? 1 : 2 + save % (kCards - 1);
        const QDateTime at = start.addSecs(qint64(save) * 60);
        QList<Journal::Entry> block;
        for (int f = 0; f <= kFieldsPerSave; ++f) {
            Journal::Entry entry;
            entry.at = at;
            entry.archive = identity.archive;
            entry.kind = Journal::Kind::Rewrite;
            entry.position = position;
            entry.card = QStringLiteral("%1/2026").arg(position);
            if (f < kFieldsPerSave) {
                entry.field = QString::fromLatin1(layout.field(5 + f).name);
                entry.before = QStringLiteral("Testo della modifica %1").arg(save);
                entry.after = QStringLiteral("Testo della modifica %1").arg(save + 1);
            } else {
                entry.kind = Journal::Kind::Close;
                entry.before = QString::fromLatin1(Journal::digest(QByteArray::number(save)));
                entry.after = QString::fromLatin1(Journal::digest(QByteArray::number(save + 1)));
            }
            block.append(entry);
        }
        if (!journal.add(block))
            return false;
    }
    *lines = journal.lines();
    return journal.finish();
}

// Seconds from the window's creation until its rows show, best of three; its row count.
double openHistory(const QString& path, int position, int* rows) {
    double best = 1e9;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer timer;
        timer.start();
        TfrmCronologia window(nullptr, {path, &ProtocolRecord::layout(), position,
                                        ProtocolRecord::journalIdentity(path),
                                        [](const QString& field) { return field; }});
        window.show();
        while (!window.isLoaded())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        best = std::min(best, double(timer.nsecsElapsed()) / 1e9);
        *rows = window.findChild<QTableView*>()->model()->rowCount();
    }
    return best;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026.prt"));
    QString error;
    if (!ProtocolGenerator(7, 2026).writeRegister(path, kCards, &error)) {
        std::fprintf(stderr, "cannot write the register: %s\n", qPrintable(error));
        return 1;
    }
    qint64 lines = 0;
    if (!writeJournal(path, &lines)) {
        std::fprintf(stderr, "cannot write the journal\n");
        return 1;
    }
    std::printf("journal of %lld lines (%lld MB) beside a register of %d cards\n\n", lines,
                QFile(Journal::pathFor(path)).size() / 1000000, kCards);

    int rows = 0;
    const double many = openHistory(path, 1, &rows);
    std::printf("%-34s %8.3f s  %6d rows\n", "history of a card of 1,000 saves", many, rows);
    const double few = openHistory(path, 2, &rows);
    std::printf("%-34s %8.3f s  %6d rows\n", "history of a card of ten saves", few, rows);
    std::printf("%-34s %8.1f MB\n", "peak memory", BenchSideFiles::peakMegabytes());
    return 0;
}
