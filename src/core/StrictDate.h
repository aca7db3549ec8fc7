#pragma once

#include <QDate>
#include <QString>
#include <optional>

// Reads dd/mm/yyyy (blanks around it allowed) naming a real calendar day; anything else,
// shortened forms included, is not a date.
std::optional<QDate> readStrictDate(const QString& text);
