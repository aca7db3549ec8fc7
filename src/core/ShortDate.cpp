#include "ShortDate.h"

namespace ShortDate {

QString format(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

} // namespace ShortDate
