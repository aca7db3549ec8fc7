#include "Credential.h"

#include "Cp1252.h"
#include "Crypt.h"
#include "IniFile.h"
#include "TextField.h"

namespace Credential {
namespace {

const QString kSection = QStringLiteral("Accesso");
const QString kKey = QStringLiteral("Valore");

// The cipher works on bytes; a password's bytes are its code-page bytes, so that the euro
// sign and the other code-page letters above 0x7F come back as typed.
QString toCipherText(const QString& password) {
    return QString::fromLatin1(Cp1252::encode(password));
}

QString fromCipherText(const QString& text) {
    return Cp1252::decode(text.toLatin1());
}

} // namespace

QString prepare(const QString& typed) {
    QString upper = typed;
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - (u'a' - u'A'));
    }
    return TextField::trimBlanks(upper);
}

Stored read(const QString& path) {
    return fromStoredValue(IniFile(path).read(kSection, kKey));
}

Stored fromStoredValue(const QString& value) {
    const auto plain = Crypt::Decrypt(value);
    if (!plain)
        return {ReadStatus::Unreadable, {}};
    return {ReadStatus::Ok, TextField::trimBlanks(fromCipherText(*plain))};
}

bool matches(const QString& stored, const QString& typed) {
    return stored == prepare(typed);
}

std::optional<QString> refusal(const QString& typed) {
    const QString password = prepare(typed);
    if (password.size() > kMaxLength)
        return QStringLiteral("Attenzione: la nuova password non può superare i %1 caratteri.")
            .arg(kMaxLength);
    if (Cp1252::decode(Cp1252::encode(password)) != password)
        return QStringLiteral("Attenzione: la nuova password contiene caratteri non ammessi. "
                              "Utilizzare lettere, cifre e segni della tastiera italiana.");
    return std::nullopt;
}

QString storedForm(const QString& typed) {
    return Crypt::Encrypt(toCipherText(prepare(typed)));
}

bool write(const QString& path, const QString& typed, QString* error) {
    return IniFile(path).write(kSection, kKey, storedForm(typed), error);
}

} // namespace Credential
