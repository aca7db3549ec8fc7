#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <optional>

// The spreadsheet export files, in three formats:
// - .xls: an HTML table with the Office namespaces and an Excel workbook block, in
//   Windows-1252, all on one line, which Excel and compatible programs open as a workbook
//   of one worksheet;
// - .xlsx: a real workbook (libxlsxwriter), dates as dates and every other cell as text;
// - .csv: UTF-8 with a byte-order mark, ";" between cells, as Italian Excel and LibreOffice
//   open it by double click.
// Each is written row by row to a temporary file that takes the target's place only when
// whole, so a million rows need no more memory than a few of them.
namespace Spreadsheet {

struct Column {
    QString title;
    int width;
    bool date = false; // a registration, sending, receipt or production date
};

// Where an export goes and what it holds.
struct Target {
    QString fileName;  // in the program folder, for the .xls
    QString worksheet; // the worksheet's name
    QList<Column> columns;
};

// The protocol and document targets.
Target protocolSummary();
Target protocolExport();
Target documentExport();

enum class Format { Xls, Xlsx, Csv };

struct FormatChoice {
    Format format;
    QString name; // as the choice is offered: "Excel (.xlsx)"
    QString tag;  // short, on the control that shows the choice: "XLSX"
    QString key;  // as the settings keep it, and the file name's extension: "xlsx"
};
// The choices in the order they are offered, the .xls first.
const QList<FormatChoice>& formats();
const FormatChoice& choice(Format format);
std::optional<Format> formatOfKey(const QString& key);

// The target's file name with the format's extension: "Protocollo.csv".
QString fileName(const Target& target, Format format);

// The most rows below the column titles that one .xlsx worksheet holds.
constexpr int kXlsxMaxRows = 1048575;

// Where the rows go, cell by cell, each cell's text in Windows-1252 as the archives keep it.
// Texts are trimmed of blanks at both ends on the way out.
class Writer {
public:
    virtual ~Writer() = default;
    virtual void beginRow() = 0;
    virtual void cell(QByteArrayView text) = 0;
    virtual void endRow() = 0;
};

// Writes row `row` of the export into `out`.
using RowSource = std::function<void(int row, Writer& out)>;
// Hears how far the writing is, as `done` of `total`, every few thousand rows.
using Progress = std::function<void(qint64 done, qint64 total)>;

enum class Outcome { Written, Failed, TooManyRows };

// Writes the file whole or not at all: a failed write leaves the previous file as it was.
// An .xlsx of more than kXlsxMaxRows rows is refused before anything is written.
Outcome write(const QString& path, Format format, const Target& target, int rowCount,
              const RowSource& rows, const Progress& progress = {});

// A cell's text in Windows-1252: a view of bytes that live on, or of `scratch`.
using CellReader = std::function<QByteArrayView(int row, int column, QByteArray& scratch)>;

// The file's bytes for `rowCount` rows (through a temporary file; for tests and tools).
// For the .xls: cell texts are trimmed and "&", "<" and ">" escaped, so the sheet shows them
// as they are; a line break inside a cell is written as its character reference, so the
// file stays one line.
QByteArray fileBytes(const Target& target, int rowCount, const CellReader& cell,
                     Format format = Format::Xls);

} // namespace Spreadsheet
