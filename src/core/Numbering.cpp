#include "Numbering.h"

#include "Settings.h"
#include "TextField.h"

#include <cmath>

namespace Numbering {

QString normaliseStart(const QString& typed) {
    QString text = TextField::trimBlanks(typed);
    if (text.isEmpty())
        return QStringLiteral("1");
    text.replace(u',', u'.');
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || std::abs(value) > 1e15)
        return QStringLiteral("1");
    return QString::number(static_cast<qint64>(std::floor(value + 0.5)));
}

std::optional<QString> propose(const QString& start, const QString& yearSetting, int count,
                               const QDate& today) {
    QString text = TextField::trimBlanks(start);
    if (text.isEmpty())
        text = QStringLiteral("1");
    bool ok = false;
    const qint64 first = text.toInt(&ok);
    if (!ok)
        return std::nullopt;
    QString number = QString::number(first + count);
    if (TextField::trimBlanks(yearSetting) == Settings::Yes)
        number += u'/' + today.toString(QStringLiteral("yyyy"));
    return number;
}

} // namespace Numbering
