#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The automatic protocol number of a new card.
namespace Numbering {

// The start number as the numbering window leaves it: empty or unreadable becomes "1";
// otherwise the number (decimal comma) rounded half up, in plain digits ("00050" is "50").
QString normaliseStart(const QString& typed);

// start + count, followed by "/" and today's year only when `yearSetting` is exactly
// "Sì". An empty start counts as 1; a start that is not a whole number gives nothing.
std::optional<QString> propose(const QString& start, const QString& yearSetting, int count,
                               const QDate& today);

// The progressive number of a protocol number, which the numbering follows with "/" and a
// year when asked to (the year of the day the card was made, which need not be the
// register's); nothing when the text is no such number.
std::optional<qint64> progressive(const QString& number);

} // namespace Numbering
