#include "Report.h"

#include "core/ShortDate.h"
#include "core/WholeFile.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageRanges>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <limits>

namespace Report {

namespace {

constexpr double a4Width = 210.0;
constexpr double a4Height = 297.0;
// Heights are sums of many fractional line heights: compare with a little slack so that a
// line ending exactly on the page's bottom still counts as fitting.
constexpr double slack = 1e-6;
constexpr double penWidth = 0.2;

QStringList linesOf(const QString& text) {
    return text.split(QLatin1Char('\n'));
}

QString printedText(const Object& object, const QDateTime& printedAt) {
    if (!object.dateField)
        return object.text;
    QString text = object.text;
    return text.replace(QStringLiteral("[DATE]"), ShortDate::format(printedAt.date()));
}

// Lays the bands out page after page; the cursor is the top of the free room on the page.
class Layout {
public:
    Layout(const Template& report, const QDateTime& printedAt)
        : m_height(report.printableSize().height()), m_printedAt(printedAt) {
        m_pages.append(Page{});
    }

    void place(const Object& object, double top) {
        Placed placed{object};
        placed.object.rect.moveTop(top);
        placed.object.text = printedText(object, m_printedAt);
        m_pages.last().objects.append(placed);
    }

    void addBand(const Band& band) {
        if (band.kind == Band::MasterData && !fits(band.height) && hasSplittable(band)) {
            addSplitBand(band);
            return;
        }
        if (!fits(band.height) && m_cursor > 0)
            newPage();
        for (const Object& o : band.objects)
            place(o, m_cursor + o.rect.top());
        m_cursor += band.height;
    }

    QList<Page> pages() const { return m_pages; }

private:
    // A text object of several lines, printed over as many pages as it needs.
    struct Split {
        const Object* object;
        QStringList lines;
        double lineHeight;
        qsizetype next = 0;

        bool done() const { return next >= lines.size(); }
        double nextTop() const { return object->rect.top() + double(next) * lineHeight; }
    };

    static bool splittable(const Object& o) {
        return o.kind == Object::Text && o.text.contains(QLatin1Char('\n'));
    }

    static bool hasSplittable(const Band& band) {
        return std::any_of(band.objects.begin(), band.objects.end(), splittable);
    }

    bool fits(double height) const { return m_cursor + height <= m_height + slack; }

    void newPage() {
        m_pages.append(Page{});
        m_cursor = 0;
    }

    // Prints the next `count` lines of a split object; the band's offset `shown` is at the cursor.
    void placeLines(const Split& s, qsizetype count, double shown) {
        Object piece = *s.object;
        piece.text = s.lines.mid(s.next, count).join(QLatin1Char('\n'));
        piece.rect.setHeight(double(count) * s.lineHeight);
        place(piece, m_cursor + s.nextTop() - shown);
    }

    void addSplitBand(const Band& band) {
        QList<Split> splits;
        QList<const Object*> others;
        for (const Object& o : band.objects) {
            if (splittable(o)) {
                const QStringList lines = linesOf(o.text);
                splits.append(Split{&o, lines, o.rect.height() / double(lines.size())});
            } else {
                others.append(&o);
            }
        }

        // `shown`: the band's offset printed at the cursor of the current page.
        double shown = 0;
        for (;;) {
            const double end = shown + (m_height - m_cursor);
            QList<qsizetype> counts;
            bool any = false;
            for (const Split& s : splits) {
                qsizetype count = 0;
                while (s.next + count < s.lines.size() &&
                       s.object->rect.top() + double(s.next + count + 1) * s.lineHeight <=
                           end + slack)
                    ++count;
                counts.append(count);
                any = any || count > 0;
            }
            if (!any && m_cursor <= 0) {
                // A line taller than a whole page: print it cut rather than loop for ever.
                for (qsizetype i = 0; i < splits.size(); ++i) {
                    if (!splits.at(i).done()) {
                        counts[i] = 1;
                        break;
                    }
                }
            }
            double nextShown = std::numeric_limits<double>::infinity();
            for (qsizetype i = 0; i < splits.size(); ++i) {
                Split& s = splits[i];
                if (counts.at(i) > 0) {
                    placeLines(s, counts.at(i), shown);
                    s.next += counts.at(i);
                }
                if (!s.done())
                    nextShown = std::min(nextShown, s.nextTop());
            }
            const bool rest = std::isinf(nextShown);
            // Every other object goes with the piece of the band where its top falls.
            for (auto it = others.begin(); it != others.end();) {
                const Object* o = *it;
                if (rest || o->rect.top() < nextShown) {
                    place(*o, m_cursor + std::max(o->rect.top() - shown, 0.0));
                    it = others.erase(it);
                } else {
                    ++it;
                }
            }
            if (rest) {
                // Whatever is left of the band below its last line ends at the page's
                // bottom at most: it never opens a page of its own.
                m_cursor = std::min(m_cursor + band.height - shown, m_height);
                return;
            }
            newPage();
            shown = nextShown;
        }
    }

    double m_height;
    QDateTime m_printedAt;
    QList<Page> m_pages;
    double m_cursor = 0;
};

QFont fontOf(const Object& o) {
    QFont font(o.fontFamily);
    if (o.fontFamily.contains(QLatin1String("Courier"), Qt::CaseInsensitive)) {
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    } else {
        font.setStyleHint(QFont::SansSerif);
    }
    font.setPointSizeF(o.pointSize);
    font.setBold(o.bold);
    return font;
}

// The part of a line that shows inside [0, width] when it starts at `x`: glyphs wholly
// beyond the edges are left out, so that a PDF holds no text that the page does not show.
QString visiblePart(const QString& line, const QFontMetricsF& metrics, double x, double width,
                    double* start) {
    const auto advance = [&](qsizetype n) { return metrics.horizontalAdvance(line.left(n)); };
    // First character whose right edge passes the left edge.
    qsizetype lo = 0, hi = line.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi) / 2;
        if (x + advance(mid + 1) > 0)
            hi = mid;
        else
            lo = mid + 1;
    }
    qsizetype first = lo;
    if (first > 0 && line.at(first).isLowSurrogate())
        --first;
    // One past the last character whose left edge is before the right edge.
    lo = first;
    hi = line.size();
    while (lo < hi) {
        const qsizetype mid = (lo + hi + 1) / 2;
        if (x + advance(mid - 1) < width)
            lo = mid;
        else
            hi = mid - 1;
    }
    qsizetype last = lo;
    if (last < line.size() && last > 0 && line.at(last).isLowSurrogate())
        ++last;
    *start = x + advance(first);
    return line.mid(first, last - first);
}

class Painter {
public:
    explicit Painter(QPainter& painter)
        : m_painter(painter), m_dpiX(painter.device()->logicalDpiX()),
          m_dpiY(painter.device()->logicalDpiY()) {}

    void draw(const Object& o) {
        const QRectF r = toDevice(o.rect);
        m_painter.save();
        switch (o.kind) {
        case Object::Rectangle:
            m_painter.setPen(o.outline.isValid() ? pen(o.outline) : QPen(Qt::NoPen));
            m_painter.setBrush(o.fill.isValid() ? QBrush(o.fill) : QBrush(Qt::NoBrush));
            m_painter.drawRect(r);
            break;
        case Object::Line:
            m_painter.setPen(pen(o.color));
            m_painter.drawLine(r.topLeft(), r.bottomRight());
            break;
        case Object::Text:
            drawText(o, r);
            break;
        }
        m_painter.restore();
    }

private:
    double x(double mm) const { return mm * m_dpiX / 25.4; }
    double y(double mm) const { return mm * m_dpiY / 25.4; }
    QRectF toDevice(const QRectF& mm) const {
        return {x(mm.left()), y(mm.top()), x(mm.width()), y(mm.height())};
    }
    QPen pen(const QColor& color) const {
        QPen p(color, x(penWidth));
        p.setCapStyle(Qt::FlatCap);
        p.setJoinStyle(Qt::MiterJoin);
        return p;
    }

    void drawText(const Object& o, const QRectF& r) {
        if (o.fill.isValid())
            m_painter.fillRect(r, o.fill);
        m_painter.setClipRect(r, Qt::IntersectClip);
        m_painter.setFont(fontOf(o));
        m_painter.setPen(o.color);
        const QFontMetricsF metrics(m_painter.font(), m_painter.device());
        const QStringList lines = linesOf(o.text);
        const bool single = lines.size() == 1;
        const double lineHeight = r.height() / double(lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            if (line.isEmpty())
                continue;
            const double width = metrics.horizontalAdvance(line);
            double left = 0;
            if (o.align == Align::Center)
                left = (r.width() - width) / 2;
            else if (o.align == Align::Right)
                left = r.width() - width;
            double start = 0;
            const QString shown = visiblePart(line, metrics, left, r.width(), &start);
            if (shown.isEmpty())
                continue;
            // Wide enough never to be wrapped or elided by Qt: the clip does the cutting.
            const QRectF slot(r.left() + start, r.top() + double(i) * lineHeight,
                              r.width() - start + metrics.maxWidth(), lineHeight);
            const int vertical = single ? Qt::AlignVCenter : Qt::AlignTop;
            m_painter.drawText(slot, Qt::AlignLeft | vertical | Qt::TextSingleLine, shown);
        }
    }

    QPainter& m_painter;
    double m_dpiX;
    double m_dpiY;
};

} // namespace

Object textObject(const QString& name, const QRectF& rect, const QString& text,
                  const QString& family, double pointSize, Align align) {
    Object o;
    o.kind = Object::Text;
    o.name = name;
    o.rect = rect;
    o.text = text;
    o.fontFamily = family;
    o.pointSize = pointSize;
    o.align = align;
    return o;
}

Object* Template::findObject(const QString& objectName) {
    for (Object& o : pageObjects)
        if (o.name == objectName)
            return &o;
    for (Band& b : bands)
        for (Object& o : b.objects)
            if (o.name == objectName)
                return &o;
    return nullptr;
}

Band* Template::findBand(const QString& bandName) {
    for (Band& b : bands)
        if (b.name == bandName)
            return &b;
    return nullptr;
}

bool Template::setText(const QString& objectName, const QString& text) {
    Object* o = findObject(objectName);
    if (o == nullptr)
        return false;
    o->text = text;
    return true;
}

bool Template::setHeight(const QString& objectName, double millimetres) {
    Object* o = findObject(objectName);
    if (o == nullptr)
        return false;
    o->rect.setHeight(millimetres);
    return true;
}

bool Template::setBandHeight(const QString& bandName, double millimetres) {
    Band* b = findBand(bandName);
    if (b == nullptr)
        return false;
    b->height = millimetres;
    return true;
}

QSizeF Template::printableSize() const {
    const QSizeF page = orientation == Orientation::Portrait ? QSizeF(a4Width, a4Height)
                                                             : QSizeF(a4Height, a4Width);
    return {page.width() - 2 * margin, page.height() - 2 * margin};
}

Prepared prepare(const Template& report, const QDateTime& printedAt) {
    Layout layout(report, printedAt);
    for (const Object& o : report.pageObjects)
        layout.place(o, o.rect.top());
    for (const Band& b : report.bands)
        layout.addBand(b);
    return Prepared{report.name, report.orientation, report.margin, layout.pages()};
}

bool paint(const Prepared& prepared, QPagedPaintDevice& device) {
    const QMarginsF margins(prepared.margin, prepared.margin, prepared.margin, prepared.margin);
    device.setPageLayout(QPageLayout(QPageSize(QPageSize::A4),
                                     prepared.orientation == Orientation::Portrait
                                         ? QPageLayout::Portrait
                                         : QPageLayout::Landscape,
                                     margins, QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    // The painter starts at the device's printable area; a printer that kept wider margins
    // than ours must not move the objects on the paper.
    const QRectF area = device.pageLayout().paintRect(QPageLayout::Millimeter);
    const QPointF shift(prepared.margin - area.left(), prepared.margin - area.top());
    Painter out(painter);
    // The pages the print dialog was asked for; none chosen means all.
    const QPageRanges chosen = device.pageRanges();
    bool first = true;
    for (qsizetype i = 0; i < prepared.pages.size(); ++i) {
        if (!chosen.isEmpty() && !chosen.contains(int(i) + 1))
            continue;
        if (!first && !device.newPage())
            return false;
        first = false;
        painter.save();
        painter.translate(shift.x() * painter.device()->logicalDpiX() / 25.4,
                          shift.y() * painter.device()->logicalDpiY() / 25.4);
        for (const Placed& p : prepared.pages.at(i).objects)
            out.draw(p.object);
        painter.restore();
    }
    return painter.end();
}

std::optional<QByteArray> pdf(const Prepared& prepared) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return std::nullopt;
    {
        QPdfWriter writer(&buffer);
        writer.setPdfVersion(kPdfVersion);
        writer.setTitle(prepared.name);
        writer.setCreator(QStringLiteral("Faldora"));
        if (!paint(prepared, writer))
            return std::nullopt;
    }
    return bytes;
}

bool writePdf(const Prepared& prepared, const QString& path) {
    const auto bytes = pdf(prepared);
    return bytes && WholeFile::replace(path, *bytes);
}

} // namespace Report
