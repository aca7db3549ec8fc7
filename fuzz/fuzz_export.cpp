// Export cells hold what the cards hold and what the user typed in the grid: any text, in
// Windows-1252. Whatever the cells, the file must stay one line of whole rows of text cells,
// markup never opened by a cell, and each cell must read back as its text, trimmed.
#include "core/Cp1252.h"
#include "core/Spreadsheet.h"
#include "core/TextField.h"

#include <QByteArray>
#include <QList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_export: %s\n", what);
        std::abort();
    }
}

// Reads the file from the start, piece after piece.
struct Reader {
    QByteArrayView rest;

    // The literal `text` comes next.
    void expect(QByteArrayView text, const char* what) {
        check(rest.startsWith(text), what);
        rest = rest.sliced(text.size());
    }
    // A text up to the next markup, decoded: only the entities the writer writes, and no
    // markup of its own.
    QByteArray text() {
        const qsizetype end = rest.indexOf('<');
        check(end >= 0, "a text runs to the end of the file");
        const QByteArrayView raw = rest.first(end);
        rest = rest.sliced(end);
        check(!raw.contains('>'), "a text holds a bare >");
        QByteArray out;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != '&') {
                out += raw[i];
                continue;
            }
            static const struct {
                QByteArrayView entity;
                char stands;
            } entities[] = {
                {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&#13;", '\r'}, {"&#10;", '\n'}};
            bool known = false;
            for (const auto& e : entities) {
                if (raw.sliced(i).startsWith(e.entity)) {
                    out += e.stands;
                    i += e.entity.size() - 1;
                    known = true;
                    break;
                }
            }
            check(known, "a text holds a bare &");
        }
        return out;
    }
};

QByteArray trimmed(const QByteArray& bytes) {
    return TextField::trimBlanks(QByteArrayView(bytes)).toByteArray();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    Spreadsheet::Target target;
    target.fileName = QStringLiteral("Prova.xls");
    const QByteArray sheet = QByteArray::fromStdString(in.ConsumeRandomLengthString(32));
    target.worksheet = Cp1252::decode(sheet);
    const int columns = in.ConsumeIntegralInRange(1, 4);
    QList<QByteArray> titles;
    for (int c = 0; c < columns; ++c) {
        titles.append(QByteArray::fromStdString(in.ConsumeRandomLengthString(16)));
        target.columns.append({Cp1252::decode(titles.last()), in.ConsumeIntegralInRange(0, 1000)});
    }
    const int rows = in.ConsumeIntegralInRange(0, 6);
    QList<QByteArray> cells;
    for (int i = 0; i < rows * columns; ++i)
        cells.append(QByteArray::fromStdString(in.ConsumeRandomLengthString(48)));

    const QByteArray file =
        Spreadsheet::fileBytes(target, rows, [&](int row, int column, QByteArray&) {
            return QByteArrayView(cells[row * columns + column]);
        });
    check(!file.contains('\r') && !file.contains('\n'), "the file is more than one line");

    Reader r{file};
    r.expect("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
             "xmlns:x=\"urn:schemas-microsoft-com:office:excel\" "
             "xmlns=\"http://www.w3.org/TR/REC-html40\"><head>"
             "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">"
             "<!--[if gte mso 9]><xml><x:ExcelWorkbook><x:ExcelWorksheets><x:ExcelWorksheet>"
             "<x:Name>",
             "the head");
    check(r.text() == sheet, "the worksheet name reads back otherwise");
    r.expect("</x:Name><x:WorksheetOptions><x:Selected/><x:Panes><x:Pane>"
             "<x:Number>1</x:Number><x:ActiveRow>3</x:ActiveRow></x:Pane></x:Panes>"
             "<x:ProtectContents>False</x:ProtectContents>"
             "<x:ProtectObjects>False</x:ProtectObjects>"
             "<x:ProtectScenarios>False</x:ProtectScenarios></x:WorksheetOptions>"
             "</x:ExcelWorksheet></x:ExcelWorksheets></x:ExcelWorkbook></xml><![endif]-->"
             "</head><body><table x:str><tr>",
             "the workbook block");
    for (int c = 0; c < columns; ++c) {
        r.expect("<td style=\"text-align: left; font-weight: bold;\" width=" +
                     QByteArray::number(target.columns[c].width) + '>',
                 "a header cell");
        check(r.text() == titles[c], "a title reads back otherwise");
        r.expect("</td>", "the end of a header cell");
    }
    r.expect("</tr>", "the end of the header row");
    for (int row = 0; row < rows; ++row) {
        r.expect("<tr>", "a row");
        for (int column = 0; column < columns; ++column) {
            // Every cell is text to the spreadsheet program.
            r.expect("<td style=\"text-align: left; mso-number-format:\\@;\" "
                     "sdnum=\"1040;0;@\">",
                     "a text cell");
            check(r.text() == trimmed(cells[row * columns + column]),
                  "a cell reads back otherwise than its text, trimmed");
            r.expect("</td>", "the end of a cell");
        }
        r.expect("</tr>", "the end of a row");
    }
    r.expect("</table></body></html>", "the tail");
    check(r.rest.isEmpty(), "bytes after the end of the page");
    return 0;
}
