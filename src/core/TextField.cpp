#include "TextField.h"

#include "Cp1252.h"

#include <algorithm>
#include <cstring>

namespace TextField {

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 32)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 32)
        --end;
    if (begin == 0 && end == text.size())
        return text;
    return text.mid(begin, end - begin);
}

QByteArrayView trimBlanks(QByteArrayView bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && static_cast<unsigned char>(bytes[begin]) <= 32)
        ++begin;
    while (end > begin && static_cast<unsigned char>(bytes[end - 1]) <= 32)
        --end;
    return bytes.sliced(begin, end - begin);
}

QByteArray storedBytes(const QString& text, int capacity) {
    QByteArray bytes = Cp1252::encode(trimBlanks(text));
    const qsizetype keep = std::min<qsizetype>({bytes.size(), 255, capacity});
    bytes.truncate(keep);
    return bytes;
}

void store(char* field, int capacity, const QString& text) {
    const QByteArray bytes = storedBytes(text, capacity);
    field[0] = static_cast<char>(bytes.size());
    std::memcpy(field + 1, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    std::memset(field + 1 + bytes.size(), 0, static_cast<std::size_t>(capacity - bytes.size()));
}

QString load(QByteArrayView field, int capacity) {
    // Trimming the bytes trims the text: the code page keeps codes 0 to 32 as they are.
    return Cp1252::decode(loadBytes(field, capacity));
}

QByteArrayView loadBytes(QByteArrayView field, int capacity) {
    if (field.isEmpty())
        return {};
    const qsizetype available = std::min<qsizetype>(capacity, field.size() - 1);
    const qsizetype length = std::min<qsizetype>(static_cast<unsigned char>(field[0]), available);
    return trimBlanks(field.sliced(1, length));
}

QByteArrayView loadBytes(QByteArrayView record, int offset, int capacity) {
    if (offset < 0 || offset >= record.size())
        return {};
    return loadBytes(record.sliced(offset), capacity);
}

} // namespace TextField
