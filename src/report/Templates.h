#pragma once

#include "Report.h"

#include <QStringList>

// The report templates of the program's prints.
namespace Templates {

// "Scheda Protocollo": the protocol card on one A4 portrait page, sixteen framed rows.
Report::Template protocolCard();

// "Riepilogo dati": a printed list (A4 landscape) under a title, with the date of
// printing in the footer.
Report::Template searchList();

// Fills the list template: title, the lines in order, the body's and the band's heights.
void fillList(Report::Template& list, const QString& title, const QStringList& lines);

} // namespace Templates
