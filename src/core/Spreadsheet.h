#pragma once

#include "LargeArray.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

// The spreadsheet export file: an HTML table with the Office namespaces and an Excel
// workbook block, in Windows-1252, all on one line, which Excel and compatible programs
// open as a workbook of one worksheet.
namespace Spreadsheet {

struct Column {
    QString title;
    int width;
};

// Where an export goes and what it holds.
struct Target {
    QString fileName;  // in the program folder
    QString worksheet; // the worksheet's name
    QList<Column> columns;
};

// The protocol and document targets.
Target protocolSummary();
Target protocolExport();
Target documentExport();

// The file's bytes written row by row into one buffer, reserved once: for exports of many
// rows without an allocation per cell. Cell texts are trimmed and escaped as in fileBytes().
class Writer {
public:
    // `cellBytes`: about how many bytes the cells hold in all (0 when not known).
    Writer(const Target& target, qsizetype rowCount, qsizetype cellBytes = 0);
    void beginRow();
    void cell(QByteArrayView text);
    void endRow();
    // The whole file, after the last row: a view of the writer's own buffer.
    QByteArrayView finish();

private:
    void put(QByteArrayView bytes);

    LargeArray<char> m_out;
};

// A cell's text in Windows-1252: a view of bytes that live on, or of `scratch`.
using CellReader = std::function<QByteArrayView(int row, int column, QByteArray& scratch)>;

// The file's bytes for `rowCount` rows. Cell texts are trimmed and "&", "<" and ">"
// escaped, so the sheet shows them as they are; a line break inside a cell is written as
// its character reference, so the file stays one line.
QByteArray fileBytes(const Target& target, int rowCount, const CellReader& cell);

// Writes the file whole or not at all: a failed write leaves the previous file as it was.
bool write(const QString& path, QByteArrayView bytes);

} // namespace Spreadsheet
