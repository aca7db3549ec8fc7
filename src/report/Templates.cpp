#include "Templates.h"

namespace Templates {

using Report::Align;
using Report::Band;
using Report::Object;

namespace {

const QColor slateGrey(0x70, 0x80, 0x90);

using CardForm::Part;

// A row whose value is the control the value object is named after.
CardForm::Row row(const char* labelName, const char* label, double labelWidth,
                  const char* frameName, const char* valueName) {
    CardForm::Row r;
    r.label = QString::fromUtf8(label);
    r.value = {Part::field(QLatin1String(valueName))};
    r.labelWidth = labelWidth;
    r.labelName = QLatin1String(labelName);
    r.frameName = QLatin1String(frameName);
    r.valueName = QLatin1String(valueName);
    return r;
}

} // namespace

CardForm::Form protocolCard() {
    CardForm::Row format = row("Memo10", "Formato:", 37.8, "Shape12", "txtFormato");
    format.value = {Part::field(QStringLiteral("txtFormato")),
                    Part::fixed(QStringLiteral("  -  N. pagine: ")),
                    Part::field(QStringLiteral("txtPagine"))};
    // The frames are numbered 2 to 18 without 5.
    return {QStringLiteral("Scheda Protocollo"),
            QStringLiteral("SCHEDA PROTOCOLLO DOCUMENTO"),
            {
                row("Memo1", "Protocollo n.", 37.8, "Shape2", "txtNumero"),
                row("Memo2", "Data registrazione:", 37.8, "Shape3", "txtDataReg"),
                row("Memo3", "Ufficio:", 37.8, "Shape4", "txtUfficio"),
                row("Memo4", "Operatore:", 37.8, "Shape6", "txtOperatore"),
                row("Memo5", "Categoria:", 37.8, "Shape7", "txtCategoria"),
                row("Memo6", "Collocazione cartaceo:", 37.8, "Shape8", "txtCollocazione"),
                row("Memo7", "Oggetto:", 37.8, "Shape9", "txtOggetto"),
                row("Memo8", "Data spedizione:", 37.8, "Shape10", "txtDataSpe"),
                row("Memo9", "Data ricezione:", 39.5, "Shape11", "txtDataRic"),
                format,
                row("Memo11", "Riferimenti:", 37.8, "Shape13", "txtRiferimenti"),
                row("Memo12", "Mittente:", 37.8, "Shape14", "txtMittente"),
                row("Memo13", "Recapito mittente:", 37.8, "Shape15", "txtRecapitoMit"),
                row("Memo14", "Destinatario:", 37.8, "Shape16", "txtDestinatario"),
                row("Memo15", "Recapito destinatario:", 37.8, "Shape17", "txtRecapitoDes"),
                row("Memo16", "Note:", 38.8, "Shape18", "txtNote"),
            },
            QStringLiteral("lblAnnullata")};
}

CardForm::Form documentCard() {
    // The frames are numbered 2 to 25 without 5, 19 and 23 (the footer bar); the labels
    // go on from Memo35 after Memo16.
    return {QStringLiteral("Scheda Documento"),
            QStringLiteral("SCHEDA RIASSUNTIVA DEL DOCUMENTO"),
            {
                row("Memo1", "Documento:", 37.8, "Shape2", "txtDocumento"),
                row("Memo2", "Protocollo n.", 37.8, "Shape3", "txtProtocollo"),
                row("Memo3", "Produttore:", 37.8, "Shape4", "txtProduttore"),
                row("Memo4", "Indirizzo produttore:", 37.8, "Shape6", "txtIndirizzoPro"),
                row("Memo5", "Data produzione:", 37.8, "Shape7", "txtDataPro"),
                row("Memo6", "Destinatario:", 38.8, "Shape8", "txtDestinatario"),
                row("Memo7", "Indirizzo destinatario:", 37.8, "Shape9", "txtIndirizzoDes"),
                row("Memo8", "Data ricezione:", 37.8, "Shape10", "txtDataDes"),
                row("Memo9", "Oggetto:", 38.5, "Shape11", "txtOggetto"),
                row("Memo10", "Tipo documento:", 37.8, "Shape12", "txtTipo"),
                row("Memo11", "Classificazione:", 37.8, "Shape13", "txtClassificazione"),
                row("Memo12", "Fascicolo contenitore:", 37.8, "Shape14", "txtFascicolo"),
                row("Memo13", "Formato:", 37.8, "Shape15", "txtFormato"),
                row("Memo14", "N. pagine:", 37.8, "Shape16", "txtPagine"),
                row("Memo15", "Allegati:", 37.8, "Shape17", "txtAllegati"),
                row("Memo16", "Riferimenti:", 38.8, "Shape18", "txtRiferimenti"),
                row("Memo35", "Livello di riservatezza:", 37.8, "Shape20", "txtLivello"),
                row("Memo36", "Software di produzione:", 37.8, "Shape21", "txtSoftware"),
                row("Memo37", "Luogo conservazione:", 38.8, "Shape22", "txtLuogo"),
                row("Memo38", "Soggetti citati:", 37.8, "Shape24", "txtSoggetti"),
                row("Memo39", "Note:", 37.8, "Shape25", "txtNote"),
            }};
}

Report::Template searchList() {
    const QString verdana = QStringLiteral("Verdana");
    Report::Template list;
    list.name = QStringLiteral("Riepilogo dati");
    list.orientation = Report::Orientation::Landscape;
    list.margin = 10;

    Band title{Band::ReportTitle, QStringLiteral("ReportTitle1"), 8, {}};
    Object heading = Report::textObject(QStringLiteral("txtTitolo"), {2, 1, 273, 5},
                                        QStringLiteral("Riepilogo"), verdana, 9, Align::Center);
    heading.bold = true;
    heading.color = Qt::white;
    heading.fill = slateGrey;
    title.objects.append(heading);

    Band data{Band::MasterData, QStringLiteral("MasterData"), 28, {}};
    data.objects.append(Report::textObject(QStringLiteral("txtRiepilogo"), {3, 0, 273, 27},
                                           QString(), QStringLiteral("Courier New"), 8));

    Band footer{Band::MasterFooter, QStringLiteral("Footer1"), 8, {}};
    Object stamp = Report::textObject(QStringLiteral("txtPagina"), {3, 2, 272, 5},
                                      QStringLiteral("Stampa eseguita in data [DATE]"), verdana, 8,
                                      Align::Center);
    stamp.bold = true;
    stamp.color = Qt::white;
    stamp.fill = slateGrey;
    stamp.dateField = true;
    footer.objects.append(stamp);

    list.bands = {title, data, footer};
    return list;
}

void fillList(Report::Template& list, const QString& title, const QStringList& lines) {
    // Line and band heights as the list was laid out in report units (1/96 inch).
    constexpr double lineUnits = 12.822;
    constexpr double bandExtraUnits = 10;
    const double body = lineUnits * double(lines.size()) * Report::millimetresPerUnit;
    list.setText(QStringLiteral("txtTitolo"), title);
    // One printed line per list line, even if a field written by another program holds a
    // line break.
    QStringList printed = lines;
    for (QString& line : printed) {
        for (QChar& c : line) {
            if (c.unicode() < 32)
                c = u' ';
        }
    }
    list.setText(QStringLiteral("txtRiepilogo"), printed.join(QLatin1Char('\n')));
    list.setHeight(QStringLiteral("txtRiepilogo"), body);
    list.setBandHeight(QStringLiteral("MasterData"),
                       body + bandExtraUnits * Report::millimetresPerUnit);
}

} // namespace Templates
