#include "Numbering.h"

#include "Settings.h"
#include "TextField.h"

#include <algorithm>
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

namespace {

// Plain parsing rather than regular expressions: the archive check runs in a thread of its
// own, and a regular expression's per-thread matching stack kept a MinGW program from ending.
bool allDigits(QStringView text) {
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

std::optional<qint64> progressive(const QString& number) {
    const qsizetype slash = number.indexOf(u'/');
    const QStringView digits = QStringView(number).left(slash < 0 ? number.size() : slash);
    if (!allDigits(digits) || digits.size() > 9)
        return std::nullopt;
    if (slash >= 0 &&
        !(number.size() - slash - 1 == 4 && allDigits(QStringView(number).sliced(slash + 1))))
        return std::nullopt;
    return digits.toLongLong();
}

} // namespace Numbering
