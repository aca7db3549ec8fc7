// windowshot WINDOW OUT.png [CARD]
//
// Draws a window of the program offscreen, as large as a 1280 x 1024 screen, into a PNG,
// to look at it without going through the login. WINDOW is "altri" (the document card
// window) or "protocollo" (the protocol card window); CARD, when given, loads the
// generator's card of that index (a full card when CARD % 50 == 9).
//
// windowshot annullata OUT.png FOLDER    the protocol card window showing an annulled card
//                                         of a register made in FOLDER
// windowshot annulla OUT.png             the annulment window, filled in
#include "app/Application.h"
#include "core/Annulments.h"
#include "documents/Altri.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Annulla.h"
#include "protocol/Protocollo.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <cstdio>
#include <memory>

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Application::configure(app);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: windowshot altri|protocollo OUT.png [CARD]\n");
        return 2;
    }
    if (args[1] == QLatin1String("annulla")) {
        TfrmAnnulla dialog(nullptr, QStringLiteral("17/2026"));
        dialog.findChild<QLineEdit*>(QStringLiteral("txtMotivo"))
            ->setText(QStringLiteral("Documento registrato due volte (vedi n. 16/2026)"));
        dialog.findChild<QLineEdit*>(QStringLiteral("txtAutorizzato"))
            ->setText(QStringLiteral("Dott.ssa Maria Rossi, responsabile del protocollo"));
        dialog.show();
        QApplication::processEvents();
        return dialog.grab().save(args[2]) ? 0 : 1;
    }
    if (args[1] == QLatin1String("annullata") && args.size() > 3) {
        const QString path = QDir(args[3]).filePath(QStringLiteral("2026.prt"));
        QFile::remove(path);
        QFile::remove(Journal::pathFor(path));
        QFile::remove(Annulments::pathFor(path));
        RecordArchive archive(path, ProtocolRecord::layout());
        const Journal::Identity identity = ProtocolRecord::journalIdentity(path);
        const QDateTime at(QDate(2026, 3, 5), QTime(10, 30));
        archive.setJournaling({identity,
                               at,
                               Journal::Kind::New,
                               Annulments::follower(path),
                               {},
                               Annulments::allowance(path)});
        const ProtocolRecord card = ProtocolGenerator(1, 2026).card(9, 100);
        if (!archive.append(card) ||
            !archive.annotate(
                1, Annulments::entries(identity, at, 1, card.text(ProtocolRecord::Numero),
                                       QStringLiteral("Documento registrato due volte (vedi n. "
                                                      "16/2026)"),
                                       QStringLiteral("Dott.ssa Maria Rossi"))))
            return 1;
        TfrmProtocollo window;
        window.resize(1280, 1024);
        window.show();
        window.findChild<QLabel*>(QStringLiteral("lblFile"))->setText(path);
        window.loadCard(*archive.read(1), 1);
        QApplication::processEvents();
        return window.grab().save(args[2]) ? 0 : 1;
    }
    std::unique_ptr<CardWindow> window;
    const int card = args.size() > 3 ? args[3].toInt() : -1;
    if (args[1] == QLatin1String("altri")) {
        window = std::make_unique<TfrmAltri>();
        window->resize(1280, 1024);
        window->show();
        if (card >= 0)
            window->loadCard(DocumentGenerator(1, 2026).card(card, 100), card + 1);
    } else if (args[1] == QLatin1String("protocollo")) {
        window = std::make_unique<TfrmProtocollo>();
        window->resize(1280, 1024);
        window->show();
        if (card >= 0)
            window->loadCard(ProtocolGenerator(1, 2026).card(card, 100), card + 1);
    } else {
        std::fprintf(stderr, "unknown window\n");
        return 2;
    }
    QApplication::processEvents();
    return window->grab().save(args[2]) ? 0 : 1;
}
