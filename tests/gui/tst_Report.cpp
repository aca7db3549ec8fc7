#include "core/platform/PrintDialog.h"
#include "protocol_outputs/StampaProtocollo.h"
#include "report/CardForm.h"
#include "report/Report.h"
#include "report/Templates.h"
#include "support/Pdf.h"
#include "support/TestServices.h"
#include "ui/CardTarget.h"

#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QPageRanges>
#include <QPdfWriter>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using Report::Object;
using Report::Placed;
using Report::Prepared;

enum class Card { Protocol, Document };

Q_DECLARE_METATYPE(Card)
Q_DECLARE_METATYPE(Report::Object::Kind)
Q_DECLARE_METATYPE(Report::Align)

namespace {

const QDateTime printedAt(QDate(2026, 3, 5), QTime(9, 7, 3));
constexpr double tolerance = 1e-6;
// The list's line height: 12.822 report units.
const double listLine = 12.822 * Report::millimetresPerUnit;

Report::Template protocolPage() {
    return CardForm::layout(Templates::protocolCard());
}

Report::Template documentPage() {
    return CardForm::layout(Templates::documentCard());
}

Report::Template pageOf(Card card) {
    return card == Card::Protocol ? protocolPage() : documentPage();
}

CardForm::Form formOf(Card card) {
    return card == Card::Protocol ? Templates::protocolCard() : Templates::documentCard();
}

bool near(double a, double b) {
    return std::abs(a - b) < tolerance;
}

bool near(const QRectF& a, const QRectF& b) {
    return near(a.left(), b.left()) && near(a.top(), b.top()) && near(a.width(), b.width()) &&
           near(a.height(), b.height());
}

QString show(const QRectF& r) {
    return QStringLiteral("%1,%2 %3x%4").arg(r.left()).arg(r.top()).arg(r.width()).arg(r.height());
}

// Every placement of `name`, with the index of its page.
QList<QPair<int, Object>> placements(const Prepared& prepared, const QString& name) {
    QList<QPair<int, Object>> found;
    for (qsizetype p = 0; p < prepared.pages.size(); ++p)
        for (const Placed& placed : prepared.pages.at(p).objects)
            if (placed.object.name == name)
                found.append({int(p), placed.object});
    return found;
}

// The one placement of `name`, or an object without a name.
Object only(const Prepared& prepared, const QString& name) {
    const auto found = placements(prepared, name);
    return found.size() == 1 ? found.first().second : Object{};
}

QStringList numberedLines(int count) {
    QStringList lines;
    for (int i = 1; i <= count; ++i)
        lines << QStringLiteral("Prot. n. %1/2026  Oggetto: pratica n. %1 · perché sì").arg(i);
    return lines;
}

Prepared preparedList(const QStringList& lines) {
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Protocollo documenti"), lines);
    return Report::prepare(list, printedAt);
}

bool writePages(const Prepared& prepared, const QString& path, const QPageRanges& chosen = {}) {
    QPdfWriter writer(path);
    writer.setPageRanges(chosen);
    return Report::paint(prepared, writer);
}

struct Row {
    const char* label;
    const char* value;
};

const Row formRows[] = {
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
};

// A template of one title band, one data band of 10 mm lines and a footer, to put a page
// boundary exactly where a test wants it.
Report::Template tenMillimetreLines(double titleHeight, int lines) {
    Report::Template t;
    t.orientation = Report::Orientation::Landscape; // 190 mm of printable height
    Object heading;
    heading.name = QStringLiteral("head");
    heading.rect = {0, 0, 100, titleHeight};
    Object body;
    body.name = QStringLiteral("body");
    body.rect = {0, 0, 100, 10.0 * lines};
    QStringList text;
    for (int i = 1; i <= lines; ++i)
        text << QString::number(i);
    body.text = text.join(QLatin1Char('\n'));
    Object foot;
    foot.name = QStringLiteral("foot");
    foot.rect = {0, 0, 100, 5};
    t.bands = {{Report::Band::ReportTitle, QStringLiteral("t"), titleHeight, {heading}},
               {Report::Band::MasterData, QStringLiteral("d"), 10.0 * lines, {body}},
               {Report::Band::MasterFooter, QStringLiteral("f"), 5, {foot}}};
    return t;
}

} // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void printableSize_data();
    void printableSize();
    void cardObjects_data();
    void cardObjects();
    void cardRows_data();
    void cardRows();
    void cardFramesSkipFive();
    void cardFramesDocument();
    void fillCard_data();
    void fillCard();
    void cardPrintsPlaceholderLiterally_data();
    void cardPrintsPlaceholderLiterally();
    void listPrintsPlaceholderLiterally();
    void printWindowPrintsTheCardShown();
    void setTextAndUnknownNames();
    void dateReplaced_data();
    void dateReplaced();
    void fillListHeights_data();
    void fillListHeights();
    void listOverPages_data();
    void listOverPages();
    void exactPageBoundary_data();
    void exactPageBoundary();
    void pdfPageCount_data();
    void pdfPageCount();
    void pdfCardText();
    void pdfDocumentCardText();
    void pdfClipsLongValues_data();
    void pdfClipsLongValues();
    void paintFailsWithoutFile();
    void printingWithNoPrinterSaysSo();
};

void TestReport::printableSize_data() {
    QTest::addColumn<Report::Orientation>("orientation");
    QTest::addColumn<double>("margin");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("portrait") << Report::Orientation::Portrait << 10.0 << QSizeF(190, 277);
    QTest::newRow("landscape") << Report::Orientation::Landscape << 10.0 << QSizeF(277, 190);
    QTest::newRow("narrow margin") << Report::Orientation::Landscape << 5.5 << QSizeF(286, 199);
}

void TestReport::printableSize() {
    QFETCH(Report::Orientation, orientation);
    QFETCH(double, margin);
    QFETCH(QSizeF, expected);
    Report::Template t;
    t.setOrientation(orientation);
    t.margin = margin;
    QCOMPARE(t.printableSize(), expected);
}

void TestReport::cardObjects_data() {
    QTest::addColumn<Card>("card");
    QTest::addColumn<QString>("name");
    QTest::addColumn<Object::Kind>("kind");
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("pointSize");
    QTest::addColumn<Report::Align>("align");
    QTest::addColumn<QColor>("fill");

    const auto none = QColor();
    const QColor steel(0xB0, 0xC4, 0xDE);
    const QColor gold(0xFF, 0xD7, 0x00);
    const auto P = Card::Protocol;
    const auto D = Card::Document;
    QTest::newRow("title bar") << P << "Shape1" << Object::Rectangle << QRectF(1, 1, 188, 5.8) << ""
                               << 0.0 << Report::Align::Left << steel;
    QTest::newRow("title") << P << "titArcataSup" << Object::Text << QRectF(2, 2, 185.8, 4.2)
                           << "SCHEDA PROTOCOLLO DOCUMENTO" << 9.0 << Report::Align::Center << none;
    QTest::newRow("first frame") << P << "Shape2" << Object::Rectangle << QRectF(1, 7, 188, 4.6)
                                 << "" << 0.0 << Report::Align::Left << none;
    QTest::newRow("third frame") << P << "Shape4" << Object::Rectangle << QRectF(1, 17, 188, 4.6)
                                 << "" << 0.0 << Report::Align::Left << none;
    QTest::newRow("fourth frame") << P << "Shape6" << Object::Rectangle << QRectF(1, 22, 188, 4.6)
                                  << "" << 0.0 << Report::Align::Left << none;
    QTest::newRow("last frame") << P << "Shape18" << Object::Rectangle << QRectF(1, 82, 188, 4.6)
                                << "" << 0.0 << Report::Align::Left << none;
    QTest::newRow("separator") << P << "Line2" << Object::Line << QRectF(42, 7, 0, 79.6) << ""
                               << 0.0 << Report::Align::Left << none;
    QTest::newRow("footer bar") << P << "Shape23" << Object::Rectangle << QRectF(1, 88, 188, 5.8)
                                << "" << 0.0 << Report::Align::Left << gold;
    QTest::newRow("footer") << P << "txtCalce" << Object::Text << QRectF(2, 89, 185.8, 4.2)
                            << "Data e ora stampa" << 8.0 << Report::Align::Center << none;

    QTest::newRow("document title bar")
        << D << "Shape1" << Object::Rectangle << QRectF(1, 1, 188, 5.8) << "" << 0.0
        << Report::Align::Left << steel;
    QTest::newRow("document title")
        << D << "titArcataSup" << Object::Text << QRectF(2, 2, 185.8, 4.2)
        << "SCHEDA RIASSUNTIVA DEL DOCUMENTO" << 9.0 << Report::Align::Center << none;
    QTest::newRow("document separator") << D << "Line2" << Object::Line << QRectF(42, 7, 0, 104.6)
                                        << "" << 0.0 << Report::Align::Left << none;
    QTest::newRow("document footer bar")
        << D << "Shape23" << Object::Rectangle << QRectF(1, 113, 188, 5.8) << "" << 0.0
        << Report::Align::Left << gold;
    QTest::newRow("document footer")
        << D << "txtCalce" << Object::Text << QRectF(2, 114, 185.8, 4.2) << "Data e ora stampa"
        << 8.0 << Report::Align::Center << none;
}

void TestReport::cardObjects() {
    QFETCH(Card, card);
    QFETCH(QString, name);
    QFETCH(Object::Kind, kind);
    QFETCH(QRectF, rect);
    QFETCH(QString, text);
    QFETCH(double, pointSize);
    QFETCH(Report::Align, align);
    QFETCH(QColor, fill);

    const Report::Template page = pageOf(card);
    QCOMPARE(page.name, card == Card::Protocol ? QStringLiteral("Scheda Protocollo")
                                               : QStringLiteral("Scheda Documento"));
    QCOMPARE(page.orientation, Report::Orientation::Portrait);
    QCOMPARE(page.margin, 10.0);
    QVERIFY(page.bands.isEmpty());

    const Prepared prepared = Report::prepare(page, printedAt);
    QCOMPARE(prepared.pages.size(), 1);
    const Object o = only(prepared, name);
    QCOMPARE(o.name, name);
    QCOMPARE(o.kind, kind);
    QVERIFY2(near(o.rect, rect), qPrintable(show(o.rect)));
    QCOMPARE(o.fill, fill);
    if (kind == Object::Rectangle && !fill.isValid())
        QVERIFY(o.outline.isValid());
    if (kind == Object::Line)
        QCOMPARE(o.color, QColor(Qt::black));
    if (kind == Object::Text) {
        QCOMPARE(o.text, text);
        QCOMPARE(o.fontFamily, QStringLiteral("Arial"));
        QCOMPARE(o.pointSize, pointSize);
        QCOMPARE(o.align, align);
        QCOMPARE(o.color, QColor(Qt::black));
        QVERIFY(!o.bold);
    }
}

void TestReport::cardRows_data() {
    QTest::addColumn<Card>("card");
    QTest::addColumn<QString>("labelName");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QRectF>("labelRect");
    QTest::addColumn<QString>("frame");
    QTest::addColumn<QRectF>("frameRect");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QRectF>("valueRect");

    // Typed from the forms' tables: label, frame and value of every row, in mm.
    const auto add = [](Card card, const char* labelName, const char* label, QRectF labelRect,
                        const char* frame, QRectF frameRect, const char* value, QRectF valueRect) {
        QTest::addRow("%s %s", card == Card::Protocol ? "protocol" : "document", value)
            << card << QString::fromLatin1(labelName) << QString::fromUtf8(label) << labelRect
            << QString::fromLatin1(frame) << frameRect << QString::fromLatin1(value) << valueRect;
    };
    const auto P = Card::Protocol;
    add(P, "Memo1", "Protocollo n.", {2, 7.5, 37.8, 3.5}, "Shape2", {1, 7, 188, 4.6}, "txtNumero",
        {44, 7.5, 144, 3.5});
    add(P, "Memo2", "Data registrazione:", {2, 12.5, 37.8, 3.5}, "Shape3", {1, 12, 188, 4.6},
        "txtDataReg", {44, 12.5, 144, 3.5});
    add(P, "Memo3", "Ufficio:", {2, 17.5, 37.8, 3.5}, "Shape4", {1, 17, 188, 4.6}, "txtUfficio",
        {44, 17.5, 144, 3.5});
    add(P, "Memo4", "Operatore:", {2, 22.5, 37.8, 3.5}, "Shape6", {1, 22, 188, 4.6}, "txtOperatore",
        {44, 22.5, 144, 3.5});
    add(P, "Memo5", "Categoria:", {2, 27.5, 37.8, 3.5}, "Shape7", {1, 27, 188, 4.6}, "txtCategoria",
        {44, 27.5, 144, 3.5});
    add(P, "Memo6", "Collocazione cartaceo:", {2, 32.5, 37.8, 3.5}, "Shape8", {1, 32, 188, 4.6},
        "txtCollocazione", {44, 32.5, 144, 3.5});
    add(P, "Memo7", "Oggetto:", {2, 37.5, 37.8, 3.5}, "Shape9", {1, 37, 188, 4.6}, "txtOggetto",
        {44, 37.5, 144, 3.5});
    add(P, "Memo8", "Data spedizione:", {2, 42.5, 37.8, 3.5}, "Shape10", {1, 42, 188, 4.6},
        "txtDataSpe", {44, 42.5, 144, 3.5});
    add(P, "Memo9", "Data ricezione:", {2, 47.5, 39.5, 3.5}, "Shape11", {1, 47, 188, 4.6},
        "txtDataRic", {44, 47.5, 144, 3.5});
    add(P, "Memo10", "Formato:", {2, 52.5, 37.8, 3.5}, "Shape12", {1, 52, 188, 4.6}, "txtFormato",
        {44, 52.5, 144, 3.5});
    add(P, "Memo11", "Riferimenti:", {2, 57.5, 37.8, 3.5}, "Shape13", {1, 57, 188, 4.6},
        "txtRiferimenti", {44, 57.5, 144, 3.5});
    add(P, "Memo12", "Mittente:", {2, 62.5, 37.8, 3.5}, "Shape14", {1, 62, 188, 4.6}, "txtMittente",
        {44, 62.5, 144, 3.5});
    add(P, "Memo13", "Recapito mittente:", {2, 67.5, 37.8, 3.5}, "Shape15", {1, 67, 188, 4.6},
        "txtRecapitoMit", {44, 67.5, 144, 3.5});
    add(P, "Memo14", "Destinatario:", {2, 72.5, 37.8, 3.5}, "Shape16", {1, 72, 188, 4.6},
        "txtDestinatario", {44, 72.5, 144, 3.5});
    add(P, "Memo15", "Recapito destinatario:", {2, 77.5, 37.8, 3.5}, "Shape17", {1, 77, 188, 4.6},
        "txtRecapitoDes", {44, 77.5, 144, 3.5});
    add(P, "Memo16", "Note:", {2, 82.5, 38.8, 3.5}, "Shape18", {1, 82, 188, 4.6}, "txtNote",
        {44, 82.5, 144, 3.5});

    const auto D = Card::Document;
    add(D, "Memo1", "Documento:", {2, 7.5, 37.8, 3.5}, "Shape2", {1, 7, 188, 4.6}, "txtDocumento",
        {44, 7.5, 144, 3.5});
    add(D, "Memo2", "Protocollo n.", {2, 12.5, 37.8, 3.5}, "Shape3", {1, 12, 188, 4.6},
        "txtProtocollo", {44, 12.5, 144, 3.5});
    add(D, "Memo3", "Produttore:", {2, 17.5, 37.8, 3.5}, "Shape4", {1, 17, 188, 4.6},
        "txtProduttore", {44, 17.5, 144, 3.5});
    add(D, "Memo4", "Indirizzo produttore:", {2, 22.5, 37.8, 3.5}, "Shape6", {1, 22, 188, 4.6},
        "txtIndirizzoPro", {44, 22.5, 144, 3.5});
    add(D, "Memo5", "Data produzione:", {2, 27.5, 37.8, 3.5}, "Shape7", {1, 27, 188, 4.6},
        "txtDataPro", {44, 27.5, 144, 3.5});
    add(D, "Memo6", "Destinatario:", {2, 32.5, 38.8, 3.5}, "Shape8", {1, 32, 188, 4.6},
        "txtDestinatario", {44, 32.5, 144, 3.5});
    add(D, "Memo7", "Indirizzo destinatario:", {2, 37.5, 37.8, 3.5}, "Shape9", {1, 37, 188, 4.6},
        "txtIndirizzoDes", {44, 37.5, 144, 3.5});
    add(D, "Memo8", "Data ricezione:", {2, 42.5, 37.8, 3.5}, "Shape10", {1, 42, 188, 4.6},
        "txtDataDes", {44, 42.5, 144, 3.5});
    add(D, "Memo9", "Oggetto:", {2, 47.5, 38.5, 3.5}, "Shape11", {1, 47, 188, 4.6}, "txtOggetto",
        {44, 47.5, 144, 3.5});
    add(D, "Memo10", "Tipo documento:", {2, 52.5, 37.8, 3.5}, "Shape12", {1, 52, 188, 4.6},
        "txtTipo", {44, 52.5, 144, 3.5});
    add(D, "Memo11", "Classificazione:", {2, 57.5, 37.8, 3.5}, "Shape13", {1, 57, 188, 4.6},
        "txtClassificazione", {44, 57.5, 144, 3.5});
    add(D, "Memo12", "Fascicolo contenitore:", {2, 62.5, 37.8, 3.5}, "Shape14", {1, 62, 188, 4.6},
        "txtFascicolo", {44, 62.5, 144, 3.5});
    add(D, "Memo13", "Formato:", {2, 67.5, 37.8, 3.5}, "Shape15", {1, 67, 188, 4.6}, "txtFormato",
        {44, 67.5, 144, 3.5});
    add(D, "Memo14", "N. pagine:", {2, 72.5, 37.8, 3.5}, "Shape16", {1, 72, 188, 4.6}, "txtPagine",
        {44, 72.5, 144, 3.5});
    add(D, "Memo15", "Allegati:", {2, 77.5, 37.8, 3.5}, "Shape17", {1, 77, 188, 4.6}, "txtAllegati",
        {44, 77.5, 144, 3.5});
    add(D, "Memo16", "Riferimenti:", {2, 82.5, 38.8, 3.5}, "Shape18", {1, 82, 188, 4.6},
        "txtRiferimenti", {44, 82.5, 144, 3.5});
    add(D, "Memo35", "Livello di riservatezza:", {2, 87.5, 37.8, 3.5}, "Shape20", {1, 87, 188, 4.6},
        "txtLivello", {44, 87.5, 144, 3.5});
    add(D, "Memo36", "Software di produzione:", {2, 92.5, 37.8, 3.5}, "Shape21", {1, 92, 188, 4.6},
        "txtSoftware", {44, 92.5, 144, 3.5});
    add(D, "Memo37", "Luogo conservazione:", {2, 97.5, 38.8, 3.5}, "Shape22", {1, 97, 188, 4.6},
        "txtLuogo", {44, 97.5, 144, 3.5});
    add(D, "Memo38", "Soggetti citati:", {2, 102.5, 37.8, 3.5}, "Shape24", {1, 102, 188, 4.6},
        "txtSoggetti", {44, 102.5, 144, 3.5});
    add(D, "Memo39", "Note:", {2, 107.5, 37.8, 3.5}, "Shape25", {1, 107, 188, 4.6}, "txtNote",
        {44, 107.5, 144, 3.5});
}

void TestReport::cardRows() {
    QFETCH(Card, card);
    QFETCH(QString, labelName);
    QFETCH(QString, label);
    QFETCH(QRectF, labelRect);
    QFETCH(QString, frame);
    QFETCH(QRectF, frameRect);
    QFETCH(QString, value);
    QFETCH(QRectF, valueRect);

    const Prepared prepared = Report::prepare(pageOf(card), printedAt);
    const Object memo = only(prepared, labelName);
    QCOMPARE(memo.name, labelName);
    QCOMPARE(memo.text, label);
    QVERIFY2(near(memo.rect, labelRect), qPrintable(show(memo.rect)));
    const Object field = only(prepared, value);
    QCOMPARE(field.name, value);
    QCOMPARE(field.text, QString());
    QVERIFY2(near(field.rect, valueRect), qPrintable(show(field.rect)));
    for (const Object& o : {memo, field}) {
        QCOMPARE(o.kind, Object::Text);
        QCOMPARE(o.fontFamily, QStringLiteral("Arial"));
        QCOMPARE(o.pointSize, 7.0);
        QCOMPARE(o.align, Report::Align::Left);
        QCOMPARE(o.color, QColor(Qt::black));
        QVERIFY(!o.bold);
        QVERIFY(!o.fill.isValid());
        QVERIFY(!o.dateField);
    }
    const Object box = only(prepared, frame);
    QCOMPARE(box.name, frame);
    QCOMPARE(box.kind, Object::Rectangle);
    QVERIFY2(near(box.rect, frameRect), qPrintable(show(box.rect)));
    QVERIFY(!box.fill.isValid());
    QCOMPARE(box.outline, QColor(Qt::black));
}

void TestReport::cardFramesSkipFive() {
    Report::Template card = protocolPage();
    QVERIFY(card.findObject(QStringLiteral("Shape5")) == nullptr);
    int frames = 0;
    for (int n = 2; n <= 18; ++n) {
        const Object* o = card.findObject(QStringLiteral("Shape%1").arg(n));
        if (n == 5)
            continue;
        QVERIFY2(o != nullptr, qPrintable(QStringLiteral("Shape%1").arg(n)));
        QCOMPARE(o->kind, Object::Rectangle);
        QVERIFY(!o->fill.isValid());
        QVERIFY(o->outline.isValid());
        ++frames;
    }
    QCOMPARE(frames, 16);
    // Title bar and text, 16 frames, the line, 16 labels, 16 values, footer bar and text.
    const Prepared prepared = Report::prepare(card, printedAt);
    QCOMPARE(prepared.pages.size(), 1);
    QCOMPARE(prepared.pages.first().objects.size(), 53);
}

void TestReport::cardFramesDocument() {
    Report::Template card = documentPage();
    // The rows skip 5, 19 and 23; Shape23 is the footer bar.
    for (const char* absent : {"Shape5", "Shape19", "Shape26", "Memo17", "Memo34", "Memo40"})
        QVERIFY2(card.findObject(QLatin1String(absent)) == nullptr, absent);
    for (int n : {2, 3, 4, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 20, 21, 22, 24, 25}) {
        const Object* o = card.findObject(QStringLiteral("Shape%1").arg(n));
        QVERIFY2(o != nullptr, qPrintable(QStringLiteral("Shape%1").arg(n)));
        QCOMPARE(o->kind, Object::Rectangle);
        QVERIFY(!o->fill.isValid());
        QVERIFY(o->outline.isValid());
        QCOMPARE(o->rect.height(), 4.6);
    }
    const Object* footer = card.findObject(QStringLiteral("Shape23"));
    QVERIFY(footer != nullptr);
    QCOMPARE(footer->fill, QColor(0xFF, 0xD7, 0x00));
    // Title bar and text, 21 frames, the line, 21 labels, 21 values, footer bar and text.
    const Prepared prepared = Report::prepare(card, printedAt);
    QCOMPARE(prepared.pages.size(), 1);
    QCOMPARE(prepared.pages.first().objects.size(), 68);
}

void TestReport::fillCard_data() {
    QTest::addColumn<Card>("card");
    QTest::addColumn<int>("values");
    QTest::addColumn<QString>("formatRow");
    QTest::newRow("protocol") << Card::Protocol << 16
                              << QStringLiteral("txtFormato ·  -  N. pagine: txtPagine ·");
    QTest::newRow("document") << Card::Document << 21 << QStringLiteral("txtFormato ·");
}

void TestReport::fillCard() {
    QFETCH(Card, card);
    QFETCH(int, values);
    QFETCH(QString, formatRow);

    // Every control shows its own name between blanks and control characters.
    QStringList asked;
    const auto field = [&asked](const QString& name) {
        asked << name;
        return QStringLiteral(" \t %1 ·\r\n ").arg(name);
    };
    const CardForm::Form form = formOf(card);
    Report::Template page = CardForm::layout(form);
    CardForm::fill(page, form, field, printedAt);
    const Prepared prepared = Report::prepare(page, printedAt);

    int filled = 0;
    for (const Placed& placed : prepared.pages.first().objects) {
        const Object& o = placed.object;
        if (!o.name.startsWith(QLatin1String("txt")) || o.name == QLatin1String("txtCalce"))
            continue;
        ++filled;
        QVERIFY2(asked.contains(o.name), qPrintable(o.name));
        QCOMPARE(o.text,
                 o.name == QLatin1String("txtFormato") ? formatRow : o.name + QStringLiteral(" ·"));
    }
    QCOMPARE(filled, values);
    // The card window is asked for the controls the form prints and no other (the protocol
    // card's annulment mark included).
    asked.removeDuplicates();
    QCOMPARE(asked.size(), card == Card::Protocol ? 18 : 21);
    QCOMPARE(asked.contains(QStringLiteral("lblAnnullata")), card == Card::Protocol);
    QCOMPARE(asked.contains(QStringLiteral("txtPagine")), true);
    QVERIFY(!asked.contains(QStringLiteral("txtCopia")));
    QCOMPARE(only(prepared, QStringLiteral("txtCalce")).text,
             QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 09:07:03"));
    // The labels keep their texts.
    QCOMPARE(only(prepared, QStringLiteral("Memo1")).text, card == Card::Protocol
                                                               ? QStringLiteral("Protocollo n.")
                                                               : QStringLiteral("Documento:"));
}

void TestReport::cardPrintsPlaceholderLiterally_data() {
    QTest::addColumn<Card>("card");
    QTest::newRow("protocol") << Card::Protocol;
    QTest::newRow("document") << Card::Document;
}

void TestReport::cardPrintsPlaceholderLiterally() {
    QFETCH(Card, card);
    const CardForm::Form form = formOf(card);
    Report::Template page = CardForm::layout(form);
    CardForm::fill(
        page, form,
        [](const QString& name) {
            return name == QLatin1String("txtOggetto") ? QStringLiteral("Scadenza [DATE]")
                                                       : QStringLiteral("[DATE]");
        },
        printedAt);
    const Prepared prepared = Report::prepare(page, printedAt);
    QCOMPARE(only(prepared, QStringLiteral("txtOggetto")).text, QStringLiteral("Scadenza [DATE]"));
    QCOMPARE(only(prepared, QStringLiteral("txtNote")).text, QStringLiteral("[DATE]"));
    QCOMPARE(only(prepared, QStringLiteral("txtCalce")).text,
             QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 09:07:03"));
}

void TestReport::listPrintsPlaceholderLiterally() {
    const QStringList lines{QStringLiteral("Prot. n. 1             Oggetto: Scadenza [DATE]"),
                            QStringLiteral("[DATE]")};
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Protocollo documenti"), lines);
    const Prepared prepared = Report::prepare(list, printedAt);
    QCOMPARE(only(prepared, QStringLiteral("txtRiepilogo")).text, lines.join(QLatin1Char('\n')));
    QCOMPARE(only(prepared, QStringLiteral("txtPagina")).text,
             QStringLiteral("Stampa eseguita in data 05/03/2026"));
}

void TestReport::printWindowPrintsTheCardShown() {
    // The card window as the print window sees it: a new card, not saved.
    class ShownCard final : public CardTarget {
    public:
        void loadCard(const Record&, int) override {}
        QString fieldText(const QString& name) const override { return texts.value(name); }
        QString archivePath() const override { return {}; }
        QHash<QString, QString> texts;
    } shown;
    shown.texts = {{QStringLiteral("txtNumero"), QStringLiteral(" 17/2026 ")},
                   {QStringLiteral("txtOggetto"), QStringLiteral("Scadenza [DATE]")},
                   {QStringLiteral("txtFormato"), QStringLiteral("A4")},
                   {QStringLiteral("txtCopia"), QStringLiteral("lettera.pdf")}};
    TestServices services;
    TfrmStampaProtocollo w(nullptr, shown);
    QCOMPARE(w.windowTitle(), QStringLiteral(" Stampa scheda"));
    QCOMPARE(w.size(), QSize(364, 287));
    w.show();
    QTest::mouseClick(control<QPushButton>(&w, "btnStampa"), Qt::LeftButton);
    QVERIFY(!w.isVisible());
    QCOMPARE(services.printed.size(), 1);
    const Prepared& printed = services.printed.first();
    QCOMPARE(printed.name, QStringLiteral("Scheda Protocollo"));
    QCOMPARE(printed.pages.size(), 1);
    QHash<QString, QString> texts;
    for (const Placed& placed : printed.pages.first().objects)
        texts.insert(placed.object.name, placed.object.text);
    QCOMPARE(texts.value(QStringLiteral("txtNumero")), QStringLiteral("17/2026"));
    QCOMPARE(texts.value(QStringLiteral("txtOggetto")), QStringLiteral("Scadenza [DATE]"));
    QCOMPARE(texts.value(QStringLiteral("txtFormato")), QStringLiteral("A4  -  N. pagine: "));
    QCOMPARE(texts.value(QStringLiteral("txtCalce")),
             QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 10:30:15"));
    QVERIFY(!texts.values().contains(QStringLiteral("lettera.pdf")));
}

void TestReport::setTextAndUnknownNames() {
    Report::Template card = protocolPage();
    const QString subject = QStringLiteral("Fattura n. 12 — importo € 1.250,00");
    QVERIFY(card.setText(QStringLiteral("txtOggetto"), subject));
    QCOMPARE(card.findObject(QStringLiteral("txtOggetto"))->text, subject);
    const Prepared prepared = Report::prepare(card, printedAt);
    QCOMPARE(only(prepared, QStringLiteral("txtOggetto")).text, subject);
    QCOMPARE(only(prepared, QStringLiteral("txtNote")).text, QString());

    const QString unknown = QStringLiteral("txtInesistente");
    QVERIFY(card.findObject(unknown) == nullptr);
    QVERIFY(!card.setText(unknown, QStringLiteral("x")));
    QVERIFY(!card.setHeight(unknown, 5));
    QVERIFY(card.findBand(QStringLiteral("MasterData")) == nullptr);
    QVERIFY(!card.setBandHeight(QStringLiteral("MasterData"), 5));
    // Names are matched exactly.
    QVERIFY(card.findObject(QStringLiteral("txtoggetto")) == nullptr);

    Report::Template list = Templates::searchList();
    QVERIFY(list.findObject(QStringLiteral("txtPagina")) != nullptr);
    QVERIFY(list.setHeight(QStringLiteral("txtRiepilogo"), 12.5));
    QCOMPARE(list.findObject(QStringLiteral("txtRiepilogo"))->rect.height(), 12.5);
    QVERIFY(list.setBandHeight(QStringLiteral("Footer1"), 9));
    QCOMPARE(list.findBand(QStringLiteral("Footer1"))->height, 9.0);
    QVERIFY(list.findBand(QStringLiteral("txtPagina")) == nullptr);
    QVERIFY(!list.setBandHeight(unknown, 1));
}

void TestReport::dateReplaced_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("footer") << "Stampa eseguita in data [DATE]"
                            << "Stampa eseguita in data 05/03/2026";
    QTest::newRow("twice") << "[DATE] e [DATE]"
                           << "05/03/2026 e 05/03/2026";
    QTest::newRow("other case stays") << "[date] [Date]"
                                      << "[date] [Date]";
    QTest::newRow("no placeholder") << "Data e ora stampa"
                                    << "Data e ora stampa";
}

void TestReport::dateReplaced() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    Report::Template card = protocolPage();
    QVERIFY(card.setText(QStringLiteral("txtCalce"), text));
    QCOMPARE(only(Report::prepare(card, printedAt), QStringLiteral("txtCalce")).text, expected);
    // The template itself keeps the placeholder for the next print.
    QCOMPARE(card.findObject(QStringLiteral("txtCalce"))->text, text);

    Report::Template list = Templates::searchList();
    QVERIFY(list.setText(QStringLiteral("txtPagina"), text));
    QCOMPARE(only(Report::prepare(list, printedAt), QStringLiteral("txtPagina")).text, expected);
}

void TestReport::fillListHeights_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("body");
    QTest::newRow("none") << QStringList() << "";
    QTest::newRow("one") << QStringList{"Prot. n. 1"} << "Prot. n. 1";
    QTest::newRow("three, one blank")
        << QStringList{"Prot. n. 1", "", "  Da: Rossi €"} << "Prot. n. 1\n\n  Da: Rossi €";
}

void TestReport::fillListHeights() {
    QFETCH(QStringList, lines);
    QFETCH(QString, body);
    Report::Template list = Templates::searchList();
    Templates::fillList(list, QStringLiteral("Protocollo documenti"), lines);
    QCOMPARE(list.findObject(QStringLiteral("txtTitolo"))->text,
             QStringLiteral("Protocollo documenti"));
    const Object* text = list.findObject(QStringLiteral("txtRiepilogo"));
    QCOMPARE(text->text, body);
    const double height = 12.822 * 25.4 / 96 * double(lines.size());
    QVERIFY(near(text->rect.height(), height));
    QVERIFY(near(list.findBand(QStringLiteral("MasterData"))->height, height + 10 * 25.4 / 96));
    // The rest of the template is untouched.
    QVERIFY(near(text->rect, {3, 0, 273, height}));
    QCOMPARE(list.findBand(QStringLiteral("Footer1"))->height, 8.0);
}

void TestReport::listOverPages_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("perPage"); // lines of the body on each page

    // 190 mm a page: 53 lines under the title, 56 on a page of their own.
    QTest::newRow("200 lines") << numberedLines(200) << QList<int>{53, 56, 56, 35};
    QTest::newRow("empty") << QStringList() << QList<int>{0};
    QTest::newRow("one") << numberedLines(1) << QList<int>{1};
    QTest::newRow("footer pushed over") << numberedLines(52) << QList<int>{52, 0};
    QTest::newRow("first page full") << numberedLines(53) << QList<int>{53, 0};
    QTest::newRow("one line over") << numberedLines(54) << QList<int>{53, 1};
    QTest::newRow("second page full") << numberedLines(109) << QList<int>{53, 56, 0};
    QTest::newRow("third page one line") << numberedLines(110) << QList<int>{53, 56, 1};
    QStringList blanks = numberedLines(120);
    for (qsizetype i = 0; i < blanks.size(); i += 7)
        blanks[i].clear();
    QTest::newRow("blank lines kept") << blanks << QList<int>{53, 56, 11};
}

void TestReport::listOverPages() {
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, perPage);

    const Prepared prepared = preparedList(lines);
    QCOMPARE(prepared.name, QStringLiteral("Riepilogo dati"));
    QCOMPARE(prepared.orientation, Report::Orientation::Landscape);
    QCOMPARE(prepared.margin, 10.0);
    QCOMPARE(prepared.pages.size(), perPage.size());
    const double pageHeight = 190;

    // The title once, at the top of the first page.
    const auto titles = placements(prepared, QStringLiteral("txtTitolo"));
    QCOMPARE(titles.size(), 1);
    QCOMPARE(titles.first().first, 0);
    QCOMPARE(titles.first().second.text, QStringLiteral("Protocollo documenti"));
    QVERIFY(near(titles.first().second.rect, {2, 1, 273, 5}));

    // Every line once, in order, each piece whole lines within its page.
    QStringList printed;
    QList<int> counted(prepared.pages.size(), 0);
    double lastBottom = 0;
    int lastPage = 0;
    for (const auto& [page, piece] : placements(prepared, QStringLiteral("txtRiepilogo"))) {
        const QStringList pieceLines =
            lines.isEmpty() ? QStringList() : piece.text.split(QLatin1Char('\n'));
        QVERIFY2(lines.isEmpty() || !pieceLines.isEmpty(), "a piece without lines");
        QVERIFY(near(piece.rect.height(), listLine * double(pieceLines.size())));
        QVERIFY(near(piece.rect.top(), page == 0 ? 8 : 0));
        QVERIFY(near(piece.rect.left(), 3));
        QVERIFY2(piece.rect.bottom() <= pageHeight + tolerance, qPrintable(show(piece.rect)));
        QCOMPARE(counted.at(page), 0); // one piece a page
        counted[page] = int(pieceLines.size());
        printed << pieceLines;
        lastBottom = piece.rect.bottom();
        lastPage = page;
    }
    QCOMPARE(printed, lines);
    QCOMPARE(counted, perPage);

    // The footer once, after the last line, with the date of printing.
    const auto footers = placements(prepared, QStringLiteral("txtPagina"));
    QCOMPARE(footers.size(), 1);
    const auto& [footerPage, footer] = footers.first();
    QCOMPARE(footerPage, int(prepared.pages.size()) - 1);
    QCOMPARE(footer.text, QStringLiteral("Stampa eseguita in data 05/03/2026"));
    QVERIFY(footer.rect.bottom() <= pageHeight + tolerance);
    if (footerPage == lastPage)
        QVERIFY(near(footer.rect.top(), lastBottom + 10 * Report::millimetresPerUnit + 2));
    else
        QVERIFY(near(footer.rect.top(), 2));
}

void TestReport::exactPageBoundary_data() {
    QTest::addColumn<double>("titleHeight");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QList<int>>("perPage");
    QTest::addColumn<int>("footerPage");
    // Lines of 10 mm, 190 mm a page.
    QTest::newRow("band fills the page") << 0.0 << 19 << QList<int>{19} << 1;
    QTest::newRow("two full pages") << 0.0 << 38 << QList<int>{19, 19} << 2;
    QTest::newRow("under a title") << 10.0 << 37 << QList<int>{18, 19} << 2;
    QTest::newRow("one over") << 10.0 << 38 << QList<int>{18, 19, 1} << 2;
    QTest::newRow("title leaves less than a line") << 185.0 << 3 << QList<int>{0, 3} << 1;
}

void TestReport::exactPageBoundary() {
    QFETCH(double, titleHeight);
    QFETCH(int, lines);
    QFETCH(QList<int>, perPage);
    QFETCH(int, footerPage);

    const Prepared prepared = Report::prepare(tenMillimetreLines(titleHeight, lines), printedAt);
    QCOMPARE(prepared.pages.size(), footerPage + 1);
    QList<int> counted(perPage.size(), 0);
    QStringList printed;
    for (const auto& [page, piece] : placements(prepared, QStringLiteral("body"))) {
        const QStringList pieceLines = piece.text.split(QLatin1Char('\n'));
        QVERIFY(page < counted.size());
        counted[page] += int(pieceLines.size());
        printed << pieceLines;
        QVERIFY(near(piece.rect.height(), 10.0 * double(pieceLines.size())));
        QVERIFY(near(piece.rect.top(), page == 0 ? titleHeight : 0));
        QVERIFY(piece.rect.bottom() <= 190 + tolerance);
    }
    QCOMPARE(counted, perPage);
    QStringList expected;
    for (int i = 1; i <= lines; ++i)
        expected << QString::number(i);
    QCOMPARE(printed, expected);
    const auto footers = placements(prepared, QStringLiteral("foot"));
    QCOMPARE(footers.size(), 1);
    QCOMPARE(footers.first().first, footerPage);
}

void TestReport::pdfPageCount_data() {
    QTest::addColumn<bool>("card");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("chosen"); // pages asked for in the print dialog
    QTest::addColumn<int>("pages");
    QTest::addColumn<int>("printed");
    QTest::newRow("card") << true << 0 << "" << 1 << 1;
    QTest::newRow("empty list") << false << 0 << "" << 1 << 1;
    QTest::newRow("long list") << false << 200 << "" << 4 << 4;
    QTest::newRow("long list, pages 2-3") << false << 200 << "2-3" << 4 << 2;
    QTest::newRow("long list, last page") << false << 200 << "4" << 4 << 1;
}

void TestReport::pdfPageCount() {
    QFETCH(bool, card);
    QFETCH(int, lines);
    QFETCH(QString, chosen);
    QFETCH(int, pages);
    QFETCH(int, printed);
    const Prepared prepared =
        card ? Report::prepare(protocolPage(), printedAt) : preparedList(numberedLines(lines));
    QCOMPARE(prepared.pages.size(), pages);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    const QPageRanges ranges = QPageRanges::fromString(chosen);
    QVERIFY(writePages(prepared, path, ranges));
    QVERIFY(QFile::exists(path));
    QCOMPARE(pdfPages(path), printed);

    if (card || tool("pdftotext").isEmpty())
        return;
    const QString text = pdfText(path);
    const bool firstPage = ranges.isEmpty() || ranges.contains(1);
    QCOMPARE(text.contains(QStringLiteral("Protocollo documenti")), firstPage);
    const bool lastPage = ranges.isEmpty() || ranges.contains(pages);
    QCOMPARE(text.contains(QStringLiteral("Stampa eseguita in data 05/03/2026")), lastPage);
    // Each line is on the paper exactly when its page was asked for.
    for (qsizetype page = 0; page < prepared.pages.size(); ++page) {
        const bool wanted = ranges.isEmpty() || ranges.contains(int(page) + 1);
        for (const Placed& placed : prepared.pages.at(page).objects) {
            const QString line = placed.object.text.simplified();
            if (line.startsWith(QStringLiteral("Prot. n. ")))
                QVERIFY2(text.contains(line) == wanted, qPrintable(line));
        }
    }
}

void TestReport::pdfCardText() {
    if (tool("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    const QStringList values{
        QStringLiteral("17/2026"),
        QStringLiteral("05/03/2026"),
        QStringLiteral("Segreteria"),
        QStringLiteral("Mario Rossi"),
        QStringLiteral("Corrispondenza"),
        QStringLiteral("Armadio 3, ripiano 2"),
        QStringLiteral("Fattura n. 12 — importo € 1.250,00, perché urgente"),
        QStringLiteral("04/03/2026"),
        QStringLiteral("06/03/2026"),
        QStringLiteral("A4  -  N. pagine: 3"),
        QStringLiteral("Rif. 2025/44"),
        QStringLiteral("Società Àlfa S.r.l."),
        QStringLiteral("Via Garibaldi 1, Forlì"),
        QStringLiteral("Comune di Cesena"),
        QStringLiteral("Piazza del Popolo 10"),
        QStringLiteral("Nessuna nota: è tutto qui"),
    };
    Report::Template card = protocolPage();
    for (qsizetype i = 0; i < values.size(); ++i)
        QVERIFY(card.setText(QString::fromLatin1(formRows[i].value), values.at(i)));
    const QString stamp = QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 09:07:03");
    QVERIFY(card.setText(QStringLiteral("txtCalce"), stamp));

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("card.pdf"));
    QVERIFY(writePages(Report::prepare(card, printedAt), path));
    QCOMPARE(pdfPages(path), 1);
    const QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("SCHEDA PROTOCOLLO DOCUMENTO")));
    QVERIFY2(text.contains(stamp), qPrintable(text));
    for (const Row& row : formRows)
        QVERIFY2(text.contains(QString::fromUtf8(row.label)), row.label);
    for (const QString& value : values)
        QVERIFY2(text.contains(value.simplified()),
                 qPrintable(value + QStringLiteral(" in:\n") + text));
}

void TestReport::pdfDocumentCardText() {
    if (tool("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");
    const CardForm::Form form = Templates::documentCard();
    Report::Template page = CardForm::layout(form);
    CardForm::fill(
        page, form,
        [](const QString& name) { return QStringLiteral("%1 è già qui").arg(name.mid(3)); },
        printedAt);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("documento.pdf"));
    QVERIFY(writePages(Report::prepare(page, printedAt), path));
    QCOMPARE(pdfPages(path), 1);
    const QString text = pdfText(path);
    QVERIFY(text.contains(QStringLiteral("SCHEDA RIASSUNTIVA DEL DOCUMENTO")));
    QVERIFY2(text.contains(QStringLiteral("Stampa eseguita in data 05/03/2026 alle ore 09:07:03")),
             qPrintable(text));
    for (const CardForm::Row& row : form.rows) {
        QVERIFY2(text.contains(row.label), qPrintable(row.label));
        const QString value = row.valueName.mid(3) + QStringLiteral(" è già qui");
        QVERIFY2(text.contains(value), qPrintable(value + QStringLiteral(" in:\n") + text));
    }
}

void TestReport::pdfClipsLongValues_data() {
    QTest::addColumn<bool>("card");
    QTest::addColumn<int>("words");
    QTest::newRow("card subject, 249 characters") << true << 50;
    QTest::newRow("card subject, short") << true << 4;
    QTest::newRow("list line, 249 characters") << false << 50;
    QTest::newRow("list line, short") << false << 4;
}

void TestReport::pdfClipsLongValues() {
    QFETCH(bool, card);
    QFETCH(int, words);
    if (tool("pdftotext").isEmpty())
        QSKIP("pdftotext is not installed");

    // Words that pdftotext cannot mix up, the last one "FINE".
    QStringList parts;
    for (int i = 1; i < words; ++i)
        parts << QStringLiteral("w%1").arg(i, 3, 10, QLatin1Char('0'));
    parts << QStringLiteral("FINE");
    const QString value = parts.join(QLatin1Char(' '));

    Prepared prepared;
    if (card) {
        Report::Template t = protocolPage();
        QVERIFY(t.setText(QStringLiteral("txtOggetto"), value));
        prepared = Report::prepare(t, printedAt);
    } else {
        prepared = preparedList({QStringLiteral("Prot. n. 1"), value});
    }
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("clip.pdf"));
    QVERIFY(writePages(prepared, path));
    const QString text = pdfText(path);

    // Where each word falls, measured with the font on the same kind of device; the page
    // goes on past the object's edge, so a word cut by the object alone must not show.
    QPdfWriter device(dir.filePath(QStringLiteral("metrics.pdf")));
    QFont font(card ? QStringLiteral("Arial") : QStringLiteral("Courier New"));
    font.setStyleHint(card ? QFont::SansSerif : QFont::Monospace);
    font.setPointSizeF(card ? 7 : 8);
    const QFontMetricsF metrics(font, &device);
    const auto mm = [&](const QString& s) {
        return metrics.horizontalAdvance(s) * 25.4 / device.logicalDpiX();
    };
    const double width = card ? 144 : 273;
    const double roomOnPaper = card ? 210 - 10 - 44 - 144 : 297 - 10 - 3 - 273;
    bool cutWordOnPaper = false;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const double start =
            mm(parts.mid(0, i).join(QLatin1Char(' ')) + (i > 0 ? QStringLiteral(" ") : QString()));
        const double end = start + mm(parts.at(i));
        if (end < width - 0.5)
            QVERIFY2(text.contains(parts.at(i)),
                     qPrintable(parts.at(i) + QStringLiteral(" in ") + text));
        if (start > width + 0.5) {
            QVERIFY2(!text.contains(parts.at(i)), qPrintable(parts.at(i)));
            cutWordOnPaper = cutWordOnPaper || start < width + roomOnPaper - 1;
        }
    }
    const bool whole = mm(value) < width;
    QCOMPARE(text.contains(QStringLiteral("FINE")), whole);
    QCOMPARE(cutWordOnPaper, !whole);
}

void TestReport::paintFailsWithoutFile() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("missing/folder/report.pdf"));
    QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    QVERIFY(!writePages(Report::prepare(protocolPage(), printedAt), path));
    QVERIFY(!QFile::exists(path));
}

void TestReport::printingWithNoPrinterSaysSo() {
    if (PrintDialog::opensWithoutPrinter())
        QSKIP("the system's print dialog here offers a PDF file even with no printer");
    if (!QPrinterInfo::availablePrinterNames().isEmpty())
        QSKIP("a printer is installed, so the real print dialog would open and wait");
    TestServices services;
    Services::setPrinter(nullptr); // the real print service, the others still recorded
    const bool printed =
        Services::printer().print(nullptr, Report::prepare(protocolPage(), printedAt));
    Services::setPrinter(&services);
    QVERIFY(!printed);
    QCOMPARE(services.messages.size(), 1);
    QCOMPARE(services.lastMessage().kind, MessageKind::Warning);
    QVERIFY(
        services.lastMessage().text.contains(QStringLiteral("non è installata alcuna stampante")));
}

QTEST_MAIN(TestReport)
#include "tst_Report.moc"
