#pragma once

#include "Report.h"

#include <QDateTime>
#include <QStringList>
#include <functional>

// The report templates of the program's prints.
namespace Templates {

// "Scheda Protocollo": the protocol card on one A4 portrait page, sixteen framed rows.
Report::Template protocolCard();

// Fills the card template: `field(name)` gives the text of the card window's field of
// that name (txtNumero, ...), printed trimmed; row 10 joins format and pages; the footer
// gives the date and time of printing.
void fillProtocolCard(Report::Template& card, const std::function<QString(const QString&)>& field,
                      const QDateTime& printedAt);

// "Riepilogo dati": a printed list (A4 landscape) under a title, with the date of
// printing in the footer.
Report::Template searchList();

// Fills the list template: title, the lines in order, the body's and the band's heights.
void fillList(Report::Template& list, const QString& title, const QStringList& lines);

} // namespace Templates
