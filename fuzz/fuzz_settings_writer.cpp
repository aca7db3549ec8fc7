// The settings writer's merge: a value written into any file (hand-edited, in any of the
// encodings the reader knows, damaged) reads back as written, every other value reads as
// before, and writing the same value again changes nothing.
//
// Input: three length bytes, then that many bytes of section, key and value (UTF-8), then
// the file's bytes.
#include "core/Cp1252.h"
#include "core/IniFile.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_settings_writer: %s\n", what);
        std::abort();
    }
}

enum class Encoding { CodePage, Utf8, Utf16 };

Encoding encodingOf(QByteArrayView file) {
    if (file.startsWith("\xEF\xBB\xBF"))
        return Encoding::Utf8;
    if (file.startsWith("\xFF\xFE") || file.startsWith("\xFE\xFF"))
        return Encoding::Utf16;
    return Encoding::CodePage;
}

// Whether the file can hold the text as it is.
bool holds(Encoding encoding, const QString& text) {
    switch (encoding) {
    case Encoding::CodePage:
        return Cp1252::decode(Cp1252::encode(text)) == text;
    case Encoding::Utf8:
        return QString::fromUtf8(text.toUtf8()) == text;
    case Encoding::Utf16:
        return true;
    }
    return false;
}

bool hasLineEnd(const QString& text) {
    return text.contains(u'\n') || text.contains(u'\r');
}

// Names and a value that the file's form can carry: a section name without "]", a key
// without "=" that does not read as a section, a value that reads back as it is (no blanks
// around it, not in quotes, within the reader's length).
bool writable(Encoding encoding, const QString& section, const QString& key, const QString& value) {
    const QString k = key.trimmed();
    const bool quoted = value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"');
    return !section.contains(u']') && !k.contains(u'=') && !k.startsWith(u'[') &&
           !hasLineEnd(section) && !hasLineEnd(key) && !hasLineEnd(value) &&
           value == value.trimmed() && !quoted && value.size() <= IniFile::kMaxValueLength &&
           holds(encoding, section) && holds(encoding, key) && holds(encoding, value);
}

bool sameName(const QString& a, const QString& b) {
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

QString readOne(QByteArrayView bytes, const QString& section, const QString& key) {
    return IniFile::valuesIn(bytes, section, {key}).first();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView input(data, static_cast<qsizetype>(size));
    if (input.size() < 3)
        return 0;
    const qsizetype lengths[3] = {std::uint8_t(input[0]), std::uint8_t(input[1]),
                                  std::uint8_t(input[2])};
    qsizetype at = 3;
    QString names[3];
    for (int i = 0; i < 3; ++i) {
        if (at + lengths[i] > input.size())
            return 0;
        names[i] = QString::fromUtf8(input.sliced(at, lengths[i]));
        at += lengths[i];
    }
    const auto& [section, key, value] = names;
    const QByteArrayView before = input.sliced(at);

    const QByteArray after = IniFile::merged(before, section, {{key, value}});
    if (!writable(encodingOf(before), section, key, value))
        return 0;
    check(readOne(after, section, key) == value, "the value written reads back otherwise");
    for (const auto& [otherSection, otherKey] : IniFile::keysIn(before)) {
        if (sameName(otherSection, section) && sameName(otherKey, key))
            continue;
        check(readOne(after, otherSection, otherKey) == readOne(before, otherSection, otherKey),
              "another value changed");
    }
    check(IniFile::merged(after, section, {{key, value}}) == after,
          "writing the same value again changes the file");
    return 0;
}
