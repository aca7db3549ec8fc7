#include "StrictDate.h"

#include "TextField.h"

namespace {

// The value of `count` decimal digits at `at`, or -1.
int digits(const QString& text, int at, int count) {
    int value = 0;
    for (int i = at; i < at + count; ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

std::optional<QDate> readStrictDate(const QString& text) {
    const QString t = TextField::trimBlanks(text);
    if (t.size() != 10 || t[2] != u'/' || t[5] != u'/')
        return std::nullopt;
    const int day = digits(t, 0, 2);
    const int month = digits(t, 3, 2);
    const int year = digits(t, 6, 4);
    if (day < 0 || month < 0 || year < 0)
        return std::nullopt;
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}
