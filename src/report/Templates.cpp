#include "Templates.h"

#include "core/ShortDate.h"
#include "core/TextField.h"

#include <array>

namespace Templates {

using Report::Align;
using Report::Band;
using Report::Object;

namespace {

const QColor lightSteelBlue(0xB0, 0xC4, 0xDE);
const QColor gold(0xFF, 0xD7, 0x00);
const QColor slateGrey(0x70, 0x80, 0x90);

Object rectangle(const QString& name, const QRectF& rect, const QColor& fill) {
    Object o;
    o.kind = Object::Rectangle;
    o.name = name;
    o.rect = rect;
    o.fill = fill;
    o.outline = Qt::black;
    return o;
}

Object text(const QString& name, const QRectF& rect, const QString& body, const QString& family,
            double pointSize, Align align = Align::Left) {
    Object o;
    o.kind = Object::Text;
    o.name = name;
    o.rect = rect;
    o.text = body;
    o.fontFamily = family;
    o.pointSize = pointSize;
    o.align = align;
    return o;
}

struct Row {
    const char* label;
    const char* value;
};

// The card's rows, top to bottom: label text and the name of the value object.
constexpr std::array<Row, 16> cardRows{{
    {"Protocollo n.", "txtNumero"},
    {"Data registrazione:", "txtDataReg"},
    {"Ufficio:", "txtUfficio"},
    {"Operatore:", "txtOperatore"},
    {"Categoria:", "txtCategoria"},
    {"Collocazione cartaceo:", "txtCollocazione"},
    {"Oggetto:", "txtOggetto"},
    {"Data spedizione:", "txtDataSpe"},
    {"Data ricezione:", "txtDataRic"},
    {"Formato:", "txtFormato"},
    {"Riferimenti:", "txtRiferimenti"},
    {"Mittente:", "txtMittente"},
    {"Recapito mittente:", "txtRecapitoMit"},
    {"Destinatario:", "txtDestinatario"},
    {"Recapito destinatario:", "txtRecapitoDes"},
    {"Note:", "txtNote"},
}};

} // namespace

Report::Template protocolCard() {
    const QString arial = QStringLiteral("Arial");
    Report::Template card;
    card.name = QStringLiteral("Scheda Protocollo");
    card.orientation = Report::Orientation::Portrait;
    card.margin = 10;

    auto& objects = card.pageObjects;
    objects.append(rectangle(QStringLiteral("Shape1"), {1, 1, 188, 5.8}, lightSteelBlue));
    objects.append(text(QStringLiteral("titArcataSup"), {2, 2, 185.8, 4.2},
                        QStringLiteral("SCHEDA PROTOCOLLO DOCUMENTO"), arial, 9, Align::Center));
    for (int row = 1; row <= 16; ++row) {
        // The frames are numbered 2 to 18 without 5.
        const int shape = row <= 3 ? row + 1 : row + 2;
        objects.append(rectangle(QStringLiteral("Shape%1").arg(shape),
                                 {1, 7.0 + 5.0 * (row - 1), 188, 4.6}, QColor()));
    }
    Object line;
    line.kind = Object::Line;
    line.name = QStringLiteral("Line2");
    line.rect = {42, 7, 0, 79.6};
    objects.append(line);
    for (int row = 1; row <= 16; ++row) {
        const double width = row == 9 ? 39.5 : row == 16 ? 38.8 : 37.8;
        objects.append(text(QStringLiteral("Memo%1").arg(row),
                            {2, 7.5 + 5.0 * (row - 1), width, 3.5},
                            QString::fromUtf8(cardRows.at(std::size_t(row - 1)).label), arial, 7));
    }
    for (int row = 1; row <= 16; ++row)
        objects.append(text(QString::fromLatin1(cardRows.at(std::size_t(row - 1)).value),
                            {44, 7.5 + 5.0 * (row - 1), 144, 3.5}, QString(), arial, 7));
    objects.append(rectangle(QStringLiteral("Shape23"), {1, 88, 188, 5.8}, gold));
    objects.append(text(QStringLiteral("txtCalce"), {2, 89, 185.8, 4.2},
                        QStringLiteral("Data e ora stampa"), arial, 8, Align::Center));
    return card;
}

void fillProtocolCard(Report::Template& card, const std::function<QString(const QString&)>& field,
                      const QDateTime& printedAt) {
    const auto value = [&](const char* name) {
        return TextField::trimBlanks(field(QLatin1String(name)));
    };
    for (const Row& row : cardRows)
        card.setText(QLatin1String(row.value), value(row.value));
    card.setText(QStringLiteral("txtFormato"),
                 value("txtFormato") + QStringLiteral("  -  N. pagine: ") + value("txtPagine"));
    card.setText(QStringLiteral("txtCalce"),
                 QStringLiteral("Stampa eseguita in data ") + ShortDate::format(printedAt.date()) +
                     QStringLiteral(" alle ore ") +
                     printedAt.time().toString(QStringLiteral("HH:mm:ss")));
}

Report::Template searchList() {
    const QString verdana = QStringLiteral("Verdana");
    Report::Template list;
    list.name = QStringLiteral("Riepilogo dati");
    list.orientation = Report::Orientation::Landscape;
    list.margin = 10;

    Band title{Band::ReportTitle, QStringLiteral("ReportTitle1"), 8, {}};
    Object heading = text(QStringLiteral("txtTitolo"), {2, 1, 273, 5}, QStringLiteral("Riepilogo"),
                          verdana, 9, Align::Center);
    heading.bold = true;
    heading.color = Qt::white;
    heading.fill = slateGrey;
    title.objects.append(heading);

    Band data{Band::MasterData, QStringLiteral("MasterData"), 28, {}};
    data.objects.append(text(QStringLiteral("txtRiepilogo"), {3, 0, 273, 27}, QString(),
                             QStringLiteral("Courier New"), 8));

    Band footer{Band::MasterFooter, QStringLiteral("Footer1"), 8, {}};
    Object stamp =
        text(QStringLiteral("txtPagina"), {3, 2, 272, 5},
             QStringLiteral("Stampa eseguita in data [DATE]"), verdana, 8, Align::Center);
    stamp.bold = true;
    stamp.color = Qt::white;
    stamp.fill = slateGrey;
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
