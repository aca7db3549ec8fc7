#pragma once

#include "CardForm.h"
#include "Report.h"

#include <QStringList>

// The report templates of the program's prints.
namespace Templates {

// "Scheda Protocollo": the protocol card, sixteen rows; the format and the number of pages
// share row 10.
CardForm::Form protocolCard();

// "Scheda Documento": the document card, twenty-one rows.
CardForm::Form documentCard();

// "Riepilogo dati": a printed list (A4 landscape) under a title, with the date of
// printing in the footer. Every printed list uses it.
Report::Template searchList();

// Fills the list template: title, the lines in order, the body's and the band's heights.
// The lines print literally.
void fillList(Report::Template& list, const QString& title, const QStringList& lines);

} // namespace Templates
