// Times the actions on a register of 100,000 cards and on a document card index of 100,000
// cards: one card read by itself (open, seek, read, close), the four browsing commands, a
// new card and a save (append under the lock, flushed to the disk; rewrite in place), both
// in the archive layer and through the card windows. Prints the figures; the targets are
// under 1 ms to browse and to save.

#include "app/Application.h"
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/RecordArchive.h"
#include "documents/Altri.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Protocollo.h"
#include "ui/Services.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr int kCards = 100000;
constexpr int kRounds = 2000;

// The saves' confirmations would wait for a click.
class SilentMessages : public MessageService {
public:
    bool show(QWidget*, MessageKind, const QString&) override { return true; }
};

void report(const char* what, std::vector<qint64> ns) {
    std::sort(ns.begin(), ns.end());
    double sum = 0;
    for (qint64 v : ns)
        sum += double(v);
    const auto at = [&](double q) {
        return double(ns[std::size_t(q * double(ns.size() - 1))]) / 1000.0;
    };
    std::printf("%-34s mean %8.1f us   median %8.1f us   p99 %8.1f us   max %8.1f us\n", what,
                sum / double(ns.size()) / 1000.0, at(0.5), at(0.99), at(1.0));
}

void time(const char* what, const std::function<void(int)>& action) {
    std::vector<qint64> ns;
    ns.reserve(kRounds);
    QElapsedTimer timer;
    for (int i = 0; i < kRounds; ++i) {
        timer.start();
        action(i);
        ns.push_back(timer.nsecsElapsed());
    }
    report(what, std::move(ns));
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("2026.prt"));
    QElapsedTimer timer;
    timer.start();
    QString error;
    if (!ProtocolGenerator(7, 2026).writeRegister(path, kCards, &error)) {
        std::fprintf(stderr, "cannot write the register: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("register of %d cards (%lld MB) written in %lld ms\n\n", kCards,
                qint64(kCards) * ProtocolRecord::layout().size() / 1000000, timer.elapsed());

    QRandomGenerator random(42);
    std::vector<int> positions(kRounds);
    for (int& p : positions)
        p = random.bounded(1, kCards + 1);

    const RecordArchive archive(path, ProtocolRecord::layout());
    time("archive: read a random card", [&](int i) { archive.read(positions[std::size_t(i)]); });
    time("archive: count", [&](int) { archive.count(); });
    time("archive: next from a random card",
         [&](int i) { archive.browse(BrowseCommand::Next, positions[std::size_t(i)]); });
    time("archive: last", [&](int) { archive.browse(BrowseCommand::Last, std::nullopt); });
    const ProtocolRecord sample = ProtocolGenerator(7, 2026).card(500, kCards);
    time("archive: append (locked, on disk)", [&](int) { archive.append(sample); });

    SilentMessages silent;
    Services::setMessages(&silent);
    TfrmProtocollo window;
    // The window's hidden state, as the tests reach it: by name.
    window.findChild<QLabel*>(QStringLiteral("lblFile"))->setText(path);
    auto* lblPosizione = window.findChild<QLabel*>(QStringLiteral("lblPosizione"));
    auto from = [&](int i) { lblPosizione->setText(QString::number(positions[std::size_t(i)])); };
    std::printf("\n");
    time("window: first", [&](int) { window.first(); });
    time("window: last", [&](int) { window.last(); });
    time("window: next from a random card", [&](int i) {
        from(i);
        window.next();
    });
    time("window: previous from a random card", [&](int i) {
        from(i);
        window.previous();
    });
    time("window: new card (settings, count)", [&](int) { window.newCard(); });
    time("window: save a new card (append)", [&](int) {
        window.newCard();
        window.CaricaScheda(sample, 1);
        lblPosizione->clear();
        window.saveCard();
    });
    time("window: save a stored card (rewrite)", [&](int i) {
        window.CaricaScheda(sample, positions[std::size_t(i)]);
        window.saveCard();
    });

    // The document card index.
    const Services::FolderScope folder(dir.path());
    const RecordArchive index = DocumentArchive::in(folder.programFolder());
    timer.start();
    if (!DocumentGenerator(7, 2026).writeIndex(index.path(), kCards, &error)) {
        std::fprintf(stderr, "cannot write the card index: %s\n", qPrintable(error));
        return 1;
    }
    std::printf("\ncard index of %d cards (%lld MB) written in %lld ms\n\n", kCards,
                qint64(kCards) * DocumentRecord::layout().size() / 1000000, timer.elapsed());
    time("index: read a random card", [&](int i) { index.read(positions[std::size_t(i)]); });
    time("index: next from a random card",
         [&](int i) { index.browse(BrowseCommand::Next, positions[std::size_t(i)]); });
    const DocumentRecord document = DocumentGenerator(7, 2026).card(509, kCards);
    time("index: append (locked, on disk)", [&](int) { index.append(document); });

    TfrmAltri cards;
    auto* position = cards.findChild<QLabel*>(QStringLiteral("lblPosizione"));
    std::printf("\n");
    time("document window: first", [&](int) { cards.first(); });
    time("document window: last", [&](int) { cards.last(); });
    time("document window: next from a random card", [&](int i) {
        position->setText(QString::number(positions[std::size_t(i)]));
        cards.next();
    });
    time("document window: previous from a random card", [&](int i) {
        position->setText(QString::number(positions[std::size_t(i)]));
        cards.previous();
    });
    time("document window: save a new card (append)", [&](int) {
        cards.CaricaScheda(document, 1);
        position->clear();
        cards.saveCard();
    });
    time("document window: save a stored card (rewrite)", [&](int i) {
        cards.CaricaScheda(document, positions[std::size_t(i)]);
        cards.saveCard();
    });
    time("document window: duplicate a stored card", [&](int i) {
        cards.CaricaScheda(document, positions[std::size_t(i)]);
        cards.duplicate();
    });
    Services::setMessages(nullptr);
    return 0;
}
