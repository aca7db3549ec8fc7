// Prints a card and a long search list of a generated register to two PDF files, the way
// the program prints them, so the pages can be looked at: printsample FOLDER.
#include "core/ProtocolRecord.h"
#include "core/Search.h"
#include "genprotocol/ProtocolGenerator.h"
#include "protocol_outputs/TrovaProtocollo.h"
#include "report/Templates.h"

#include <QDir>
#include <QGuiApplication>
#include <QPdfWriter>
#include <cstdio>

namespace {

bool writePdf(const Report::Template& report, const QString& path) {
    QPdfWriter writer(path);
    return Report::paint(Report::prepare(report, QDateTime::currentDateTime()), writer);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (app.arguments().size() != 2) {
        std::fprintf(stderr, "usage: printsample FOLDER\n");
        return 2;
    }
    const QDir folder(app.arguments().at(1));
    const ProtocolGenerator generator(1, 2026);
    constexpr int kCards = 300;

    // The full card of the generator (every free-text field at its capacity).
    const ProtocolRecord card = generator.card(9, kCards);
    Report::Template sheet = Templates::protocolCard();
    // The card window's field txtX shows the record's field X.
    Templates::fillProtocolCard(
        sheet,
        [&card](const QString& name) {
            const int field = ProtocolRecord::layout().indexOf(name.mid(3));
            return field < 0 ? QString() : card.Record::text(field);
        },
        QDateTime::currentDateTime());

    QStringList lines;
    for (int i = 0; i < kCards; ++i)
        lines.append(
            Search::resultLine(generator.card(i, kCards), TfrmTrovaProtocollo::resultLine()));
    Search::sortForList(lines);
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Protocollo documenti"), lines);

    const QString cardPdf = folder.filePath(QStringLiteral("scheda.pdf"));
    const QString listPdf = folder.filePath(QStringLiteral("elenco.pdf"));
    if (!writePdf(sheet, cardPdf) || !writePdf(list, listPdf)) {
        std::fprintf(stderr, "cannot write the PDF files in %s\n", qPrintable(folder.path()));
        return 1;
    }
    std::printf("%s\n%s\n", qPrintable(cardPdf), qPrintable(listPdf));
    return 0;
}
