#include "ExportRun.h"

#include "Messages.h"
#include "ProgramFolder.h"
#include "RecordGrid.h"
#include "TMisc.h"

void runExport(QWidget* parent, const Spreadsheet::Target& target, const RecordGridModel& grid) {
    if (!Messages::question(parent,
                            QStringLiteral("L'esportazione dei dati in Excel può richiedere "
                                           "diversi minuti a seconda del numero di schede "
                                           "presenti in archivio.\r\n\r\nSi vuole esportare "
                                           "i dati adesso?")))
        return;
    const QString path = ProgramFolder::file(target.fileName);
    const QByteArray bytes = Spreadsheet::fileBytes(
        target, grid.rowCount(), [&grid](int row, int column, QByteArray& scratch) {
            return grid.cellBytes(row, column + 1, scratch);
        });
    if (!Spreadsheet::write(path, bytes)) {
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
