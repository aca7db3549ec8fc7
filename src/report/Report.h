#pragma once

#include <QColor>
#include <QDateTime>
#include <QList>
#include <QPagedPaintDevice>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

// The report engine: a template (page, bands, objects measured in millimetres) held by the
// window that prints, prepared into pages and painted on a printer or a PDF writer.
namespace Report {

enum class Orientation { Portrait, Landscape };
enum class Align { Left, Center, Right };

struct Object {
    enum Kind { Text, Rectangle, Line };
    Kind kind = Text;
    QString name;
    // Left, top, width, height in mm: from the top left corner of the printable area for
    // objects that stand on the page, from the band's top for objects in a band. A line
    // runs from the top left corner over the width and height (one of them 0).
    QRectF rect;
    // Text objects: printed literally, one line per "\n", never wrapped, clipped at the
    // object's own edges.
    QString text;
    // The footer's date field: "[DATE]" in its text stands for the date of printing
    // (dd/mm/yyyy). In every other object, a card's or a list's text, it prints as typed.
    bool dateField = false;
    QString fontFamily = QStringLiteral("Arial");
    double pointSize = 8;
    bool bold = false;
    QColor color = Qt::black;
    Align align = Align::Left;
    QColor fill;    // invalid: no fill
    QColor outline; // invalid: no outline (rectangles); lines use `color`
};

// A text object: `text` in `family` at `pointSize` points, aligned in `rect`.
Object textObject(const QString& name, const QRectF& rect, const QString& text,
                  const QString& family, double pointSize, Align align = Align::Left);

struct Band {
    enum Kind { ReportTitle, MasterData, MasterFooter };
    Kind kind = MasterData;
    QString name;
    double height = 0; // mm
    QList<Object> objects;
};

class Template {
public:
    QString name;
    Orientation orientation = Orientation::Portrait;
    double margin = 10;        // mm, on every side; the page is A4
    QList<Object> pageObjects; // objects standing on the first page, without a band
    QList<Band> bands;         // in print order: title, data, footer of the data

    Object* findObject(const QString& name);
    Band* findBand(const QString& name);
    // False when there is no such object or band.
    bool setText(const QString& objectName, const QString& text);
    bool setHeight(const QString& objectName, double millimetres);
    bool setBandHeight(const QString& bandName, double millimetres);
    void setOrientation(Orientation o) { orientation = o; }

    // The printable area's size in mm (A4 less the margins, in the orientation).
    QSizeF printableSize() const;
};

// An object placed on a prepared page: its rectangle in mm from the top left corner of
// the printable area, and the text it prints there.
struct Placed {
    Object object; // rect and text as printed on this page
};

struct Page {
    QList<Placed> objects;
};

struct Prepared {
    QString name;
    Orientation orientation = Orientation::Portrait;
    double margin = 10;
    QList<Page> pages;
};

// Lays out the pages. A data band taller than the room left on a page goes on over the
// next pages line by line: no line is lost, cut or printed twice. "[DATE]" in a date field
// becomes the date of `printedAt`.
Prepared prepare(const Template& report, const QDateTime& printedAt);

// Paints the prepared pages on `device` (a QPrinter or a QPdfWriter), one page each.
bool paint(const Prepared& prepared, QPagedPaintDevice& device);

// Every PDF the program writes, a print to a PDF file included, is PDF/A-1b: fonts embedded,
// colours and metadata declared, so that a printed register can be kept as it is.
inline constexpr QPagedPaintDevice::PdfVersion kPdfVersion = QPagedPaintDevice::PdfVersion_A1b;

// The prepared pages as a PDF/A-1b file's bytes, titled with the report's name.
std::optional<QByteArray> pdf(const Prepared& prepared);
// The same written to `path` whole (through a temporary file): false, and nothing at `path`
// changed, when any write failed.
bool writePdf(const Prepared& prepared, const QString& path);

// Report units are 1/96 inch; the Parts' text heights are given in them.
constexpr double millimetresPerUnit = 25.4 / 96.0;

} // namespace Report
