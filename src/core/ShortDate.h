#pragma once

#include <QDate>
#include <QString>

// Dates as the program writes them: dd/mm/yyyy.
namespace ShortDate {

QString format(const QDate& date);

} // namespace ShortDate
