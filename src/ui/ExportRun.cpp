#include "ExportRun.h"

#include "Messages.h"
#include "ProgramFolder.h"
#include "RecordGrid.h"
#include "TMisc.h"

namespace {
constexpr int kProgressStep = 4096;
} // namespace

void runExport(QWidget* parent, const Spreadsheet::Target& target, const RecordGridModel& grid,
               const std::function<void(int, int)>& progress) {
    if (!Messages::question(parent,
                            QStringLiteral("L'esportazione dei dati in Excel può richiedere "
                                           "diversi minuti a seconda del numero di schede "
                                           "presenti in archivio.\r\n\r\nSi vuole esportare "
                                           "i dati adesso?")))
        return;
    const QString path = ProgramFolder::file(target.fileName);
    const int rows = grid.rowCount();
    const int columns = int(target.columns.size());
    bool written = false;
    {
        // The grid's column 0 is the row number, which the file leaves out. The buffer goes
        // before the questions that follow.
        Spreadsheet::Writer out(target, rows, grid.storedBytes());
        for (int row = 0; row < rows; ++row) {
            grid.writeRow(row, 1, columns, out);
            if (progress && ((row + 1) % kProgressStep == 0 || row + 1 == rows))
                progress(row + 1, rows);
        }
        written = Spreadsheet::write(path, out.finish());
    }
    if (!written) {
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
