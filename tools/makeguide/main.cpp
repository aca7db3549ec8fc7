// makeguide INPUT.html OUTPUT.pdf
//
// Turns the HTML source of the user guide into Guida.pdf: A4 pages with a footer that
// reads "Pagina N di M". The first page (the title page) carries no footer.
//
// Page numbers of the table of contents: a text "{pagina:NAME}" in the source is replaced by
// the number of the page on which the anchor <a name="NAME"> lies. Every such reference must
// name an existing anchor.
//
// Page ends are mended before anything is written: a paragraph is never cut in two, a heading
// never stays alone at the foot of a page, a short table is kept on one page together with
// the heading that introduces it, and a long table that a page end would cut through a row is
// continued on the next page with its header row repeated.
//
// The PDF is written beside the target as OUTPUT.tmp and renamed over OUTPUT only when it is
// complete, so a failed run never leaves a truncated guide behind. On failure the tool
// prints a message and exits with a non-zero status.

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextLayout>
#include <QTextTable>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

constexpr int kResolution = 300;       // dots per inch of the PDF's drawing surface
constexpr qreal kMarginMm = 18.0;      // page margins on every side
constexpr qreal kFooterGapMm = 6.0;    // between the text body and the footer line
constexpr qreal kFooterHeightMm = 6.0; // the footer line and its text
constexpr qreal kBodyFontPt = 9.5;     // default text size
constexpr qreal kFooterFontPt = 8.0;

const char* const kTitle = "Faldora - Guida all'utilizzo del software";

int fail(const QString& message) {
    std::fprintf(stderr, "makeguide: %s\n", qPrintable(message));
    return 1;
}

qreal mmToDots(qreal mm) {
    return mm * kResolution / 25.4;
}

QFont fontOf(qreal pointSize) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("DejaVu Sans"), QStringLiteral("Verdana"), QStringLiteral("Arial")});
    font.setPointSizeF(pointSize);
    return font;
}

// Top and bottom of every line of `block`, in document coordinates.
QList<QPair<qreal, qreal>> lineExtents(const QTextDocument& doc, const QTextBlock& block) {
    QList<QPair<qreal, qreal>> lines;
    const QTextLayout* layout = block.layout();
    if (layout == nullptr)
        return lines;
    const qreal top = doc.documentLayout()->blockBoundingRect(block).top();
    for (int i = 0; i < layout->lineCount(); ++i) {
        const QTextLine line = layout->lineAt(i);
        lines.append({top + line.y(), top + line.y() + line.height()});
    }
    return lines;
}

// The 0-based page on which the document coordinate `y` lies. The layout places a line that
// opens a page exactly on the page's top edge; the small allowance keeps it there despite
// rounding.
int pageIndex(const QTextDocument& doc, qreal y) {
    return static_cast<int>((y + 0.5) / doc.pageSize().height());
}

// The 0-based page of the first line of `block`, -1 for a block without lines.
int firstPage(const QTextDocument& doc, const QTextBlock& block) {
    const auto lines = lineExtents(doc, block);
    return lines.isEmpty() ? -1 : pageIndex(doc, lines.first().first);
}

// The 0-based page of the last line of `block`, -1 for a block without lines.
int lastPage(const QTextDocument& doc, const QTextBlock& block) {
    const auto lines = lineExtents(doc, block);
    return lines.isEmpty() ? -1 : pageIndex(doc, lines.last().second - 1.0);
}

bool breakBefore(const QTextBlock& block) {
    QTextBlockFormat format = block.blockFormat();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        return false;
    format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor(block).setBlockFormat(format);
    return true;
}

QTextBlock firstBlockOf(QTextTable* table) {
    return table->cellAt(0, 0).firstCursorPosition().block();
}

// Whether `block` is one of the empty blocks that stand around a table.
bool isBlank(const QTextBlock& block) {
    return block.text().trimmed().isEmpty();
}

// The heading that introduces `table`: standing right before it, or before the one short
// paragraph that leads into it. An invalid block when there is none.
QTextBlock introducingHeading(const QTextDocument& doc, QTextTable* table) {
    int paragraphs = 0;
    for (QTextBlock block = firstBlockOf(table).previous(); block.isValid();
         block = block.previous()) {
        if (QTextCursor(block).currentTable() != nullptr)
            break;
        if (block.blockFormat().headingLevel() > 0)
            return block;
        if (isBlank(block))
            continue;
        if (++paragraphs > 1 || lineExtents(doc, block).size() > 3)
            break;
    }
    return {};
}

// The table that `heading` introduces (see introducingHeading), or null.
QTextTable* introducedTable(const QTextDocument& doc, const QTextBlock& heading) {
    for (QTextBlock block = heading.next(); block.isValid(); block = block.next()) {
        if (QTextTable* table = QTextCursor(block).currentTable())
            return introducingHeading(doc, table) == heading ? table : nullptr;
        if (block.blockFormat().headingLevel() > 0)
            return nullptr;
        if (!isBlank(block) && lineExtents(doc, block).size() > 3)
            return nullptr;
    }
    return nullptr;
}

// Starts `table` on a new page, together with the heading that introduces it.
bool startOnNewPage(const QTextDocument& doc, QTextTable* table) {
    const QTextBlock heading = introducingHeading(doc, table);
    if (heading.isValid() && firstPage(doc, heading) == firstPage(doc, firstBlockOf(table)))
        return breakBefore(heading);
    QTextTableFormat format = table->format();
    if (format.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
        return false;
    format.setPageBreakPolicy(format.pageBreakPolicy() | QTextFormat::PageBreak_AlwaysBefore);
    table->setFormat(format);
    return true;
}

// Whether `table`, a short one, is broken across two pages; a table of at most half a page
// reads better kept whole.
bool shortTableBroken(const QTextDocument& doc, QTextTable* table) {
    if (doc.documentLayout()->frameBoundingRect(table).height() > doc.pageSize().height() / 2)
        return false;
    const QTextTableCell last = table->cellAt(table->rows() - 1, 0);
    return firstPage(doc, firstBlockOf(table)) != lastPage(doc, last.lastCursorPosition().block());
}

// Copies the content and the look of cell (`row`, `column`) of `from` into `to`.
void copyCell(QTextTable* from, int row, int column, QTextTableCell to) {
    const QTextTableCell cell = from->cellAt(row, column);
    QTextCursor selection = cell.firstCursorPosition();
    selection.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    to.setFormat(cell.format());
    QTextCursor target = to.firstCursorPosition();
    target.setBlockFormat(cell.firstCursorPosition().blockFormat());
    target.insertFragment(selection.selection());
}

// Ends `table` before `row` and continues it, from that row on, on a new page in a table of
// the same look, which repeats the header rows.
void continueTableOnNextPage(QTextTable* table, int row) {
    const int headers = table->format().headerRowCount();
    const int moved = table->rows() - row;
    QTextTableFormat format = table->format();
    format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    QTextCursor after = table->lastCursorPosition();
    after.movePosition(QTextCursor::NextBlock);
    QTextTable* rest = after.insertTable(headers + moved, table->columns(), format);
    for (int r = 0; r < headers + moved; ++r) {
        const int source = r < headers ? r : row + r - headers;
        for (int column = 0; column < table->columns(); ++column)
            copyCell(table, source, column, rest->cellAt(r, column));
    }
    table->removeRows(row, moved);
}

// Finds the first place where the page end falls badly and mends it: a paragraph that the
// page end would cut moves whole to the next page, with the headings right before it; a
// heading that would stand at the foot of a page without the first lines of its text moves to
// the next page; and a table row that the page end would cut in two starts a continuation of
// its table on the next page. False when there is nothing left to mend.
//
// Besides sparing the reader lines left alone at the foot or the head of a page, keeping the
// paragraphs whole keeps the text layer of the PDF clean: the layout draws a paragraph cut by
// the page end starting from its last line on the previous page, which the page's clip hides
// but a search of the PDF would still find.
bool mendOnePageEnd(QTextDocument& doc) {
    doc.documentLayout()->documentSize(); // the whole layout, not only its beginning
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const int first = firstPage(doc, block);
        if (first < 0)
            continue;
        const QTextCursor cursor(block);
        QTextTable* table = cursor.currentTable();
        if (table == nullptr && block.blockFormat().headingLevel() == 0) {
            // A paragraph is kept on one page, together with the headings right before it.
            if (lastPage(doc, block) == first)
                continue;
            QTextBlock start = block;
            while (start.previous().isValid() &&
                   start.previous().blockFormat().headingLevel() > 0 &&
                   QTextCursor(start.previous()).currentTable() == nullptr)
                start = start.previous();
            if (breakBefore(start))
                return true;
        } else if (table == nullptr) {
            const auto next = lineExtents(doc, block.next());
            if (next.isEmpty())
                continue;
            const int page = lastPage(doc, block);
            const auto& probe = next.size() > 1 ? next.at(1) : next.at(0);
            bool alone = pageIndex(doc, probe.second - 1.0) != page;
            if (QTextTable* introduced = introducedTable(doc, block)) {
                const int row =
                    std::min(introduced->format().headerRowCount(), introduced->rows() - 1);
                alone =
                    alone ||
                    lastPage(doc, introduced->cellAt(row, 0).firstCursorPosition().block()) != page;
            }
            if (alone && breakBefore(block))
                return true;
        } else {
            const int row = table->cellAt(cursor.position()).row();
            const int headers = table->format().headerRowCount();
            if (cursor.position() == table->cellAt(0, 0).firstPosition() &&
                shortTableBroken(doc, table) && startOnNewPage(doc, table))
                return true;
            const bool cut = lastPage(doc, block) != first;
            const bool headerAlone =
                row < headers && table->rows() > headers &&
                firstPage(doc, table->cellAt(headers, 0).firstCursorPosition().block()) != first;
            if (cut && row > headers) {
                continueTableOnNextPage(table, row);
                return true;
            }
            if ((cut || headerAlone) && startOnNewPage(doc, table))
                return true;
        }
    }
    return false;
}

// Lays `html` out on pages of `pageSize` dots for `device`, and mends the page ends.
void layOut(QTextDocument& doc, const QString& html, QPaintDevice* device, QSizeF pageSize) {
    doc.documentLayout()->setPaintDevice(device);
    doc.setDefaultFont(fontOf(kBodyFontPt));
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    doc.setPageSize(pageSize);
    for (int guard = 0; guard < 1000 && mendOnePageEnd(doc); ++guard) {
    }
}

// The 1-based page of every named anchor of the laid-out document.
QHash<QString, int> anchorPages(const QTextDocument& doc) {
    doc.documentLayout()->documentSize();
    QHash<QString, int> pages;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QStringList names = it.fragment().charFormat().anchorNames();
            for (const QString& name : names)
                pages.insert(name, firstPage(doc, block) + 1);
        }
    }
    return pages;
}

const QRegularExpression& pageReference() {
    static const QRegularExpression re(QStringLiteral("\\{pagina:([A-Za-z0-9_-]+)\\}"));
    return re;
}

// `html` with every page reference replaced by the page of its anchor in `pages`, or by a
// placeholder while `pages` is still empty; the first unknown anchor goes into `unknown`.
QString withPageNumbers(const QString& html, const QHash<QString, int>& pages, QString* unknown) {
    QString out;
    qsizetype last = 0;
    auto it = pageReference().globalMatch(html);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        out += QStringView(html).mid(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        if (pages.isEmpty()) {
            out += QStringLiteral("00"); // placeholder of the first layout pass
        } else if (pages.contains(name)) {
            out += QString::number(pages.value(name));
        } else {
            if (unknown->isEmpty())
                *unknown = name;
            out += QStringLiteral("?");
        }
        last = m.capturedEnd();
    }
    out += QStringView(html).mid(last);
    return out;
}

std::filesystem::path fsPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

// Removes the temporary file on every way out that does not rename it.
struct TemporaryFile {
    QString path;
    bool renamed = false;
    ~TemporaryFile() {
        if (!renamed)
            QFile::remove(path);
    }
};

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: makeguide INPUT.html OUTPUT.pdf\n");
        return 2;
    }
    const QString inputPath = args.at(1);
    const QString outputPath = QFileInfo(args.at(2)).absoluteFilePath();
    const QString tempPath = outputPath + QStringLiteral(".tmp");

    QFile input(inputPath);
    if (!input.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(inputPath, input.errorString()));
    const QByteArray bytes = input.readAll();
    input.close();
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString source = decoder(bytes);
    if (decoder.hasError())
        return fail(QStringLiteral("%1 is not valid UTF-8 text").arg(inputPath));
    if (source.trimmed().isEmpty())
        return fail(QStringLiteral("%1 is empty").arg(inputPath));

    QFile::remove(tempPath);
    TemporaryFile temporary{tempPath};
    int pageCount = 0;
    {
        QPdfWriter writer(tempPath);
        writer.setResolution(kResolution);
        writer.setTitle(QString::fromUtf8(kTitle));
        writer.setCreator(QStringLiteral("Faldora"));
        const QPageLayout pageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                     QPageLayout::Millimeter);
        if (!writer.setPageLayout(pageLayout))
            return fail(QStringLiteral("cannot set up A4 pages"));

        const QRect paint = writer.pageLayout().paintRectPixels(kResolution);
        const qreal footerBand = mmToDots(kFooterGapMm + kFooterHeightMm);
        const QSizeF bodySize(paint.width(), paint.height() - footerBand);

        // Two passes: the first finds the pages of the anchors, the second writes them into
        // the table of contents. The numbers have as many digits as the placeholders in
        // practice, and the table stands on a page of its own, so nothing moves.
        QTextDocument doc;
        QString unknown;
        layOut(doc, withPageNumbers(source, {}, &unknown), &writer, bodySize);
        const QHash<QString, int> pages = anchorPages(doc);
        const QString html = withPageNumbers(source, pages, &unknown);
        if (!unknown.isEmpty())
            return fail(QStringLiteral("page reference to a missing anchor: %1").arg(unknown));
        layOut(doc, html, &writer, bodySize);
        if (anchorPages(doc) != pages)
            return fail(QStringLiteral("the page numbers of the table of contents do not settle"));

        pageCount = doc.pageCount();
        QPainter painter;
        if (!painter.begin(&writer))
            return fail(QStringLiteral("cannot write %1").arg(tempPath));
        const QFont footerFont = fontOf(kFooterFontPt);
        const QRectF footerRect(0, paint.height() - mmToDots(kFooterHeightMm), paint.width(),
                                mmToDots(kFooterHeightMm));
        for (int page = 0; page < pageCount; ++page) {
            if (page > 0 && !writer.newPage()) {
                painter.end();
                return fail(QStringLiteral("cannot add page %1").arg(page + 1));
            }
            // The layout draws every block that touches its clip rectangle, even where the
            // painter's clip then hides it, and hidden text would still be found by searching
            // the PDF. Its rectangle therefore stops a fraction of a dot short of the page end,
            // which leaves out a heading that opens the next page exactly there; the painter
            // clips to the whole page.
            const qreal top = page * bodySize.height();
            painter.save();
            painter.translate(0, -top);
            painter.setClipRect(QRectF(0, top, bodySize.width(), bodySize.height()));
            QAbstractTextDocumentLayout::PaintContext context;
            context.clip = QRectF(0, top, bodySize.width(), bodySize.height() - 0.5);
            doc.documentLayout()->draw(&painter, context);
            painter.restore();

            if (page == 0)
                continue; // the title page stands alone
            painter.save();
            painter.setPen(QPen(QColor(0x42, 0x7a, 0xa8), mmToDots(0.25)));
            painter.drawLine(footerRect.topLeft(), footerRect.topRight());
            painter.setFont(footerFont);
            painter.setPen(QColor(0x55, 0x55, 0x55));
            const QRectF textRect = footerRect.adjusted(0, mmToDots(1.2), 0, 0);
            painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, QString::fromUtf8(kTitle));
            painter.drawText(textRect, Qt::AlignRight | Qt::AlignVCenter,
                             QStringLiteral("Pagina %1 di %2").arg(page + 1).arg(pageCount));
            painter.restore();
        }
        if (!painter.end())
            return fail(QStringLiteral("writing %1 failed").arg(tempPath));
    }

    const QFileInfo written(tempPath);
    if (!written.exists() || written.size() == 0)
        return fail(QStringLiteral("%1 was not written").arg(tempPath));

    std::error_code error;
    std::filesystem::rename(fsPath(tempPath), fsPath(outputPath), error);
    if (error) {
        return fail(QStringLiteral("cannot replace %1: %2")
                        .arg(outputPath, QString::fromLocal8Bit(error.message())));
    }
    temporary.renamed = true;
    std::printf("%s: %d pages\n", qPrintable(outputPath), pageCount);
    return 0;
}
