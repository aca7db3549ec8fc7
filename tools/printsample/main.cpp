// Prints a protocol card and a long search list of a generated register, a document card
// and the to-complete list of a generated card index, to four PDF files, the way the
// program prints them, so the pages can be looked at: printsample FOLDER.
#include "core/DocumentRecord.h"
#include "core/ProtocolRecord.h"
#include "core/Search.h"
#include "documents/TrovaAltri.h"
#include "genprotocol/DocumentGenerator.h"
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
    const CardForm::Form protocolForm = Templates::protocolCard();
    Report::Template sheet = CardForm::layout(protocolForm);
    // The card window's field txtX shows the record's field X.
    CardForm::fill(
        sheet, protocolForm,
        [&card](const QString& name) {
            const int field = ProtocolRecord::layout().indexOf(name.mid(3));
            return field < 0 ? QString() : card.Record::text(field);
        },
        QDateTime::currentDateTime());

    // A document card whose fields hold long texts with accents, the longest cut at the
    // value's edge.
    const CardForm::Form documentForm = Templates::documentCard();
    Report::Template document = CardForm::layout(documentForm);
    CardForm::fill(
        document, documentForm,
        [](const QString& name) {
            QString text = QStringLiteral("%1 — è già qui, città di Forlì").arg(name.mid(3));
            if (name == QLatin1String("txtOggetto") || name == QLatin1String("txtNote"))
                text = (text + QLatin1Char(' ')).repeated(8);
            return text;
        },
        QDateTime::currentDateTime());

    QStringList lines;
    for (int i = 0; i < kCards; ++i)
        lines.append(
            Search::resultLine(generator.card(i, kCards), TfrmTrovaProtocollo::resultLine()));
    Search::sortForList(lines);
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Protocollo documenti"), lines);

    const DocumentGenerator documents(1, 2026);
    QStringList marked;
    for (int i = 0; i < kCards; ++i) {
        const DocumentRecord doc = documents.card(i, kCards);
        if (doc.text(DocumentRecord::DaCompletare) == DocumentRecord::Yes)
            marked.append(Search::resultLine(doc, TfrmTrovaAltri::resultLine()));
    }
    Search::sortForList(marked);
    Report::Template toComplete = Templates::searchList();
    Templates::fillList(toComplete, QStringLiteral("Riepilogo documenti da completare"), marked);

    const QString cardPdf = folder.filePath(QStringLiteral("scheda.pdf"));
    const QString listPdf = folder.filePath(QStringLiteral("elenco.pdf"));
    const QString documentPdf = folder.filePath(QStringLiteral("scheda_documento.pdf"));
    const QString toCompletePdf = folder.filePath(QStringLiteral("da_completare.pdf"));
    if (!writePdf(sheet, cardPdf) || !writePdf(list, listPdf) || !writePdf(document, documentPdf) ||
        !writePdf(toComplete, toCompletePdf)) {
        std::fprintf(stderr, "cannot write the PDF files in %s\n", qPrintable(folder.path()));
        return 1;
    }
    std::printf("%s\n%s\n%s\n%s\n", qPrintable(cardPdf), qPrintable(listPdf),
                qPrintable(documentPdf), qPrintable(toCompletePdf));
    return 0;
}
