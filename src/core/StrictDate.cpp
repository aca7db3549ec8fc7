#include "StrictDate.h"

#include "TextField.h"

#include <QRegularExpression>

std::optional<QDate> readStrictDate(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{2})/([0-9]{2})/([0-9]{4})$"));
    const auto m = pattern.match(TextField::trimBlanks(text));
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    if (!date.isValid())
        return std::nullopt;
    return date;
}
