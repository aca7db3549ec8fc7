#pragma once

#include <QString>
#include <optional>

// The installation's password, kept enciphered in the credential file "unins000.dll" of
// the program folder (section "Accesso", key "Valore").
namespace Credential {

inline const QString FileName = QStringLiteral("unins000.dll");

// The typed password as it is compared and stored: a-z upper-cased (nothing else), then
// trimmed.
QString prepare(const QString& typed);

enum class ReadStatus { Ok, Unreadable };
struct Stored {
    ReadStatus status = ReadStatus::Ok;
    QString password; // empty when the file, section or key is missing
};
// The stored password, deciphered and trimmed; Unreadable when the stored value is not
// a sequence of hexadecimal pairs.
Stored read(const QString& path);
// The same from the value of "Valore" as the file holds it.
Stored fromStoredValue(const QString& value);

// Whether a typed password matches the stored one.
bool matches(const QString& stored, const QString& typed);

// Why a new password cannot be stored, or nothing when it can: every character must be
// one of the code page's (the cipher keeps one byte each) and the stored form must fit the
// settings reader's 2047 characters.
std::optional<QString> refusal(const QString& typed);

// Stores the prepared new password; on failure `error` holds the writer's message.
bool write(const QString& path, const QString& typed, QString* error = nullptr);

// The stored form of a password, as the credential file holds it.
QString storedForm(const QString& typed);

inline constexpr int kMaxLength = 1023;

} // namespace Credential
