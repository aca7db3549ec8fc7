#include "Cp1252.h"

#include <QList>
#include <QStringView>
#include <array>
#include <utility>

namespace Cp1252 {
namespace {

// 0x80..0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> kHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98
};

// Letters without a decomposition into a base letter and marks, and the plain letter that
// stands for each of them.
constexpr std::array<std::pair<char16_t, char>, 11> kLetters = {{
    {0x0110, 'D'},
    {0x0111, 'd'}, // Đ đ
    {0x0126, 'H'},
    {0x0127, 'h'}, // Ħ ħ
    {0x0131, 'i'}, // ı
    {0x013F, 'L'},
    {0x0140, 'l'}, // Ŀ ŀ
    {0x0141, 'L'},
    {0x0142, 'l'}, // Ł ł
    {0x0166, 'T'},
    {0x0167, 't'}, // Ŧ ŧ
}};

// The byte of a character of the page, or 0 for one outside it.
char direct(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF))
        return static_cast<char>(c);
    for (std::size_t i = 0; i < kHigh.size(); ++i) {
        if (kHigh[i] == c)
            return static_cast<char>(0x80 + i);
    }
    return 0;
}

// A letter outside the page becomes its base letter (ł, č, ő, Ş: l, c, o, S), so that a
// foreign name stays readable and searchable; "?" when there is none (Greek, Cyrillic).
char bestFit(char32_t c) {
    if (!QChar::isLetter(c))
        return '?';
    for (const auto& [letter, plain] : kLetters) {
        if (letter == c)
            return plain;
    }
    // A canonical decomposition puts the base letter first and the marks after it; the
    // base may itself decompose (ệ: ẹ, then e).
    char32_t base = c;
    while (QChar::decompositionTag(base) == QChar::Canonical) {
        const QList<uint> parts = QChar::decomposition(base).toUcs4();
        if (parts.isEmpty())
            break;
        base = parts.first();
        const char byte = direct(base);
        if (byte != 0 && QChar::isLetter(base))
            return byte;
    }
    return '?';
}

char fromUnicode(char32_t c) {
    const char byte = direct(c);
    return byte != 0 || c == 0 ? byte : bestFit(c);
}

} // namespace

char16_t toUnicode(unsigned char byte) {
    if (byte >= 0x80 && byte < 0xA0)
        return kHigh[byte - 0x80];
    return byte;
}

QByteArray encode(const QString& text) {
    QByteArray out(text.size(), Qt::Uninitialized);
    char* dst = out.data();
    qsizetype n = 0;
    const QChar* src = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        char32_t c = src[i].unicode();
        // A character outside the basic plane is one "?", not two.
        if (QChar::isHighSurrogate(c) && i + 1 < size && src[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(src[i], src[i + 1]);
            ++i;
        }
        dst[n++] = fromUnicode(c);
    }
    out.truncate(n);
    return out;
}

QString decode(QByteArrayView bytes) {
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        dst[i] = QChar(toUnicode(static_cast<unsigned char>(bytes[i])));
    return out;
}

} // namespace Cp1252
