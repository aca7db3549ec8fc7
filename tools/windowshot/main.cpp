// windowshot WINDOW OUT.png [CARD]
//
// Draws a window of the program offscreen, as large as a 1280 x 1024 screen, into a PNG,
// to look at it without going through the login. WINDOW is "altri" (the document card
// window) or "protocollo" (the protocol card window); CARD, when given, loads the
// generator's card of that index (a full card when CARD % 50 == 9).
#include "app/Application.h"
#include "documents/Altri.h"
#include "genprotocol/DocumentGenerator.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol/Protocollo.h"

#include <QApplication>
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
