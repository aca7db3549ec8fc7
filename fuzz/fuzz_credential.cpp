// The credential file can be edited or damaged: any stored value must decipher or be
// refused without fault, and every password the program accepts must read back from the
// file as one that matches what was typed, or the user is locked out.
#include "core/Cp1252.h"
#include "core/Credential.h"
#include "core/Crypt.h"
#include "core/IniFile.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool ok, const char* what) {
    if (!ok) {
        std::fprintf(stderr, "fuzz_credential: %s\n", what);
        std::abort();
    }
}

// Where the credential file keeps the password.
const QString kSection = QStringLiteral("Accesso");
const QString kKey = QStringLiteral("Valore");

bool isHexDigit(QChar c) {
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'A' && u <= u'F') || (u >= u'a' && u <= u'f');
}

bool isUpperHex(const QString& s) {
    for (QChar c : s) {
        if (!isHexDigit(c) || (c.unicode() >= u'a'))
            return false;
    }
    return true;
}

bool isTrimmed(const QString& s) {
    return s.isEmpty() || (s.front().unicode() > 32 && s.back().unicode() > 32);
}

void roundTrip(const QString& plain) {
    const QString stored = Crypt::Encrypt(plain);
    check(stored.size() == plain.size() * 2, "two digits per character");
    check(isUpperHex(stored), "stored form not upper-case hexadecimal");
    check(Crypt::Decrypt(stored) == plain, "Decrypt(Encrypt(s)) != s");
}

void decipher(const QString& value) {
    const auto plain = Crypt::Decrypt(value);
    const qsizetype paired = value.size() / 2 * 2;
    bool allHex = true;
    for (qsizetype i = 0; i < paired; ++i)
        allHex = allHex && isHexDigit(value[i]);
    check(plain.has_value() == allHex, "refused a hexadecimal value or took another");
    if (plain) {
        check(plain->size() == value.size() / 2, "one character per digit pair");
        for (QChar c : *plain)
            check(c.unicode() <= 255, "deciphered character above 255");
        check(Crypt::Encrypt(*plain) == value.first(paired).toUpper(),
              "enciphering the deciphered text gives another value");
    }
    const Credential::Stored read = Credential::fromStoredValue(value);
    check((read.status == Credential::ReadStatus::Ok) == plain.has_value(),
          "credential and cipher disagree on readability");
    check(isTrimmed(read.password), "stored password not trimmed");
}

// What Credential::write puts in the file, read back as Credential::read does.
void storeAndRead(const QString& typed) {
    if (Credential::refusal(typed))
        return;
    const QString stored = Credential::storedForm(typed);
    check(stored.size() <= IniFile::kMaxValueLength, "accepted password's stored form too long");
    const QByteArray file = "[" + Cp1252::encode(kSection) + "]\r\n" + Cp1252::encode(kKey) + "=" +
                            Cp1252::encode(stored) + "\r\n";
    const QString value = IniFile::valuesIn(file, kSection, {kKey}).first();
    const Credential::Stored read = Credential::fromStoredValue(value);
    check(read.status == Credential::ReadStatus::Ok, "accepted password unreadable");
    check(Credential::matches(read.password, typed), "accepted password does not match");
}

// The section and key above, checked once against a file the program writes.
void checkNamesAgainstTheProgram() {
    const QTemporaryDir dir;
    const QString path = dir.filePath(Credential::FileName);
    const QString typed = QStringLiteral("lucernavolpina");
    check(Credential::write(path, typed), "cannot write a credential file");
    QFile file(path);
    check(file.open(QIODevice::ReadOnly), "cannot read the credential file");
    const QString value = IniFile::valuesIn(file.readAll(), kSection, {kKey}).first();
    check(value == Credential::storedForm(typed), "the names here are not the program's");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    checkNamesAgainstTheProgram();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView bytes(data, static_cast<qsizetype>(size));
    // Codes 0 to 255, the cipher's whole alphabet.
    roundTrip(QString::fromLatin1(bytes));

    // As the settings reader gives the value, and as any text may reach the decoder.
    const QString asFile = Cp1252::decode(bytes);
    QString asUtf16(static_cast<qsizetype>(size / 2), Qt::Uninitialized);
    std::memcpy(asUtf16.data(), data, size / 2 * 2);
    decipher(asFile);
    decipher(asUtf16);

    storeAndRead(asFile);
    storeAndRead(asUtf16);
    return 0;
}
