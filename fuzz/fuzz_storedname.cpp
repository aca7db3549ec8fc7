// Any chosen file's name, as a Windows (UTF-16) or Linux (UTF-8) file dialog hands it over,
// must get a name that lives in the attachments folder on both systems and in the card's
// field, and two originals must not meet in one name by the rule's changes.
//
// Input: a flags byte (bit 0: the first name is UTF-16, bit 1: the second is), two bytes of
// the first name's length (big-endian), the first name, then the second name.
#include "core/AttachmentFolder.h"
#include "support/StoredNames.h"

#include <QByteArrayView>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

void check(bool ok, const char* what, const QString& original) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_storedname: %s (original of %lld UTF-16 units)\n", what,
                     static_cast<long long>(original.size()));
        std::abort();
    }
}

QString decode(QByteArrayView bytes, bool utf16) {
    if (!utf16)
        return QString::fromUtf8(bytes);
    QString text(bytes.size() / 2, Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        text[i] = QChar(static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                              static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return text;
}

QString checkedName(const QString& original) {
    const QString name = AttachmentFolder::storedName(original);
    if (original.isEmpty())
        return name;
    const QString why = whyNotStorable(name);
    if (!why.isEmpty()) {
        std::fprintf(stderr, "fuzz_storedname: %s\n", qPrintable(why));
        check(false, "a stored name the folder cannot hold", original);
    }
    check(AttachmentFolder::storedName(name) == name, "the rule changes its own name", original);
    if (whyNotStorable(original).isEmpty())
        check(name == original, "a name the folder holds was changed", original);
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3)
        return 0;
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    const unsigned flags = data[0];
    const qsizetype rest = input.size() - 3;
    const qsizetype firstSize = std::min<qsizetype>(rest, data[1] << 8 | data[2]);
    const QString a = decode(input.sliced(3, firstSize), flags & 1);
    const QString b = decode(input.sliced(3 + firstSize), flags & 2);
    const QString nameA = checkedName(a);
    const QString nameB = checkedName(b);
    // A name already fit for the folder is kept, so it meets the original it was made from;
    // any other two originals keep two names.
    if (a != b && nameA == nameB && !a.isEmpty())
        check(a == nameB || b == nameA, "two originals share one stored name", a);
    return 0;
}
