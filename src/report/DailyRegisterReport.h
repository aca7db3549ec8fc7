#pragma once

#include "Report.h"
#include "core/DailyRegister.h"

#include <QDateTime>
#include <QString>

// The printed daily register and the year-end closing page: A4 landscape, Arial, one band
// per day's heading, rows and totals, the SHA-256 with how it is computed and the moment of
// printing on the last page, "Pagina n di m" under every page.
namespace DailyRegisterReport {

// The line that says how the SHA-256 is computed, as printed.
QString digestRule();

// `registerName`: the register's file name ("2026.prt"); `year` its year.
Report::Template dailyRegister(const DailyRegister::Register& run, const QString& registerName,
                               int year, const QDateTime& printedAt);
Report::Template yearClosing(const DailyRegister::Closing& closing, const QString& registerName,
                             int year, const QDateTime& printedAt);

// Prepares the templates one after the other, each from a new page, and numbers the pages.
Report::Prepared prepare(const QList<Report::Template>& parts, const QDateTime& printedAt);

} // namespace DailyRegisterReport
