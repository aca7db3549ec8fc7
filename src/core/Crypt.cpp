#include "Crypt.h"

namespace Crypt {
namespace {

// Fixed once: the delivered credential file is written with them.
constexpr quint16 kStartKey = 29791;
constexpr quint16 kMultiplier = 52845;
constexpr quint16 kIncrement = 22719;

// The enciphered byte, not the plain one, feeds the key. Unsigned 32-bit arithmetic cut to
// 16 bits: the product would overflow a signed int.
quint16 nextKey(quint16 key, quint8 enciphered) {
    const quint32 sum = quint32(enciphered) + key;
    return static_cast<quint16>(sum * kMultiplier + kIncrement);
}

int hexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

} // namespace

QString Encrypt(const QString& plain) {
    static const char digits[] = "0123456789ABCDEF";
    QString out;
    out.reserve(plain.size() * 2);
    quint16 key = kStartKey;
    for (QChar ch : plain) {
        const auto p = static_cast<quint8>(ch.unicode() & 0xFF);
        const auto c = static_cast<quint8>(p ^ (key >> 8));
        out.append(QLatin1Char(digits[c >> 4]));
        out.append(QLatin1Char(digits[c & 0x0F]));
        key = nextKey(key, c);
    }
    return out;
}

std::optional<QString> Decrypt(const QString& stored) {
    const qsizetype n = stored.size() / 2;
    QString out;
    out.reserve(n);
    quint16 key = kStartKey;
    for (qsizetype i = 0; i < n; ++i) {
        const int high = hexValue(stored[2 * i]);
        const int low = hexValue(stored[2 * i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        const auto c = static_cast<quint8>(high * 16 + low);
        out.append(QChar(static_cast<char16_t>(c ^ (key >> 8))));
        key = nextKey(key, c);
    }
    return out;
}

} // namespace Crypt
