#include "ExportRun.h"

#include "Messages.h"
#include "ProgramFolder.h"
#include "RecordGrid.h"
#include "TMisc.h"

void runExport(QWidget* parent, const Spreadsheet::Target& target, Spreadsheet::Format format,
               const RecordGridModel& grid, const Spreadsheet::Progress& progress) {
    if (!Messages::question(parent,
                            QStringLiteral("L'esportazione dei dati in Excel può richiedere "
                                           "diversi minuti a seconda del numero di schede "
                                           "presenti in archivio.\r\n\r\nSi vuole esportare "
                                           "i dati adesso?")))
        return;
    const QString path = ProgramFolder::file(Spreadsheet::fileName(target, format));
    const int columns = int(target.columns.size());
    // The grid's column 0 is the row number, which the file leaves out.
    const Spreadsheet::Outcome outcome = Spreadsheet::write(
        path, format, target, grid.rowCount(),
        [&](int row, Spreadsheet::Writer& out) { grid.writeRow(row, 1, columns, out); }, progress);
    if (outcome == Spreadsheet::Outcome::TooManyRows) {
        Messages::notice(parent,
                         QStringLiteral("Un file Excel (.xlsx) contiene al massimo %L1 schede: "
                                        "per esportarne %L2 scegliere il formato CSV "
                                        "(separatore ;).")
                             .arg(Spreadsheet::kXlsxMaxRows)
                             .arg(grid.rowCount()));
        return;
    }
    if (outcome != Spreadsheet::Outcome::Written) {
        Messages::notice(parent,
                         QStringLiteral("Attenzione: il sistema non permette di esportare i "
                                        "dati.\n\r\n\rAccertarsi che il file di Excel non "
                                        "sia già aperto."));
        return;
    }
    if (Messages::question(parent, QStringLiteral("Le schede in archivio sono state esportate con "
                                                  "successo.\r\n\r\nSi vuole aprire il file di "
                                                  "Excel?")))
        TMisc::Open(u'"' + path + u'"');
}
